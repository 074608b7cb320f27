// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyhub.h"

#include <QFileInfo>

namespace orvella {

HistoryHub::HistoryHub(QString databasePath, QString settingsPath, QObject* parent)
    : QObject(parent), recorder_(std::move(databasePath), std::move(settingsPath))
{
    recorder_.setNotifier([this](const QString& notice) {
        lastNotice_ = notice;
        if (notify_)
            notify_(notice);
        emit noticed(notice);
    });
    connect(&recorder_.writer(), &HistoryWriter::changed, this, &HistoryHub::followWriter, Qt::QueuedConnection);
}

void HistoryHub::followWriter()
{
    recorder_.deliverNotices();
    HistoryWriter& writer = recorder_.writer();
    try {
        if (const std::uint64_t written = writer.written(); written != writtenSeen_) {
            writtenSeen_ = written;
            emit recorded();
        }
        if (clearWaiting_ && writer.waiting() == 0) {
            clearWaiting_ = false;
            emit cleared();
        }
        emit statusChanged();
    } catch (...) {
        // A view that could not follow is read again at its next reload.
    }
}

QString HistoryHub::writerStatus() const
{
    HistoryWriter& writer = const_cast<HistoryRecorder&>(recorder_).writer();
    const QString file = QFileInfo(recorder_.databasePath()).fileName();
    if (const int waiting = writer.waiting(); waiting > 0 && writer.isBusy())
        return waiting == 1 ? QStringLiteral("Ein anderes Programm hält die Verlaufsdatei belegt. Ein Eintrag wartet "
                                             "und wird geschrieben, sobald sie frei ist.")
                            : QStringLiteral("Ein anderes Programm hält die Verlaufsdatei belegt. %1 Einträge warten "
                                             "und werden geschrieben, sobald sie frei ist.")
                                  .arg(waiting);
    if (writer.clearingPending())
        return QStringLiteral("Die Einträge sind gelöscht. Ihre alten Inhalte stehen noch im Protokoll „%1-wal“, "
                              "weil ein anderes Orvella den Verlauf gerade liest; sie werden überschrieben, "
                              "sobald es ihn freigibt.")
            .arg(file);
    return {};
}

bool HistoryHub::record(const CalculationRecord& record) noexcept
{
    if (!recorder_.record(record))
        return false;
    try {
        if (recorder_.lastOutcome() == HistoryWriter::Outcome::Written) {
            writtenSeen_ = recorder_.writer().written();
            emit recorded();
        } else {
            emit statusChanged();
        }
    } catch (...) {
        // A view that could not follow is read again at its next reload;
        // the calculation is recorded.
    }
    return true;
}

bool HistoryHub::clear() noexcept
{
    const bool ok = recorder_.clear();
    clearWaiting_ = recorder_.lastOutcome() == HistoryWriter::Outcome::Waiting;
    try {
        // Also after a failure: the file may have been replaced.
        emit cleared();
        emit statusChanged();
    } catch (...) {
    }
    return ok;
}

void HistoryHub::setEnabled(bool on)
{
    if (on == recorder_.isEnabled())
        return;
    recorder_.setEnabled(on);
    emit enabledChanged(on);
}

}  // namespace orvella
