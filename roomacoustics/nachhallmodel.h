// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The reverberation time after DIN 18041 (frmNachhall) as a calculator
// description; its window is built from it. Qt-free.

#include "calculation.h"

namespace orvella {

// Raumgruppe, V, h, A -> T_soll, A/V, A_erf, T, ΔA, Urteil
const CalculatorModel& nachhallModel();

}  // namespace orvella
