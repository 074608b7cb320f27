// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The decibel calculator (frmCalculator) as a calculator description: it
// computes from no fields but from the keypad's state, so its description
// holds the handbook and the worked calculation of that state. Qt-free.

#include "calculation.h"
#include "calculationrecord.h"

#include <string>
#include <string_view>

namespace orvella {

const CalculatorModel& keypadModel();

// The keypad's state as its window hands it to the companions.
struct KeypadState {
    std::string display;
    double operand1 = 0.0;
    double operand2 = 0.0;
    std::string pendingOperator;
    bool newEntry = false;
    double result = 0.0;
};

// Reads the state the keypad window writes: "display", "operand1",
// "operand2", "pendingOperator", "newEntry" ("1" or "0") and "result". A
// number is read with a point or a comma as its decimal mark, never by the
// C library's locale; a missing or unreadable one is 0.
KeypadState keypadStateOf(const WindowState& state);

// The record of an "=" that computed: operand 1 as the display showed it
// when its operator key was pressed, the operator ("+" or "x"), operand 2
// as the display showed it at "=", the numbers read from them, and the
// result as the display shows it now. The texts are kept as shown, a
// leading blank included; `expression` reads "60 + 60 = 63".
CalculationRecord keypadRecord(std::string_view operand1Text, double operand1, std::string_view op,
                               std::string_view operand2Text, double operand2, std::string_view resultText);

}  // namespace orvella
