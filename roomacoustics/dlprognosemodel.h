// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The open-plan office prognosis (frmDLprognose) as a calculator
// description. Qt-free.

#include "calculation.h"

namespace orvella {

// ALPHAcell, ALPHAhori, Hscreen, Lraum, Wraum, Hraum, L1, R -> DL2, L4, Lr
const CalculatorModel& dlPrognoseModel();

}  // namespace orvella
