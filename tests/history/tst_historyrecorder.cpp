// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder the program talks to: "Verlauf führen" off records nothing
// and does not even create the file; an entry is stamped with the time and
// this program's version; the store's notices reach the notifier that is
// set when they happen, once.

#include "historyrecorder.h"
#include "historytestsupport.h"

#include <QDateTime>
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

QTEST_GUILESS_MAIN(TestHistoryRecorder)
#include "tst_historyrecorder.moc"
