// SPDX-License-Identifier: GPL-3.0-or-later
// The decibel calculator's keypad over any key sequence.
//
// Input: one key per byte. The readable keys are the captions "0"-"9", ".",
// "+", "x", "=", "C", and "R" for closing and reopening the window (the
// display shows its design text "0" again, the rest of the state stays).
// Any other byte stands for the key at (byte mod 16) in that list, so every
// input is a key sequence.
//
// Checks after every key: only ArithmeticError escapes; the display always
// reads as a number (blank or minus, digits, at most one point, and it reads
// back with ReadNumber unless it is too long for a double); a key that fails
// changes nothing ("=": nothing but the second operand); a result is
// finite, rounded to one decimal and shown as displayText shows it; the sum
// of two levels is never below the louder one, "x" with a count of one
// keeps the level.

#include "fuzzsupport.h"
#include "keypad.h"

#include <cerrno>

namespace {

using orvella::ArithmeticError;
using orvella::Keypad;

constexpr char kKeys[] = "0123456789.+x=CR";

struct Snapshot {
    std::string display;
    double operand1, operand2, result;
    std::string pending;
    bool newEntry;

    explicit Snapshot(const Keypad& k)
        : display(k.display()), operand1(k.operand1()), operand2(k.operand2()),
          result(k.result()), pending(k.pendingOperator()), newEntry(k.newEntry())
    {
    }
    bool sameExceptOperand2(const Snapshot& o) const
    {
        return display == o.display && operand1 == o.operand1 && result == o.result &&
               pending == o.pending && newEntry == o.newEntry;
    }
    bool operator==(const Snapshot& o) const
    {
        return sameExceptOperand2(o) && operand2 == o.operand2;
    }
};

void checkDisplay(const Keypad& k, const std::string& keys)
{
    const std::string& d = k.display();
    std::size_t i = 0;
    if (i < d.size() && (d[i] == ' ' || d[i] == '-'))
        ++i;
    const std::size_t start = i;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9')
        ++i;
    fuzz::check(i > start, "display without a leading digit", keys + " -> \"" + d + "\"");
    if (i < d.size() && d[i] == '.')
        ++i;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9')
        ++i;
    fuzz::check(i == d.size(), "display does not read as a number", keys + " -> \"" + d + "\"");

    errno = 0;
    const double expected = std::strtod(d.c_str(), nullptr);
    const bool tooLarge = errno == ERANGE && std::isinf(expected);
    try {
        const double value = orvella::ReadNumber(d);
        fuzz::check(!tooLarge && (value == expected || (expected != 0.0 && std::fabs(expected) < 2.3e-308)),
                    "display reads as another number", keys + " -> \"" + d + "\"");
    } catch (const ArithmeticError&) {
        fuzz::check(tooLarge, "display failed to read though it is in range",
                    keys + " -> \"" + d + "\"");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Keypad keypad;
    std::string keys;
    for (std::size_t n = 0; n < size; ++n) {
        char key = static_cast<char>(data[n]);
        if (std::string_view(kKeys).find(key) == std::string_view::npos || key == '\0')
            key = kKeys[data[n] % 16];
        keys += key;

        const Snapshot before(keypad);
        try {
            switch (key) {
            case '.': keypad.pressPoint(); break;
            case '+':
            case 'x': keypad.pressOperator(std::string(1, key)); break;
            case '=': keypad.pressEqual(); break;
            case 'C': keypad.pressAllClear(); break;
            case 'R': keypad.setDisplay("0"); break;
            default: keypad.pressDigit(std::string(1, key)); break;
            }
        } catch (const ArithmeticError&) {
            const Snapshot after(keypad);
            if (key == '=')
                fuzz::check(after.sameExceptOperand2(before), "a failing \"=\" changed the state",
                            keys);
            else
                fuzz::check(after == before, "a failing key changed the state", keys);
            checkDisplay(keypad, keys);
            continue;
        }

        if (key == '=' && !before.pending.empty()) {
            const double r = keypad.result();
            fuzz::check(std::isfinite(r), "a result that is not finite", keys);
            fuzz::check(orvella::roundHalfEven(r, 1) == r || std::fabs(r) >= 1e14,
                        "a result not rounded to one decimal", keys + " -> " + fuzz::show(r));
            fuzz::check(keypad.display() == orvella::displayText(r),
                        "display differs from the result", keys + " -> \"" + keypad.display() + "\"");
            fuzz::check(keypad.pendingOperator().empty() && keypad.newEntry(),
                        "\"=\" leaves an operator pending or the number open", keys);
            const double a = keypad.operand1(), b = keypad.operand2();
            const double slack = 0.05 + 1e-12 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
            if (before.pending == "+")
                fuzz::check(r >= std::fmax(a, b) - slack, "sum of two levels below the louder one",
                            keys + ": " + fuzz::show(a) + " + " + fuzz::show(b) + " = " + fuzz::show(r));
            if (before.pending == "x" && b == 1.0)
                fuzz::check(std::fabs(r - a) <= slack, "one source must keep its level",
                            keys + ": " + fuzz::show(a) + " -> " + fuzz::show(r));
            if (before.pending == "x" && b > 1.0)
                fuzz::check(r >= a - slack, "more sources must not lower the level",
                            keys + ": " + fuzz::show(a) + " x " + fuzz::show(b) + " = " + fuzz::show(r));
        }
        if (key == '+' || key == 'x')
            fuzz::check(keypad.pendingOperator() == std::string(1, key) && keypad.newEntry(),
                        "operator key not taken", keys);
        checkDisplay(keypad, keys);
    }
    return 0;
}
