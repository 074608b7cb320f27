// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellisttext.h"

#include "pastedtext.h"

#include <charconv>

namespace orvella {

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// The name a line gives its one number: the text before it, without blanks
// (no-break spaces included) and a closing ":" or "=".
std::string nameBefore(std::string_view before)
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
    return std::string(before);
}

}  // namespace

PastedLevels levelsFromText(std::string_view text)
{
    const std::vector<FoundNumber> found = findNumbers(text);
    PastedLevels out;
    out.levels.reserve(found.size());
    // The numbers line by line: a line's numbers are the run of found
    // numbers whose offsets lie before the line's end.
    std::size_t next = 0;
    std::size_t lineStart = 0;
    while (next < found.size()) {
        std::size_t lineEnd = lineStart;
        while (lineEnd < text.size() && !isLineEnd(text[lineEnd]))
            ++lineEnd;
        std::size_t last = next;
        while (last < found.size() && found[last].offset < lineEnd)
            ++last;
        const bool named = last - next == 1 && found[next].value;
        for (std::size_t i = next; i < last; ++i) {
            if (!found[i].value) {
                ++out.unreadable;
                continue;
            }
            PastedLevel level{*found[i].value, {}};
            if (named)
                level.name = nameBefore(text.substr(lineStart, found[i].offset - lineStart));
            out.levels.push_back(std::move(level));
        }
        next = last;
        lineStart = lineEnd + 1;
    }
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
