// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmFeuchte, the critical-humidity calculator: from the room air temperature
// and an inner surface temperature, the room humidities at which the surface
// reaches 100 % (condensation), 80 % (mould) and 60 % (corrosion).

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

// The window's design, in twips.
WindowDesign feuchteDesign();

std::unique_ptr<CalculatorForm> makeFeuchteForm(std::function<void()> showMenu);

}  // namespace orvella
