// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing lost, nobody surprised: a damaged history file (random bytes,
// truncated, another program's database, pages destroyed behind a sound
// header) is moved aside with its -wal and -shm and a fresh history started,
// with one notice; a file of a newer schema is left untouched and the
// history is off; a folder that cannot be written or a full disk turn the
// history off with one notice. Nothing is thrown to the caller. A file is
// moved aside only while no other store is writing to it, and another store
// then writes to the fresh file; notices come after the recovery, so that a
// notifier may use the store.

#include "historyfailure.h"
#include "historyfile.h"
#include "historyschema.h"
#include "historystore.h"
#include "historytestsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace orvella;
using namespace orvella::test;

namespace {

QByteArray randomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(n, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// Runs statements on a database of its own connection (another program's).
bool runOn(const QString& path, const QStringList& statements)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString& s : statements) {
            QSqlQuery q(db);
            ok = ok && q.exec(s);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    return ok;
}

// A sound history with `n` entries, closed.
bool writeHistory(const QString& path, int n)
{
    HistoryStore store(path);
    for (int i = 0; i < n; ++i)
        if (!store.record(feuchteRecord(std::to_string(i), i)))
            return false;
    return true;
}

// The files in `folder` whose names start with `prefix`.
QStringList filesStartingWith(const QString& folder, const QString& prefix)
{
    return QDir(folder).entryList({prefix + u'*'}, QDir::Files, QDir::Name);
}

}  // namespace

class TestHistoryRobustness : public QObject {
    Q_OBJECT
private slots:
    void init();

    void damagedFileMovedAside_data();
    void damagedFileMovedAside();
    void damageFoundWhileRecording();
    void asideNamesDoNotCollide_data();
    void asideNamesDoNotCollide();
    void movedAsideOnlyWhenNoOneWrites_data();
    void movedAsideOnlyWhenNoOneWrites();
    void noticeComesAfterTheRecovery();

    void newerSchemaLeftUntouched();

    void unwritableFolderTurnsHistoryOff_data();
    void unwritableFolderTurnsHistoryOff();
    void fullDiskTurnsHistoryOff();

    void failuresClassified_data();
    void failuresClassified();

private:
    QString folder() const { return dir_->path(); }
    QString path() const { return dir_->filePath(QStringLiteral("verlauf.sqlite")); }
    HistoryStore::Notify collect()
    {
        return [this](const QString& notice) { notices_ << notice; };
    }
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList notices_;
};

void TestHistoryRobustness::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    notices_.clear();
}

void TestHistoryRobustness::damagedFileMovedAside_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("withLog");

    // A file that is no database at all is moved aside before SQLite reads
    // it, its -wal and -shm with it; SQLite would discard a log it cannot use.
    QTest::newRow("random bytes") << "random" << false;
    QTest::newRow("random bytes, with -wal and -shm") << "random" << true;
    QTest::newRow("header cut off") << "header" << false;
    QTest::newRow("header cut off, with -wal and -shm") << "header" << true;
    QTest::newRow("truncated to half") << "truncated" << false;
    QTest::newRow("another program's database") << "foreign" << false;
    QTest::newRow("another program's marked database") << "marked" << false;
}

void TestHistoryRobustness::damagedFileMovedAside()
{
    QFETCH(QString, kind);
    QFETCH(bool, withLog);

    if (kind == "random") {
        QVERIFY(writeFileBytes(path(), randomBytes(5000, 1)));
    } else if (kind == "truncated" || kind == "header") {
        QVERIFY(writeHistory(path(), 300));
        const QByteArray whole = fileBytes(path());
        QVERIFY(whole.size() > 8192);
        QVERIFY(writeFileBytes(path(), whole.left(kind == "header" ? 50 : whole.size() / 2)));
    } else if (kind == "foreign") {
        QVERIFY(runOn(path(), {"CREATE TABLE kunden (name TEXT)", "INSERT INTO kunden VALUES ('Meier')"}));
    } else {
        QVERIFY(runOn(path(), {"PRAGMA application_id = 305419896", "CREATE TABLE entry (x)"}));
    }
    // A log of the damaged file left beside it must go with it: replayed into
    // the fresh file it would damage that one too.
    const QByteArray log = randomBytes(4096, 2);
    if (withLog) {
        QVERIFY(writeFileBytes(path() + "-wal", log));
        QVERIFY(writeFileBytes(path() + "-shm", log.left(100)));
    }
    const QByteArray before = fileBytes(path());

    HistoryStore store(path(), collect());
    const std::optional<std::int64_t> id = store.record(feuchteRecord("20,5", 20.5));

    QVERIFY(id);
    QCOMPARE(notices_.size(), 1);
    QVERIFY2(notices_[0].contains("beschädigt"), qPrintable(notices_[0]));
    const QStringList aside = filesStartingWith(folder(), "verlauf.sqlite.beschädigt-");
    QCOMPARE(aside.size(), withLog ? 3 : 1);
    QVERIFY2(notices_[0].contains(aside[0]), qPrintable(notices_[0]));
    QCOMPARE(fileBytes(dir_->filePath(aside[0])), before);
    if (withLog) {
        QCOMPARE(fileBytes(dir_->filePath(aside[0] + "-wal")), log);
        QCOMPARE(fileBytes(dir_->filePath(aside[0] + "-shm")), log.left(100));
    }
    // A fresh history holding only the new entry.
    QCOMPARE(store.count(), 1);
    QCOMPARE(store.entry(*id)->inputs[0].text, std::string("20,5"));
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
    QVERIFY(store.record(feuchteRecord("21", 21.0)));
    QCOMPARE(notices_.size(), 1);
}

void TestHistoryRobustness::damageFoundWhileRecording()
{
    QVERIFY(writeHistory(path(), 300));
    // Every page after the first destroyed: the header and the table list
    // are sound, so opening finds nothing; the first write reads the tables.
    QByteArray bytes = fileBytes(path());
    const int pageSize = 4096;
    QVERIFY(bytes.size() > 4 * pageSize);
    bytes.replace(pageSize, bytes.size() - pageSize, randomBytes(bytes.size() - pageSize, 3));
    QVERIFY(writeFileBytes(path(), bytes));

    HistoryStore store(path(), collect());
    QVERIFY(store.open());
    QVERIFY(notices_.isEmpty());
    const std::optional<std::int64_t> id = store.record(feuchteRecord("22", 22.0));
    QVERIFY(id);
    QCOMPARE(notices_.size(), 1);
    QCOMPARE(filesStartingWith(folder(), "verlauf.sqlite.beschädigt-").size(), 1);
    QCOMPARE(store.count(), 1);
    QCOMPARE(store.entry(*id)->inputs[0].text, std::string("22"));
}

void TestHistoryRobustness::asideNamesDoNotCollide_data()
{
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("expected");

    const QString base = "verlauf.sqlite.beschädigt-2026-03-04-050607";
    QTest::newRow("name free") << QStringList{} << base;
    QTest::newRow("name taken") << QStringList{base} << base + "-2";
    QTest::newRow("only its log taken") << QStringList{base + "-wal"} << base + "-2";
    QTest::newRow("two taken") << QStringList{base, base + "-2-shm"} << base + "-3";
}

void TestHistoryRobustness::asideNamesDoNotCollide()
{
    QFETCH(QStringList, existing);
    QFETCH(QString, expected);
    for (const QString& name : existing)
        QVERIFY(writeFileBytes(dir_->filePath(name), "x"));
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    QCOMPARE(damagedFileName(path(), when), dir_->filePath(expected));
}

void TestHistoryRobustness::movedAsideOnlyWhenNoOneWrites_data()
{
    QTest::addColumn<bool>("otherWriting");
    QTest::newRow("the other store idle: it follows to the fresh file") << false;
    QTest::newRow("another connection writing: nothing moved") << true;
}

void TestHistoryRobustness::movedAsideOnlyWhenNoOneWrites()
{
    QFETCH(bool, otherWriting);
    HistoryStoreOptions quick;
    quick.busyTimeoutMs = 50;
    HistoryStore other(path());  // a second Orvella, open on the file
    QVERIFY(other.record(feuchteRecord("vorher", 1.0)));
    std::unique_ptr<OtherConnection> writing;
    if (otherWriting)
        writing = std::make_unique<OtherConnection>(path(), QStringList{"BEGIN IMMEDIATE"});

    // This one finds a damaged page.
    HistoryStore finder(path(), collect(), quick);
    QVERIFY(finder.open());
    const bool recovered = finder.handleFailure(QSqlError("database disk image is malformed", {},
                                                          QSqlError::StatementError, "11"));
    const QStringList aside = filesStartingWith(folder(), "verlauf.sqlite.beschädigt-");
    if (otherWriting) {
        QVERIFY(!recovered);
        QVERIFY(finder.lastWasBusy());
        QVERIFY(!finder.isOff());
        QVERIFY(aside.isEmpty());
        QVERIFY(notices_.isEmpty());
        return;
    }
    QVERIFY(recovered);
    QCOMPARE(aside.size(), 3);  // with the log and index the other store had open
    // The second Orvella's next entry goes to the fresh file, not the one aside.
    QVERIFY(other.record(feuchteRecord("nachher", 2.0)));
    HistoryStore fresh(path());
    QVERIFY(fresh.open());
    QCOMPARE(column(fresh, "SELECT text FROM quantity WHERE key = 'thetaR'"), QStringList{"nachher"});
    HistoryStore moved(dir_->filePath(aside[0]));
    QVERIFY(moved.open());
    QCOMPARE(column(moved, "SELECT text FROM quantity WHERE key = 'thetaR'"), QStringList{"vorher"});
}

void TestHistoryRobustness::noticeComesAfterTheRecovery()
{
    QTest::failOnWarning(QRegularExpression("duplicate connection name"));
    QVERIFY(writeFileBytes(path(), randomBytes(5000, 7)));
    // A notifier that reads the store, as the Verlauf window does.
    QList<qint64> counts;
    std::unique_ptr<HistoryStore> store;
    store = std::make_unique<HistoryStore>(path(), [&](const QString&) { counts << store->count(); });
    QVERIFY(store->record(feuchteRecord("20", 20.0)));
    // It found the recovery finished: the fresh file with the entry.
    QCOMPARE(counts, QList<qint64>{1});
    QCOMPARE(store->count(), 1);
}

void TestHistoryRobustness::newerSchemaLeftUntouched()
{
    QVERIFY(writeHistory(path(), 20));
    QVERIFY(runOn(path(), {QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion + 1),
                           "ALTER TABLE entry ADD COLUMN later TEXT"}));
    const QByteArray before = sha256(path());
    const QStringList filesBefore = QDir(folder()).entryList(QDir::Files);

    HistoryStore store(path(), collect());
    QVERIFY(!store.open());
    QVERIFY(store.isOff());
    QVERIFY(!store.record(feuchteRecord("20", 20.0)));
    QVERIFY(!store.clear());
    QVERIFY(!store.setNote(1, "x"));
    QCOMPARE(store.count(), -1);

    QCOMPARE(notices_.size(), 1);
    QVERIFY2(notices_[0].contains("neueren Version"), qPrintable(notices_[0]));
    QCOMPARE(sha256(path()), before);
    QCOMPARE(QDir(folder()).entryList(QDir::Files), filesBefore);
}

void TestHistoryRobustness::unwritableFolderTurnsHistoryOff_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("the folder is a file") << "folder is a file";
    QTest::newRow("the file is a folder") << "file is a folder";
    QTest::newRow("a folder without write permission") << "read-only folder";
}

void TestHistoryRobustness::unwritableFolderTurnsHistoryOff()
{
    QFETCH(QString, kind);
    QString target;
    if (kind == "folder is a file") {
        QVERIFY(writeFileBytes(dir_->filePath("daten"), "kein Ordner"));
        target = dir_->filePath("daten/orvella/verlauf.sqlite");
    } else if (kind == "file is a folder") {
        target = path();
        QVERIFY(QDir().mkpath(target));
    } else {
#ifdef Q_OS_WIN
        // Windows guards folders with access control lists, which
        // QFile::setPermissions leaves alone.
        QSKIP("folder permissions are access control lists on Windows");
#else
        // The superuser writes anywhere; CI runs the tests as root.
        if (::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
#endif
        const QString locked = dir_->filePath("gesperrt");
        QVERIFY(QDir().mkpath(locked));
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
        target = locked + "/verlauf.sqlite";
    }

    HistoryStore store(target, collect());
    QVERIFY(!store.record(feuchteRecord("20", 20.0)));
    QVERIFY(store.isOff());
    QVERIFY(!store.record(feuchteRecord("21", 21.0)));
    QCOMPARE(store.count(), -1);
    QCOMPARE(notices_.size(), 1);
    QVERIFY2(notices_[0].contains("kein Verlauf"), qPrintable(notices_[0]));
    QVERIFY(notices_[0].contains("Die Rechner arbeiten wie gewohnt."));
}

void TestHistoryRobustness::fullDiskTurnsHistoryOff()
{
    int recorded = 0;
    {
        HistoryStoreOptions small;
        small.maxPageCount = 16;
        HistoryStore store(path(), collect(), small);
        CalculationRecord r = feuchteRecord(std::string(200, 'x'), 1.0);
        while (recorded < 10000 && store.record(r))
            ++recorded;
        QVERIFY(recorded > 0);
        QVERIFY(recorded < 10000);
        QVERIFY(store.isOff());
        QCOMPARE(notices_.size(), 1);
        QVERIFY2(notices_[0].contains("erschöpft"), qPrintable(notices_[0]));
        QVERIFY(!store.record(r));
        QCOMPARE(notices_.size(), 1);
    }
    // What was recorded before is all there, in a sound file.
    HistoryStore reader(path(), collect());
    QCOMPARE(reader.count(), recorded);
    QCOMPARE(column(reader, "PRAGMA integrity_check"), QStringList{"ok"});
    QCOMPARE(notices_.size(), 1);
}

void TestHistoryRobustness::failuresClassified_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("failure");
    QTest::newRow("SQLITE_CORRUPT") << "11" << int(HistoryFailure::Damaged);
    QTest::newRow("SQLITE_NOTADB") << "26" << int(HistoryFailure::Damaged);
    QTest::newRow("SQLITE_CORRUPT_INDEX (extended)") << "779" << int(HistoryFailure::Damaged);
    QTest::newRow("SQLITE_FULL") << "13" << int(HistoryFailure::Full);
    QTest::newRow("SQLITE_READONLY") << "8" << int(HistoryFailure::NotWritable);
    QTest::newRow("SQLITE_CANTOPEN") << "14" << int(HistoryFailure::NotWritable);
    QTest::newRow("SQLITE_IOERR_WRITE (extended)") << "778" << int(HistoryFailure::NotWritable);
    QTest::newRow("SQLITE_BUSY") << "5" << int(HistoryFailure::Busy);
    QTest::newRow("SQLITE_ERROR") << "1" << int(HistoryFailure::Other);
    QTest::newRow("no code (driver not loaded)") << "" << int(HistoryFailure::Other);
}

void TestHistoryRobustness::failuresClassified()
{
    QFETCH(QString, code);
    QFETCH(int, failure);
    const QSqlError error(QStringLiteral("driver"), QStringLiteral("database"),
                          QSqlError::StatementError, code);
    QCOMPARE(int(classifyFailure(error)), failure);
}

QTEST_GUILESS_MAIN(TestHistoryRobustness)
#include "tst_historyrobustness.moc"
