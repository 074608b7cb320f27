// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Übernehmen" of the Verlauf: a recorded calculation put back into the
// window it came from, as the user would do it, so that the window shows
// what it showed then: each recorded input text into its field as if typed,
// then a click on the calculate button, which runs the window's own
// calculation (and records it once more).

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

}  // namespace orvella
