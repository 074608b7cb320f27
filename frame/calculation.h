// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One description of each formula calculator, shared by its window and by
// the companion windows (help, parameter study): its inputs and results with
// symbol, German label, unit and decimals, the fields that hold them, and the
// one function that computes the results. Qt-free.
//
// The window reads the inputs in the listed order (through the comma fix
// where the description says so), calls `compute` and writes the results in
// the listed order. A companion reads the same field texts with the same
// rules, without changing them, and calls the same `compute`; so a study
// point or a worked calculation can never disagree with the window.

#include "checked.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// An input or result as the windows show it.
struct Quantity {
    std::string key;         // stable name used by traces and companions: "thetaR"
    std::string symbol;      // plain text, for table headers: "θr"
    std::string symbolHtml;  // for typeset formulas: "θ<sub>r</sub>"
    std::string label;       // German meaning: "Raumtemperatur"
    std::string unit;        // "°C", "dB", "%", "m"; empty when dimensionless
    std::string field;       // the window's text box: "txRaum"
    int decimals = 0;        // results: the decimals FormatResult writes
};

enum class Spacing { Linear, Logarithmic };

// The range a parameter study offers for an input when the user chooses it
// as the variable.
struct StudyRange {
    double from = 0.0;
    double to = 1.0;
    Spacing spacing = Spacing::Linear;
};

struct InputQuantity : Quantity {
    bool commaFix = true;  // the window passes the field through KillKomma before reading
    StudyRange study;
};

// An input read through the comma fix, offered to the study over `study`.
inline InputQuantity makeInput(std::string key, std::string symbol, std::string symbolHtml,
                               std::string label, std::string unit, std::string field,
                               StudyRange study)
{
    InputQuantity q;
    q.key = std::move(key);
    q.symbol = std::move(symbol);
    q.symbolHtml = std::move(symbolHtml);
    q.label = std::move(label);
    q.unit = std::move(unit);
    q.field = std::move(field);
    q.study = study;
    return q;
}

inline Quantity makeResult(std::string key, std::string symbol, std::string symbolHtml,
                           std::string label, std::string unit, std::string field, int decimals)
{
    return {std::move(key), std::move(symbol), std::move(symbolHtml), std::move(label),
            std::move(unit), std::move(field), decimals};
}

// The intermediate values of one calculation, in the order they were
// completed, and the step that was running when the arithmetic failed. Steps
// nest: a step may run smaller steps of its own (the dew point inside the
// condensation limit), and a failure belongs to the innermost running one.
struct TraceEntry {
    std::string key;
    double value;
};

class Trace {
public:
    // Starts the step `key`; a failure from now on belongs to it.
    void begin(std::string_view key) { running_.emplace_back(key); }
    // Records the value of the innermost running step, ends it and returns the value.
    double end(double value);
    const std::vector<TraceEntry>& entries() const { return entries_; }
    // The innermost step that has begun and not ended (after a failure: the
    // failing one); empty when none is running.
    std::string running() const { return running_.empty() ? std::string() : running_.back(); }
    // The value recorded under `key`; NaN when there is none.
    double value(std::string_view key) const;

private:
    std::vector<TraceEntry> entries_;
    std::vector<std::string> running_;
};

// Runs `f` as the step `key` of `trace` (which may be null) and returns its value.
template <class F>
double step(Trace* trace, std::string_view key, F&& f)
{
    if (!trace)
        return static_cast<double>(f());
    trace->begin(key);
    return trace->end(static_cast<double>(f()));
}

struct CalculatorModel {
    std::string id;               // "frmFeuchte"; frmSchall's halves "frmSchall.l", "frmSchall.p"
    std::string window;           // the window's object name: "frmFeuchte"
    std::string title;            // the calculator's name as the menu shows it
    std::string part;             // the frame caption of one half of a window; else empty
    std::string calculateButton;  // "cmdRun_Feuchte"
    bool resultsCommaFix = false;  // results pass through KillKomma after writing
    std::vector<InputQuantity> inputs;  // in the order the window reads them
    std::vector<Quantity> results;      // in the order the window writes them
    // The results, in the order of `results`, from the inputs in the order of
    // `inputs`; records its intermediate values in `trace` when given.
    // Throws ArithmeticError where the arithmetic fails.
    std::vector<double> (*compute)(const std::vector<double>& inputs, Trace* trace) = nullptr;

    // Index of the input or result with this key; -1 when there is none.
    int inputIndex(std::string_view key) const;
    int resultIndex(std::string_view key) const;
};

// The outcome of one calculation for a companion window.
struct Evaluation {
    bool ok = false;
    std::vector<double> inputs;     // as read
    std::vector<double> results;    // when ok
    std::vector<TraceEntry> steps;  // intermediate values up to the end or the failure
    // When not ok: the step that failed ("read:<input key>" when an input
    // text could not be read) and why.
    std::string failedStep;
    ArithmeticFault fault = ArithmeticFault::InvalidOperation;
};

// Reads one field text as the window would: the comma fix (on a copy) when
// the input passes through it, then ReadNumber. Throws ArithmeticError on a
// number too large to read.
double readInput(const InputQuantity& input, std::string_view text);

// Reads every input text (in the order of model.inputs) as the window would
// and computes, never throwing: a failure is described in the result.
Evaluation evaluateTexts(const CalculatorModel& model, const std::vector<std::string>& texts);

// Computes from numbers that are already read, never throwing.
Evaluation evaluate(const CalculatorModel& model, const std::vector<double>& inputs);

}  // namespace orvella
