// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copies the history's write-ahead log into the database file on a thread
// of its own. A checkpoint syncs the log and the file to the disk, which
// takes milliseconds; done by the connection that records, it would hold up
// the calculation that happened to fill the log. The checkpoint is a
// passive one: it never waits for, nor blocks, a process that records.

#include <QString>
#include <QThread>

#include <atomic>

namespace orvella {

class CheckpointWorker;

class HistoryCheckpointer {
public:
    // Nothing is started before the first request.
    explicit HistoryCheckpointer(QString path);
    // Waits for a running checkpoint and closes the thread's connection.
    ~HistoryCheckpointer();
    HistoryCheckpointer(const HistoryCheckpointer&) = delete;
    HistoryCheckpointer& operator=(const HistoryCheckpointer&) = delete;

    // Asks for a checkpoint and returns at once; a request while one is
    // waiting is merged into it.
    void request();

    // Closes the thread's connection (waiting for a running checkpoint),
    // before the file is moved or the store closed; a later request opens
    // it again.
    void close();

    // Checkpoints run so far, successful or not (for the tests).
    int completed() const { return completed_.load(); }

private:
    QString path_;
    QThread thread_;
    CheckpointWorker* worker_ = nullptr;
    std::atomic<bool> pending_{false};
    std::atomic<int> completed_{0};
};

}  // namespace orvella
