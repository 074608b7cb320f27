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

#include <string>
#include <string_view>
#include <vector>

namespace orvella {

TextTable verlaufTable(const std::vector<CalculationRecord>& entries, std::string_view decimalMark);

// The same table built in steps, for a large export behind a progress
// dialog: the header from every entry at once, then the rows of a range of
// entries at a time. `entries` must outlive the builder.
class VerlaufTableBuilder {
public:
    VerlaufTableBuilder(const std::vector<CalculationRecord>& entries, std::string_view decimalMark);
    // Adds the rows of the entries [first, end).
    void addRows(std::size_t first, std::size_t end);
    TextTable take() { return std::move(table_); }

private:
    struct Column {
        bool input;
        std::string key;
    };
    const std::vector<CalculationRecord>& entries_;
    std::string decimalMark_;
    bool single_ = false;
    bool expressions_ = false;
    std::vector<Column> columns_;
    TextTable table_;
};

}  // namespace orvella
