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
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <algorithm>

namespace orvella {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
// How long a connection waits for another process holding the file.
constexpr int kBusyTimeoutMs = 5000;

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

// The entry with this id, its note included; nothing when there is none or
// a query failed (then with the error).
std::optional<CalculationRecord> readEntry(const QSqlDatabase& db, std::int64_t id, QSqlError* error)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral(
        "SELECT time_utc_ms, calculator_id, window, calculator, part, program_version,"
        " expression, note FROM entry WHERE id = ?"));
    q.addBindValue(qint64(id));
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (!q.next()) {
        *error = q.lastError();
        return std::nullopt;
    }
    CalculationRecord r;
    r.timeUtcMs = q.value(0).toLongLong();
    r.calculatorId = text(q.value(1));
    r.window = text(q.value(2));
    r.calculator = text(q.value(3));
    r.part = text(q.value(4));
    r.programVersion = text(q.value(5));
    r.expression = text(q.value(6));
    r.note = text(q.value(7));

    QSqlQuery v(db);
    v.prepare(QStringLiteral("SELECT kind, key, label, unit, field, text, number FROM quantity"
                             " WHERE entry_id = ? ORDER BY kind, position"));
    v.addBindValue(qint64(id));
    if (!v.exec()) {
        *error = v.lastError();
        return std::nullopt;
    }
    while (v.next()) {
        if (v.value(0).toString() == QLatin1String("input"))
            r.inputs.push_back({text(v.value(1)), text(v.value(2)), text(v.value(3)), text(v.value(4)),
                                text(v.value(5)), v.value(6).toDouble()});
        else
            r.results.push_back({text(v.value(1)), text(v.value(2)), text(v.value(3)), text(v.value(4)),
                                 text(v.value(5))});
    }
    if (v.lastError().isValid()) {
        *error = v.lastError();
        return std::nullopt;
    }
    return r;
}

}  // namespace

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

bool HistoryStore::open()
{
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
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open()) {
        *error = db.lastError();
        return Outcome::Failed;
    }
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
    if (found.state == SchemaState::Current)
        return Outcome::Ready;

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
            if (failure == HistoryFailure::Busy && (!busy.isValid() || busy.elapsed() < kBusyTimeoutMs)) {
                if (!busy.isValid())
                    busy.start();
                QThread::msleep(10 + QRandomGenerator::global()->bounded(40));
                continue;
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
        if (!moveAside())
            return false;
        movedAside = true;
    }
}

bool HistoryStore::moveAside()
{
    const QString aside = moveDamagedFileAside(path_, QDateTime::currentDateTime());
    if (aside.isEmpty()) {
        goOff(notWritableNotice(path_, QStringLiteral("die beschädigte Datei kann nicht umbenannt werden")));
        return false;
    }
    if (notify_)
        notify_(damagedNotice(path_, aside));
    return true;
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
    if (notify_)
        notify_(notice);
}

bool HistoryStore::handleFailure(const QSqlError& error)
{
    switch (classifyFailure(error)) {
    case HistoryFailure::Damaged:
        closeConnection();
        state_ = State::Closed;
        return moveAside() && openFile();
    case HistoryFailure::Busy:
        if (!busyReported_ && notify_) {
            busyReported_ = true;
            notify_(busyNotice(path_));
        }
        return false;
    default:
        goOff(offNotice(path_, error));
        return false;
    }
}

std::optional<std::int64_t> HistoryStore::record(const CalculationRecord& record)
{
    // The second round writes into a fresh file when the first found the
    // file damaged.
    for (int round = 0; round < 2 && open(); ++round) {
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
    auto fail = [&](const QSqlQuery& q) -> std::optional<std::int64_t> {
        *error = q.lastError();
        rollback(db);
        return std::nullopt;
    };

    QSqlQuery q(db);
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
    const std::int64_t id = q.lastInsertId().toLongLong();

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

std::optional<CalculationRecord> HistoryStore::entry(std::int64_t id)
{
    if (!open())
        return std::nullopt;
    QSqlError error;
    std::optional<CalculationRecord> found = readEntry(database(), id, &error);
    if (error.isValid())
        handleFailure(error);
    return found;
}

bool HistoryStore::setNote(std::int64_t id, const QString& note)
{
    if (!open())
        return false;
    QSqlError error;
    bool changed = false;
    {
        // Read and written in one transaction: the search text is made
        // from the entry's texts and the new note.
        const QSqlDatabase db = database();
        error = run(db, QStringLiteral("BEGIN IMMEDIATE"));
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
    if (error.isValid())
        handleFailure(error);
    return changed;
}

bool HistoryStore::clear()
{
    if (!open())
        return false;
    QSqlError error;
    {
        const QSqlDatabase db = database();
        error = run(db, QStringLiteral("BEGIN IMMEDIATE"));
        for (const char* statement : {"DELETE FROM quantity", "DELETE FROM entry", "COMMIT"}) {
            if (error.isValid())
                break;
            error = run(db, QLatin1String(statement));
        }
        if (error.isValid()) {
            rollback(db);
        } else {
            // The log still holds the old pages until a checkpoint copies the
            // cleared ones over them; a checkpoint that another reader keeps
            // from finishing is completed by a later one.
            run(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
    }
    if (error.isValid()) {
        handleFailure(error);
        return false;
    }
    return true;
}

std::int64_t HistoryStore::count()
{
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
        handleFailure(error);
    return n;
}

std::vector<std::pair<QString, QString>> HistoryStore::calculators()
{
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
        handleFailure(error);
    std::sort(list.begin(), list.end(),
              [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.second, b.second) < 0; });
    return list;
}

}  // namespace orvella
