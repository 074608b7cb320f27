// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Recorded calculations as a table for the clipboard and for CSV: a row per
// entry with its date, time, calculator, note and program version. When
// every entry is of one calculator, each input and result has a column of
// its own ("Raumtemperatur [°C]") with its number in the user's decimal
// mark, ready for a spreadsheet; entries of several calculators list their
// inputs and results as text ("Raumtemperatur: 20,5 °C; ..."), as the
// Verlauf's table shows them.

#include "calculationrecord.h"
#include "texttable.h"

#include <string_view>
#include <vector>

namespace orvella {

TextTable verlaufTable(const std::vector<CalculationRecord>& entries, std::string_view decimalMark);

}  // namespace orvella
