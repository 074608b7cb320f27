// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the fuzz targets: splitting an input into the texts of a
// window's fields, reading a field the way the windows do, and the checks
// every result must pass. A failed check prints what was wrong and aborts,
// which libFuzzer reports as a finding together with the input.

#include "checked.h"
#include "numbers.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace fuzz {

[[noreturn]] inline void fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "property violated: %s%s%s\n", what, detail.empty() ? "" : ": ",
                 detail.c_str());
    std::abort();
}

inline std::string show(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

// The pieces of a finding's message: texts as they are, numbers with all
// their digits, and a function that builds a text (for a costly detail).
inline std::string describe(const std::string& text) { return text; }
inline std::string describe(const char* text) { return text; }
inline std::string describe(double x) { return show(x); }
inline std::string describe(int n) { return std::to_string(n); }
template <class Detail>
    requires std::is_invocable_r_v<std::string, const Detail&>
inline std::string describe(const Detail& detail)
{
    return detail();
}

// Aborts with `what` and the pieces of the detail unless `ok`. The detail
// is put together only when the check fails: most checks run several times
// per input, and formatting numbers into a text each time would cost more
// than the checks themselves.
template <class... Detail>
inline void check(bool ok, const char* what, const Detail&... detail)
{
    if (!ok)
        fail(what, (std::string() + ... + describe(detail)));
}

// x, hidden from the optimiser: a library function (log, pow) called on a
// constant is then still called at run time, as the program calls it,
// instead of being folded by the compiler into a constant of its own.
inline double opaque(double x)
{
    volatile double v = x;
    return v;
}

// The common logarithm as the calculators take it (Log10): ln x / ln 10,
// in plain doubles, so that a reference value computed with it agrees bit
// for bit with a correct program; NaN or -inf outside its domain.
inline double lg(double x)
{
    return std::log(opaque(x)) / std::log(opaque(10.0));
}

// A chain of plain double steps that notes whether every step stayed
// finite. A reference value is computed with it step by step in the order
// the formula states, so that it matches the checked arithmetic of the
// program exactly: where the program stops (an overflow, a division by
// zero, a logarithm of x <= 0, a negative base under a fractional power),
// some step here is infinite or NaN, and nowhere else.
struct Steps {
    bool finite = true;
    double operator()(double x)
    {
        finite = finite && std::isfinite(x);
        return x;
    }
};

// The input as the texts of `count` fields, one per line. A text box holds a
// single line, so a line feed cannot occur inside a field; missing fields
// are empty (and read as 0, like an empty text box).
inline std::vector<std::string> splitFields(const std::uint8_t* data, std::size_t size,
                                            std::size_t count)
{
    std::vector<std::string> fields(count);
    std::size_t field = 0;
    for (std::size_t i = 0; i < size && field < count; ++i) {
        if (data[i] == '\n')
            ++field;
        else
            fields[field] += static_cast<char>(data[i]);
    }
    return fields;
}

// A field read as every calculator reads it: comma fix, then ReadNumber.
// Throws ArithmeticError for a number too large for a double.
inline double readField(const std::string& text)
{
    const double value = orvella::ReadNumber(orvella::KillKomma(text));
    check(std::isfinite(value), "ReadNumber returned a value that is not finite", text);
    return value;
}

// The 15 significant digits FormatResult promises, computed independently
// (printf) and read back (strtod): what a written result must read back as.
inline double fifteenDigits(double x)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", x);
    return std::strtod(buf, nullptr);
}

// A result as a window writes it, with either decimal mark: either the
// rounding overflows (and is reported as ArithmeticError), or the text is a
// plain number that reads back (comma fix included) as the rounded value.
inline void checkFormatted(double value, int decimals)
{
    check(std::isfinite(value), "a result that is not finite was not reported", value);
    double rounded = 0.0;
    try {
        rounded = orvella::roundHalfEven(value, decimals);
    } catch (const orvella::ArithmeticError&) {
        check(std::isinf(value * std::pow(10.0, decimals)),
              "roundHalfEven failed though value * 10^decimals is finite", value);
        return;
    }
    check(std::isfinite(rounded), "roundHalfEven returned a value that is not finite", value);
    // The nearest integer to value * 10^decimals, ties to even, as the C
    // library rounds in its default mode, divided back.
    const double factor = std::pow(10.0, decimals);
    const double expected = std::nearbyint(value * factor) / factor;
    check(rounded == expected, "rounding is not ties-to-even on value * 10^decimals",
          value, " d=", decimals, " -> ", rounded, " expected ", expected);

    // Within 15 significant digits of the largest double the written text
    // lies beyond the double range; reading it back then reports an
    // overflow, as for any other number too large.
    const double written = fifteenDigits(rounded);
    for (const char* mark : {".", ","}) {
        const std::string text = orvella::FormatResult(value, decimals, mark);
        check(!text.empty(), "FormatResult wrote nothing", value);
        check(text != "-0", "FormatResult wrote -0", value);
        check((text[0] == '-') == (rounded < 0.0), "sign of the text differs from the value",
              value, " -> ", text);

        // Only digits, at most one decimal mark, an optional exponent; in
        // plain form no more decimals than asked for and no trailing zeros.
        const std::string body = text.substr(text[0] == '-' ? 1 : 0);
        const std::size_t e = body.find('E');
        const std::string mantissa = body.substr(0, e);
        const std::size_t markPos = mantissa.find(mark[0]);
        for (std::size_t i = 0; i < mantissa.size(); ++i)
            check(i == markPos || (mantissa[i] >= '0' && mantissa[i] <= '9'),
                  "unexpected character in a result", text);
        check(!mantissa.empty() && mantissa[0] != mark[0], "result without a leading digit", text);
        if (markPos != std::string::npos) {
            check(mantissa.back() != '0' && mantissa.back() != mark[0], "trailing zero or mark", text);
            if (e == std::string::npos)
                check(mantissa.size() - markPos - 1 <= static_cast<std::size_t>(decimals),
                      "more decimals than asked for", text);
        }
        if (e != std::string::npos) {
            const std::string exponent = body.substr(e + 1);
            check(exponent.size() >= 3 && (exponent[0] == '+' || exponent[0] == '-') &&
                      exponent.find_first_not_of("0123456789", 1) == std::string::npos,
                  "malformed exponent", text);
        }

        const std::string readable = mark[0] == ',' ? orvella::KillKomma(text) : text;
        try {
            const double back = orvella::ReadNumber(readable);
            check(back == written, "result text does not read back as the rounded value",
                  value, " d=", decimals, " -> ", text, " -> ", back, " expected ", written);
        } catch (const orvella::ArithmeticError&) {
            check(std::isinf(written), "result text does not read back (overflow)",
                  value, " -> ", text);
        }
    }
}

}  // namespace fuzz
