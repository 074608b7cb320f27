// SPDX-License-Identifier: GPL-3.0-or-later
#include "historysettings.h"

#include <QDir>
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

QString defaultHistoryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/orvella/verlauf.sqlite");
}

QString shownPath(const QString& path)
{
#ifndef Q_OS_WIN
    // "~" is how users of Linux write their home folder; on Windows the full
    // path is what the Explorer's address bar takes.
    const QString home = QDir::homePath();
    if (!home.isEmpty() && home != QLatin1String("/") && path.startsWith(home + u'/'))
        return QStringLiteral("~") + path.mid(home.size());
#endif
    return QDir::toNativeSeparators(path);
}

bool historyEnabled(const QSettings& settings) { return settings.value(kEnabledKey, true).toBool(); }

void setHistoryEnabled(QSettings& settings, bool on) { settings.setValue(kEnabledKey, on); }

}  // namespace orvella
