// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder the program talks to: "Verlauf führen" off records nothing
// and does not even create the file; an entry is stamped with the time and
// this program's version; the store's notices reach the notifier that is
// set when they happen, once. Another program holding the file does not
// hold up a calculation: its entries wait and are written when the file is
// free, with one notice when the lock lasts.

#include "evaluationrecord.h"
#include "historyhub.h"
#include "historyrecorder.h"
#include "historytestsupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestHistoryRecorder : public QObject {
    Q_OBJECT
private slots:
    void init();
    void onUntilSwitchedOff();
    void switchedOffRecordsNothingAndWritesNoFile();
    void stampsTimeAndVersion();
    void keepsStampsItIsGiven();
    void noticesReachTheNotifierOnce();
    void clearEmptiesTheHistory();
    void evaluationKeptAsOneEntry_data();
    void evaluationKeptAsOneEntry();
    void searchIndexTakesEntriesWhenTheWriterPauses();
    void lockedFileKeepsEntriesWaiting_data();
    void lockedFileKeepsEntriesWaiting();

private:
    QString databasePath() const { return dir_->filePath(QStringLiteral("daten/verlauf.sqlite")); }
    QString settingsPath() const { return dir_->filePath(QStringLiteral("config/orvella.conf")); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestHistoryRecorder::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestHistoryRecorder::onUntilSwitchedOff()
{
    {
        HistoryRecorder recorder(databasePath(), settingsPath());
        QVERIFY(recorder.isEnabled());
        recorder.setEnabled(false);
        QVERIFY(!recorder.isEnabled());
    }
    QVERIFY(fileBytes(settingsPath()).contains("fuehren=false"));
    // The setting outlives the session.
    HistoryRecorder later(databasePath(), settingsPath());
    QVERIFY(!later.isEnabled());
    later.setEnabled(true);
    QVERIFY(later.isEnabled());
}

void TestHistoryRecorder::switchedOffRecordsNothingAndWritesNoFile()
{
    HistoryRecorder recorder(databasePath(), settingsPath());
    recorder.setEnabled(false);
    QVERIFY(!recorder.record(feuchteRecord("20", 20.0)));
    QVERIFY(!QFile::exists(databasePath()));
    recorder.setEnabled(true);
    QVERIFY(recorder.record(feuchteRecord("20", 20.0)));
    QCOMPARE(recorder.store().count(), 1);
}

void TestHistoryRecorder::stampsTimeAndVersion()
{
    HistoryRecorder recorder(databasePath(), settingsPath());
    CalculationRecord r = feuchteRecord("20", 20.0);
    r.timeUtcMs = 0;
    r.programVersion.clear();
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    QVERIFY(recorder.record(r));
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    HistoryStore reader(databasePath());
    QVERIFY(reader.open());
    const QStringList ids = column(reader, "SELECT id FROM entry");
    QCOMPARE(ids.size(), 1);
    const CalculationRecord got = *reader.entry(ids[0].toLongLong());
    QVERIFY(got.timeUtcMs >= before && got.timeUtcMs <= after);
    QCOMPARE(got.programVersion, std::string(ORVELLA_PROJECT_VERSION));
}

void TestHistoryRecorder::keepsStampsItIsGiven()
{
    HistoryRecorder recorder(databasePath(), settingsPath());
    QVERIFY(recorder.record(feuchteRecord("20", 20.0, "10", 123456)));
    const QStringList rows = column(recorder.store(), "SELECT time_utc_ms || ' ' || program_version FROM entry");
    QCOMPARE(rows, QStringList{"123456 1.1.0"});
}

void TestHistoryRecorder::noticesReachTheNotifierOnce()
{
    QVERIFY(writeFileBytes(dir_->filePath("daten"), "kein Ordner"));
    HistoryRecorder recorder(databasePath(), settingsPath());
    QStringList early;
    QStringList late;
    recorder.setNotifier([&early](const QString& n) { early << n; });
    recorder.setNotifier([&late](const QString& n) { late << n; });
    QVERIFY(!recorder.record(feuchteRecord("20", 20.0)));
    QVERIFY(!recorder.record(feuchteRecord("21", 21.0)));
    QVERIFY(!recorder.clear());
    QVERIFY(early.isEmpty());
    QCOMPARE(late.size(), 1);
    QVERIFY(late[0].startsWith("Der Verlauf kann nicht in"));
}

void TestHistoryRecorder::clearEmptiesTheHistory()
{
    HistoryRecorder recorder(databasePath(), settingsPath());
    QVERIFY(recorder.record(feuchteRecord("20", 20.0)));
    QVERIFY(recorder.record(feuchteRecord("21", 21.0)));
    QVERIFY(recorder.clear());
    QCOMPARE(recorder.store().count(), 0);
}

void TestHistoryRecorder::evaluationKeptAsOneEntry_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("levels");
    QTest::addColumn<int>("entries");
    QTest::newRow("typed level by level: one entry, the last state") << true << 300 << 1;
    QTest::newRow("Verlauf führen off: nothing, no file") << false << 3 << 0;
    QTest::newRow("an empty list: nothing") << true << 0 << 0;
}

// Every state of a list is handed over at once, without waiting; the file
// then holds one entry of it, with every row of the last.
void TestHistoryRecorder::evaluationKeptAsOneEntry()
{
    QFETCH(bool, on);
    QFETCH(int, levels);
    QFETCH(int, entries);
    static const EvaluationModel model{.id = "tstZeilen", .title = "Zeilen"};
    HistoryRecorder recorder(databasePath(), settingsPath());
    recorder.setEnabled(on);
    EvaluationSnapshot s{.model = &model, .key = "k"};
    for (int i = 0; i <= levels; ++i) {
        QCOMPARE(recorder.recordEvaluation(std::make_shared<EvaluationSnapshot>(s)), on && i > 0);
        s.input.rows.push_back({60.0 + i});
    }
    recorder.writer().close();
    QCOMPARE(QFile::exists(databasePath()), entries > 0);
    if (entries == 0)
        return;
    QCOMPARE(recorder.store().count(), entries);
    const std::optional<CalculationRecord> entry = recorder.store().entry(1);
    QVERIFY(entry);
    QCOMPARE(snapshotOf(*entry, model).rowCount(), std::size_t(levels));
}

void TestHistoryRecorder::lockedFileKeepsEntriesWaiting_data()
{
    QTest::addColumn<QStringList>("lock");
    QTest::addColumn<bool>("fileExists");
    // A database browser with unsaved edits.
    QTest::newRow("write lock on a history")
        << QStringList{"BEGIN IMMEDIATE", "UPDATE entry SET note = 'x'"} << true;
    // Nobody, not even a reader, gets in: at the first calculation too.
    QTest::newRow("exclusive lock before the first calculation")
        << QStringList{"PRAGMA locking_mode = EXCLUSIVE", "BEGIN EXCLUSIVE"} << false;
}

void TestHistoryRecorder::lockedFileKeepsEntriesWaiting()
{
    QFETCH(QStringList, lock);
    QFETCH(bool, fileExists);
    if (fileExists) {
        HistoryStore earlier(databasePath());
        QVERIFY(earlier.record(feuchteRecord("19", 19.0)));
    }
    QVERIFY(QDir().mkpath(QFileInfo(databasePath()).path()));
    HistoryHub hub(databasePath(), settingsPath());
    QStringList notices;
    hub.setNotifier([&notices](const QString& n) { notices << n; });
    auto other = std::make_unique<OtherConnection>(databasePath(), lock);
    QVERIFY(other->ok());

    // Each calculation is answered at once (it waited five seconds and
    // more for the file, and lost the entry).
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer answered;
        answered.start();
        QVERIFY(hub.record(feuchteRecord(std::to_string(20 + i), 20.0 + i)));
        QVERIFY2(answered.elapsed() < 500, qPrintable(QString::number(answered.elapsed())));
    }
    QVERIFY(hub.writerStatus().contains("3 Einträge warten"));
    // A lasting lock: one notice, which says what waits.
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 3 * HistoryWriter::kLastingLockMs);
    QVERIFY2(notices[0].contains("belegt") && notices[0].contains("(bisher 3)"), qPrintable(notices[0]));

    other.reset();
    HistoryStore reader(databasePath());
    const auto written = [&reader] {
        reader.open();
        return column(reader, "SELECT text FROM quantity WHERE key = 'thetaR' AND entry_id > "
                              "(SELECT count(*) FROM entry) - 3 ORDER BY entry_id");
    };
    QTRY_COMPARE(written(), (QStringList{"20", "21", "22"}));
    QTRY_COMPARE(hub.writerStatus(), QString());
    QVERIFY(hub.record(feuchteRecord("23", 23.0)));
    QCOMPARE(notices.size(), 1);
}

void TestHistoryRecorder::searchIndexTakesEntriesWhenTheWriterPauses()
{
    HistoryRecorder recorder(databasePath(), settingsPath());
    for (int i = 0; i < 300; ++i)
        QVERIFY(recorder.record(schallRecord(std::to_string(40 + i) + ",5", 1000 + i)));
    HistoryStore reader(databasePath());
    QVERIFY(reader.open());
    QVERIFY(reader.hasSearchIndex());
    // Not in the entries' commits: after a pause, in steps.
    QTRY_COMPARE_WITH_TIMEOUT(reader.searchIndexedUpTo(), std::int64_t(300), 10000);
    QCOMPARE(column(reader, "SELECT count(*) FROM entry_search WHERE entry_search MATCH '\"339.5\"'"),
             QStringList{"1"});
    QVERIFY(recorder.clear());
    QCOMPARE(reader.searchIndexedUpTo(), std::int64_t(0));
    QCOMPARE(column(reader, "SELECT count(*) FROM entry_search_data"), QStringList{"2"});
}

QTEST_GUILESS_MAIN(TestHistoryRecorder)
#include "tst_historyrecorder.moc"
