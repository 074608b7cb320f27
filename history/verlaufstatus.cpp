// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufstatus.h"

#include "historyhub.h"
#include "historymodel.h"
#include "historysearch.h"
#include "historysettings.h"

#include <QStringList>

namespace orvella {

QString verlaufStatusText(HistoryHub& hub, const HistoryModel& model)
{
    const QString where = QStringLiteral("Der Verlauf liegt in %1 und verlässt diesen Rechner nicht.")
                              .arg(shownPath(hub.databasePath()));
    QString text;
    if (hub.store().isOff())
        text = hub.lastNotice().isEmpty() ? QStringLiteral("Der Verlauf ist in dieser Sitzung nicht verfügbar.")
                                          : hub.lastNotice();
    else if (!hub.isEnabled())
        text = QStringLiteral("„Verlauf führen“ ist aus: neue Rechnungen werden nicht eingetragen. ") + where;
    else
        text = where;
    QStringList lines{text};
    if (model.readFailed() && !hub.store().isOff())
        lines << (hub.store().lastWasBusy()
                      ? QStringLiteral("Nichts gefunden: ein anderes Programm hält die Verlaufsdatei belegt. "
                                       "Versuchen Sie es gleich noch einmal.")
                      : QStringLiteral("Nichts gefunden: der Verlauf konnte nicht gelesen werden."));
    if (model.searchCut())
        lines << QStringLiteral("Gesucht wird nach den ersten %1 Wörtern, jedes mit höchstens %2 Zeichen.")
                     .arg(kMaxSearchWords)
                     .arg(kMaxSearchWordLength);
    if (const QString writer = hub.writerStatus(); !writer.isEmpty())
        lines << writer;
    return lines.join(u'\n');
}

}  // namespace orvella
