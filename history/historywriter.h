// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes the history off the GUI thread. The GUI thread hands each entry,
// note and "Verlauf löschen" to a queue; a worker on a thread of its own,
// with a store (and connection) of its own, writes them in order. The GUI
// thread waits for the answer only as long as it is given: a file another
// program holds does not make the worker wait, it answers "waiting" within
// a few milliseconds, keeps the queue and tries again every
// few hundred milliseconds until the file is free. A lock that lasts gets a
// notice once, and the queue is bounded: what does not fit is reported,
// never dropped without a word.

#include "evaluationrecord.h"
#include "historystore.h"

#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <variant>

namespace orvella {

class HistoryWriterWorker;

class HistoryWriter : public QObject {
    Q_OBJECT

public:
    enum class Outcome {
        Written,  // committed to the file
        Waiting,  // in the queue: written as soon as the file can be
        Failed,   // not recorded: the history is off (with a notice), or the queue is full
    };

    // The most entries that wait for a busy file.
    static constexpr int kMaxWaiting = 10000;
    // How long a busy file is waited for before the notice.
    static constexpr int kLastingLockMs = 2000;

    // Nothing is started before the first request.
    explicit HistoryWriter(QString path, HistoryStoreOptions options = writerOptions(), QObject* parent = nullptr);
    // Gives the queue up to `closeWaitMs` (see close()) and stops the thread.
    ~HistoryWriter() override;

    // Each hands its job to the worker and waits for its answer at most
    // `waitMs` milliseconds (not at all when negative); `id` receives the new entry's id when written.
    Outcome record(const CalculationRecord& record, int waitMs, std::int64_t* id = nullptr);
    Outcome setNote(std::int64_t id, const QString& note, int waitMs);
    Outcome clear(int waitMs);
    // Hands the state of an evaluation to the worker without waiting: it
    // makes the entry (evaluationrecord.h) and writes it, replacing the
    // entry of the same key. A state of the same key that still waits in
    // the queue is replaced by this one, so that a list typed faster than
    // the file is written costs one write per pause. Waiting, or Failed
    // when the queue is full.
    Outcome recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot, std::string programVersion);

    // Entries, notes and clears not yet written.
    int waiting() const;
    // Whether another program holds the file at the moment.
    bool isBusy() const;
    // Entries written so far: a view follows when it grows.
    std::uint64_t written() const;
    // Whether "Verlauf löschen" left the old contents in the log, to be
    // overwritten as soon as the other reader lets go.
    bool clearingPending() const;
    // The worker's notices since the last call, in order.
    QStringList takeNotices();

    // Waits up to `waitMs` for the queue to be written, then stops the
    // worker and closes its store. What is still waiting then is lost.
    void close(int waitMs = 2000);

    // What the worker's store is opened with: it never waits for another
    // program beyond a few milliseconds, and reports a busy file itself.
    static HistoryStoreOptions writerOptions();

signals:
    // Something was written, the waiting count or the busy state changed,
    // or a notice came: emitted on the worker's thread, received queued.
    void changed();

private:
    struct Record {
        CalculationRecord record;
    };
    struct Note {
        std::int64_t id;
        QString note;
    };
    struct Clear {};
    struct Evaluation {
        std::shared_ptr<const EvaluationSnapshot> snapshot;
        std::string programVersion;
    };
    using Job = std::variant<Record, Note, Clear, Evaluation>;
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::int64_t id = 0;
    };

    friend class HistoryWriterWorker;
    Outcome submit(Job job, int waitMs, std::int64_t* id);
    void start();

    // Shared with the worker, under mutex_.
    mutable QMutex mutex_;
    QWaitCondition answered_;
    std::deque<std::pair<std::uint64_t, Job>> queue_;
    std::uint64_t nextTicket_ = 1;
    std::uint64_t doneTicket_ = 0;  // every job up to this one has its answer
    std::uint64_t awaitedTicket_ = 0;
    Result awaitedResult_;
    bool busy_ = false;
    bool answeredOnce_ = false;
    bool clearingPending_ = false;
    bool fullReported_ = false;
    std::uint64_t written_ = 0;
    QStringList notices_;

    QString path_;
    HistoryStoreOptions options_;
    QThread thread_;
    HistoryWriterWorker* worker_ = nullptr;
};

}  // namespace orvella
