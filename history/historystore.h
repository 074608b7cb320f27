// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history database: one SQLite file, written through Qt SQL.
//
// A store belongs to the thread that created it and uses a connection of
// its own there (Qt SQL connections must not cross threads); another thread
// makes its own store over the same file. Every entry is written in one
// transaction and committed before record() returns; the file is in WAL
// mode with synchronous=NORMAL, so a committed entry survives the process
// being killed, and a second process waits for the file up to five seconds
// instead of failing. The log is copied into the file on a thread of the
// store's own (historycheckpointer.h), so that recording never waits for
// the disk.
//
// Nothing here throws or shows a window. A failure is reported once through
// the notifier, as a German text, and then:
//  - a damaged file (not a database, truncated, another program's database)
//    is closed and moved aside with its -wal and -shm files, and a fresh
//    history is started in its place;
//  - a file of a newer schema is left as it is, and the store is off;
//  - a folder or file that cannot be written, or a full disk: the store is
//    off.
// Off means off for the life of the store: every operation then does
// nothing and reports failure, without another notice.

#include "calculationrecord.h"
#include "historycheckpointer.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace orvella {

struct HistoryStoreOptions {
    // The most pages the file may grow to (PRAGMA max_page_count); 0 for
    // SQLite's own limit. A full disk in miniature, for the tests.
    std::int64_t maxPageCount = 0;
};

class HistoryStore {
public:
    using Notify = std::function<void(const QString&)>;

    // A store over the file at `path`; nothing is opened before the first
    // operation that needs the file.
    explicit HistoryStore(QString path, Notify notify = {},
                          HistoryStoreOptions options = {});
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file, creating the folder and the file, moving a damaged
    // file aside or migrating an older schema as needed. True when the store
    // can be used; false when it is off. Opening an open store does nothing.
    bool open();
    bool isOpen() const { return state_ == State::Open; }
    bool isOff() const { return state_ == State::Off; }

    // Writes one entry (with its note) in its own transaction and returns
    // its id once committed; nothing when it was not written. A file found
    // damaged while writing is moved aside and the entry written to the
    // fresh history.
    std::optional<std::int64_t> record(const CalculationRecord& record);

    // The entry with this id, its note included; nothing when there is none.
    std::optional<CalculationRecord> entry(std::int64_t id);

    // Replaces the note of an entry. False when there is no such entry or
    // the note could not be written.
    bool setNote(std::int64_t id, const QString& note);

    // Removes every entry, overwriting their contents in the file.
    bool clear();

    // The number of entries; -1 when the store is off.
    std::int64_t count();

    // The calculators that have entries, as (calculatorId, display name),
    // sorted by display name.
    std::vector<std::pair<QString, QString>> calculators();

    // This thread's connection to the file, open when the store is; for the
    // model's queries.
    QSqlDatabase database() const;
    const QString& path() const { return path_; }

    // Acts on a failed query that ran on database() (the caller's query
    // objects must be finished): a damaged file is moved aside and a fresh
    // one opened (true: the operation may be tried again); another process
    // holding the file too long is reported once (false); anything else is
    // reported and turns the store off (false).
    bool handleFailure(const QSqlError& error);

private:
    enum class State { Closed, Open, Off };
    enum class Outcome { Ready, Damaged, Newer, Failed };

    bool openFile();
    Outcome prepare(QSqlError* error);
    QSqlError configure(const QSqlDatabase& db);
    bool moveAside();
    void closeConnection();
    void goOff(const QString& notice);
    std::optional<std::int64_t> insert(const CalculationRecord& record, QSqlError* error);

    QString path_;
    QString connectionName_;
    Notify notify_;
    HistoryStoreOptions options_;
    State state_ = State::Closed;
    bool busyReported_ = false;
    // An entry adds four to six pages to the log; a checkpoint after every
    // 256 keeps the log near SQLite's usual 1000 pages.
    static constexpr int kEntriesPerCheckpoint = 256;
    int entriesSinceCheckpoint_ = 0;
    HistoryCheckpointer checkpointer_;
};

}  // namespace orvella
