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
// keeps the level and a count above one does not lower it, each up to the
// rounding to one decimal and the rounding of the sound energies (which,
// for levels below about -3076 dB, are subnormal and coarse).
//
// Speed: the keys typed so far and the texts of a finding's message are put
// together only when a check fails, the state is copied only before a key
// that can fail, and a display that a key left as it was is not read again.

#include "fuzzsupport.h"
#include "keypad.h"

#include <cerrno>
#include <cfloat>
#include <optional>

namespace {

using orvella::ArithmeticError;
using orvella::Keypad;

constexpr char kKeys[] = "0123456789.+x=CR";

// The key a byte stands for: itself when it is one of the readable keys,
// else the key at (byte mod 16).
char keyOf(std::uint8_t byte)
{
    for (const char k : std::string_view(kKeys, 16))
        if (byte == static_cast<std::uint8_t>(k))
            return k;
    return kKeys[byte % 16];
}

// The keys pressed so far, for a finding's message: built only then.
std::string keysOf(const std::uint8_t* data, std::size_t count)
{
    std::string keys;
    for (std::size_t i = 0; i < count; ++i)
        keys += keyOf(data[i]);
    return keys;
}

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

// How far (dB) a level worked out through its sound energy can come back
// off through the energy's rounding beyond the levels' own last digits: an
// energy 10^(0.1·L) below the normal range (L below about -3076 dB) is held
// in steps of 2^-1074, far coarser than its digits, and one that is 0 has
// lost the level altogether (no bound). `energy` is computed as the
// program computes it.
double subnormalSlack(double energy)
{
    if (energy >= DBL_MIN)
        return 0.0;
    if (energy == 0.0)
        return HUGE_VAL;
    return 10.0 * std::log10((energy + std::ldexp(1.0, -1074)) / energy);
}

double energyOf(double level)
{
    return std::pow(10.0, 0.1 * level);
}

// The harness's own code is left out of libFuzzer's coverage feedback
// (its scanning loops only add features that say nothing about the keypad).
__attribute__((no_sanitize("coverage")))
void checkDisplay(const Keypad& k, const std::uint8_t* data, std::size_t count)
{
    const std::string& d = k.display();
    const auto where = [&] { return keysOf(data, count) + " -> \"" + d + "\""; };
    std::size_t i = 0;
    if (i < d.size() && (d[i] == ' ' || d[i] == '-'))
        ++i;
    const std::size_t start = i;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9')
        ++i;
    fuzz::check(i > start, "display without a leading digit", where);
    if (i < d.size() && d[i] == '.')
        ++i;
    while (i < d.size() && d[i] >= '0' && d[i] <= '9')
        ++i;
    fuzz::check(i == d.size(), "display does not read as a number", where);

    errno = 0;
    const double expected = std::strtod(d.c_str(), nullptr);
    const bool tooLarge = errno == ERANGE && std::isinf(expected);
    try {
        const double value = orvella::ReadNumber(d);
        // Below the normal range ReadNumber gives 0 or the same subnormal
        // value, as in the number reading target.
        fuzz::check(!tooLarge && (value == expected ||
                                  (std::fabs(expected) < DBL_MIN && value == 0.0)),
                    "display reads as another number", where);
    } catch (const ArithmeticError&) {
        fuzz::check(tooLarge, "display failed to read though it is in range", where);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Keypad keypad;
    // The display as last checked: a key that leaves it as it was (an
    // operator, "=" with nothing pending, a second point, "C" or "R" on "0")
    // needs no second look, since reading a text gives the same number each
    // time. The other checks run after every key.
    std::string checked;
    const auto checkChanged = [&](std::size_t pressed) {
        if (keypad.display() != checked) {
            checkDisplay(keypad, data, pressed);
            checked = keypad.display();
        }
    };
    checkChanged(0);
    // The state before a key that can fail ("+", "x", "="): what a failure
    // must leave unchanged, and the operator "=" worked out.
    std::optional<Snapshot> before;
    for (std::size_t n = 0; n < size; ++n) {
        const char key = keyOf(data[n]);
        const std::size_t pressed = n + 1;
        const auto keys = [&] { return keysOf(data, pressed); };
        const bool canFail = key == '+' || key == 'x' || key == '=';
        if (canFail)
            before.emplace(keypad);

        try {
            switch (key) {
            case '.': keypad.pressPoint(); break;
            case '+': keypad.pressOperator("+"); break;
            case 'x': keypad.pressOperator("x"); break;
            case '=': keypad.pressEqual(); break;
            case 'C': keypad.pressAllClear(); break;
            case 'R': keypad.setDisplay("0"); break;
            default: keypad.pressDigit(std::string_view(&key, 1)); break;
            }
        } catch (const ArithmeticError&) {
            // Only "+", "x" and "=" read or compute; any other key failing
            // is a finding in itself.
            fuzz::check(canFail, "a key that neither reads nor computes failed", keys);
            const Snapshot after(keypad);
            if (key == '=')
                fuzz::check(after.sameExceptOperand2(*before), "a failing \"=\" changed the state",
                            keys);
            else
                fuzz::check(after == *before, "a failing key changed the state", keys);
            checkChanged(pressed);
            continue;
        }

        if (key == '=' && !before->pending.empty()) {
            const double r = keypad.result();
            fuzz::check(std::isfinite(r), "a result that is not finite", keys);
            fuzz::check(orvella::roundHalfEven(r, 1) == r || std::fabs(r) >= 1e14,
                        "a result not rounded to one decimal",
                        keys, " -> ", r);
            fuzz::check(keypad.display() == orvella::displayText(r), "display differs from the result",
                        keys, " -> \"", keypad.display(), "\"");
            fuzz::check(keypad.pendingOperator().empty() && keypad.newEntry(),
                        "\"=\" leaves an operator pending or the number open", keys);
            // Rounding to one decimal moves a level by up to 0.05 dB; the
            // energies' rounding by a few units in the last place of the
            // levels, and by more where an energy is subnormal.
            const double a = keypad.operand1(), b = keypad.operand2();
            const double slack = 0.05 + 1e-12 * std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
            if (before->pending == "+") {
                const double louder = std::fmax(a, b);
                fuzz::check(r >= louder - slack - subnormalSlack(energyOf(louder)),
                            "sum of two levels below the louder one", keys, ": ", a, " + ", b, " = ", r);
            }
            if (before->pending == "x" && b == 1.0)
                fuzz::check(std::fabs(r - a) <= slack + subnormalSlack(energyOf(a)),
                            "one source must keep its level", keys, ": ", a, " x ", b, " = ", r);
            if (before->pending == "x" && b > 1.0)
                fuzz::check(r >= a - slack - subnormalSlack(energyOf(a)),
                            "more sources must not lower the level", keys, ": ", a, " x ", b, " = ", r);
        }
        if (key == '+' || key == 'x')
            fuzz::check(keypad.pendingOperator() == std::string_view(&key, 1) && keypad.newEntry(),
                        "operator key not taken", keys);
        checkChanged(pressed);
    }
    return 0;
}
