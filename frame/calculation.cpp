// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculation.h"

#include "numbers.h"

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

double readInput(const InputQuantity& input, std::string_view text)
{
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
