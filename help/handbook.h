// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handbook part of a help page, written from a calculator's description:
// its texts with their numbers in the user's decimal mark, its inputs and
// results, and how the windows read and write numbers.

#include "calculation.h"

#include <QString>

#include <string_view>
#include <vector>

namespace orvella::help {

// A text of the description with its placeholders written out: {c:name}
// from `coefficients` first, then the description's named numbers, {k:...}
// as it stands; numbers with the user's decimal mark.
QString describedText(const CalculatorModel& model, std::string_view text, const QString& mark,
                      const std::vector<NamedNumber>& coefficients = {});

// The caption of the button that calculates, as it reads on the window.
QString buttonCaption(const CalculatorModel& model);

// "Rahmen „Schalldruckpegel“" for one half of a window; else empty.
QString frameName(const CalculatorModel& model);

// Inputs and results with symbol, meaning and unit.
QString quantitiesTable(const CalculatorModel& model);

// How the windows of these calculators read their fields and write their results.
QString readingRules(const std::vector<const CalculatorModel*>& models, const QString& mark);

}  // namespace orvella::help
