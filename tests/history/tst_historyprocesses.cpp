// SPDX-License-Identifier: GPL-3.0-or-later
// The history file shared and interrupted: two processes recording at once
// lose nothing (they wait for each other instead of failing with "database
// is locked"), and a process killed with SIGKILL in the middle of a burst
// leaves a sound file that holds every entry it had reported as committed,
// with at most the one in flight beyond them.

#include "historystore.h"
#include "historytestsupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

const QString kDriver = QStringLiteral(ORVELLA_HISTORY_DRIVER);

struct Line {
    qint64 id;
    int index;
};

// The complete lines "<id> <i>" of a driver's output.
QList<Line> parseLines(const QByteArray& output)
{
    QList<Line> lines;
    for (const QByteArray& l : output.split('\n')) {
        const QList<QByteArray> parts = l.split(' ');
        if (parts.size() == 2)
            lines.append({parts[0].toLongLong(), parts[1].toInt()});
    }
    return lines;
}

}  // namespace

class TestHistoryProcesses : public QObject {
    Q_OBJECT
private slots:
    void init();
    void twoProcessesRecordAtOnce();
    void killedMidBurst_data();
    void killedMidBurst();

private:
    QString path() const { return dir_->filePath(QStringLiteral("verlauf.sqlite")); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestHistoryProcesses::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(QFile::exists(kDriver));
}

void TestHistoryProcesses::twoProcessesRecordAtOnce()
{
    constexpr int kEach = 400;
    // Both start on a file that does not exist yet: they also race to
    // create the tables.
    QProcess a;
    QProcess b;
    a.start(kDriver, {path(), QString::number(kEach), "A"});
    b.start(kDriver, {path(), QString::number(kEach), "B"});
    QVERIFY(a.waitForStarted());
    QVERIFY(b.waitForStarted());
    QVERIFY(a.waitForFinished(60000));
    QVERIFY(b.waitForFinished(60000));
    QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
    QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
    QCOMPARE(parseLines(a.readAllStandardOutput()).size(), kEach);
    QCOMPARE(parseLines(b.readAllStandardOutput()).size(), kEach);

    HistoryStore store(path());
    QCOMPARE(store.count(), 2 * kEach);
    QSet<QString> expressions;
    for (const QString& e : column(store, "SELECT expression FROM entry"))
        expressions.insert(e);
    for (int i = 0; i < kEach; ++i) {
        QVERIFY2(expressions.contains(QStringLiteral("A %1").arg(i)), qPrintable(QString::number(i)));
        QVERIFY2(expressions.contains(QStringLiteral("B %1").arg(i)), qPrintable(QString::number(i)));
    }
    // Every entry has all its inputs and results: no entry was half written.
    QCOMPARE(column(store, "SELECT count(*) FROM quantity"), QStringList{QString::number(2 * kEach * 3)});
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
}

void TestHistoryProcesses::killedMidBurst_data()
{
    QTest::addColumn<int>("killAfter");
    // Several points, so the kill falls into different stages of a write
    // and of the log's checkpoints (every 1000 pages).
    QTest::newRow("after 50 entries") << 50;
    QTest::newRow("after 333 entries") << 333;
    QTest::newRow("after 1000 entries") << 1000;
    QTest::newRow("after 2718 entries") << 2718;
}

void TestHistoryProcesses::killedMidBurst()
{
    QFETCH(int, killAfter);
    // The file has a history before the burst.
    {
        HistoryStore store(path());
        for (int i = 0; i < 10; ++i)
            QVERIFY(store.record(feuchteRecord("vorher", 1.0)));
    }

    QProcess driver;
    driver.start(kDriver, {path(), "1000000", "K"});
    QVERIFY(driver.waitForStarted());
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (output.count('\n') < killAfter && timer.elapsed() < 60000) {
        driver.waitForReadyRead(1000);
        output += driver.readAllStandardOutput();
        QVERIFY2(driver.state() == QProcess::Running, driver.readAllStandardError().constData());
    }
    driver.kill();  // SIGKILL
    QVERIFY(driver.waitForFinished(10000));
    QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
    output += driver.readAllStandardOutput();

    const QList<Line> reported = parseLines(output);
    QVERIFY(reported.size() >= killAfter);

    HistoryStore store(path());
    QVERIFY(store.open());
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
    QSet<qint64> stored;
    for (const QString& id : column(store, "SELECT id FROM entry WHERE expression LIKE 'K %'"))
        stored.insert(id.toLongLong());
    for (const Line& l : reported)
        QVERIFY2(stored.contains(l.id), qPrintable(QStringLiteral("entry %1 (id %2) is lost").arg(l.index).arg(l.id)));
    // Beyond what was reported, at most the entry in flight was committed.
    QVERIFY2(stored.size() - reported.size() <= 1,
             qPrintable(QStringLiteral("%1 stored, %2 reported").arg(stored.size()).arg(reported.size())));
    QCOMPARE(store.count(), 10 + stored.size());
    // The history goes on after the kill.
    QVERIFY(store.record(feuchteRecord("nachher", 2.0)));
}

QTEST_GUILESS_MAIN(TestHistoryProcesses)
#include "tst_historyprocesses.moc"
