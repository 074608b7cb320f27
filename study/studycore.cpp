// SPDX-License-Identifier: GPL-3.0-or-later
#include "studycore.h"

#include "numbers.h"

#include <algorithm>
#include <cmath>

namespace orvella {

StudyRangePlan planRange(const RangeRequest& request)
{
    StudyRangePlan plan;
    plan.from = request.from;
    plan.to = request.to;
    if (plan.from > plan.to) {
        std::swap(plan.from, plan.to);
        plan.swapped = true;
    }
    plan.points = std::clamp(request.points, kMinStudyPoints, kMaxStudyPoints);
    plan.pointsClamped = plan.points != request.points;
    plan.spacing = request.spacing;
    if (plan.spacing == Spacing::Logarithmic && plan.from <= 0.0) {
        plan.spacing = Spacing::Linear;
        plan.logFallback = true;
    }
    return plan;
}

namespace {

// The points before rounding.
std::vector<double> rawPoints(const StudyRangePlan& plan)
{
    const int n = std::max(plan.points, kMinStudyPoints);
    if (plan.spacing == Spacing::Logarithmic)
        return logSpacedPoints(plan.from, plan.to, n);
    std::vector<double> xs(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n - 1);
        // std::lerp does not overflow between ends of opposite sign and
        // gives the end itself at t = 1.
        xs[static_cast<std::size_t>(i)] = std::lerp(plan.from, plan.to, t);
    }
    xs.front() = plan.from;
    xs.back() = plan.to;
    return xs;
}

// roundHalfEven, or the value itself where rounding would overflow.
double roundedOrSelf(double value, int decimals)
{
    try {
        return roundHalfEven(value, decimals);
    } catch (const ArithmeticError&) {
        return value;
    }
}

}  // namespace

std::vector<double> logSpacedPoints(double from, double to, int n)
{
    n = std::max(n, 2);
    std::vector<double> xs(static_cast<std::size_t>(n));
    const double lnFrom = std::log(from);
    const double lnTo = std::log(to);
    for (int i = 0; i < n; ++i)
        xs[static_cast<std::size_t>(i)] =
            std::exp(std::lerp(lnFrom, lnTo, static_cast<double>(i) / static_cast<double>(n - 1)));
    xs.front() = from;
    xs.back() = to;
    return xs;
}

int exactDecimals(double value)
{
    if (!std::isfinite(value))
        return 0;
    for (int d = 0; d < kMaxPointDecimals; ++d)
        if (roundedOrSelf(value, d) == value)
            return d;
    return kMaxPointDecimals;
}

int pointDecimals(const StudyRangePlan& plan)
{
    int decimals = std::max(exactDecimals(plan.from), exactDecimals(plan.to));
    const std::vector<double> xs = rawPoints(plan);
    double smallestStep = HUGE_VAL;
    for (std::size_t i = 1; i < xs.size(); ++i)
        if (const double step = xs[i] - xs[i - 1]; step > 0.0)
            smallestStep = std::min(smallestStep, step);
    if (std::isfinite(smallestStep))
        decimals = std::max(decimals, static_cast<int>(std::ceil(-std::log10(smallestStep))) + 1);
    return std::clamp(decimals, 0, kMaxPointDecimals);
}

std::vector<double> rangePoints(const StudyRangePlan& plan, int decimals)
{
    std::vector<double> xs = rawPoints(plan);
    for (std::size_t i = 1; i + 1 < xs.size(); ++i) {
        const double r = roundedOrSelf(xs[i], decimals);
        // A logarithmic point must stay positive, whatever the rounding.
        if (plan.spacing == Spacing::Linear || r > 0.0)
            xs[i] = r;
    }
    return xs;
}

StudyRange defaultStudyRange(const InputQuantity& input, std::optional<double> current)
{
    StudyRange range = input.study;
    if (range.from > range.to)
        std::swap(range.from, range.to);
    if (current && std::isfinite(*current)) {
        range.from = std::min(range.from, *current);
        range.to = std::max(range.to, *current);
    }
    if (range.spacing == Spacing::Logarithmic && range.from <= 0.0)
        range.spacing = Spacing::Linear;
    return range;
}

std::optional<std::vector<double>> answerAt(const CalculatorModel& model,
                                            const std::vector<double>& inputs)
{
    Evaluation e = evaluate(model, inputs);
    if (!e.ok)
        return std::nullopt;
    // The window formats every result before it writes any: a result that
    // cannot be written leaves the whole calculation without an answer.
    for (std::size_t i = 0; i < e.results.size(); ++i) {
        try {
            roundHalfEven(e.results[i], model.results[i].decimals);
        } catch (const ArithmeticError&) {
            return std::nullopt;
        }
    }
    return std::move(e.results);
}

StudyOutcome runStudy(const StudyRequest& request)
{
    StudyOutcome out;
    const CalculatorModel& model = *request.model;
    out.plan = planRange(request.range);
    out.xDecimals = pointDecimals(out.plan);
    out.xs = rangePoints(out.plan, out.xDecimals);
    out.results.assign(out.xs.size(), {});

    const std::size_t count = model.inputs.size();
    std::vector<double> numbers(count, 0.0);
    out.inputs.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view text =
            i < request.texts.size() ? std::string_view(request.texts[i]) : std::string_view();
        try {
            numbers[i] = readInput(model.inputs[i], text);
            out.inputs[i] = numbers[i];
        } catch (const ArithmeticError&) {
            if (static_cast<int>(i) != request.variable && out.unreadableInput < 0)
                out.unreadableInput = static_cast<int>(i);
        }
    }
    const auto variable = static_cast<std::size_t>(request.variable);
    if (variable < count)
        out.currentX = out.inputs[variable];
    // A fixed input that cannot be read stops the calculator before it
    // computes anything: no point has an answer.
    if (out.unreadableInput >= 0 || variable >= count)
        return out;

    if (out.currentX) {
        if (auto r = answerAt(model, numbers))
            out.currentResults = std::move(*r);
    }
    for (std::size_t p = 0; p < out.xs.size(); ++p) {
        numbers[variable] = out.xs[p];
        if (auto r = answerAt(model, numbers)) {
            out.results[p] = std::move(*r);
            ++out.answered;
        }
    }
    return out;
}

std::string cellText(std::optional<double> value, int decimals, std::string_view decimalMark,
                     std::string_view missing)
{
    if (!value)
        return std::string(missing);
    try {
        return FormatResult(*value, decimals, decimalMark);
    } catch (const ArithmeticError&) {
        return std::string(missing);
    }
}

std::string columnHeader(const Quantity& q)
{
    return q.symbol + " [" + (q.unit.empty() ? std::string("-") : q.unit) + "]";
}

TextTable studyTable(const CalculatorModel& model, int variable, const StudyOutcome& outcome,
                     std::string_view decimalMark, std::string_view missing)
{
    TextTable table;
    table.alignRight = true;
    table.header.push_back(columnHeader(model.inputs.at(static_cast<std::size_t>(variable))));
    for (const Quantity& r : model.results)
        table.header.push_back(columnHeader(r));
    table.rows.reserve(outcome.xs.size());
    for (std::size_t p = 0; p < outcome.xs.size(); ++p) {
        std::vector<std::string> row;
        row.reserve(table.header.size());
        row.push_back(cellText(outcome.xs[p], outcome.xDecimals, decimalMark, missing));
        const std::vector<double>& results = outcome.results[p];
        for (std::size_t r = 0; r < model.results.size(); ++r)
            row.push_back(results.empty()
                              ? std::string(missing)
                              : cellText(results[r], model.results[r].decimals, decimalMark, missing));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::optional<double> parseRangeNumber(std::string_view text) { return readPlainNumber(text); }

}  // namespace orvella
