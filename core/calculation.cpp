// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculation.h"

#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvella {

double Trace::end(double value)
{
    std::string key;
    if (!running_.empty()) {
        key = std::move(running_.back());
        running_.pop_back();
    }
    entries_.push_back({std::move(key), value});
    return value;
}

double Trace::value(std::string_view key) const
{
    for (const TraceEntry& e : entries_)
        if (e.key == key)
            return e.value;
    return std::numeric_limits<double>::quiet_NaN();
}

namespace {

template <class List>
int indexOf(const List& list, std::string_view key)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].key == key)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

int CalculatorModel::inputIndex(std::string_view key) const { return indexOf(inputs, key); }
int CalculatorModel::resultIndex(std::string_view key) const { return indexOf(results, key); }

const NamedNumber* CalculatorModel::constant(std::string_view name) const
{
    for (const NamedNumber& n : constants)
        if (n.name == name)
            return &n;
    return nullptr;
}

std::vector<FormulaLine> CalculatorModel::formulaLines(const Evaluation* evaluation) const
{
    return formulas ? formulas(evaluation) : std::vector<FormulaLine>{};
}

const StopReason* CalculatorModel::stopReason(std::string_view step, ArithmeticFault fault) const
{
    for (const StopReason& r : stopReasons)
        if (r.step == step &&
            (r.faults.empty() || std::find(r.faults.begin(), r.faults.end(), fault) != r.faults.end()))
            return &r;
    return nullptr;
}

std::string literal(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return "{k:" + std::string(buffer, result.ptr) + "}";
}

std::string plainCaption(std::string_view caption)
{
    std::string out;
    for (const char c : caption) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string frameStopBehaviour(std::string_view calculateCaption)
{
    return "Das Fenster lässt dann alle Ergebnisfelder, wie sie sind, gibt einen Signalton und zeigt am "
           "Knopf „" +
           plainCaption(calculateCaption) + "“ den Hinweis „" + std::string(kCalculationStoppedHint) + "“";
}

bool writtenAsText(const Quantity& result, double value)
{
    return !result.choices.empty() || std::isnan(value);
}

std::string resultText(const Quantity& result, double value, std::string_view decimalMark)
{
    if (!result.choices.empty()) {
        const double position = std::round(value);
        return position >= 1.0 && position <= double(result.choices.size())
                   ? result.choices[std::size_t(position) - 1]
                   : std::string("–");
    }
    if (std::isnan(value))
        return "–";
    return FormatResult(value, result.decimals, decimalMark);
}

double readInput(const InputQuantity& input, std::string_view text)
{
    if (!input.choices.empty()) {
        std::string_view t = text;
        while (!t.empty() && t.front() == ' ')
            t.remove_prefix(1);
        while (!t.empty() && t.back() == ' ')
            t.remove_suffix(1);
        const auto at = std::find(input.choices.begin(), input.choices.end(), t);
        return at == input.choices.end() ? 0.0 : double(at - input.choices.begin() + 1);
    }
    std::string s(text);
    if (input.commaFix)
        s = KillKomma(std::move(s));
    return ReadNumber(s);
}

Evaluation evaluate(const CalculatorModel& model, const std::vector<double>& inputs)
{
    Evaluation e;
    e.inputs = inputs;
    Trace trace;
    try {
        e.results = model.compute(inputs, &trace);
        e.ok = true;
    } catch (const ArithmeticError& error) {
        e.failedStep = trace.running();
        e.fault = error.fault();
    }
    e.steps = trace.entries();
    return e;
}

Evaluation evaluateTexts(const CalculatorModel& model, const std::vector<std::string>& texts)
{
    std::vector<double> inputs;
    inputs.reserve(model.inputs.size());
    for (std::size_t i = 0; i < model.inputs.size(); ++i) {
        const std::string_view text = i < texts.size() ? std::string_view(texts[i]) : std::string_view();
        try {
            inputs.push_back(readInput(model.inputs[i], text));
        } catch (const ArithmeticError& error) {
            Evaluation e;
            e.inputs = inputs;
            e.failedStep = "read:" + model.inputs[i].key;
            e.fault = error.fault();
            return e;
        }
    }
    return evaluate(model, inputs);
}

}  // namespace orvella
