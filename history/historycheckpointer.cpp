// SPDX-License-Identifier: GPL-3.0-or-later
#include "historycheckpointer.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace orvella {

// Lives in the checkpointer's thread, with the thread's own connection.
class CheckpointWorker : public QObject {
public:
    CheckpointWorker(QString path, std::atomic<bool>* pending, std::atomic<int>* completed)
        : path_(std::move(path)),
          connectionName_(QStringLiteral("orvella-verlauf-checkpoint-%1").arg(quintptr(this), 0, 16)),
          pending_(pending),
          completed_(completed)
    {
    }

    void checkpoint()
    {
        pending_->store(false);
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            if (!db.isValid()) {
                db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
                db.setDatabaseName(path_);
                db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            }
            // A failure here is left to the next request; the recording
            // connection reports whatever is wrong with the file.
            if (db.isOpen() || db.open())
                catchUp(db);
        }
        completed_->fetch_add(1);
    }

    // Copies the log into the file until it has caught up with the writer
    // and the writer has paused. The log starts again from its beginning
    // (and is cut back to journal_size_limit) only at a write that finds it
    // copied completely; stopping at the first moment it is, in the middle
    // of a burst, would leave the burst's end in the log until the next
    // request.
    static void catchUp(const QSqlDatabase& db)
    {
        int previousFrames = -1;
        for (int round = 0; round < kRounds; ++round) {
            QSqlQuery q(db);
            // One row: busy, frames in the log, frames copied; -1 when the
            // file is not in WAL mode.
            if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")) || !q.next())
                return;
            const int frames = q.value(1).toInt();
            if (frames <= 0 || (q.value(2).toInt() >= frames && frames == previousFrames))
                return;
            previousFrames = frames;
            q.finish();
            QThread::msleep(kPauseMs);
        }
    }

    void close()
    {
        if (!QSqlDatabase::contains(connectionName_))
            return;
        QSqlDatabase::database(connectionName_, false).close();
        QSqlDatabase::removeDatabase(connectionName_);
    }

private:
    // Followed up for at most two seconds: in a longer burst the next
    // request comes soon.
    static constexpr int kRounds = 40;
    static constexpr unsigned long kPauseMs = 50;

    QString path_;
    QString connectionName_;
    std::atomic<bool>* pending_;
    std::atomic<int>* completed_;
};

HistoryCheckpointer::HistoryCheckpointer(QString path) : path_(std::move(path)) {}

HistoryCheckpointer::~HistoryCheckpointer()
{
    if (!worker_)
        return;
    close();
    thread_.quit();
    thread_.wait();
    delete worker_;
}

void HistoryCheckpointer::request()
{
    if (pending_.exchange(true))
        return;
    if (!worker_) {
        worker_ = new CheckpointWorker(path_, &pending_, &completed_);
        worker_->moveToThread(&thread_);
        thread_.setObjectName(QStringLiteral("Verlauf-Checkpoint"));
        thread_.start(QThread::LowPriority);
    }
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->checkpoint(); }, Qt::QueuedConnection);
}

void HistoryCheckpointer::close()
{
    if (worker_ && thread_.isRunning())
        QMetaObject::invokeMethod(worker_, [w = worker_] { w->close(); }, Qt::BlockingQueuedConnection);
}

}  // namespace orvella
