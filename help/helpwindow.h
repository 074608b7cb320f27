#pragma once
// The help window of a calculator (or the overview of all of them, opened
// from the menu).

#include "companion.h"

class QWidget;

namespace orvella {

// Opens the help window for the request, or raises the open one.
QWidget* openHelpWindow(const CompanionRequest& request);

}  // namespace orvella
