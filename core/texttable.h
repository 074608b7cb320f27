// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A table of texts and the three ways the program writes one: tab-separated
// lines and an HTML table for the clipboard, and CSV for a file. Each way
// has one escaping rule, the same for every table the program writes (the
// copied window, the study's table). Qt-free; texts are UTF-8.

#include <string>
#include <vector>

namespace orvella {

// A header row (may be empty) and the rows below it. A row with a single
// cell in a table of more columns is a heading across the table (the frame
// of one half of a window). `caption` names the whole table; empty: none.
struct TextTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    std::string caption{};
    // HTML only: the cells below the header aligned right, for columns of
    // numbers.
    bool alignRight = false;
};

// Tab-separated lines, each ending with a line feed: the caption on a line
// of its own, the header, the rows. Tabs and line breaks inside a cell
// become blanks, so that every row stays one line.
std::string tabSeparatedText(const TextTable& table);

// One HTML <table>: the caption as its <caption>, the header as a row of
// <th>, a heading as one <th> across the table. Markup characters are
// escaped and every character outside ASCII is written as a numeric
// character reference, so the table reads the same whatever character set
// the receiving program assumes.
std::string htmlTable(const TextTable& table);

// CSV (RFC 4180 quoting, CRLF line ends): the caption as a row of one cell,
// the header, the rows. With a decimal comma the cells are separated by
// semicolons, as spreadsheets under German settings expect; otherwise by
// commas. A text cell that begins with "=", "+", "-" or "@" gets a leading
// apostrophe, so that a spreadsheet shows it as text instead of running
// it as a formula; numbers ("-3,5") are written as they stand.
std::string csvText(const TextTable& table, bool decimalComma);

}  // namespace orvella
