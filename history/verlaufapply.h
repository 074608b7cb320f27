// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Übernehmen" of the Verlauf: a recorded calculation put back into the
// window it came from, as the user would do it, so that the window shows
// what it showed then: each recorded input text into its field as if typed,
// then a click on the calculate button, which runs the window's own
// calculation (and records it once more). An evaluation's entry opens the
// companion that keeps it with its rows.

#include "calculationrecord.h"
#include "companion.h"

namespace orvella {

// The description among `models` that wrote the record; null when none did.
const CalculatorModel* modelOfRecord(const CalculationRecord& record,
                                     const std::vector<const CalculatorModel*>& models);

// Puts the record back into the window behind `link` (built with `model`)
// and calculates. False when the window cannot take the record; then
// nothing has been typed or clicked.
bool applyRecord(CompanionLink* link, const CalculatorModel& model, const CalculationRecord& record);

// Whether a companion of the calculator keeps an evaluation in the Verlauf.
bool keepsEvaluations(const CalculatorModel& model);
// The ids of the evaluations the companions of `models` keep.
QStringList evaluationIds(const std::vector<const CalculatorModel*>& models);

// The companion among those of `models` that keeps the evaluation `id`;
// null when none does.
const CompanionEntry* evaluationCompanion(const std::vector<const CalculatorModel*>& models, std::string_view id);

// "Übernehmen" of an evaluation's entry: opens its companion (among those
// of `models`) for the request's owner with the entry's rows, whose later
// changes replace that entry. False, with a beep, when there is none; a
// plugin that cannot be loaded gets a German message over `parent`.
bool reopenEvaluation(const CompanionRequest& request, const std::vector<const CalculatorModel*>& models,
                      const CalculationRecord& record, QWidget* parent);

}  // namespace orvella
