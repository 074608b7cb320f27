// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What "Eingaben und Ergebnisse kopieren" puts on the clipboard, as text,
// without Qt: the numbers of the fields in the user's decimal mark, and the
// table of labels and numbers as tab-separated lines and as HTML. Texts are
// UTF-8.

#include "numbers.h"
#include "texttable.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvella {

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

// The table of texts the copy writes: the caption, then per row the label
// and the value, or the heading alone as a row of one cell.
TextTable textTableOf(const CopyTable& table);

// The table as text/plain: the caption on the first line, then one line per
// row, "label<TAB>value" or the heading alone (tabSeparatedText).
std::string tableAsText(const CopyTable& table);

// The table as text/html: one two-column <table> with the caption as its
// <caption> and a heading as a row of one cell across both columns
// (htmlTable).
std::string tableAsHtml(const CopyTable& table);

}  // namespace orvella
