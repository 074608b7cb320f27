// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmTemperatur, the critical-temperature calculator: from the outdoor air
// temperature, the room humidity the assessment assumes for room air at
// 20 °C, its dew point (condensation limit) and the surface temperature at
// 80 % surface humidity (mould limit).

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

// The window's design, in twips.
WindowDesign temperaturDesign();

std::unique_ptr<CalculatorForm> makeTemperaturForm(std::function<void()> showMenu);

}  // namespace orvella
