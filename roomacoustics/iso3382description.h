// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The description of the measurement evaluation after ISO 3382-3 ("Messaus-
// wertung", F3 on the DL2 prognosis): the positions along a line of work
// stations, the results and the rating of evaluateIso3382, the handbook and
// the method's formula lines; the help renders its page from it. Qt-free.

#include "evaluationmodel.h"
#include "iso3382eval.h"

namespace orvella {

const EvaluationModel& iso3382Model();
// Its id, which the calculator's companion entry names too: the calculator's
// description is made at start, this one only when a measurement is evaluated.
inline constexpr const char* kIso3382Id = "messauswertung";

// The rows of the measurement table as the description's input: the cells'
// texts, which the evaluation reads and marks itself.
EvaluationInput iso3382Input(const std::vector<PositionTexts>& rows);
// The rows of an input as iso3382Input makes it, at most `most` of them.
std::vector<PositionTexts> positionsOf(const EvaluationInput& input, std::size_t most);

}  // namespace orvella
