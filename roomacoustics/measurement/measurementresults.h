// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results and the rating of a measurement below its chart: a grid of
// labels each, a row per result and per target value, and the copy of
// both for the clipboard.

#include "clipboardtext.h"
#include "iso3382eval.h"

#include <QString>

#include <string_view>

class QGridLayout;
class QGroupBox;

namespace orvella {

// "Ergebnisse": a heading row ("Größe", "Bezeichnung", "Wert", "Einheit",
// "Hinweis") and a row of labels for each result; `grid` is set to its grid.
QGroupBox* makeResultsBox(QGridLayout** grid);
// The rating: a row for each target value (requirement, value, verdict)
// and beside them the path's propagation level of VDI 2569.
QGroupBox* makeRatingBox(QGridLayout** grid);

void showResults(QGridLayout* grid, const Iso3382Evaluation& evaluation, std::string_view decimalMark);
void showRating(QGridLayout* grid, const Iso3382Evaluation& evaluation, std::string_view decimalMark);
// The text of the results grid at (row, column), the heading row left out.
QString resultsGridText(const QGridLayout* grid, int row, int column);

// The results, the rating and the propagation level as "label<TAB>value"
// lines for the clipboard.
CopyTable resultsCopy(const Iso3382Evaluation& evaluation, const std::string& caption, std::string_view decimalMark);

}  // namespace orvella
