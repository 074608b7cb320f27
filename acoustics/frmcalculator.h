// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmCalculator: the decibel calculator's keypad window.

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

// The design of frmCalculator: the frame with the display and the keys, and
// CLOSE below it. The digit keys are the control array cmdNumber (member i
// carries the digit i + 1, member 9 the "0"), the operator keys the members
// 1 ("x") and 3 ("+") of cmdOperator.
WindowDesign calculatorDesign();

// The calculator's instance. Its keypad state lives as long as the instance,
// so CLOSE and reopening shows "0" but keeps a pending operator and its first
// operand. The keys work from the keyboard too, wherever the focus is in the
// window: digits, "." or "," for the point, "+", "*" or "x" for the operators,
// "=", Return or Enter for "=", Escape or Delete for "C" (main row and numeric
// keypad alike); Ctrl+C copies the display's number, Ctrl+V types the key
// characters of the clipboard's text.
std::unique_ptr<CalculatorForm> makeCalculatorForm(std::function<void()> showMenu);

}  // namespace orvella
