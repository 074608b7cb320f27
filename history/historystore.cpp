// SPDX-License-Identifier: GPL-3.0-or-later
#include "historystore.h"

#include "historyfailure.h"
#include "historyfile.h"
#include "historyschema.h"
#include "historysearch.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <iterator>
#include <unordered_map>

namespace orvella {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
// The error of a write that found its path naming another file than the one
// the store opened.
const QString kMovedCode = QStringLiteral("orvella-moved");

QSqlError movedError()
{
    return QSqlError(QStringLiteral("die Verlaufsdatei wurde durch eine neue ersetzt"), {},
                     QSqlError::UnknownError, kMovedCode);
}

// The notice for a failure that turns the history off.
QString offNotice(const QString& path, const QSqlError& error)
{
    const QString detail = QStringLiteral("SQLite: ") + error.text().trimmed();
    switch (classifyFailure(error)) {
    case HistoryFailure::Full:
        return fullNotice(path);
    case HistoryFailure::NotWritable:
        return notWritableNotice(path, detail);
    default:
        return failedNotice(path, detail);
    }
}

// Runs a statement without values; the error when it failed.
QSqlError run(const QSqlDatabase& db, const QString& statement)
{
    QSqlQuery q(db);
    return q.exec(statement) ? QSqlError() : q.lastError();
}

// The ROLLBACK after a failed statement; its own failure changes nothing
// (SQLite may have rolled back already).
void rollback(const QSqlDatabase& db) { run(db, QStringLiteral("ROLLBACK")); }

// Each store has a connection of its own, also when several stores of one
// thread use the same file. Its name is unique in the process, also when a
// program and a plugin it loads each link a copy of this code (each copy
// has its own counter).
QString newConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("orvella-verlauf-%1-%2")
        .arg(quintptr(&counter), 0, 16)
        .arg(counter.fetchAndAddRelaxed(1));
}

QString text(const std::string& s) { return QString::fromStdString(s); }
std::string text(const QVariant& v) { return v.toString().toStdString(); }

// "n placeholders": "?, ?, ?".
QString placeholders(std::size_t n)
{
    QStringList list;
    list.fill(QStringLiteral("?"), qsizetype(n));
    return list.join(QStringLiteral(", "));
}

// The entries of `byId` in the order of `ids`.
std::vector<CalculationRecord> ordered(const std::vector<std::int64_t>& ids,
                                       std::unordered_map<std::int64_t, CalculationRecord>& byId)
{
    std::vector<CalculationRecord> found;
    found.reserve(ids.size());
    for (std::int64_t id : ids)
        if (const auto it = byId.find(id); it != byId.end())
            found.push_back(std::move(it->second));
    return found;
}

// The entries with these ids (at most a few hundred), their notes included,
// in the order of `ids`; ids without an entry are left out. Two queries
// for all of them. Empty, with the error, when a query failed.
std::vector<CalculationRecord> readEntries(const QSqlDatabase& db, const std::vector<std::int64_t>& ids,
                                           QSqlError* error)
{
    std::vector<CalculationRecord> found;
    if (ids.empty())
        return found;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, time_utc_ms, calculator_id, window, calculator, part, program_version,"
                             " expression, note FROM entry WHERE id IN (%1)")
                  .arg(placeholders(ids.size())));
    for (std::int64_t id : ids)
        q.addBindValue(qint64(id));
    if (!q.exec()) {
        *error = q.lastError();
        return {};
    }
    std::unordered_map<std::int64_t, CalculationRecord> byId;
    while (q.next()) {
        CalculationRecord r;
        r.timeUtcMs = q.value(1).toLongLong();
        r.calculatorId = text(q.value(2));
        r.window = text(q.value(3));
        r.calculator = text(q.value(4));
        r.part = text(q.value(5));
        r.programVersion = text(q.value(6));
        r.expression = text(q.value(7));
        r.note = text(q.value(8));
        byId.emplace(q.value(0).toLongLong(), std::move(r));
    }
    if (q.lastError().isValid()) {
        *error = q.lastError();
        return {};
    }

    QSqlQuery v(db);
    v.setForwardOnly(true);
    v.prepare(QStringLiteral("SELECT entry_id, kind, key, label, unit, field, text, number FROM quantity"
                             " WHERE entry_id IN (%1) ORDER BY entry_id, kind, position")
                  .arg(placeholders(ids.size())));
    for (std::int64_t id : ids)
        v.addBindValue(qint64(id));
    if (!v.exec()) {
        *error = v.lastError();
        return {};
    }
    while (v.next()) {
        const auto it = byId.find(v.value(0).toLongLong());
        if (it == byId.end())
            continue;
        CalculationRecord& r = it->second;
        if (v.value(1).toString() == QLatin1String("input"))
            r.inputs.push_back({text(v.value(2)), text(v.value(3)), text(v.value(4)), text(v.value(5)),
                                text(v.value(6)), v.value(7).toDouble()});
        else
            r.results.push_back({text(v.value(2)), text(v.value(3)), text(v.value(4)), text(v.value(5)),
                                 text(v.value(6))});
    }
    if (v.lastError().isValid()) {
        *error = v.lastError();
        return {};
    }
    // Only a file that has held an evaluation has their table.
    if (!hasEvaluationTable(db, error))
        return error->isValid() ? std::vector<CalculationRecord>() : ordered(ids, byId);
    QSqlQuery e(db);
    e.setForwardOnly(true);
    e.prepare(QStringLiteral("SELECT entry_id, key, owner_id, rows FROM evaluation WHERE entry_id IN (%1)")
                  .arg(placeholders(ids.size())));
    for (std::int64_t id : ids)
        e.addBindValue(qint64(id));
    if (!e.exec()) {
        *error = e.lastError();
        return {};
    }
    while (e.next())
        if (const auto it = byId.find(e.value(0).toLongLong()); it != byId.end()) {
            it->second.evaluationKey = text(e.value(1));
            it->second.ownerId = text(e.value(2));
            it->second.rows = text(e.value(3));
        }
    if (e.lastError().isValid()) {
        *error = e.lastError();
        return {};
    }
    return ordered(ids, byId);
}

// The entry with this id, its note included; nothing when there is none or
// a query failed (then with the error).
std::optional<CalculationRecord> readEntry(const QSqlDatabase& db, std::int64_t id, QSqlError* error)
{
    std::vector<CalculationRecord> found = readEntries(db, {id}, error);
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

}  // namespace

// Counts the public operations in progress; the outermost one hands the
// notices gathered to the notifier when it ends, so that a notifier that
// uses the store again finds it between operations, not inside a recovery.
class HistoryStore::Delivery {
public:
    explicit Delivery(HistoryStore& store) : store_(store)
    {
        if (store_.depth_++ == 0)
            store_.lastWasBusy_ = false;
    }
    ~Delivery()
    {
        if (--store_.depth_ > 0 || store_.pendingNotices_.isEmpty())
            return;
        const QStringList notices = std::exchange(store_.pendingNotices_, {});
        if (store_.notify_)
            for (const QString& notice : notices)
                store_.notify_(notice);
    }
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

private:
    HistoryStore& store_;
};

HistoryStore::HistoryStore(QString path, Notify notify, HistoryStoreOptions options)
    : path_(std::move(path)),
      connectionName_(newConnectionName()),
      notify_(std::move(notify)),
      options_(options),
      checkpointer_(path_)
{
}

HistoryStore::~HistoryStore() { closeConnection(); }

QSqlDatabase HistoryStore::database() const { return QSqlDatabase::database(connectionName_, false); }

void HistoryStore::notify(const QString& notice) { pendingNotices_ << notice; }

bool HistoryStore::sameFile() const { return fileIdentity(path_) == identity_; }

bool HistoryStore::open()
{
    const Delivery delivery(*this);
    // Another Orvella moved the file aside and started a fresh one: this
    // store follows it.
    if (state_ == State::Open && !sameFile()) {
        closeConnection();
        state_ = State::Closed;
    }
    if (state_ != State::Closed)
        return state_ == State::Open;
    if (!QSqlDatabase::isDriverAvailable(kDriver)) {
        goOff(failedNotice(path_, QStringLiteral("der SQLite-Treiber von Qt fehlt (Paket libqt6sql6-sqlite)")));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        goOff(notWritableNotice(path_, QStringLiteral("der Ordner kann nicht angelegt werden")));
        return false;
    }
    return openFile();
}

HistoryStore::Outcome HistoryStore::prepare(QSqlError* error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connectionName_);
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options_.busyTimeoutMs));
    if (!db.open()) {
        *error = db.lastError();
        return Outcome::Failed;
    }
    identity_ = fileIdentity(path_);
    // The mark and the version are read before anything is written, so that
    // a newer program's file stays exactly as it is; in one read
    // transaction, so that the three reads see the same file even while
    // another Orvella creates its tables.
    if (QSqlError e = run(db, QStringLiteral("BEGIN")); e.isValid()) {
        *error = e;
        return Outcome::Failed;
    }
    SchemaInspection found = inspectSchema(db);
    rollback(db);
    if (!found.ok()) {
        *error = found.error;
        return Outcome::Failed;
    }
    if (found.state == SchemaState::Newer)
        return Outcome::Newer;
    if (found.state == SchemaState::Foreign)
        return Outcome::Damaged;
    if (QSqlError e = configure(db); e.isValid()) {
        *error = e;
        return Outcome::Failed;
    }
    // A file of this schema that has its search index is ready; one without
    // (written before the index was added) gets it below.
    if (found.state == SchemaState::Current) {
        QSqlError e;
        const SearchIndex index = inspectSearchIndex(db, &e);
        if (e.isValid()) {
            *error = e;
            return Outcome::Failed;
        }
        searchIndex_ = index == SearchIndex::Present;
        if (index != SearchIndex::Missing)
            return Outcome::Ready;
    }

    // Created or migrated in one transaction that holds the write lock from
    // its start, with the file inspected again inside it: another Orvella
    // may have created the tables in the meantime.
    if (QSqlError e = run(db, QStringLiteral("BEGIN IMMEDIATE")); e.isValid()) {
        *error = e;
        return Outcome::Failed;
    }
    found = inspectSchema(db);
    QSqlError e = found.error;
    Outcome outcome = Outcome::Ready;
    if (found.ok()) {
        switch (found.state) {
        case SchemaState::Empty:
            e = createSchema(db);
            break;
        case SchemaState::Older:
            e = migrateSchema(db, found.version, kHistorySchemaVersion, historyMigrations());
            break;
        case SchemaState::Current:
            break;
        case SchemaState::Newer:
            outcome = Outcome::Newer;
            break;
        case SchemaState::Foreign:
            outcome = Outcome::Damaged;
            break;
        }
    }
    if (!e.isValid() && outcome == Outcome::Ready) {
        const SearchIndex index = inspectSearchIndex(db, &e);
        if (!e.isValid() && index == SearchIndex::Missing)
            e = createSearchIndex(db);
        searchIndex_ = !e.isValid() && index != SearchIndex::Unavailable;
    }
    if (!e.isValid() && outcome == Outcome::Ready)
        e = run(db, QStringLiteral("COMMIT"));
    if (e.isValid() || outcome != Outcome::Ready) {
        rollback(db);
        *error = e;
        return e.isValid() ? Outcome::Failed : outcome;
    }
    return Outcome::Ready;
}

QSqlError HistoryStore::configure(const QSqlDatabase& db)
{
    // WAL: a reader never waits for the writer, and a commit is one append
    // to the log. synchronous=NORMAL (set first, so that already the switch
    // to WAL does not sync) syncs the log only at checkpoints: a committed
    // entry survives a killed process (it is in the operating system's
    // hands), a power failure may take the newest entries but never
    // damages the file. The checkpoints run on the checkpointer's thread.
    QStringList pragmas{QStringLiteral("PRAGMA synchronous = NORMAL"),
                        QStringLiteral("PRAGMA journal_mode = WAL"),
                        QStringLiteral("PRAGMA wal_autocheckpoint = 0"),
                        // A log grown beyond 16 MiB in a burst is cut back
                        // when it starts again; the usual cycle of 256
                        // entries stays below and is never cut.
                        QStringLiteral("PRAGMA journal_size_limit = 16777216"),
                        QStringLiteral("PRAGMA foreign_keys = ON"),
                        // "Verlauf löschen" leaves no old contents in the file.
                        QStringLiteral("PRAGMA secure_delete = ON"),
                        // Up to 32 MiB of pages kept: the search through
                        // 100 000 entries reads the time index from memory
                        // from the second search on.
                        QStringLiteral("PRAGMA cache_size = -32768")};
    if (options_.maxPageCount > 0)
        pragmas << QStringLiteral("PRAGMA max_page_count = %1").arg(options_.maxPageCount);
    for (const QString& pragma : pragmas)
        if (QSqlError e = run(db, pragma); e.isValid())
            return e;
    return {};
}

bool HistoryStore::openFile()
{
    // Another Orvella opening the same file at the same moment can make
    // SQLite refuse a step at once instead of waiting (both switching a new
    // file to WAL): then the whole opening is tried again, for as long as
    // the busy timeout would have waited.
    QElapsedTimer busy;
    bool movedAside = false;
    for (;;) {
        // A file that is no database at all goes aside before SQLite opens
        // it, with its -wal and -shm as they are: SQLite would delete a log
        // that does not belong to a database it can read.
        bool damaged = !mayBeDatabase(path_);
        const bool readable = !damaged;
        if (!damaged) {
            QSqlError error;
            const Outcome outcome = prepare(&error);
            if (outcome == Outcome::Ready) {
                state_ = State::Open;
                return true;
            }
            closeConnection();
            if (outcome == Outcome::Newer) {
                goOff(newerSchemaNotice(path_));
                return false;
            }
            const HistoryFailure failure =
                outcome == Outcome::Failed ? classifyFailure(error) : HistoryFailure::Damaged;
            if (failure == HistoryFailure::Busy &&
                (!busy.isValid() || busy.elapsed() < options_.busyTimeoutMs)) {
                if (!busy.isValid())
                    busy.start();
                QThread::msleep(std::min<int>(10 + QRandomGenerator::global()->bounded(40),
                                              std::max(1, options_.busyTimeoutMs)));
                continue;
            }
            if (failure == HistoryFailure::Busy) {
                // Busy is not off: the file is opened at the next request.
                lastWasBusy_ = true;
                if (options_.reportBusy && !busyReported_) {
                    busyReported_ = true;
                    notify(busyNotice(path_));
                }
                return false;
            }
            if (failure != HistoryFailure::Damaged) {
                goOff(offNotice(path_, error));
                return false;
            }
            damaged = true;
        }
        if (movedAside) {
            goOff(failedNotice(path_, QStringLiteral("auch die neue Datei ist unbrauchbar")));
            return false;
        }
        if (!(readable ? moveAsideLocked() : !moveAside().isEmpty()))
            return false;
        movedAside = true;
    }
}

bool HistoryStore::moveAsideLocked()
{
    // The damaged file is moved only while a connection of this store holds
    // it exclusively: another Orvella is not in the middle of writing to
    // it, and its next write, which checks the file after taking the lock,
    // finds the fresh one. A file SQLite cannot even begin to read, nobody
    // writes to; it is moved as it is.
    const FileIdentity damaged = identity_;
    const QString name = connectionName_ + QStringLiteral("-aside");
    enum class Result { Moved, Replaced, Busy, Failed } result = Result::Failed;
    // The log and index that the locking connection itself creates are
    // empty; they are not kept beside the damaged file.
    QStringList created;
    for (const char* suffix : {"-wal", "-shm"})
        if (!QFileInfo::exists(path_ + QLatin1String(suffix)))
            created << QLatin1String(suffix);
    QString aside;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, name);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(options_.busyTimeoutMs));
        const QSqlError e = db.open() ? run(db, QStringLiteral("BEGIN EXCLUSIVE")) : db.lastError();
        const bool held = !e.isValid();
        if (!held && classifyFailure(e) == HistoryFailure::Busy)
            result = Result::Busy;
        else if (fileIdentity(path_) != damaged)
            result = Result::Replaced;  // another Orvella has moved it aside already
        else
            result = (aside = moveAside()).isEmpty() ? Result::Failed : Result::Moved;
        if (held)
            rollback(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!aside.isEmpty())
        for (const QString& suffix : created)
            QFile::remove(aside + suffix);
    if (result == Result::Busy)
        lastWasBusy_ = true;
    return result == Result::Moved || result == Result::Replaced;
}

QString HistoryStore::moveAside()
{
    const QString aside = moveDamagedFileAside(path_, QDateTime::currentDateTime());
    if (aside.isEmpty()) {
        goOff(notWritableNotice(path_, QStringLiteral("die beschädigte Datei kann nicht umbenannt werden")));
        return {};
    }
    notify(damagedNotice(path_, aside));
    return aside;
}

void HistoryStore::closeConnection()
{
    checkpointer_.close();
    if (!QSqlDatabase::contains(connectionName_))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

void HistoryStore::goOff(const QString& notice)
{
    closeConnection();
    state_ = State::Off;
    notify(notice);
}

bool HistoryStore::handleFailure(const QSqlError& error)
{
    const Delivery delivery(*this);
    if (error.nativeErrorCode() == kMovedCode) {
        closeConnection();
        state_ = State::Closed;
        return open();
    }
    switch (classifyFailure(error)) {
    case HistoryFailure::Damaged:
        closeConnection();
        state_ = State::Closed;
        return moveAsideLocked() && openFile();
    case HistoryFailure::Busy:
        lastWasBusy_ = true;
        if (options_.reportBusy && !busyReported_) {
            busyReported_ = true;
            notify(busyNotice(path_));
        }
        return false;
    default:
        goOff(offNotice(path_, error));
        return false;
    }
}

void HistoryStore::handleReadFailure(const QSqlError& error)
{
    const Delivery delivery(*this);
    switch (classifyFailure(error)) {
    case HistoryFailure::Damaged:
        if (state_ == State::Open) {
            closeConnection();
            state_ = State::Closed;
        }
        break;
    case HistoryFailure::Busy:
        lastWasBusy_ = true;
        break;
    default:
        break;
    }
}

std::optional<std::int64_t> HistoryStore::record(const CalculationRecord& record)
{
    const Delivery delivery(*this);
    // A later round writes into a fresh file when an earlier one found the
    // file damaged or replaced.
    for (int round = 0; round < 3 && open(); ++round) {
        QSqlError error;
        if (std::optional<std::int64_t> id = insert(record, &error))
            return id;
        if (!handleFailure(error))
            return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::int64_t> HistoryStore::insert(const CalculationRecord& r, QSqlError* error)
{
    const QSqlDatabase db = database();
    // IMMEDIATE takes the write lock at once, waiting for another writer
    // through the busy timeout, instead of failing later inside the entry.
    if (QSqlError e = run(db, QStringLiteral("BEGIN IMMEDIATE")); e.isValid()) {
        *error = e;
        return std::nullopt;
    }
    // With the write lock held, the file cannot be moved aside any more.
    if (!sameFile()) {
        rollback(db);
        *error = movedError();
        return std::nullopt;
    }
    auto fail = [&](const QSqlQuery& q) -> std::optional<std::int64_t> {
        *error = q.lastError();
        rollback(db);
        return std::nullopt;
    };

    // An evaluation's later state replaces its entry: the same id, its
    // note kept, the time of the last change, its quantities and rows anew.
    std::optional<std::int64_t> replaced;
    QSqlQuery q(db);
    if (!r.evaluationKey.empty()) {
        if (QSqlError e = createEvaluationTable(db); e.isValid()) {
            *error = e;
            rollback(db);
            return std::nullopt;
        }
        if (!q.prepare(QStringLiteral("SELECT e.id, e.note FROM evaluation v JOIN entry e ON e.id = v.entry_id"
                                      " WHERE v.key = ?")))
            return fail(q);
        q.addBindValue(text(r.evaluationKey));
        if (!q.exec())
            return fail(q);
        if (q.next()) {
            replaced = q.value(0).toLongLong();
            CalculationRecord withNote = r;
            withNote.note = text(q.value(1));
            q.finish();
            if (!q.prepare(QStringLiteral("UPDATE entry SET time_utc_ms = ?, program_version = ?, search = ?"
                                          " WHERE id = ?")))
                return fail(q);
            for (const QVariant& v : {QVariant(qint64(r.timeUtcMs)), QVariant(text(r.programVersion)),
                                      QVariant(searchTextOf(withNote)), QVariant(qint64(*replaced))})
                q.addBindValue(v);
            if (!q.exec())
                return fail(q);
            q.finish();
            if (!q.prepare(QStringLiteral("DELETE FROM quantity WHERE entry_id = ?")))
                return fail(q);
            q.addBindValue(qint64(*replaced));
            if (!q.exec())
                return fail(q);
        }
        q.finish();
    }
    if (!replaced) {
        if (!q.prepare(QStringLiteral(
                "INSERT INTO entry (time_utc_ms, calculator_id, window, calculator, part,"
                " program_version, expression, note, search)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")))
            return fail(q);
        for (const QVariant& v : {QVariant(qint64(r.timeUtcMs)), QVariant(text(r.calculatorId)),
                                  QVariant(text(r.window)), QVariant(text(r.calculator)),
                                  QVariant(text(r.part)), QVariant(text(r.programVersion)),
                                  QVariant(text(r.expression)), QVariant(text(r.note)),
                                  QVariant(searchTextOf(r))})
            q.addBindValue(v);
        if (!q.exec())
            return fail(q);
    }
    const std::int64_t id = replaced ? *replaced : q.lastInsertId().toLongLong();
    if (!r.evaluationKey.empty()) {
        QSqlQuery e(db);
        if (!e.prepare(QStringLiteral("INSERT OR REPLACE INTO evaluation (entry_id, key, owner_id, rows)"
                                      " VALUES (?, ?, ?, ?)")))
            return fail(e);
        for (const QVariant& v : {QVariant(qint64(id)), QVariant(text(r.evaluationKey)), QVariant(text(r.ownerId)),
                                  QVariant(text(r.rows))})
            e.addBindValue(v);
        if (!e.exec())
            return fail(e);
    }

    QSqlQuery v(db);
    if (!v.prepare(QStringLiteral(
            "INSERT INTO quantity (entry_id, kind, position, key, label, unit, field, text, number)"
            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return fail(v);
    auto add = [&](const QString& kind, int position, const auto& quantity, const QVariant& number) {
        for (const QVariant& value : {QVariant(qint64(id)), QVariant(kind), QVariant(position),
                                      QVariant(text(quantity.key)), QVariant(text(quantity.label)),
                                      QVariant(text(quantity.unit)), QVariant(text(quantity.field)),
                                      QVariant(text(quantity.text)), number})
            v.addBindValue(value);
        return v.exec();
    };
    const QString input = QStringLiteral("input");
    const QString result = QStringLiteral("result");
    for (std::size_t i = 0; i < r.inputs.size(); ++i)
        if (!add(input, int(i), r.inputs[i], QVariant(r.inputs[i].number)))
            return fail(v);
    for (std::size_t i = 0; i < r.results.size(); ++i)
        if (!add(result, int(i), r.results[i], QVariant(QMetaType(QMetaType::Double))))
            return fail(v);

    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT")))
        return fail(commit);
    if (++entriesSinceCheckpoint_ >= kEntriesPerCheckpoint) {
        entriesSinceCheckpoint_ = 0;
        checkpointer_.request();
    }
    return id;
}

std::vector<CalculationRecord> HistoryStore::entries(const std::vector<std::int64_t>& ids)
{
    const Delivery delivery(*this);
    std::vector<CalculationRecord> found;
    if (!open())
        return found;
    // SQLite takes at most 32 766 values in one statement.
    constexpr std::size_t kPage = 500;
    for (std::size_t first = 0; first < ids.size(); first += kPage) {
        const std::vector<std::int64_t> page(ids.begin() + std::ptrdiff_t(first),
                                             ids.begin() + std::ptrdiff_t(std::min(ids.size(), first + kPage)));
        QSqlError error;
        std::vector<CalculationRecord> read = readEntries(database(), page, &error);
        if (error.isValid()) {
            handleReadFailure(error);
            return {};
        }
        std::move(read.begin(), read.end(), std::back_inserter(found));
    }
    return found;
}

std::optional<CalculationRecord> HistoryStore::entry(std::int64_t id)
{
    const Delivery delivery(*this);
    if (!open())
        return std::nullopt;
    QSqlError error;
    std::optional<CalculationRecord> found = readEntry(database(), id, &error);
    if (error.isValid())
        handleReadFailure(error);
    return found;
}

bool HistoryStore::indexSearch(int count)
{
    if (!open() || !searchIndex_)
        return false;
    const QSqlDatabase db = database();
    // A failure leaves the entries to a later step: the entries' own writes
    // report what is wrong with the file.
    if (run(db, QStringLiteral("BEGIN IMMEDIATE")).isValid())
        return false;
    if (!sameFile()) {
        rollback(db);
        return false;
    }
    QSqlQuery q(db);
    const bool read = q.exec(QStringLiteral("SELECT upto, (SELECT max(id) FROM (SELECT id FROM entry WHERE id > upto"
                                            " ORDER BY id LIMIT %1)), (SELECT count(*) FROM (SELECT id FROM entry"
                                            " WHERE id > upto LIMIT %2)) FROM (SELECT id AS upto FROM entry_search_upto)")
                                 .arg(count)
                                 .arg(count + 1)) &&
                      q.next();
    const qint64 upto = read ? q.value(0).toLongLong() : 0;
    const qint64 last = read ? q.value(1).toLongLong() : 0;
    const bool more = read && q.value(2).toInt() > count;
    q.finish();
    if (!read || last <= upto) {
        rollback(db);
        return false;
    }
    bool ok = q.prepare(QStringLiteral("INSERT INTO entry_search (rowid, search)"
                                       " SELECT id, search FROM entry WHERE id > ? AND id <= ?"));
    q.addBindValue(upto);
    q.addBindValue(last);
    ok = ok && q.exec() && q.prepare(QStringLiteral("UPDATE entry_search_upto SET id = ?"));
    q.addBindValue(last);
    ok = ok && q.exec();
    q.finish();
    if (!ok || run(db, QStringLiteral("COMMIT")).isValid()) {
        rollback(db);
        return false;
    }
    return more;
}

std::int64_t HistoryStore::searchIndexedUpTo()
{
    QSqlQuery q(database());
    return searchIndex_ && q.exec(QStringLiteral("SELECT id FROM entry_search_upto")) && q.next()
               ? q.value(0).toLongLong()
               : -1;
}

bool HistoryStore::setNote(std::int64_t id, const QString& note)
{
    const Delivery delivery(*this);
    QSqlError error;
    bool changed = false;
    for (int round = 0; round < 2 && !changed && open(); ++round) {
        {
            // Read and written in one transaction: the search text is made
            // from the entry's texts and the new note.
            const QSqlDatabase db = database();
            error = run(db, QStringLiteral("BEGIN IMMEDIATE"));
            if (!error.isValid() && !sameFile())
                error = movedError();
            std::optional<CalculationRecord> r;
            if (!error.isValid())
                r = readEntry(db, id, &error);
            if (r && !error.isValid()) {
                r->note = note.toStdString();
                QSqlQuery q(db);
                q.prepare(QStringLiteral("UPDATE entry SET note = ?, search = ? WHERE id = ?"));
                q.addBindValue(note);
                q.addBindValue(searchTextOf(*r));
                q.addBindValue(qint64(id));
                if (!q.exec())
                    error = q.lastError();
            }
            if (!error.isValid())
                error = run(db, QStringLiteral("COMMIT"));
            if (error.isValid())
                rollback(db);
            changed = r && !error.isValid();
        }
        // A note of an entry of a file that has been replaced has nowhere
        // to go; it is not tried again.
        if (!error.isValid() || !handleFailure(error) || error.nativeErrorCode() == kMovedCode)
            break;
    }
    return changed;
}

bool HistoryStore::clear()
{
    const Delivery delivery(*this);
    if (!open())
        return false;
    QSqlError error;
    {
        const QSqlDatabase db = database();
        error = run(db, QStringLiteral("BEGIN IMMEDIATE"));
        if (!error.isValid() && !sameFile()) {
            rollback(db);
            error = movedError();
        }
        // The search index is emptied whole (its triggers then leave each
        // removed entry alone): the removed entries' traces in it go with
        // its pages, which secure_delete overwrites.
        QStringList statements;
        if (searchIndex_)
            statements << QStringLiteral("UPDATE entry_search_upto SET id = 0");
        statements << QStringLiteral("DELETE FROM quantity") << QStringLiteral("DELETE FROM entry");
        if (searchIndex_)
            statements << QStringLiteral("INSERT INTO entry_search (entry_search) VALUES ('delete-all')");
        statements << QStringLiteral("COMMIT");
        for (const QString& statement : statements) {
            if (error.isValid())
                break;
            error = run(db, statement);
        }
        if (error.isValid() && error.nativeErrorCode() != kMovedCode)
            rollback(db);
        else if (!error.isValid())
            checkpointLog(db);
    }
    if (error.isValid()) {
        // A replaced file is a fresh history: nothing to clear in it.
        if (handleFailure(error) && error.nativeErrorCode() == kMovedCode)
            return clear();
        return false;
    }
    return true;
}

bool HistoryStore::checkpointLog(const QSqlDatabase& db)
{
    // The log still holds the old pages until a checkpoint has copied the
    // cleared ones over them in the file and emptied it. Another Orvella
    // reading at this moment keeps the checkpoint from finishing (its row:
    // busy, frames in the log, frames copied; 0, 0, 0 once emptied).
    QSqlQuery q(db);
    const bool done = q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && q.next() &&
                      q.value(0).toInt() == 0 && q.value(2).toInt() >= q.value(1).toInt();
    clearingPending_ = !done;
    return done;
}

bool HistoryStore::finishClearing()
{
    const Delivery delivery(*this);
    if (!clearingPending_)
        return true;
    if (!open())
        return false;
    return checkpointLog(database());
}

std::int64_t HistoryStore::count()
{
    const Delivery delivery(*this);
    if (!open())
        return -1;
    QSqlError error;
    std::int64_t n = -1;
    {
        QSqlQuery q(database());
        if (q.exec(QStringLiteral("SELECT count(*) FROM entry")) && q.next())
            n = q.value(0).toLongLong();
        else
            error = q.lastError();
    }
    if (error.isValid())
        handleReadFailure(error);
    return n;
}

std::vector<std::pair<QString, QString>> HistoryStore::calculators()
{
    const Delivery delivery(*this);
    std::vector<std::pair<QString, QString>> list;
    if (!open())
        return list;
    QSqlError error;
    {
        QSqlQuery q(database());
        // With max(), SQLite takes the other columns from the newest entry of
        // each calculator: its name as the program last called it.
        if (q.exec(QStringLiteral("SELECT calculator_id, calculator, part, max(time_utc_ms)"
                                  " FROM entry GROUP BY calculator_id"))) {
            while (q.next()) {
                CalculationRecord r;
                r.calculator = text(q.value(1));
                r.part = text(q.value(2));
                list.emplace_back(q.value(0).toString(), text(calculatorDisplayName(r)));
            }
        } else {
            error = q.lastError();
        }
    }
    if (error.isValid())
        handleReadFailure(error);
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.second, b.second) < 0; });
    return list;
}

}  // namespace orvella
