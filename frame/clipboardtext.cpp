// SPDX-License-Identifier: GPL-3.0-or-later
#include "clipboardtext.h"

namespace orvella {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The length of the run of digits at `at`.
std::size_t digitsAt(std::string_view s, std::size_t at)
{
    std::size_t n = 0;
    while (at + n < s.size() && isDigit(s[at + n]))
        ++n;
    return n;
}

// A cell of the tab-separated text: tabs and line breaks would split it.
std::string oneLine(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

// The code point of the UTF-8 sequence at `i`, advancing `i` past it; an
// invalid byte is taken as U+FFFD and skipped alone.
char32_t nextCodePoint(std::string_view s, std::size_t& i)
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

std::string htmlText(std::string_view s)
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

}  // namespace

std::optional<std::string> plainNumber(std::string_view text, std::string_view decimalMark)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const std::string_view s = text.substr(begin, end - begin);

    std::size_t i = 0;
    std::string out;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        out += s[i++];
    const std::size_t whole = digitsAt(s, i);
    out += s.substr(i, whole);
    i += whole;
    std::size_t fraction = 0;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        ++i;
        fraction = digitsAt(s, i);
        if (fraction > 0) {
            if (whole == 0)
                out += '0';
            out += decimalMark;
            out += s.substr(i, fraction);
        }
        i += fraction;
    }
    if (whole + fraction == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t k = i + 1;
        if (k < s.size() && (s[k] == '-' || s[k] == '+'))
            ++k;
        const std::size_t exponent = digitsAt(s, k);
        if (exponent == 0)
            return std::nullopt;
        out += s.substr(i, k + exponent - i);
        i = k + exponent;
    }
    if (i != s.size())
        return std::nullopt;
    return out;
}

std::string numberOrText(std::string_view text, std::string_view decimalMark)
{
    if (std::optional<std::string> number = plainNumber(text, decimalMark))
        return *number;
    return std::string(text);
}

std::string tableAsText(const CopyTable& table)
{
    std::string out = oneLine(table.caption) + '\n';
    for (const CopyRow& row : table.rows) {
        out += oneLine(row.label);
        if (!row.heading)
            out += '\t' + oneLine(row.value);
        out += '\n';
    }
    return out;
}

std::string tableAsHtml(const CopyTable& table)
{
    std::string out = "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
    out += "<caption>" + htmlText(table.caption) + "</caption>\n";
    for (const CopyRow& row : table.rows) {
        if (row.heading)
            out += "<tr><th colspan=\"2\">" + htmlText(row.label) + "</th></tr>\n";
        else
            out += "<tr><td>" + htmlText(row.label) + "</td><td>" + htmlText(row.value) +
                   "</td></tr>\n";
    }
    out += "</table>\n";
    return out;
}

}  // namespace orvella
