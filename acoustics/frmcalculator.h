#pragma once

#include "form.h"

#include <functional>
#include <memory>

namespace orvella {

std::unique_ptr<CalculatorForm> makeCalculatorForm(std::function<void()> showMenu);

}  // namespace orvella
