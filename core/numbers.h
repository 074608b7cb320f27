// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number rules every calculator window shares: the comma fix, reading a
// number from a field's text, writing a rounded result, the common logarithm
// and the placement of a window on the screen. Qt-free; frame/fields.h wraps
// them for text boxes and the user's regional settings.

#include <optional>
#include <string>
#include <string_view>

namespace orvella {

// The text with its first "," replaced by "." (only the first; length kept).
std::string KillKomma(std::string text);

// The leading number of a text, read with "." as the only decimal mark.
// Blanks, tabs and line feeds are ignored wherever they stand ("1 5" is 15);
// then an optional sign, digits with at most one point and an optional
// exponent (E or e, optional sign, digits). Reading stops at the first
// character that cannot continue the number, so "2,5" reads as 2. A text
// without a leading number reads as 0. "&H1F" and "&O17" read as
// hexadecimal and octal integers. Throws ArithmeticError(Overflow) for a
// number too large for a double, such as "1E999"; a number too small for a
// double reads as 0.
double ReadNumber(std::string_view text);

// A text as a number written with `decimalMark`, when the text is a plain
// number; nothing otherwise. Every reader of a number in either decimal mark
// (the copy, the study's range, a pasted cell) checks the form here.
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

// The number of a plain number (plainNumber), read as the windows read their
// fields (ReadNumber; a value too small for a double reads as 0); nothing
// when the text is not a plain number or its number is too large for a
// double.
std::optional<double> readPlainNumber(std::string_view text);

// value rounded to `decimals` places, ties to even (the nearest integer to
// value * 10^decimals as computed in double precision), written with at most
// 15 significant digits, without trailing zeros, without a decimal mark when
// whole, never as "-0", and with `decimalMark` as the decimal mark.
// Magnitudes of 10^15 and above are written in exponent form ("1E+15").
// Throws ArithmeticError(Overflow) when value * 10^decimals overflows.
std::string FormatResult(double value, int decimals, std::string_view decimalMark);

// The rounding step of FormatResult alone: value rounded to `decimals`
// places, ties to even. Throws ArithmeticError(Overflow) like FormatResult.
double roundHalfEven(double value, int decimals);

// Common logarithm as ln x / ln 10, both natural logarithms taken at each
// call. Throws ArithmeticError for x <= 0.
double Log10(double x);

// Where a window goes when it loads, in twips, computed in single precision:
// centred vertically, at one third of the free width horizontally. The sizes
// are the window's outer size (title bar and borders included) and the whole
// screen's size. Nothing is clamped: a window wider than the screen gets a
// negative left edge.
struct Placement {
    float left;
    float top;
};
Placement placeOnLoad(float screenWidth, float screenHeight, float outerWidth, float outerHeight);

}  // namespace orvella
