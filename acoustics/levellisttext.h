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

// The most levels the list holds: a long measurement series, and a list the
// window still shows, evaluates and exports at once.
inline constexpr std::size_t kMaxLevels = 100'000;

// The most numbers a line of a table of levels holds; a line with more is
// a list of levels written across, not a row of a table.
inline constexpr std::size_t kMaxLevelColumns = 16;

struct PastedLevels {
    std::vector<PastedLevel> levels;  // in the order of the text
    // Numbers that were found but cannot be read (too large for a double,
    // a date such as "12.03.2024"); they are left out.
    std::size_t unreadable = 0;
    // The text holds more levels than were asked for; they are left out.
    bool moreLevels = false;
    // Lines with numbers that are not rows of the chosen table (another
    // count of numbers): they give no level.
    std::size_t linesSkipped = 0;
};

// How the numbers of a pasted text stand in lines. `columns` is the number
// of numbers most lines hold (of two counts equally common, the larger),
// when it is two or more, at most kMaxLevelColumns, and at least two lines
// hold numbers: then the text is a table ("Pos 3: 61,05 dB(A)" on every
// line) and one column of it holds the levels. Otherwise `columns` is 0 and
// every number is a level.
struct LevelColumns {
    std::size_t columns = 0;
    std::size_t lines = 0;  // lines that hold a number
};
LevelColumns levelColumns(std::string_view text);

// Which numbers of a pasted text are levels: every one (column 0), or the
// column-th number (from 1) of each line that holds `columns` numbers.
struct LevelColumnChoice {
    std::size_t column = 0;
    std::size_t columns = 0;
};

// The levels of a pasted text, in order, in either decimal mark; words and
// units are passed over (findNumbers), and at most `most` levels are taken
// (moreLevels says when the text holds more).
//
// With `column` 0, every number is a level: "60,5 dB\n62.5" gives 60.5 and
// 62.5. A line that holds exactly one number names its level with the text
// before the number, without blanks and a closing ":" or "=": "Lüfter: 65
// dB" gives 65 named "Lüfter", "MP1 62,3" gives 62.3 named "MP1". A line
// with several numbers gives levels without names.
//
// With a column k from 1 on, each line that holds the table's count of
// numbers (unreadable ones included) gives its k-th, named with the text
// before it: "Pos 3: 61,05 dB(A)" gives 61.05 named "Pos 3" for k = 2 of 2.
// A line with another count of numbers (a heading with a date and a time)
// gives none and is counted in linesSkipped.
//
// Names are cut to kMaxCellChars characters (shortenedText).
PastedLevels levelsFromText(std::string_view text, LevelColumnChoice choice = {}, std::size_t most = kMaxLevels);

// levelsFromText(text, {}, most) and levelColumns(text) in one pass over
// the text, as a paste needs them: the levels of every number, given up by
// the caller when the text turns out to be a table.
struct LevelsAndColumns {
    PastedLevels levels;
    LevelColumns columns;
};
LevelsAndColumns levelsAndColumns(std::string_view text, std::size_t most = kMaxLevels);

// A level as the list shows and copies it: every digit it was given with,
// the shortest text that reads back as the same number, with
// `decimalMark`: "60", "62,5", "-3", "1e-07".
std::string levelText(double levelDb, std::string_view decimalMark);

}  // namespace orvella
