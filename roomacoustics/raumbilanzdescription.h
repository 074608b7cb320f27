// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The description of the room's absorption in octave bands ("Raumbilanz in
// Oktavbändern", F3 on the reverberation calculator): the rows of surfaces
// and objects, the room group, V and h beside them, the results of
// evaluateBalance, the handbook and the method's formula lines; the help
// renders its page from it. Qt-free.

#include "evaluationmodel.h"
#include "raumbilanz.h"

namespace orvella {

const EvaluationModel& raumbilanzModel();
// Its id, which the calculator's companion entry names too (the description
// reads the calculator's, so the calculator cannot read it from here, and
// the calculator's is made at start, this one only when it is evaluated).
inline constexpr const char* kRaumbilanzId = "raumbilanz";

// The table and the calculator's values as the description's input: the
// cells' texts (which the evaluation reads and marks) and the parameters
// in the order group, V, h; the Verlauf can keep a balance as this.
EvaluationInput raumbilanzInput(const std::vector<BalanceRowTexts>& rows, const BalanceParameters& parameters);

// The rows and the parameters back from such an input.
std::vector<BalanceRowTexts> balanceRowsOf(const EvaluationInput& input);
BalanceParameters balanceParametersOf(const EvaluationInput& input);

// Every result of an evaluation in the order of the description: the
// summary, then per band A, T (Sabine), T (Eyring), T_min, T_max, ΔA.
std::vector<ResultValue> balanceResults(const BalanceEvaluation& evaluation);

}  // namespace orvella
