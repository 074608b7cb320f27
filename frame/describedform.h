// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A calculator window made from its description alone, for a calculator
// without a window design: one frame with a row per input (label, symbol,
// field, unit), the calculate button, a row per result, and CLOSE below,
// arranged by Qt layouts at the size they need. The controls carry the
// description's names (fields, calculate button, "cmdUload"), so the frame,
// the window commands, the companions and the Verlauf drive it as they drive
// a designed window. An input choice is a list to choose from whose text
// field (named like the description's field) holds the chosen text.

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

// The window of `model`, with its calculate button connected to
// CalculatorWindow::calculate and CLOSE to closeRequested().
CalculatorWindow* buildDescribedWindow(const CalculatorModel& model);

// The calculator's instance: its window is built on first show.
std::unique_ptr<CalculatorForm> makeDescribedForm(std::function<void()> showMenu,
                                                  const CalculatorModel& model);

}  // namespace orvella
