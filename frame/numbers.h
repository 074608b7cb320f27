// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number rules every calculator window shares: the comma fix, reading a
// number from a field's text, writing a rounded result, the common logarithm
// and the placement of a window on the screen. Qt-free; frame/fields.h wraps
// them for text boxes and the user's regional settings.

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
