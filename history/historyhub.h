// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history of one run as the plugin keeps it: the recorder, and the
// events the open Verlauf windows follow (a new entry, a cleared history,
// the setting switched, a notice). One object per process, on the GUI
// thread; the windows and the program's calls share its one store.

#include "historyrecorder.h"

#include <QObject>
#include <QString>

#include <functional>

namespace orvella {

class HistoryHub : public QObject {
    Q_OBJECT

public:
    using Notify = std::function<void(const QString&)>;

    HistoryHub(QString databasePath, QString settingsPath, QObject* parent = nullptr);

    // As HistoryRecorder::record; emits recorded() for an entry written,
    // now or when it has waited for the file.
    bool record(const CalculationRecord& record) noexcept;
    // As HistoryRecorder::recordEvaluation; recorded() follows the write.
    bool recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot) noexcept
    {
        return recorder_.recordEvaluation(std::move(snapshot));
    }
    // As HistoryRecorder::setNote.
    bool setNote(std::int64_t id, const QString& note) noexcept { return recorder_.setNote(id, note); }
    // As HistoryRecorder::clear; emits cleared() when the history is empty.
    bool clear() noexcept;
    // What waits for the file, as a line for the Verlauf window: entries
    // waiting for another program to let go of it, or the old contents of
    // a clearing still in the log. Empty when nothing waits.
    QString writerStatus() const;
    bool isEnabled() const { return recorder_.isEnabled(); }
    void setEnabled(bool on);

    // The program's notifier: every notice of the store goes there once
    // (and to noticed()).
    void setNotifier(Notify notify) { notify_ = std::move(notify); }
    // The last notice of this run; empty when there was none.
    const QString& lastNotice() const { return lastNotice_; }

    HistoryStore& store() { return recorder_.store(); }
    const QString& databasePath() const { return recorder_.databasePath(); }
    // Closes the database (at the end of the program).
    void close() { recorder_.close(); }

signals:
    void recorded();
    void cleared();
    void enabledChanged(bool on);
    // writerStatus() may have changed.
    void statusChanged();
    // A notice of the store; the file may have been replaced by a fresh
    // one, so a view reads it again.
    void noticed(const QString& notice);

private:
    void followWriter();

    HistoryRecorder recorder_;
    std::uint64_t writtenSeen_ = 0;
    bool clearWaiting_ = false;
    Notify notify_;
    QString lastNotice_;
};

}  // namespace orvella
