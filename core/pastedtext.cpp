// SPDX-License-Identifier: GPL-3.0-or-later
#include "pastedtext.h"

#include "checked.h"
#include "numbers.h"

#include <algorithm>
#include <cstdint>

namespace orvella {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
constexpr std::string_view kMinusSign = "\xE2\x88\x92";  // U+2212

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isMark(char c) { return c == '.' || c == ','; }
bool isLineEnd(char c) { return c == '\n' || c == '\r'; }
bool isWordChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool digitAt(std::string_view s, std::size_t i) { return i < s.size() && isDigit(s[i]); }

std::string_view trimmed(std::string_view s)
{
    for (;;) {
        if (!s.empty() && (s.front() == ' ' || s.front() == '\t' || isLineEnd(s.front())))
            s.remove_prefix(1);
        else if (s.substr(0, kNoBreakSpace.size()) == kNoBreakSpace)
            s.remove_prefix(kNoBreakSpace.size());
        else
            break;
    }
    for (;;) {
        if (!s.empty() && (s.back() == ' ' || s.back() == '\t' || isLineEnd(s.back())))
            s.remove_suffix(1);
        else if (s.size() >= kNoBreakSpace.size() &&
                 s.substr(s.size() - kNoBreakSpace.size()) == kNoBreakSpace)
            s.remove_suffix(kNoBreakSpace.size());
        else
            break;
    }
    return s;
}

// Digits and decimal marks only, with at least one digit and two marks or
// more: a number written with thousands separators, or a list.
bool hasSeveralMarks(std::string_view s)
{
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    if (s.empty() || s.find_first_not_of("0123456789.,") != std::string_view::npos)
        return false;
    return std::count_if(s.begin(), s.end(), isMark) >= 2 &&
           std::any_of(s.begin(), s.end(), isDigit);
}

TableCell problemCell(std::string text, CellProblem problem)
{
    TableCell cell;
    cell.text = std::move(text);
    cell.problem = problem;
    cell.reason = cellProblemText(problem);
    return cell;
}

// The separator of a whole text (see parsePastedTable). A quote opens a
// quoted cell where a cell can begin (at the start of a line or after a tab,
// semicolon or comma, blanks between allowed), whichever the separator turns
// out to be; inside, a doubled quote stands for one.
char chooseSeparator(std::string_view s)
{
    bool inQuote = false;
    bool cellStart = true;
    bool tab = false;
    bool semicolon = false;
    bool commaSeparates = false;
    int commasInLine = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (inQuote) {
            if (c == '"' && i + 1 < s.size() && s[i + 1] == '"')
                ++i;
            else if (c == '"')
                inQuote = false;
            continue;
        }
        if (c == '"' && cellStart) {
            inQuote = true;
            continue;
        }
        const bool betweenDigits = i > 0 && isDigit(s[i - 1]) && digitAt(s, i + 1);
        if (c == '\t') {
            tab = true;
        } else if (c == ';') {
            semicolon = true;
        } else if (isLineEnd(c)) {
            commasInLine = 0;
        } else if (c == ',') {
            if (++commasInLine >= 2 || !betweenDigits)
                commaSeparates = true;
        } else if (c == '.' && commasInLine > 0 && betweenDigits) {
            commaSeparates = true;
        }
        cellStart = c == '\t' || c == ';' || c == ',' || isLineEnd(c) || (cellStart && c == ' ');
    }
    if (tab)
        return '\t';
    if (semicolon)
        return ';';
    return commaSeparates ? ',' : 0;
}

// A cell's text as readCell reads it, cut to kMaxCellChars when longer
// (then it is no number); `cut` is set when it was. The trimming and the
// cut look at the ends of the text only, so a cell of millions of
// characters costs no more than finding its end.
TableCell boundedCell(std::string_view raw, bool& cut)
{
    const std::string_view t = trimmed(raw);
    if (t.size() <= kMaxCellChars)
        return readCell(t);
    std::string shortened = shortenedText(t);
    if (shortened == t)
        return readCell(t);
    cut = true;
    return problemCell(std::move(shortened), CellProblem::NotANumber);
}

// Reads the cell at `i` up to the separator or the line end (which stay
// unread); counts the line breaks inside a quoted cell in `line`.
TableCell readField(std::string_view s, std::size_t& i, char separator, std::size_t& line, bool& cut)
{
    const auto endsField = [&](char c) { return (separator != 0 && c == separator) || isLineEnd(c); };
    const std::size_t start = i;
    while (i < s.size() && s[i] == ' ')
        ++i;
    if (i >= s.size() || s[i] != '"') {
        i = start;
        while (i < s.size() && !endsField(s[i]))
            ++i;
        return boundedCell(s.substr(start, i - start), cut);
    }

    // A quoted cell keeps no more than a cut cell needs: four bytes a
    // character and a few more, so that the cut still shows.
    constexpr std::size_t kKeptBytes = 4 * kMaxCellChars + 8;
    std::string text;
    const auto add = [&text](char c) {
        if (text.size() < kKeptBytes)
            text += c;
    };
    ++i;
    for (;;) {
        if (i >= s.size()) {
            TableCell open = boundedCell(text, cut);
            return problemCell(std::move(open.text), CellProblem::OpenQuote);
        }
        const char c = s[i];
        if (c == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
                add('"');
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        if (c == '\n' || (c == '\r' && (i + 1 >= s.size() || s[i + 1] != '\n')))
            ++line;
        add(c);
        ++i;
    }
    while (i < s.size() && !endsField(s[i]))
        add(s[i++]);
    return boundedCell(text, cut);
}

// A row with a number, or with a cell that is written like one but cannot
// be read ("1.000,5", "1E999"): the rows begin there, so that such a cell is
// marked rather than skipped as a header.
bool startsRows(const TableRow& row)
{
    return std::any_of(row.cells.begin(), row.cells.end(), [](const TableCell& c) {
        return c.number || c.problem == CellProblem::SeveralMarks || c.problem == CellProblem::TooLarge;
    });
}

bool isBlankRow(const TableRow& row)
{
    return std::all_of(row.cells.begin(), row.cells.end(), [](const TableCell& c) {
        return c.text.empty() && c.problem == CellProblem::None;
    });
}

// A piece of digits with at most one decimal mark, at most 15 significant
// digits and at most 22 after the mark, read without a string: the digits
// as an integer below 2^53 and 10^k for k <= 22 are exact doubles, so their
// one quotient is the correctly rounded number, the same one ReadNumber
// gets from from_chars. Nothing for any other piece.
std::optional<double> shortDecimal(std::string_view digits)
{
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t whole = 0;
    bool digit = false;
    int significant = 0;
    int fraction = 0;
    bool mark = false;
    for (const char c : digits) {
        if (isMark(c)) {
            if (mark)
                return std::nullopt;
            mark = true;
            continue;
        }
        digit = true;
        if (whole != 0 || c != '0')
            ++significant;
        whole = whole * 10 + std::uint64_t(c - '0');
        fraction += mark ? 1 : 0;
        if (significant > 15 || fraction > 22)
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    return double(whole) / kPowersOfTen[fraction];
}

// The number of a piece of a run in findNumbers: its digits, and the sign
// ('+', '-' or 0 for none) and exponent that belong to it.
std::optional<double> pieceValue(char sign, std::string_view digits, std::string_view exponent)
{
    if (exponent.empty())
        if (const std::optional<double> value = shortDecimal(digits))
            return sign == '-' && *value != 0.0 ? -*value : *value;
    std::string text;
    if (sign != 0)
        text += sign;
    text += digits;
    text += exponent;
    return readPlainNumber(text);
}

// Finds the numbers of a free text as findNumbers describes them, at most
// `most`, and calls add(offset, length, sign, digits, exponent) for each
// piece in order; reading its value is left to `add`.
template <class Add>
void scanNumbers(std::string_view s, std::size_t most, Add&& add)
{
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < s.size() && count < most) {
        // A word, with any digits and marks inside it: "Lp4m", "L1,5".
        if (isWordChar(s[i])) {
            while (i < s.size() &&
                   (isWordChar(s[i]) || isDigit(s[i]) ||
                    (isMark(s[i]) && digitAt(s, i + 1) && isDigit(s[i - 1]))))
                ++i;
            continue;
        }

        // An optional sign, unless it follows a digit ("60-70").
        const std::size_t start = i;
        std::size_t signLength = 0;
        if (s[i] == '-' || s[i] == '+')
            signLength = 1;
        else if (s.substr(i, kMinusSign.size()) == kMinusSign)
            signLength = kMinusSign.size();
        if (signLength > 0 && start > 0 && isDigit(s[start - 1]))
            signLength = 0;
        std::size_t p = start + signLength;
        const bool leadingPoint = p < s.size() && s[p] == '.' && digitAt(s, p + 1);
        if (!digitAt(s, p) && !leadingPoint) {
            i = start + std::max<std::size_t>(signLength, 1);
            continue;
        }

        // The run: digits with single marks between them.
        const std::size_t runStart = p;
        if (leadingPoint)
            ++p;
        bool comma = false;
        std::size_t marks = leadingPoint ? 1 : 0;
        while (p < s.size() && (isDigit(s[p]) || (isMark(s[p]) && digitAt(s, p + 1)))) {
            if (isMark(s[p])) {
                ++marks;
                comma = comma || s[p] == ',';
            }
            ++p;
        }
        const std::string_view run = s.substr(runStart, p - runStart);

        std::size_t exponentEnd = p;
        if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
            std::size_t k = p + 1;
            if (k < s.size() && (s[k] == '+' || s[k] == '-'))
                ++k;
            if (digitAt(s, k)) {
                while (digitAt(s, k))
                    ++k;
                exponentEnd = k;
            }
        }
        const std::string_view exponent = s.substr(p, exponentEnd - p);
        const char sign = signLength == 0 ? 0 : s[start] == '+' ? '+' : '-';

        if (!comma || marks == 1) {
            ++count;
            add(start, exponentEnd - start, sign, run, exponent);
        } else {
            // Several marks with a comma among them: the commas separate.
            std::size_t pieceStart = 0;
            while (pieceStart <= run.size()) {
                std::size_t next = run.find(',', pieceStart);
                const bool last = next == std::string_view::npos;
                if (last)
                    next = run.size();
                const std::string_view piece = run.substr(pieceStart, next - pieceStart);
                const bool first = pieceStart == 0;
                const std::size_t offset = first ? start : runStart + pieceStart;
                const std::size_t end = last ? exponentEnd : runStart + next;
                ++count;
                add(offset, end - offset, first ? sign : char(0), piece, last ? exponent : std::string_view());
                if (count == most)
                    return;
                pieceStart = next + 1;
            }
        }
        i = exponentEnd;
    }
}

}  // namespace

std::string cellProblemText(CellProblem problem)
{
    switch (problem) {
    case CellProblem::None: return {};
    case CellProblem::NotANumber: return "Keine Zahl.";
    case CellProblem::SeveralMarks:
        return "Mehr als ein Dezimalzeichen: Tausendertrennzeichen werden nicht gelesen.";
    case CellProblem::TooLarge: return "Die Zahl ist zu groß.";
    case CellProblem::OpenQuote: return "Das Anführungszeichen wird nicht geschlossen.";
    }
    return {};
}

TableCell readCell(std::string_view text)
{
    const std::string_view t = trimmed(text);
    if (t.empty())
        return {};
    // The minus sign U+2212 of typeset texts reads as "-".
    std::string candidate(t);
    if (t.substr(0, kMinusSign.size()) == kMinusSign)
        candidate = "-" + std::string(t.substr(kMinusSign.size()));

    TableCell cell;
    cell.text = std::string(t);
    // plainNumber checks the form and puts a point in place of either mark;
    // ReadNumber then reads it with the calculators' own rules.
    if (const std::optional<std::string> plain = plainNumber(candidate, ".")) {
        try {
            cell.number = ReadNumber(*plain);
            return cell;
        } catch (const ArithmeticError&) {
            return problemCell(std::move(cell.text), CellProblem::TooLarge);
        }
    }
    return problemCell(std::move(cell.text),
                       hasSeveralMarks(candidate) ? CellProblem::SeveralMarks : CellProblem::NotANumber);
}

std::string shortenedText(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Every byte but a UTF-8 continuation byte starts a character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars == maxChars)
            return std::string(text.substr(0, i)) + "\u2026";
        ++chars;
    }
    return std::string(text);
}

PastedTable parsePastedTable(std::string_view s, const TableLimits& limits)
{
    if (s.substr(0, kBom.size()) == kBom)
        s.remove_prefix(kBom.size());
    PastedTable table;
    table.separator = chooseSeparator(s);

    std::size_t i = 0;
    std::size_t line = 1;
    bool inRows = false;
    while (i < s.size()) {
        TableRow row;
        row.line = line;
        for (;;) {
            TableCell cell = readField(s, i, table.separator, line, table.cellsCut);
            if (row.cells.size() < limits.columns)
                row.cells.push_back(std::move(cell));
            else if (!cell.text.empty() || cell.problem != CellProblem::None)
                table.cellsLeftOut = true;
            if (table.separator != 0 && i < s.size() && s[i] == table.separator) {
                ++i;
                continue;
            }
            break;
        }
        if (i < s.size()) {  // a line end
            if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
                ++i;
            ++i;
            ++line;
        }
        if (isBlankRow(row))
            continue;
        inRows = inRows || startsRows(row);
        if (!inRows) {
            ++table.headerLines;
            if (table.header.size() >= limits.headerRows)
                continue;
        }
        table.columns = std::max(table.columns, row.cells.size());
        (inRows ? table.rows : table.header).push_back(std::move(row));
        if (table.rows.size() >= limits.rows) {
            const std::string blanks{' ', '\t', '\r', '\n', table.separator == 0 ? ' ' : table.separator};
            table.moreRows = s.find_first_not_of(blanks, i) != std::string_view::npos;
            break;
        }
    }
    return table;
}

void findNumbers(std::string_view s, std::vector<FoundNumber>& found, std::size_t most)
{
    found.clear();
    if (most == 0)
        return;
    // At most one number in every two characters. Reserved at once, the
    // vector is not copied as it grows through a long paste (100 000
    // levels), and the pages it never fills are never touched.
    found.reserve(std::min<std::size_t>({s.size() / 2 + 1, 1'000'000, most}));
    scanNumbers(s, most,
                [&found](std::size_t offset, std::size_t length, char sign, std::string_view digits,
                         std::string_view exponent) {
                    found.push_back({pieceValue(sign, digits, exponent), offset, length});
                });
}

std::vector<FoundNumber> findNumbers(std::string_view s, std::size_t most)
{
    std::vector<FoundNumber> found;
    findNumbers(s, found, most);
    return found;
}

std::size_t countNumbers(std::string_view s, std::size_t most)
{
    std::size_t count = 0;
    scanNumbers(s, most, [&count](std::size_t, std::size_t, char, std::string_view, std::string_view) { ++count; });
    return count;
}

}  // namespace orvella
