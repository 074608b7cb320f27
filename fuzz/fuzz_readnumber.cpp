// SPDX-License-Identifier: GPL-3.0-or-later
// ReadNumber after KillKomma, as every calculator reads a text box.
//
// Checks, for any text: the comma fix changes only the first comma and keeps
// the length; reading either gives a finite number or reports an overflow
// (ArithmeticError), nothing else; and the number is the one the text
// stands for, compared with the C library's own correctly rounded strtod
// on the leading number of the text (blanks removed).

#include "fuzzsupport.h"

#include <cerrno>
#include <cfloat>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The leading number of `s` (blanks already removed) in the form ReadNumber
// reads: sign, digits with at most one point, and an exponent only when a
// digit follows the letter (and its sign). Empty when there is none.
std::string leadingNumber(const std::string& s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return {};
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return s.substr(0, i);
}

void checkKillKomma(const std::string& text, const std::string& fixed)
{
    fuzz::check(fixed.size() == text.size(), "KillKomma changed the length", text);
    const std::size_t comma = text.find(',');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char expected = i == comma ? '.' : text[i];
        fuzz::check(fixed[i] == expected, "KillKomma changed more than the first comma", text);
    }
}

void checkRead(const std::string& text)
{
    std::string s;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            s += c;

    double value = 0.0;
    bool overflow = false;
    try {
        value = orvella::ReadNumber(text);
    } catch (const orvella::ArithmeticError& e) {
        fuzz::check(e.fault() == orvella::ArithmeticFault::Overflow,
                    "ReadNumber failed with something other than an overflow", text);
        overflow = true;
    }
    if (!overflow)
        fuzz::check(std::isfinite(value), "ReadNumber returned a value that is not finite", text);

    if (s.size() >= 2 && s[0] == '&') {
        // "&H" hexadecimal, "&O" octal: a non-negative integer, exact while it fits 2^53.
        const char kind = s[1];
        const int radix = (kind == 'H' || kind == 'h') ? 16 : (kind == 'O' || kind == 'o') ? 8 : 0;
        if (radix == 0) {
            fuzz::check(!overflow && value == 0.0, "\"&\" without H or O must read as 0", text);
            return;
        }
        std::size_t n = 2;
        unsigned long long exact = 0;
        bool fits = true;
        for (; n < s.size(); ++n) {
            const char c = s[n];
            int d = isDigit(c) ? c - '0'
                  : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
            if (d >= radix)
                break;
            if (exact > (1ULL << 53) / radix)
                fits = false;
            exact = exact * radix + d;
        }
        if (fits && exact <= (1ULL << 53))
            fuzz::check(!overflow && value == static_cast<double>(exact),
                        "radix integer read wrongly", text, " -> ", value);
        else if (!overflow)
            fuzz::check(value >= 0.0, "radix integer read as negative", text);
        return;
    }

    const std::string number = leadingNumber(s);
    if (number.empty()) {
        fuzz::check(!overflow && value == 0.0, "a text without a number must read as 0",
                    text, " -> ", value);
        return;
    }
    errno = 0;
    const double expected = std::strtod(number.c_str(), nullptr);
    const bool tooLarge = errno == ERANGE && std::isinf(expected);
    if (tooLarge) {
        fuzz::check(overflow, "a number too large for a double was not reported", text);
        return;
    }
    fuzz::check(!overflow, "a number in range was reported as an overflow", text);
    if (std::fabs(expected) < DBL_MIN)
        // Below the normal range ReadNumber gives 0 (or, where the C++
        // library delivers it, the same subnormal value).
        fuzz::check(value == 0.0 || value == expected, "a tiny number read wrongly",
                    text, " -> ", value);
    else
        fuzz::check(value == expected, "number read differs from the correctly rounded value",
                    text, " -> ", value, " expected ", expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string fixed = orvella::KillKomma(text);
    checkKillKomma(text, fixed);
    checkRead(fixed);
    checkRead(text);
    return 0;
}
