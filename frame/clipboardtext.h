// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What "Eingaben und Ergebnisse kopieren" puts on the clipboard, as text,
// without Qt: the numbers of the fields in the user's decimal mark, and the
// table of labels and numbers as tab-separated lines and as HTML. Texts are
// UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// The field text as a number written with `decimalMark`, when the text is a
// plain number; nothing otherwise.
//
// A plain number is, between optional surrounding blanks, an optional sign,
// digits with at most one decimal mark and an optional exponent (E or e, an
// optional sign, digits), with at least one digit before the exponent. The
// decimal mark may be a point or a comma, whatever the user's settings: the
// windows read a comma as the decimal mark (the comma fix) and write their
// results with the user's mark and never with thousands separators, so a
// comma in a field is a decimal comma. "1,000" under English settings is
// therefore copied as "1.000", the number the calculation reads, and not
// left to be read as a thousand by a spreadsheet. A text with a second mark
// ("1.000,5", "1,2,3"), a blank inside ("1 5") or anything else is not a
// plain number, although ReadNumber reads a leading number from it: such a
// text is copied as it stands, since its number is not what it shows.
//
// The digits, the sign and the exponent are kept as written; only the mark
// changes, a mark without digits after it is dropped ("5." is "5") and one
// without digits before it gets a zero (".5" is "0,5").
std::optional<std::string> plainNumber(std::string_view text, std::string_view decimalMark);

// plainNumber, or the text as it stands when it is not a plain number.
std::string numberOrText(std::string_view text, std::string_view decimalMark);

// One line of the copied table: a label and its field's number; or, when
// `heading` is set, the caption of a frame under which the next lines stand
// (the halves of a window with two calculators).
struct CopyRow {
    std::string label;
    std::string value;
    bool heading = false;
};

struct CopyTable {
    std::string caption;  // the calculator's name as the menu shows it
    std::vector<CopyRow> rows;
};

// The table as text/plain: the caption on the first line, then one line per
// row, "label<TAB>value" or the heading alone; every line ends with a line
// feed. Tabs and line breaks inside a label or a value become blanks, so
// that every row stays one line of two cells.
std::string tableAsText(const CopyTable& table);

// The table as text/html: one two-column <table> with the caption as its
// <caption>, a heading as a row of one cell across both columns, and
// nothing else. Markup characters are escaped and every character outside
// ASCII is written as a numeric character reference, so the table reads
// the same whatever character set the receiving program assumes.
std::string tableAsHtml(const CopyTable& table);

}  // namespace orvella
