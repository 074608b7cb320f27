// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The prognosis beside a measurement: the level over the distance as the
// calculator computes it from its own inputs, through the parameter study's
// core (the distance varies, every other input stays as typed).

#include "calculation.h"
#include "measurementchart.h"

#include <QString>

#include <vector>

namespace orvella {

// Points of the prognosis curve across the chart.
inline constexpr int kPrognosisPoints = 81;

// The calculator whose prognosis the chart shows: one that computes the
// level `lr` over the distance `r`; null when none of `models` does.
const CalculatorModel* prognosisModelOf(const std::vector<const CalculatorModel*>& models);

// The curve of `model` from `from` to `to` m (logarithmically spaced), with
// the calculator's field texts `texts` (in the order of its inputs) and a
// note what it is computed from or why there is none; `title` names the
// calculator in the note. Empty without a model.
PrognosisCurve prognosisCurve(const CalculatorModel* model, const std::vector<QString>& texts, const QString& title,
                              double from, double to);

}  // namespace orvella
