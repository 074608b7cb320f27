// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The level list as text: the levels taken from a pasted text, and a level
// written back as the list shows it. Qt-free; texts are UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

struct PastedLevel {
    double levelDb = 0.0;
    std::string name;  // empty when the line gives none
};

struct PastedLevels {
    std::vector<PastedLevel> levels;  // in the order of the text
    // Numbers that were found but cannot be read (too large for a double,
    // a date such as "12.03.2024"); they are left out.
    std::size_t unreadable = 0;
};

// Every number in a pasted text as a level, in order, in either decimal
// mark; words and units are passed over (findNumbers): "60,5 dB\n62.5" gives
// 60.5 and 62.5. A line that holds exactly one number names its level with
// the text before the number, without blanks and a closing ":" or "=":
// "Lüfter: 65 dB" gives 65 named "Lüfter", "MP1 62,3" gives 62.3 named
// "MP1". A line with several numbers gives levels without names.
PastedLevels levelsFromText(std::string_view text);

// A level as the list shows and copies it: every digit it was given with,
// the shortest text that reads back as the same number, with
// `decimalMark`: "60", "62,5", "-3", "1e-07".
std::string levelText(double levelDb, std::string_view decimalMark);

}  // namespace orvella
