// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two halves of frmSchall as calculator descriptions: the sound power
// level from pressure level and distance (left frame, "Schallleistungspegel")
// and the sound pressure level from power level and distance (right frame,
// "Schalldruckpegel"). Qt-free.

#include "calculation.h"

namespace orvella {

const CalculatorModel& schallPowerModel();     // frmSchall.l: Lp, r -> Lw
const CalculatorModel& schallPressureModel();  // frmSchall.p: Lw, r -> Lp

// The message box the converter shows when a step of its calculation fails.
inline constexpr char kSchallErrorTitle[] = " Tessaly Service";
inline constexpr char kSchallErrorMessage[] = "Bitte Schalldruckpegel und Abstand angeben!";

}  // namespace orvella
