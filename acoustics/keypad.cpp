// SPDX-License-Identifier: GPL-3.0-or-later
#include "keypad.h"

#include "checked.h"
#include "numbers.h"

namespace orvella {

namespace {

// 10^(0.1 * level): the sound energy of a level, relative to the reference.
// Overflows above about 3082.5 dB.
Real energy(double level) { return pow(Real(10.0), Real(kEnergyExponentPerDb) * Real(level)); }

// Decibels from an energy ratio; fails for a ratio of 0 or below.
double decibels(Real ratio) { return (Real(10.0) * Real(Log10(ratio.value()))).value(); }

}  // namespace

double addLevels(double level1, double level2)
{
    return decibels(energy(level1) + energy(level2));
}

double multiplyLevel(double level, double count)
{
    return decibels(energy(level) * Real(count));
}

std::string displayText(double result)
{
    std::string text = FormatResult(result, 1, ".");
    return result < 0.0 && text != "0" ? text : " " + text;
}

void Keypad::pressDigit(std::string_view caption)
{
    if (newEntry_)
        display_.clear();
    if (display_ == "0")
        display_.clear();
    display_ += caption;
    newEntry_ = false;
}

void Keypad::pressPoint()
{
    if (newEntry_) {
        display_ = "0.";
        newEntry_ = false;
    }
    if (display_.find('.') == std::string::npos) {
        display_ += '.';
        newEntry_ = false;
    }
}

void Keypad::pressOperator(std::string_view caption)
{
    operand1_ = ReadNumber(display_);
    pendingOperator_ = caption;
    newEntry_ = true;
}

void Keypad::pressEqual()
{
    operand2_ = ReadNumber(display_);
    if (pendingOperator_.empty())
        return;

    // Everything is computed before anything changes, so a failure leaves the
    // display and the state as they were (operand2 excepted, which is taken
    // before the arithmetic).
    double value = result_;
    if (pendingOperator_ == "+")
        value = addLevels(operand1_, operand2_);
    else if (pendingOperator_ == "x")
        value = multiplyLevel(operand1_, operand2_);
    value = roundHalfEven(value, 1);
    std::string text = displayText(value);

    result_ = value;
    display_ = std::move(text);
    newEntry_ = true;
    pendingOperator_.clear();
}

void Keypad::pressAllClear()
{
    display_ = "0";
    pendingOperator_.clear();
    operand1_ = 0.0;
    operand2_ = 0.0;
    result_ = 0.0;
    newEntry_ = false;
}

}  // namespace orvella
