// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The decibel calculator's keypad as a state machine, without Qt.
//
// "+" adds two sound levels energetically (two incoherent sources together),
// "x" multiplies the sound energy of a level by a count of equal sources.
// The keys work with their captions: a digit key appends its caption, an
// operator key stores its caption, and "=" compares the stored caption with
// "+" and "x". The window passes the pressed key's caption and shows
// display() after each key.

#include <string>
#include <string_view>

namespace orvella {

class Keypad {
public:
    // A digit key: starts a new number after an operator or "=", replaces a
    // display of exactly "0", else appends the caption.
    void pressDigit(std::string_view caption);

    // The point key: "0." on a new number, else a point unless the display
    // already has one.
    void pressPoint();

    // An operator key: takes the display as operand1 and the caption as the
    // pending operator; the next digit starts a new number. Never evaluates an
    // earlier pending operation. Throws ArithmeticError when the display
    // cannot be read; then nothing has changed.
    void pressOperator(std::string_view caption);

    // "=": takes the display as operand2 and, with an operator pending,
    // computes the result rounded to one decimal and shows it in the
    // invariant form (" 63", "-0.5"). Throws ArithmeticError when the display
    // cannot be read (nothing has changed) or the arithmetic fails (only
    // operand2 has its new value).
    void pressEqual();

    // "C": display "0", no pending operator, every number 0, appending mode.
    void pressAllClear();

    // The display as the window's controls were built with it (on every
    // opening of the window the display shows its design text again while
    // the rest of the state stays).
    void setDisplay(std::string text) { display_ = std::move(text); }

    const std::string& display() const { return display_; }
    double operand1() const { return operand1_; }
    double operand2() const { return operand2_; }
    const std::string& pendingOperator() const { return pendingOperator_; }
    bool newEntry() const { return newEntry_; }
    double result() const { return result_; }

private:
    std::string display_ = "0";
    double operand1_ = 0.0;
    double operand2_ = 0.0;
    std::string pendingOperator_;
    bool newEntry_ = false;
    double result_ = 0.0;
};

// The exponent of a level's sound energy per decibel: 10^(0.1 * level). A
// multiplication by 0.1, not a division by 10.
inline constexpr double kEnergyExponentPerDb = 0.1;

// Level of two incoherent sources: 10 * Log10(10^(0.1 * level1) + 10^(0.1 * level2)).
double addLevels(double level1, double level2);

// Level of `count` equal sources of `level`: 10 * Log10(10^(0.1 * level) * count).
// Throws ArithmeticError for a count of 0 or below.
double multiplyLevel(double level, double count);

// A result of "=" as the display shows it: a point as decimal mark whatever
// the regional settings, no trailing zeros, a zero before the point of values
// between -1 and 1, and a leading blank for values that are not negative.
std::string displayText(double result);

}  // namespace orvella
