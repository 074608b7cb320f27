// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellisttext.h"

#include "pastedtext.h"

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

LevelColumns levelColumns(std::string_view text)
{
    // How many lines hold 1, 2, … numbers; more than kMaxLevelColumns
    // share the last count.
    std::vector<std::size_t> lines(kMaxLevelColumns + 2, 0);
    LevelColumns out;
    forEachLine(text, [&](std::string_view line) {
        const std::size_t n = countNumbers(line, kMaxLevelColumns + 1);
        if (n > 0) {
            ++lines[n];
            ++out.lines;
        }
        return true;
    });
    std::size_t common = 0;
    for (std::size_t n = 1; n < lines.size(); ++n)
        if (lines[n] > 0 && lines[n] >= lines[common])
            common = n;
    if (out.lines >= 2 && common >= 2 && common <= kMaxLevelColumns)
        out.columns = common;
    return out;
}

PastedLevels levelsFromText(std::string_view text, LevelColumnChoice choice, std::size_t most)
{
    PastedLevels out;
    // One vector for the numbers of every line.
    std::vector<FoundNumber> found;
    const auto take = [&](double level, std::string_view name) {
        if (out.levels.size() >= most) {
            out.moreLevels = true;
            return false;
        }
        out.levels.push_back({level, shortenedText(nameBefore(name))});
        return true;
    };
    forEachLine(text, [&](std::string_view line) {
        if (choice.column > 0) {
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
            return take(*f.value, line.substr(0, f.offset));
        }
        // Every number: one more than the room left tells whether the
        // text holds more.
        findNumbers(line, found, most - out.levels.size() + 1);
        const bool named = found.size() == 1 && found.front().value;
        for (const FoundNumber& f : found) {
            if (!f.value) {
                ++out.unreadable;
                continue;
            }
            if (!take(*f.value, named ? line.substr(0, f.offset) : std::string_view()))
                return false;
        }
        return true;
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
