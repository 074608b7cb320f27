// SPDX-License-Identifier: GPL-3.0-or-later
#include "numbers.h"

#include "checked.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace orvella {

std::string KillKomma(std::string text)
{
    if (const auto p = text.find(','); p != std::string::npos)
        text[p] = '.';
    return text;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexDigit(char c)
{
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "&H..." and "&O...": a plain non-negative integer in base 16 or 8.
double readRadixInteger(std::string_view digits, int radix)
{
    double value = 0.0;
    for (const char c : digits) {
        const int d = hexDigit(c);
        if (d < 0 || d >= radix)
            break;
        value = checkedResult(value * radix + d);
    }
    return value;
}

}  // namespace

double ReadNumber(std::string_view text)
{
    std::string s;
    s.reserve(text.size());
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readRadixInteger(std::string_view(s).substr(2), 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readRadixInteger(std::string_view(s).substr(2), 8);
        return 0.0;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';

    std::string mantissa;
    const std::size_t intStart = i;
    while (i < s.size() && isDigit(s[i]))
        mantissa += s[i++];
    const std::size_t intDigits = i - intStart;
    std::size_t fracDigits = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t fracStart = i;
        while (i < s.size() && isDigit(s[i]))
            mantissa += s[i++];
        fracDigits = i - fracStart;
    }
    if (intDigits + fracDigits == 0)
        return 0.0;

    // Exponent, only when at least one digit follows the letter. Its value is
    // capped far beyond the double range so that any length of digits reads.
    long exponent = 0;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            expNegative = s[j++] == '-';
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent = std::min(exponent * 10 + (s[j] - '0'), 100'000'000L);
            if (expNegative)
                exponent = -exponent;
        }
    }

    // The digits as one integer with the decimal exponent adjusted for the
    // fraction digits: from_chars rounds that correctly and ignores the
    // process locale.
    const std::size_t firstNonZero = mantissa.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return 0.0;
    const long scale = exponent - static_cast<long>(fracDigits);
    const std::string digits =
        mantissa.substr(firstNonZero) + "e" + std::to_string(scale);

    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Out of range one way or the other: the position of the leading digit
        // tells an overflow from an underflow to zero.
        const long magnitude = static_cast<long>(mantissa.size() - firstNonZero) + scale;
        if (magnitude > 0)
            throw ArithmeticError(ArithmeticFault::Overflow);
        value = 0.0;
    }
    checkedResult(value);
    return negative ? -value : value;
}

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The length of the run of digits at `at`.
std::size_t digitsAt(std::string_view s, std::size_t at)
{
    std::size_t n = 0;
    while (at + n < s.size() && isDigit(s[at + n]))
        ++n;
    return n;
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

std::optional<double> readPlainNumber(std::string_view text)
{
    const std::optional<std::string> plain = plainNumber(text, ".");
    if (!plain)
        return std::nullopt;
    try {
        return ReadNumber(*plain);
    } catch (const ArithmeticError&) {
        return std::nullopt;
    }
}

double roundHalfEven(double value, int decimals)
{
    const double factor = std::pow(10.0, decimals);
    const double scaled = checkedResult(value * factor);
    double whole = std::floor(scaled);
    const double rest = scaled - whole;  // exact below 2^52; 0 above
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    const double rounded = whole / factor;
    return rounded == 0.0 ? 0.0 : rounded;  // no negative zero
}

std::string FormatResult(double value, int decimals, std::string_view decimalMark)
{
    const double r = roundHalfEven(checkedResult(value), decimals);
    if (r == 0.0)
        return "0";

    // 15 significant digits, as d.dddddddddddddde[+-]x, independent of locale.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(r),
                                   std::chars_format::scientific, 14);
    const std::string sci(buf, res.ptr);
    const std::size_t ePos = sci.find('e');
    std::string digits = sci.substr(0, 1) + sci.substr(2, ePos - 2);
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = r < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -15) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += decimalMark;
            out += digits.substr(1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string e = std::to_string(std::abs(exponent));
        out += (e.size() < 2 ? "0" : "") + e;
        return out;
    }
    if (exponent < 0) {
        out += "0";
        out += decimalMark;
        out += std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const std::size_t intLen = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= intLen) {
        out += digits + std::string(intLen - digits.size(), '0');
    } else {
        out += digits.substr(0, intLen);
        out += decimalMark;
        out += digits.substr(intLen);
    }
    return out;
}

double Log10(double x)
{
    return (ln(x) / ln(10.0)).value();
}

Placement placeOnLoad(float screenWidth, float screenHeight, float outerWidth, float outerHeight)
{
    const float top = (screenHeight - outerHeight) / 2.0f;
    const float left = (screenWidth - outerWidth) / 3.0f;
    return {left, top};
}

}  // namespace orvella
