// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands that open the companion windows: F1 "Hilfe und Rechenweg" on
// every calculator (on the menu an overview of all five), F2
// "Parameterstudie…" on the four formula calculators, and after them the
// companions a calculator's description declares (`companions`), with their
// own keys; Ctrl+H "Verlauf…" on every window. Each companion lives in a
// plugin that is loaded the first time the user asks for it.

#include "companion.h"

namespace orvella {

class DesignedWindow;

// Adds the commands to the windows loaded from now on.
void installCompanionCommands();

// Adds Ctrl+H "Verlauf…" to every window loaded from now on.
void installHistoryCommand();

// The request a command of `window` hands to its companion plugin.
CompanionRequest companionRequest(DesignedWindow& window);

// Every calculator description, in the order of the menu.
std::vector<const CalculatorModel*> allCalculatorModels();

}  // namespace orvella
