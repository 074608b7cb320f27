// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmDLprognose: the open-plan office prognosis window. "Berechnung" reads
// the eight inputs, computes DL2, L4 and Lr and writes them rounded to one
// decimal.

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

// The window's design: controls in twips, as laid out for the original form.
WindowDesign dlPrognoseDesign();

std::unique_ptr<CalculatorForm> makeDLprognoseForm(std::function<void()> showMenu);

}  // namespace orvella
