// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One description of each calculator, shared by its window and by the
// companion windows (help, parameter study): its inputs and results with
// symbol, German label, unit and decimals, the fields that hold them, the
// one function that computes the results, and everything the help and the
// study say about it: the handbook texts, the steps of the worked
// calculation with their formulas and named coefficients, why a step can
// fail, and the guidance values a result is compared with. Qt-free.
//
// The window reads the inputs in the listed order (through the comma fix
// where the description says so), calls `compute` and writes the results in
// the listed order. A companion reads the same field texts with the same
// rules, without changing them, and calls the same `compute`; so a study
// point or a worked calculation can never disagree with the window. The
// companions know no calculator by name: a new calculator is its formula,
// its description and its window design, in a folder of its own; without a
// design its window is built from the description (describedform.h).

#include "checked.h"

#include <string>
#include <string_view>
#include <utility>
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
    // A choice: the texts the field can hold, and its value is the position
    // of its text in this list, counted from 1 (0 for a text not in it). A
    // window built from the description shows an input choice as a list to
    // choose from; a result choice is written as the text at its value.
    std::vector<std::string> choices{};
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
    // The text a window built from the description starts with (a designed
    // window has it in its design); for a choice, empty means its first text.
    std::string initial{};
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

// An input chosen from `choices`, read as the position of its text (not
// through the comma fix, and not offered a range of its own by the study
// beyond the positions).
inline InputQuantity makeChoice(std::string key, std::string symbol, std::string label,
                                std::string field, std::vector<std::string> choices)
{
    InputQuantity q = makeInput(std::move(key), symbol, symbol, std::move(label), {},
                                std::move(field), {1.0, double(choices.size()), Spacing::Linear});
    q.commaFix = false;
    q.choices = std::move(choices);
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

struct Evaluation;

// Values a window keeps outside its fields (the keypad's operands), as pairs
// of a key and a text.
using WindowState = std::vector<std::pair<std::string, std::string>>;

// --- what the help and the study say about a calculator ---------------------
//
// Texts are German HTML fragments in UTF-8. A number in them is a
// placeholder, which the help writes with the user's decimal mark:
//   {k:0.125}  a number that stands for itself (an example, a rounded figure)
//   {c:name}   a named number of the description (`constants`), so that a
//              coefficient is written once, where the formula code uses it
// A formula line adds {i:key} (an input as read) and {s:key} (a traced
// value); there {c:name} is first looked up among the line's coefficients.

// A number with a name. `symbol` is how a formula shows it ("π", "a"); empty
// when the formula shows the number itself.
struct NamedNumber {
    std::string name;
    std::string symbol;
    double value = 0.0;
};

// "{k:45}": a number as a placeholder that stands for itself, for texts
// built from a constant.
std::string literal(double value);

// An intermediate value of a calculation as the help names it.
struct StepInfo {
    std::string key;
    std::string symbol;   // HTML; empty: a result of the model, named by the model
    std::string unit;
    std::string meaning;  // German
    std::string where;    // "bei ...": where a calculation stops in this step
};

// One line of a calculation: the step it computes, its formula, the
// coefficients the formula names and a note on the line.
struct FormulaLine {
    std::string step;
    std::string formula;
    std::vector<NamedNumber> coefficients;
    std::string note;
};

// Why a calculation stops in `step` with one of `faults` (with any fault
// when the list is empty): "weil ...".
struct StopReason {
    std::string step;
    std::vector<ArithmeticFault> faults;
    std::string reason;
};

// A heading of the handbook with its text.
struct HandbookSection {
    std::string heading;
    std::string text;  // HTML
};

// The handbook of a calculator.
struct Handbook {
    std::string answers{};      // what the calculator answers
    std::string forWhom{};      // empty when `answers` says it
    std::string assumptions{};  // HTML
    std::vector<HandbookSection> sections{};  // after the assumptions
    std::string limits{};       // HTML: which inputs have no finite answer
    std::string onStop{};       // what the window does then
};

// A target value from a standard, for one result. The help compares the
// result as the window writes it with a bound; the study's chart draws every
// value as a line at its result's curve.
enum class Bound { AtLeast, AtMost, Marked };
struct Guidance {
    std::string result;  // the result's key
    double value = 0.0;
    Bound bound = Bound::Marked;
    std::string name;    // the quantity as the source names it: "D<sub>2,S</sub>"
    bool labelBelow = false;  // the chart's label below its line, not above
};
struct GuidanceSet {
    std::string source;   // "ISO 3382-3"
    std::string purpose;  // "für gute Großraumbüros"
    std::vector<Guidance> values;
};

// A value the window does not show, derived from its results and worked
// after them (the comfort distance from the prognosis).
struct DerivedValue {
    std::string intro;  // HTML, before its lines
    // From the results in the order of the description's `results`; records
    // its steps in `trace`. Throws ArithmeticError where it has no answer.
    double (*compute)(const std::vector<double>& results, Trace* trace) = nullptr;
    std::vector<FormulaLine> lines;
    int decimals = 1;
    std::string answer;    // HTML; "{value}" stands for the value written with `decimals`
    std::string noAnswer;  // "Kein endlicher Komfortabstand"
};

// What a worked calculation is written with. The description says what is
// worked and with which numbers; the help decides how it looks.
class WorkedWriter {
public:
    virtual ~WorkedWriter() = default;
    // A number with the user's decimal mark: as exactly as a double holds
    // it, or to six significant digits.
    virtual std::string exact(double value) const = 0;
    virtual std::string rounded(double value) const = 0;
    // A text of the description with its placeholders written out.
    virtual std::string text(std::string_view html) const = 0;
    // A text as the window shows it, quoted, its blanks kept.
    virtual std::string shown(std::string_view windowText) const = 0;
    // Marks what has no finite answer.
    virtual std::string stop(std::string_view html) const = 0;
    virtual void table(const std::vector<std::pair<std::string, std::string>>& rows) = 0;
    virtual void paragraph(std::string_view html) = 0;
    virtual void formula(std::string_view html) = 0;  // a worked line of its own
};

// The worked calculation of a calculator that computes from what its window
// keeps outside the fields (the keypad), written after every click.
struct StateWorked {
    std::string heading;
    void (*write)(const WindowState& state, WorkedWriter& out) = nullptr;
    // The state the window had just before a recorded calculation, for its
    // worked calculation later (the Verlauf's report): from the recorded
    // inputs (their numbers) and results (their texts) under their keys,
    // and the recorded line ("60 + 60 = 63"). Null: the recorded values
    // themselves are the state.
    WindowState (*stateBefore)(const WindowState& recorded, const std::string& expression) = nullptr;
};

// A companion window of the calculator's own, beyond help and study: an
// entry of its window's context menu with its key, which loads the plugin on
// first use and opens the plugin's companion for the window.
struct CompanionEntry {
    std::string text;      // the menu entry, German: "Messauswertung ISO 3382-3…"
    std::string shortcut;  // the key as QKeySequence reads it: "F3"; empty for none
    std::string plugin;    // the plugin's base name: "orvella_measurement"
    // The id of the evaluation (EvaluationModel::id) the companion keeps in
    // the Verlauf: "Übernehmen" on one of its entries opens this companion
    // with its rows again. Empty for a companion that records nothing.
    std::string evaluation{};
};

struct CalculatorModel {
    std::string id{};               // "frmFeuchte"; frmSchall's halves "frmSchall.l", "frmSchall.p"
    std::string window{};           // the window's object name: "frmFeuchte"
    std::string title{};            // the calculator's name as the menu shows it
    std::string part{};             // the frame caption of one half of a window; else empty
    std::string calculateButton{};  // "cmdRun_Feuchte"; empty when there is none
    // The button's caption; the window's design takes it from here.
    std::string calculateCaption{};
    bool resultsCommaFix = false;  // results pass through KillKomma after writing
    std::vector<InputQuantity> inputs{};  // in the order the window reads them
    std::vector<Quantity> results{};      // in the order the window writes them
    // The results, in the order of `results`, from the inputs in the order of
    // `inputs`; records its intermediate values in `trace` when given.
    // Throws ArithmeticError where the arithmetic fails. Null for a
    // calculator that computes from no fields (the keypad).
    std::vector<double> (*compute)(const std::vector<double>& inputs, Trace* trace) = nullptr;

    Handbook handbook{};
    std::vector<NamedNumber> constants{};  // what {c:name} in the texts stands for
    std::vector<StepInfo> steps{};         // the traced steps the help names
    // The lines of the calculation, in the order they are computed. With an
    // evaluation, the branch its numbers took (water or ice, a range of the
    // outdoor temperature); without, every branch.
    std::vector<FormulaLine> (*formulas)(const Evaluation* evaluation) = nullptr;
    std::vector<StopReason> stopReasons{};
    GuidanceSet guidance{};
    std::vector<DerivedValue> derived{};
    StateWorked stateWorked{};
    std::vector<CompanionEntry> companions{};  // offered after help and study

    bool computes() const { return compute != nullptr; }
    // Index of the input or result with this key; -1 when there is none.
    int inputIndex(std::string_view key) const;
    int resultIndex(std::string_view key) const;
    // The named number; null when there is none.
    const NamedNumber* constant(std::string_view name) const;
    // The lines of `formulas`, or none.
    std::vector<FormulaLine> formulaLines(const Evaluation* evaluation) const;
    // The reason for a stop in `step` with `fault`; null when none is given.
    const StopReason* stopReason(std::string_view step, ArithmeticFault fault) const;
};

// The hint the calculator frame shows at the calculate button when a
// calculation stops.
inline constexpr std::string_view kCalculationStoppedHint =
    "Berechnung nicht möglich – bitte Eingaben prüfen.";

// What the calculator frame does when a calculation has no finite answer,
// as the help says it: the sentence for the button with this caption.
std::string frameStopBehaviour(std::string_view calculateCaption);

// A caption as it reads: without blanks around it, a run of blanks as one.
std::string plainCaption(std::string_view caption);

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

// A result as its field shows it: a choice's text at its value, "–" for a
// value the calculation leaves open for these inputs (NaN), otherwise
// FormatResult with `decimalMark`. Throws ArithmeticError like FormatResult.
std::string resultText(const Quantity& result, double value, std::string_view decimalMark);

// Whether the result is written as words or "–" rather than as a number.
bool writtenAsText(const Quantity& result, double value);

// Reads one field text as the window would: the comma fix (on a copy) when
// the input passes through it, then ReadNumber; a choice is read as the
// position of its text. Throws ArithmeticError on a
// number too large to read.
double readInput(const InputQuantity& input, std::string_view text);

// Reads every input text (in the order of model.inputs) as the window would
// and computes, never throwing: a failure is described in the result.
Evaluation evaluateTexts(const CalculatorModel& model, const std::vector<std::string>& texts);

// Computes from numbers that are already read, never throwing.
Evaluation evaluate(const CalculatorModel& model, const std::vector<double>& inputs);

}  // namespace orvella
