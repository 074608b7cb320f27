// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results and the rating of a measurement as the window, the copied
// table and the report write them: the same texts in all three.

#include "iso3382eval.h"
#include "texttable.h"

#include <QColor>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace orvella {

// The results as a table: "Größe", "Bezeichnung", "Wert", "Einheit",
// "Hinweis"; the value written as the calculators write results ("–" when
// there is none), with `decimalMark`.
TextTable resultsTable(const std::vector<ResultValue>& results, std::string_view decimalMark);

// One target value and the measured value it is compared with.
struct RatingLine {
    QString requirement;  // "D2,S ≥ 7 dB"
    QString value;        // "D2,S = 5,3 dB", or "D2,S: –"
    std::optional<bool> met;
};

std::vector<RatingLine> ratingLines(const Iso3382Evaluation& evaluation, std::string_view decimalMark);

// "erfüllt", "nicht erfüllt", "nicht bestimmbar".
QString verdictText(std::optional<bool> met);
// Green, red, grey: readable on white and in print.
QColor verdictColor(std::optional<bool> met);

// The heading over the rating.
QString ratingHeading();

// The path's propagation level of VDI 2569: "Ausbreitungsstufe nach VDI 2569
// (ein Messpfad)", and "Stufe 2", "keine Stufe" or "nicht bestimmbar".
QString propagationHeading();
QString propagationText(std::optional<int> level);
// Green for a level, red for none, grey when it cannot be determined.
QColor propagationColor(std::optional<int> level);

}  // namespace orvella
