// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of pasted text over any bytes: the table parser, the number
// finder and the cell reader.
//
// Input: the bytes as they would come from the clipboard or a file, valid
// UTF-8 or not.
//
// Checks: nothing throws; a cell has a number (finite) or a problem with its
// sentence, never both; an empty cell has neither; no row is blank; the
// header holds no number; the rows start with one that has a number or a
// cell written like one; every row fits in `columns`; the numbers found lie
// inside the text, in order, without overlapping, and each is finite or not
// read; a cell's number reads back from its text with the cell reader.
// Within small limits the table keeps no more rows, cells and header lines
// than allowed and no cell longer than kMaxCellChars characters and "…";
// a limited search finds the first numbers of the unlimited one; a
// shortened text is the text itself or a prefix of it and "…".

#include "fuzzsupport.h"
#include "pastedtext.h"

#include <algorithm>

namespace {

using namespace orvella;

bool numberLike(const TableCell& c)
{
    return c.number || c.problem == CellProblem::SeveralMarks || c.problem == CellProblem::TooLarge;
}

void checkCell(const TableCell& c, const std::string& text)
{
    fuzz::check(!(c.number && c.problem != CellProblem::None), "a cell with a number and a problem", text);
    fuzz::check(!c.number || std::isfinite(*c.number), "a cell's number is not finite", text);
    fuzz::check(c.reason.empty() == (c.problem == CellProblem::None), "a problem without its sentence", text);
    fuzz::check(!c.text.empty() || (!c.number && c.problem == CellProblem::None)
                    || c.problem == CellProblem::OpenQuote,
                "an empty cell with a number or a problem", text);
    if (c.number) {
        const TableCell again = readCell(c.text);
        fuzz::check(again.number && *again.number == *c.number, "a cell's number does not read back", text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    const PastedTable t = parsePastedTable(text);
    fuzz::check(t.separator == 0 || t.separator == '\t' || t.separator == ';' || t.separator == ',',
                "an unknown separator", text);
    for (const TableRow& row : t.header) {
        fuzz::check(std::none_of(row.cells.begin(), row.cells.end(), numberLike), "a number in the header",
                    text);
    }
    if (!t.rows.empty())
        fuzz::check(std::any_of(t.rows.front().cells.begin(), t.rows.front().cells.end(), numberLike),
                    "the rows start without a number", text);
    for (const auto* part : {&t.header, &t.rows}) {
        for (const TableRow& row : *part) {
            fuzz::check(row.cells.size() <= t.columns, "a row wider than the table", text);
            fuzz::check(std::any_of(row.cells.begin(), row.cells.end(),
                                    [](const TableCell& c) { return !c.text.empty() || c.problem != CellProblem::None; }),
                        "a blank row", text);
            for (const TableCell& c : row.cells)
                checkCell(c, text);
        }
    }

    std::size_t end = 0;
    for (const FoundNumber& f : findNumbers(text)) {
        fuzz::check(f.offset >= end && f.length > 0 && f.offset + f.length <= text.size(),
                    "a number found outside the text or overlapping", text);
        fuzz::check(!f.value || std::isfinite(*f.value), "a number found is not finite", text);
        end = f.offset + f.length;
    }

    checkCell(readCell(text), text);

    TableLimits small;
    small.rows = 3;
    small.columns = 4;
    small.headerRows = 2;
    const PastedTable limited = parsePastedTable(text, small);
    fuzz::check(limited.rows.size() <= 3 && limited.header.size() <= 2 && limited.headerLines >= limited.header.size(),
                "more rows or header lines kept than the limits allow", text);
    for (const auto* part : {&limited.header, &limited.rows})
        for (const TableRow& row : *part) {
            fuzz::check(row.cells.size() <= 4, "more cells kept than the limit allows", text);
            for (const TableCell& c : row.cells)
                fuzz::check(shortenedText(c.text, kMaxCellChars + 1) == c.text, "a cell longer than the limit", text);
        }
    const std::vector<FoundNumber> all = findNumbers(text);
    const std::vector<FoundNumber> two = findNumbers(text, 2);
    fuzz::check(two.size() == std::min<std::size_t>(2, all.size()), "a limited search finds another count", text);
    for (std::size_t i = 0; i < two.size(); ++i)
        fuzz::check(two[i].offset == all[i].offset && two[i].length == all[i].length,
                    "a limited search finds other numbers", text);
    const std::string cut = shortenedText(text, 7);
    fuzz::check(cut == text || (cut.ends_with("\u2026") && text.starts_with(cut.substr(0, cut.size() - 3))),
                "a shortened text is not a prefix of the text", text);
    return 0;
}
