// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the history lies and whether it is kept. "Verlauf führen": whether
// completed calculations go into the history. A setting of the user's
// (~/.config/orvella/orvella.conf on Linux), on until the user switches it
// off; read by the program before it loads the history, and by the history
// itself.

#include <QString>

class QSettings;

namespace orvella {

// The user's settings file of Orvella.
QString defaultSettingsPath();

// The user's history file: "orvella/verlauf.sqlite" in the user's data
// folder (~/.local/share/orvella/verlauf.sqlite on Linux), the same for
// every program that links this, whatever its application name. The one
// file the program writes without a command of the user.
QString defaultHistoryPath();

// A path as users know it: below the home folder with "~" for it
// ("~/.local/share/orvella/verlauf.sqlite"), otherwise in the system's form.
QString shownPath(const QString& path);

bool historyEnabled(const QSettings& settings);
void setHistoryEnabled(QSettings& settings, bool on);

}  // namespace orvella
