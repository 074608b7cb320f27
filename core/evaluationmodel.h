// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One description of each evaluation of a table of rows (the level list,
// the measurement evaluation after ISO 3382-3), beside the calculators'
// CalculatorModel: the cells of a row and the values beside the rows, the
// results with symbol, German label, unit and decimals, the one function
// that evaluates, and everything the help says about it: the handbook, the
// method's formula lines with named numbers, the traced steps, the target
// values a result is rated against, and the worked lines of a table's
// numbers. The companion window evaluates with it, the help renders its
// page from it, as it renders a calculator's. Qt-free.

#include "calculation.h"
#include "resultvalue.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// What an evaluation works on: the rows as numbers (one vector per row, in
// the order of `columns`; nothing where a cell is empty) where the window
// reads its cells itself (the level list), or as the texts of the cells
// where the evaluation reads and marks them (the measurement evaluation);
// and the values beside the rows (`parameters`; nothing when empty).
struct EvaluationInput {
    std::vector<std::vector<std::optional<double>>> rows;
    std::vector<std::vector<std::string>> cells;
    std::vector<std::optional<double>> parameters;
};

// The outcome: every result of the description in its order (a result
// without a value has a sentence why), the traced intermediate values for
// the worked lines, and what the rows' worked part needs beyond them.
struct EvaluationOutcome {
    std::vector<ResultValue> results;
    std::vector<TraceEntry> trace;
    // The value recorded under `key`; nothing when there is none.
    std::optional<double> traced(std::string_view key) const;
};

struct EvaluationModel {
    std::string id{};          // "pegelliste"
    std::string title{};       // "Pegelliste"
    std::string ownerTitle{};  // the calculator it belongs to: "dB Calculator"
    std::vector<Quantity> columns{};     // the cells of a row
    std::vector<Quantity> parameters{};  // values beside the rows
    std::vector<Quantity> results{};     // in the order the window lists them
    // The decimal mark is that of the numbers in the results' notes.
    EvaluationOutcome (*evaluate)(const EvaluationInput& input, std::string_view decimalMark) = nullptr;

    Handbook handbook{};
    std::vector<NamedNumber> constants{};  // what {c:name} in the texts stands for
    std::vector<StepInfo> steps{};         // the traced steps the help names
    std::vector<FormulaLine> formulas{};   // the method, in the order it is worked
    GuidanceSet guidance{};                // target values, rated by guidanceMet
    // The worked part of the rows themselves (a table of the first rows),
    // written after the formula lines; may be null.
    void (*workedRows)(const EvaluationInput& input, const EvaluationOutcome& outcome, WorkedWriter& out) = nullptr;

    // The named number; null when there is none.
    const NamedNumber* constant(std::string_view name) const;
    int resultIndex(std::string_view key) const;
};

// Whether a result shown as `shown` keeps the target value: at least or at
// most its value, as the guidance says. Nothing for a value that is only
// marked. The one rating rule of the program: the help's check of a
// calculator's results and the rating of an evaluation both use it.
std::optional<bool> guidanceMet(const Guidance& guidance, double shown);

}  // namespace orvella
