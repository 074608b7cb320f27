// SPDX-License-Identifier: GPL-3.0-or-later
#include "texttable.h"

#include "pastedtext.h"

#include <algorithm>

namespace orvella {

namespace {

// The code point of the UTF-8 sequence at `i`, advancing `i` past it; an
// invalid byte is taken as U+FFFD and skipped alone.
char32_t nextCodePoint(const std::string& s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int length = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        cp = lead & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + length > s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return cp;
}

std::string htmlText(const std::string& s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const char32_t cp = nextCodePoint(s, i);
        switch (cp) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            if (cp < 0x80)
                out += static_cast<char>(cp);
            else
                out += "&#" + std::to_string(static_cast<unsigned long>(cp)) + ';';
        }
    }
    return out;
}

std::string oneLine(std::string cell)
{
    std::replace_if(cell.begin(), cell.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
                    ' ');
    return cell;
}

std::size_t columnCount(const TextTable& table)
{
    std::size_t columns = table.header.size();
    for (const auto& row : table.rows)
        columns = std::max(columns, row.size());
    return columns;
}

bool isHeading(const std::vector<std::string>& row, std::size_t columns)
{
    return row.size() == 1 && columns > 1;
}

// A text cell that begins with "=", "+", "-" or "@" would be taken as a
// formula by a spreadsheet that opens the file: a leading apostrophe keeps
// it text, as spreadsheets themselves write such a cell. A number ("-3,5",
// "+5") stays as it is.
std::string neutralised(const std::string& cell)
{
    if (cell.empty() || std::string_view("=+-@").find(cell.front()) == std::string_view::npos ||
        readCell(cell).number)
        return cell;
    return '\'' + cell;
}

void appendCsvCell(std::string& out, const std::string& text, char separator)
{
    const std::string cell = neutralised(text);
    if (cell.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos) {
        out += cell;
        return;
    }
    out += '"';
    for (char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// Writes every row of the table (caption, header, rows) with `append`.
template <class Append>
void forEachLine(const TextTable& table, Append&& append)
{
    if (!table.caption.empty())
        append(std::vector<std::string>{table.caption});
    if (!table.header.empty())
        append(table.header);
    for (const auto& row : table.rows)
        append(row);
}

}  // namespace

std::string tabSeparatedText(const TextTable& table)
{
    std::string out;
    forEachLine(table, [&out](const std::vector<std::string>& row) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += '\t';
            out += oneLine(row[i]);
        }
        out += '\n';
    });
    return out;
}

std::string csvText(const TextTable& table, bool decimalComma)
{
    const char separator = decimalComma ? ';' : ',';
    std::string out;
    forEachLine(table, [&out, separator](const std::vector<std::string>& row) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i)
                out += separator;
            appendCsvCell(out, row[i], separator);
        }
        out += "\r\n";
    });
    return out;
}

std::string htmlTable(const TextTable& table)
{
    const std::size_t columns = columnCount(table);
    const std::string td = table.alignRight ? "<td align=\"right\">" : "<td>";
    std::string out = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    if (!table.caption.empty())
        out += "<caption>" + htmlText(table.caption) + "</caption>\n";
    if (!table.header.empty()) {
        out += "<tr>";
        for (const std::string& h : table.header)
            out += "<th>" + htmlText(h) + "</th>";
        out += "</tr>\n";
    }
    for (const auto& row : table.rows) {
        if (isHeading(row, columns)) {
            out += "<tr><th colspan=\"" + std::to_string(columns) + "\">" + htmlText(row.front()) +
                   "</th></tr>\n";
            continue;
        }
        out += "<tr>";
        for (const std::string& cell : row)
            out += td + htmlText(cell) + "</td>";
        out += "</tr>\n";
    }
    out += "</table>\n";
    return out;
}

}  // namespace orvella
