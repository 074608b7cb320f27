// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program asks of the history, in one object: record a completed
// calculation (when "Verlauf führen" is on), edit a note, clear the history,
// switch it on and off. Writes go to the writer's thread (historywriter.h);
// the store of this thread only reads (the Verlauf's pages and exports).
// Both open the database at the first request that needs it; their notices
// go to the current notifier, each text once.

#include "historystore.h"
#include "historywriter.h"

#include <QSettings>

#include <functional>
#include <memory>

namespace orvella {

class HistoryRecorder {
public:
    using Notify = std::function<void(const QString&)>;

    HistoryRecorder(QString databasePath, QString settingsPath);
    ~HistoryRecorder();

    // How long a calculation waits at most for the writer's answer. A file
    // another program holds is answered within a few milliseconds (the
    // entry then waits in the queue), a free one with the commit, which
    // takes well under a millisecond; the bound is for this machine's own
    // disk or scheduler stalling, so that even then a calculation is
    // answered at once to the eye.
    static constexpr int kRecordWaitMs = 100;
    static constexpr int kNoteWaitMs = 250;
    static constexpr int kClearWaitMs = 5000;

    // Records the calculation when the history is on: stamps the current
    // time and this program's version where the record has none, and hands
    // it to the writer, waiting at most kRecordWaitMs for its answer. Never
    // throws; false when nothing was recorded (switched off, the history
    // off after a failure, or no room in the queue), true when it was
    // written or waits for the file (lastOutcome() tells which).
    bool record(const CalculationRecord& record) noexcept;
    // Hands the state of an evaluation to the writer when the history is
    // on, stamped with the time and version, without waiting (the writer
    // evaluates and writes it on its thread). Never throws; false when
    // nothing will be recorded.
    bool recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot) noexcept;
    // Replaces the note of an entry; true when written or waiting.
    bool setNote(std::int64_t id, const QString& note) noexcept;
    HistoryWriter::Outcome lastOutcome() const { return lastOutcome_; }

    bool isEnabled() const;
    void setEnabled(bool on);

    // Removes every entry; never throws. False when it failed, or when it
    // waits for the file (lastOutcome()).
    bool clear() noexcept;

    void setNotifier(Notify notify) { notify_ = std::move(notify); }
    // Passes the writer's notices on (the writer's changed() calls for it).
    void deliverNotices();

    // Gives the writer's queue a moment (HistoryWriter::close()) and closes
    // the database; the next request opens it again. Called before Qt SQL is torn down at the end
    // of the program.
    void close();

    // The store of this thread, created (not yet opened) on the first call.
    HistoryStore& store();
    // The writer, created (its thread not yet started) on the first call.
    HistoryWriter& writer();
    const QString& databasePath() const { return databasePath_; }

    // The version this program stamps its entries with: "1.1.0".
    static QString programVersion();

private:
    QString databasePath_;
    void notify(const QString& notice);

    QSettings settings_;
    Notify notify_;
    QStringList noticesGiven_;
    HistoryWriter::Outcome lastOutcome_ = HistoryWriter::Outcome::Failed;
    std::unique_ptr<HistoryWriter> writer_;
    std::unique_ptr<HistoryStore> store_;
};

}  // namespace orvella
