// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellisttext.h"

#include "pastedtext.h"

#include <algorithm>
#include <charconv>

namespace orvella {

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The name a line gives its one number: the text before it, without blanks
// (no-break spaces included) and a closing ":" or "=".
std::string_view nameBefore(std::string_view before)
{
    constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
    for (;;) {
        if (!before.empty() && std::string_view(" \t:=").find(before.back()) != std::string_view::npos)
            before.remove_suffix(1);
        else if (before.ends_with(kNoBreakSpace))
            before.remove_suffix(kNoBreakSpace.size());
        else
            break;
    }
    for (;;) {
        if (!before.empty() && (before.front() == ' ' || before.front() == '\t'))
            before.remove_prefix(1);
        else if (before.starts_with(kNoBreakSpace))
            before.remove_prefix(kNoBreakSpace.size());
        else
            break;
    }
    return before;
}

}  // namespace

// Calls `f(line)` for each line of the text, without its line end, until
// it returns false.
template <class F>
void forEachLine(std::string_view text, F&& f)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && !isLineEnd(text[end]))
            ++end;
        if (!f(text.substr(start, end - start)))
            return;
        start = end + 1;
    }
}

namespace {

// How many lines hold 1, 2, … numbers, and from that the columns of a
// table (levelColumns); more than kMaxLevelColumns share the last count.
class ColumnCount {
public:
    // A line with `n` numbers (any count above kMaxLevelColumns will do).
    void line(std::size_t n)
    {
        if (n > 0) {
            ++lines_[std::min(n, kMaxLevelColumns + 1)];
            ++out_.lines;
        }
    }
    LevelColumns columns() const
    {
        LevelColumns out = out_;
        std::size_t common = 0;
        for (std::size_t n = 1; n < lines_.size(); ++n)
            if (lines_[n] > 0 && lines_[n] >= lines_[common])
                common = n;
        if (out.lines >= 2 && common >= 2 && common <= kMaxLevelColumns)
            out.columns = common;
        return out;
    }

private:
    std::vector<std::size_t> lines_ = std::vector<std::size_t>(kMaxLevelColumns + 2, 0);
    LevelColumns out_;
};

PastedLevels withRoom(std::string_view text, std::size_t most);

// Takes the levels of one line as every number is a level (column 0 of
// levelsFromText) into `out`, using `found` for its numbers; false when
// `out` already holds `most` and the line has more (moreLevels is set).
bool takeEveryNumber(std::string_view line, std::vector<FoundNumber>& found, PastedLevels& out, std::size_t most);

}  // namespace

LevelColumns levelColumns(std::string_view text)
{
    ColumnCount count;
    forEachLine(text, [&](std::string_view line) {
        count.line(countNumbers(line, kMaxLevelColumns + 1));
        return true;
    });
    return count.columns();
}

LevelsAndColumns levelsAndColumns(std::string_view text, std::size_t most)
{
    LevelsAndColumns out{withRoom(text, most), {}};
    ColumnCount count;
    std::vector<FoundNumber> found;
    bool full = false;
    forEachLine(text, [&](std::string_view line) {
        if (full) {
            count.line(countNumbers(line, kMaxLevelColumns + 1));
            return true;
        }
        const std::size_t limit = most - out.levels.levels.size() + 1;
        full = !takeEveryNumber(line, found, out.levels, most);
        // The room left may have cut the count of this line short.
        count.line(found.size() < limit ? found.size() : countNumbers(line, kMaxLevelColumns + 1));
        return true;
    });
    out.columns = count.columns();
    return out;
}

namespace {

// Room for the levels a text can give: at most `most`, and at most one in
// every two characters. Reserved at once, the levels are not moved as the
// vector grows, and the pages never filled are never touched.
PastedLevels withRoom(std::string_view text, std::size_t most)
{
    PastedLevels out;
    out.levels.reserve(std::min(most, text.size() / 2 + 1));
    return out;
}

bool take(PastedLevels& out, std::size_t most, double level, std::string_view name)
{
    if (out.levels.size() >= most) {
        out.moreLevels = true;
        return false;
    }
    out.levels.push_back({level, shortenedText(nameBefore(name))});
    return true;
}

bool takeEveryNumber(std::string_view line, std::vector<FoundNumber>& found, PastedLevels& out, std::size_t most)
{
    // One more than the room left tells whether the text holds more.
    findNumbers(line, found, most - out.levels.size() + 1);
    const bool named = found.size() == 1 && found.front().value;
    for (const FoundNumber& f : found) {
        if (!f.value) {
            ++out.unreadable;
            continue;
        }
        if (!take(out, most, *f.value, named ? line.substr(0, f.offset) : std::string_view()))
            return false;
    }
    return true;
}

}  // namespace

PastedLevels levelsFromText(std::string_view text, LevelColumnChoice choice, std::size_t most)
{
    PastedLevels out = withRoom(text, most);
    // One vector for the numbers of every line.
    std::vector<FoundNumber> found;
    forEachLine(text, [&](std::string_view line) {
        if (choice.column == 0)
            return takeEveryNumber(line, found, out, most);
        findNumbers(line, found, choice.columns + 1);
        if (found.empty())
            return true;
        if (found.size() != choice.columns || choice.column > choice.columns) {
            ++out.linesSkipped;
            return true;
        }
        const FoundNumber& f = found[choice.column - 1];
        if (!f.value) {
            ++out.unreadable;
            return true;
        }
        return take(out, most, *f.value, line.substr(0, f.offset));
    });
    return out;
}

std::string levelText(double levelDb, std::string_view decimalMark)
{
    if (levelDb == 0.0)
        levelDb = 0.0;  // never "-0"
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, levelDb);
    std::string text(buffer, written.ptr);
    if (const auto point = text.find('.'); point != std::string::npos)
        text.replace(point, 1, decimalMark);
    return text;
}

}  // namespace orvella
