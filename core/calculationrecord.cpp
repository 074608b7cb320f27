// SPDX-License-Identifier: GPL-3.0-or-later
#include "calculationrecord.h"

namespace orvella {

namespace {

template <class T>
T at(const std::vector<T>& list, std::size_t i)
{
    return i < list.size() ? list[i] : T();
}

}  // namespace

CalculationRecord recordOf(const CalculatorModel& model, const std::vector<std::string>& inputTexts,
                           const std::vector<double>& inputNumbers,
                           const std::vector<std::string>& resultTexts)
{
    CalculationRecord r;
    r.calculatorId = model.id;
    r.window = model.window;
    r.calculator = model.title;
    r.part = model.part;
    r.inputs.reserve(model.inputs.size());
    for (std::size_t i = 0; i < model.inputs.size(); ++i) {
        const InputQuantity& q = model.inputs[i];
        r.inputs.push_back({q.key, q.label, q.unit, q.field, at(inputTexts, i), at(inputNumbers, i)});
    }
    r.results.reserve(model.results.size());
    for (std::size_t i = 0; i < model.results.size(); ++i) {
        const Quantity& q = model.results[i];
        r.results.push_back({q.key, q.label, q.unit, q.field, at(resultTexts, i)});
    }
    return r;
}

std::string calculatorDisplayName(const CalculationRecord& record)
{
    if (record.part.empty())
        return record.calculator;
    return record.calculator + " (" + record.part + ")";
}

namespace {

CalculationObserver& observer()
{
    static CalculationObserver o;
    return o;
}

}  // namespace

void setCalculationObserver(CalculationObserver o) { observer() = std::move(o); }

void notifyCalculation(const CalculationRecord& record)
{
    // A copy: the observer may replace itself while it runs.
    const CalculationObserver current = observer();
    if (!current)
        return;
    try {
        current(record);
    } catch (...) {
        // A failing history must not disturb the calculator.
    }
}

}  // namespace orvella
