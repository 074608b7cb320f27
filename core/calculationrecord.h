// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One completed calculation as the history keeps it: which calculator, the
// inputs as they stood in the fields and the numbers read from them, the
// results as the window wrote them, when, and with which program version.
// Plain data, Qt-free; the calculate path of the windows fills it from the
// calculator's description, the history stores and shows it.

#include "calculation.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvella {

struct RecordedInput {
    std::string key;    // the description's key: "thetaR"
    std::string label;  // "Raumtemperatur"
    std::string unit;   // "°C"; empty when dimensionless
    std::string field;  // the text box it was read from: "txRaum"
    std::string text;   // the field's text as it stood when the calculation started
    double number = 0.0;  // the number the calculation read from it
};

struct RecordedResult {
    std::string key;
    std::string label;
    std::string unit;
    std::string field;
    std::string text;  // the text the window wrote into the field
};

// The keypad, whose description names no fields, records its two operands
// as inputs with the texts its display showed, its result as the one
// result, and the whole line in `expression`: "60 + 60 = 63".
struct CalculationRecord {
    // When the calculation completed: milliseconds since 1970-01-01 00:00 UTC,
    // and the local time's offset from UTC then, so that the time can be
    // shown as the user saw it. A time of 0 is stamped by the history.
    std::int64_t timeUtcMs = 0;
    std::int32_t utcOffsetSeconds = 0;
    std::string calculatorId;  // the description's id: "frmSchall.l", "frmCalculator"
    std::string window;        // the window's object name, "frmSchall"
    std::string calculator;    // the calculator's name as the menu shows it
    std::string part;          // the frame caption of one half of a window; else empty
    std::string programVersion;  // empty: stamped by the history with its own version
    std::vector<RecordedInput> inputs;    // in the order the window reads them
    std::vector<RecordedResult> results;  // in the order the window writes them
    std::string expression;  // the keypad's line; empty for the formula calculators
    std::string note;        // the user's note; empty until one is written
    // An evaluation of a table (evaluationrecord.h) instead of a
    // calculation: the key that stays the same for every state of one list,
    // so that each state replaces the entry's last; the calculator it
    // belongs to; and its rows as one text. Empty for a calculation.
    std::string evaluationKey;
    std::string ownerId;
    std::string rows;
};

// The record of one calculation of `model`: its names, and its inputs and
// results with the description's keys, labels, units and fields. The texts
// and numbers are given in the description's order; missing ones stay empty
// (0 for a number), extra ones are ignored. Time and version are left for
// the history to stamp.
CalculationRecord recordOf(const CalculatorModel& model, const std::vector<std::string>& inputTexts,
                           const std::vector<double>& inputNumbers,
                           const std::vector<std::string>& resultTexts);

// The calculator's name as a list shows it: the menu name, followed by the
// frame caption in parentheses for one half of a window.
std::string calculatorDisplayName(const CalculationRecord& record);

// Who is told of every completed calculation (the history). The windows
// call it on the GUI thread once a calculation has written its results; a
// calculation that stops calls nothing. Anything the observer throws is
// caught and dropped: the calculator never notices it. An empty function
// removes the observer.
using CalculationObserver = std::function<void(const CalculationRecord&)>;
void setCalculationObserver(CalculationObserver observer);

// Hands `record` to the observer, if there is one.
void notifyCalculation(const CalculationRecord& record);

}  // namespace orvella
