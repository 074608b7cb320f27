// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history database: one SQLite file, written through Qt SQL.
//
// A store belongs to the thread that created it and uses a connection of
// its own there (Qt SQL connections must not cross threads); another thread
// makes its own store over the same file. Every entry is written in one
// transaction and committed before record() returns; the file is in WAL
// mode with synchronous=NORMAL, so a committed entry survives the process
// being killed. Another process holding the file is waited for up to the
// busy timeout (five seconds unless the options say otherwise); past it the
// operation fails as busy (lastWasBusy()) and the store stays usable. The
// log is copied into the file on a thread of the store's own
// (historycheckpointer.h), so that recording never waits for the disk.
//
// The store remembers which file it opened (device and inode) and opens the
// path again when it names another file: another Orvella may have moved a
// damaged file aside. Every write checks this after taking the write lock,
// and a file is moved aside only while this store holds it exclusively, so
// that no entry is written into a file that has been moved aside.
//
// Nothing here throws or shows a window. A failure is reported once through
// the notifier, as a German text, after the operation that met it has
// finished (a notifier may use the store again), and then:
//  - a damaged file (not a database, truncated, another program's database)
//    is moved aside with its -wal and -shm files, and a fresh history is
//    started in its place;
//  - a file of a newer schema is left as it is, and the store is off;
//  - a folder or file that cannot be written, or a full disk: the store is
//    off.
// Off means off for the life of the store: every operation then does
// nothing and reports failure, without another notice. A failed read (a
// page, a search) never turns the store off: see handleReadFailure().

#include "calculationrecord.h"
#include "historycheckpointer.h"
#include "historyfile.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

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
    // How long an operation waits for another process holding the file.
    int busyTimeoutMs = 5000;
    // Whether a write that failed because the file was busy gets a notice
    // (once); off for a writer that keeps the entry and tries again.
    bool reportBusy = true;
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

    // The entries with these ids, in that order, their notes included; ids
    // without an entry are left out. Empty after a failed read.
    std::vector<CalculationRecord> entries(const std::vector<std::int64_t>& ids);

    // Replaces the note of an entry. False when there is no such entry or
    // the note could not be written.
    bool setNote(std::int64_t id, const QString& note);

    // Removes every entry, overwriting their contents in the file. The
    // old contents stay in the log until a checkpoint has copied the
    // cleared pages over them and emptied it; another Orvella reading at
    // that moment keeps it from finishing: then clearingPending() is true
    // until finishClearing() has succeeded.
    bool clear();
    bool clearingPending() const { return clearingPending_; }
    // Tries the checkpoint of an unfinished clear() again; true when the
    // log holds nothing of the cleared entries any more.
    bool finishClearing();

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

    // Acts on a failed read (a page, a search, an export): the read found
    // nothing, and the store stays on. A damaged file is closed, so that
    // the next operation opens it again (and a write moves it aside).
    void handleReadFailure(const QSqlError& error);

    // Whether the last operation failed because another process held the
    // file (at opening too): the operation may be tried again later.
    bool lastWasBusy() const { return lastWasBusy_; }
    // Whether the open file has the search index (historyschema.h); the
    // search reads the entries alone without it.
    bool hasSearchIndex() const { return searchIndex_; }
    // Adds up to `count` entries that are not in the search index yet, the
    // oldest first, in one transaction; true when more are left. Nothing
    // is done without the index or when the file is busy.
    bool indexSearch(int count);
    // The id up to which the entries are in the search index; -1 without
    // the index or when it cannot be read.
    std::int64_t searchIndexedUpTo();

private:
    enum class State { Closed, Open, Off };
    // Notices wait until the outermost public operation ends.
    class Delivery;
    friend class Delivery;
    enum class Outcome { Ready, Damaged, Newer, Failed };

    bool openFile();
    bool moveAsideLocked();
    bool sameFile() const;
    bool checkpointLog(const QSqlDatabase& db);
    void notify(const QString& notice);
    Outcome prepare(QSqlError* error);
    QSqlError configure(const QSqlDatabase& db);
    // Moves the file aside as it is; its new name, empty when that failed
    // (and the store is off).
    QString moveAside();
    void closeConnection();
    void goOff(const QString& notice);
    std::optional<std::int64_t> insert(const CalculationRecord& record, QSqlError* error);

    QString path_;
    QString connectionName_;
    Notify notify_;
    HistoryStoreOptions options_;
    State state_ = State::Closed;
    bool busyReported_ = false;
    bool lastWasBusy_ = false;
    bool searchIndex_ = false;
    bool clearingPending_ = false;
    int depth_ = 0;
    QStringList pendingNotices_;
    // The file opened, and the one found damaged.
    FileIdentity identity_;
    // An entry adds four to six pages to the log; a checkpoint after every
    // 256 keeps the log near SQLite's usual 1000 pages.
    static constexpr int kEntriesPerCheckpoint = 256;
    int entriesSinceCheckpoint_ = 0;
    HistoryCheckpointer checkpointer_;
};

}  // namespace orvella
