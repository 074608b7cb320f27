// SPDX-License-Identifier: GPL-3.0-or-later
#include "clipboardtext.h"

namespace orvella {

std::string numberOrText(std::string_view text, std::string_view decimalMark)
{
    if (std::optional<std::string> number = plainNumber(text, decimalMark))
        return *number;
    return std::string(text);
}

TextTable textTableOf(const CopyTable& table)
{
    TextTable out;
    out.caption = table.caption;
    out.rows.reserve(table.rows.size());
    for (const CopyRow& row : table.rows) {
        if (row.heading)
            out.rows.push_back({row.label});
        else
            out.rows.push_back({row.label, row.value});
    }
    return out;
}

std::string tableAsText(const CopyTable& table) { return tabSeparatedText(textTableOf(table)); }

std::string tableAsHtml(const CopyTable& table) { return htmlTable(textTableOf(table)); }

}  // namespace orvella
