// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The critical-humidity (frmFeuchte) and critical-temperature (frmTemperatur)
// calculators as calculator descriptions. Qt-free.

#include "calculation.h"

namespace orvella {

const CalculatorModel& feuchteModel();     // θr, θs -> φK, φS, φC
const CalculatorModel& temperaturModel();  // θe -> φ, θK, θM

}  // namespace orvella
