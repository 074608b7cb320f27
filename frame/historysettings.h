// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Verlauf führen": whether completed calculations go into the history. A
// setting of the user's (~/.config/orvella/orvella.conf on Linux), on until
// the user switches it off; read by the program before it loads the history,
// and by the history itself.

#include <QString>

class QSettings;

namespace orvella {

// The user's settings file of Orvella.
QString defaultSettingsPath();

bool historyEnabled(const QSettings& settings);
void setHistoryEnabled(QSettings& settings, bool on);

}  // namespace orvella
