// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The CompanionLink of a designed window: its fields and calculate buttons
// found once from the descriptions of its calculators.

#include "companion.h"

namespace orvella {

class DesignedWindow;

// The window's link, made on first use and deleted with the window.
CompanionLink* companionLink(DesignedWindow& window);

}  // namespace orvella
