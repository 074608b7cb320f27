// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading numbers from text that comes from elsewhere: a table pasted from a
// spreadsheet or loaded from a CSV file, and a free text from which a list
// of numbers is taken. Qt-free; the text is UTF-8 (the window decodes files
// with their own encoding first). Bytes that are not valid UTF-8 are kept as
// they stand: they are never separators, quotes or digits, so they can only
// make a cell "not a number".
//
// Numbers are read in either decimal mark, whatever the user's settings:
// Orvella's own CSV files are written with ";" and a decimal comma under
// German settings and with "," and a decimal point otherwise, and both must
// read back. Thousands separators are never read: "1.000,5" or "1,000.5"
// could mean two different numbers depending on where it was written, so a
// cell with more than one mark is not a number.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// Why a cell that is not empty has no number.
enum class CellProblem {
    None,          // empty, or a number
    NotANumber,    // text, or a number with something else in it ("12 dB")
    SeveralMarks,  // digits with more than one decimal mark ("1.000,5", "1,2,3")
    TooLarge,      // beyond the range of a double ("1E999")
    OpenQuote,     // a quoted cell whose closing quote never comes
};

// The German sentence the window shows for a problem; empty for None.
std::string cellProblemText(CellProblem problem);

struct TableCell {
    std::string text;              // without quotes and surrounding blanks
    std::optional<double> number;  // the number, when the text is one
    CellProblem problem = CellProblem::None;
    std::string reason;  // cellProblemText(problem)
};

// One cell's text read as a number. Blanks, tabs and no-break spaces around
// it are dropped. A number is an optional sign ("+", "-" or the minus sign
// U+2212), digits with at most one decimal mark ("." or ","), at least one
// digit, and an optional exponent (E or e, an optional sign, digits):
// "-3", "12,5", ".5", "1.5E3". Read exactly as the calculators read their
// fields (ReadNumber); a value too small for a double reads as 0.
TableCell readCell(std::string_view text);

struct TableRow {
    std::size_t line = 0;  // the line of the text on which the row starts, from 1
    std::vector<TableCell> cells;
};

// Bounds of every text that comes from elsewhere. A window checks the
// length of a pasted text (QMimeData::text().size(), in UTF-16 units)
// before it reads it; the table reader stops at its limits and says so.
inline constexpr std::size_t kMaxPastedChars = std::size_t(64) * 1024 * 1024;
// A cell or a name longer than this many characters is cut and ends with
// "…": nobody reads more in one cell, and a whole line of a few million
// characters in one cell would make every repaint slow.
inline constexpr std::size_t kMaxCellChars = 200;

// The text cut to at most `maxChars` characters (code points), with "…"
// in place of the rest; as it stands when it is short enough. A
// multi-byte character is never split.
std::string shortenedText(std::string_view text, std::size_t maxChars = kMaxCellChars);

struct TableLimits {
    std::size_t rows = 100'000;  // rows from the first line with a number on
    std::size_t columns = 64;    // cells of a line; the others are left out
    std::size_t headerRows = 64; // header lines kept (the others are only skipped)
};

struct PastedTable {
    char separator = 0;            // '\t', ';' or ','; 0 when every line is one cell
    std::vector<TableRow> header;  // the lines before the first line with a number
    std::vector<TableRow> rows;    // that line and all after it
    std::size_t columns = 0;       // the most cells of any row, header included
    // What the limits left out: more rows after the last one read, cells
    // with text to the right of the column limit, and whether a cell was
    // cut to kMaxCellChars.
    bool moreRows = false;
    bool cellsLeftOut = false;
    bool cellsCut = false;
    std::size_t headerLines = 0;  // header lines in the text, kept or not
};

// A pasted table or a CSV file, read as follows.
//
// - A UTF-8 byte order mark at the start is dropped. Lines end with CRLF, LF
//   or CR alone.
// - One separator for the whole text: the tab when there is one (what
//   spreadsheets put on the clipboard), else the semicolon when there is one,
//   else the comma when the text shows that it cannot be a decimal comma:
//   when a line has two commas or more, when a comma does not stand between
//   two digits ("a,b", "60, 62"), or when a decimal point follows a comma on
//   its line ("2,54.5"). Otherwise every line is one cell, and "12,5" is
//   12.5. So a two-column text of whole numbers with commas and nothing else
//   ("2,54") reads as decimal commas; with a header line or a decimal point
//   anywhere it reads as two columns.
// - Quotes as in RFC 4180: a cell that begins with a quote (blanks before it
//   allowed) runs to the next lone quote and may hold separators and line
//   breaks; a doubled quote inside stands for one quote. Text after the
//   closing quote is added as it stands. A quote inside an unquoted cell is
//   an ordinary character.
// - Rows may have different numbers of cells. A separator at the end of a
//   line gives an empty last cell.
// - Lines whose cells are all empty are left out wherever they stand. The
//   lines before the first line with a number are the header; from there on
//   every line is a row, and the window marks its cells that are not
//   numbers. A cell written like a number that cannot be read ("1.000,5",
//   "1E999") counts as a number here, so that it is marked, not skipped.
// - Within `limits`: reading stops after limits.rows rows (moreRows tells
//   whether text follows), cells past limits.columns are read past but
//   not kept, and a cell longer than kMaxCellChars is cut (it is then not
//   a number). Time and memory grow with the kept part, not with what is
//   left out: 20 MiB of ";" is one row of 64 empty cells.
PastedTable parsePastedTable(std::string_view text, const TableLimits& limits = {});

// A number found in a free text. `value` is nothing when the text looked
// like a number but is not read: too large for a double, or digits with
// several points ("12.03.2024").
struct FoundNumber {
    std::optional<double> value;
    std::size_t offset = 0;  // in bytes, from the start of the text
    std::size_t length = 0;  // in bytes, sign included
};

// Every number in a free text, in order; words and units are passed over:
// "12,5 dB; 60.3 dBA, L=70" gives 12.5, 60.3 and 70.
//
// - A run of digits with single marks between them ("60.3", "1,2,3") is
//   read as one number when it has at most one mark. With several marks a
//   comma separates numbers and a point is a decimal mark: "1,2,3" gives 1,
//   2 and 3, "60.5,62.5" gives 60.5 and 62.5. A part with several points is
//   not read.
// - A mark needs a digit on both sides to belong to a number, so a comma
//   followed by a blank always separates: "60, 62, 64" gives 60, 62 and 64,
//   "12,5" gives 12.5. A leading point counts: ".5" is 0.5.
// - Digits that continue a word are part of the word: "L1", "Lp4m" and "m3"
//   hold no number.
// - A sign ("+", "-", U+2212) directly before the digits belongs to the
//   number unless it directly follows a digit: "-3" is -3, "60-70" gives 60
//   and 70.
// - An exponent (E or e, an optional sign, at least one digit) directly
//   after the digits belongs to the (last) number: "1e3" is 1000.
// - At most `most` numbers: the search stops after them.
std::vector<FoundNumber> findNumbers(std::string_view text, std::size_t most = std::size_t(-1));
// The same into `found` (emptied first), so that a caller that reads a text
// line by line keeps one vector for all its lines.
void findNumbers(std::string_view text, std::vector<FoundNumber>& found, std::size_t most = std::size_t(-1));
// How many numbers findNumbers finds (at most `most`), without reading them.
std::size_t countNumbers(std::string_view text, std::size_t most = std::size_t(-1));

}  // namespace orvella
