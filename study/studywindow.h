#pragma once
// The parameter study of a formula calculator.

#include "companion.h"

class QWidget;

namespace orvella {

// Opens the study window for the request, or raises the open one.
QWidget* openStudyWindow(const CompanionRequest& request);

}  // namespace orvella
