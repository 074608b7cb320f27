// SPDX-License-Identifier: GPL-3.0-or-later
#include "historysettings.h"

#include <QSettings>
#include <QStandardPaths>

namespace orvella {

namespace {
const QString kEnabledKey = QStringLiteral("Verlauf/fuehren");
}

QString defaultSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/orvella/orvella.conf");
}

bool historyEnabled(const QSettings& settings) { return settings.value(kEnabledKey, true).toBool(); }

void setHistoryEnabled(QSettings& settings, bool on) { settings.setValue(kEnabledKey, on); }

}  // namespace orvella
