// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help page of the Messauswertung: what is measured, the method and its
// limits, in a window of its own beside the measurement.

class QWidget;

namespace orvella {

// Opens the help page for the measurement window `owner`, or raises the
// open one, and returns it.
QWidget* openMeasurementHelp(QWidget* owner);

}  // namespace orvella
