// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyfailure.h"

#include <QDir>
#include <QFileInfo>

namespace orvella {

namespace {

// SQLite's primary result codes (sqlite3.h).
enum SqliteCode {
    kPerm = 3,
    kBusy = 5,
    kLocked = 6,
    kReadOnly = 8,
    kIoErr = 10,
    kCorrupt = 11,
    kFull = 13,
    kCantOpen = 14,
    kNotADb = 26,
};

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

const QString kRunsOn = QStringLiteral(" Die Rechner arbeiten wie gewohnt.");

}  // namespace

HistoryFailure classifyFailure(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return HistoryFailure::Other;
    switch (code) {
    case kCorrupt:
    case kNotADb:
        return HistoryFailure::Damaged;
    case kFull:
        return HistoryFailure::Full;
    case kPerm:
    case kReadOnly:
    case kIoErr:
    case kCantOpen:
        return HistoryFailure::NotWritable;
    case kBusy:
    case kLocked:
        return HistoryFailure::Busy;
    default:
        return HistoryFailure::Other;
    }
}

QString damagedNotice(const QString& path, const QString& asidePath)
{
    return QStringLiteral("Die Verlaufsdatei „%1“ war beschädigt oder gehört nicht zu Orvella. "
                          "Sie wurde unverändert in „%2“ umbenannt; ein neuer, leerer Verlauf "
                          "wird geführt.")
               .arg(shown(path), QFileInfo(asidePath).fileName()) +
           kRunsOn;
}

QString newerSchemaNotice(const QString& path)
{
    return QStringLiteral("Die Verlaufsdatei „%1“ stammt von einer neueren Version von Orvella. "
                          "Sie bleibt unverändert; bis zum Ende des Programms wird kein Verlauf "
                          "geführt.")
               .arg(shown(path)) +
           kRunsOn;
}

QString notWritableNotice(const QString& path, const QString& detail)
{
    return QStringLiteral("Der Verlauf kann nicht in „%1“ geschrieben werden (%2). Bis zum Ende "
                          "des Programms wird kein Verlauf geführt.")
               .arg(shown(path), detail) +
           kRunsOn;
}

QString fullNotice(const QString& path)
{
    return QStringLiteral("Der Speicherplatz für den Verlauf „%1“ ist erschöpft. Bis zum Ende des "
                          "Programms wird kein Verlauf mehr geführt; die bisherigen Einträge "
                          "bleiben erhalten.")
               .arg(shown(path)) +
           kRunsOn;
}

QString busyNotice(const QString& path)
{
    return QStringLiteral("Eine Rechnung konnte nicht in den Verlauf „%1“ eingetragen werden, "
                          "weil ein anderes Programm die Datei zu lange belegt hielt.")
               .arg(shown(path)) +
           kRunsOn;
}

QString failedNotice(const QString& path, const QString& detail)
{
    return QStringLiteral("Der Verlauf „%1“ kann nicht geführt werden (%2). Bis zum Ende des "
                          "Programms wird kein Verlauf geführt.")
               .arg(shown(path), detail) +
           kRunsOn;
}

QString lockedNotice(const QString& path, int waiting)
{
    return QStringLiteral("Ein anderes Programm hält die Verlaufsdatei „%1“ belegt. Die Rechnungen seither "
                          "(bisher %2) warten und werden eingetragen, sobald die Datei frei ist; wird Orvella "
                          "vorher beendet, fehlen sie im Verlauf.")
               .arg(shown(path))
               .arg(waiting) +
           kRunsOn;
}

QString queueFullNotice(const QString& path, int waiting)
{
    return QStringLiteral("Die Verlaufsdatei „%1“ ist weiter belegt, und %2 Rechnungen warten schon. Weitere "
                          "Rechnungen werden nicht eingetragen, bis die wartenden geschrieben sind.")
               .arg(shown(path))
               .arg(waiting) +
           kRunsOn;
}

}  // namespace orvella
