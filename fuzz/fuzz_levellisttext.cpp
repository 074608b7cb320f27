// SPDX-License-Identifier: GPL-3.0-or-later
// The level list's reader of pasted text over any bytes: how its lines
// stand in columns and the levels of every number or of one column.
//
// Input: the bytes as they would come from the clipboard, valid UTF-8 or
// not; the first byte picks the column (0: every number) and the most
// levels taken.
//
// Checks: nothing throws; a table has two columns or more, at most
// kMaxLevelColumns, and at least two lines; no more levels than asked for,
// and moreLevels only when that many were taken; every level is finite;
// names are at most kMaxCellChars characters and "…"; lines skipped only
// when a column is chosen.

#include "fuzzsupport.h"
#include "levellisttext.h"
#include "pastedtext.h"

#include <cmath>

using namespace orvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t pick = data[0];
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const LevelColumns table = levelColumns(text);
    fuzz::check(table.columns == 0 || (table.columns >= 2 && table.columns <= kMaxLevelColumns && table.lines >= 2),
                "a table of fewer than two or more than the most columns, or of one line", text);

    const std::size_t column = table.columns == 0 ? 0 : pick % (table.columns + 1);
    const std::size_t most = 1 + pick / 16;
    const PastedLevels p = levelsFromText(text, {column, table.columns}, most);
    fuzz::check(p.levels.size() <= most, "more levels than asked for", text);
    fuzz::check(!p.moreLevels || p.levels.size() == most, "more levels reported before the limit", text);
    fuzz::check(column > 0 || p.linesSkipped == 0, "lines skipped without a column", text);
    for (const PastedLevel& l : p.levels) {
        fuzz::check(std::isfinite(l.levelDb), "a level is not finite", text);
        fuzz::check(shortenedText(l.name, kMaxCellChars + 1) == l.name, "a name longer than the limit", text);
    }
    return 0;
}
