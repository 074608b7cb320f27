// SPDX-License-Identifier: GPL-3.0-or-later
// The Verlauf as the program keeps it, through its real windows and the
// history plugin: Ctrl+H opens it on every window; each completed
// calculation is recorded through the windows' own calculate path (a
// stopped one is not), the keypad's "=" as its line; a damaged file is moved
// aside with one notice while the calculators compute as before; a field
// text made to look like SQL is stored and shown as typed; and a program
// killed with SIGKILL in the middle of a burst of calculations leaves a
// sound file with every calculation that completed.

#include "companions.h"
#include "evaluationhistory.h"
#include "historyrecording.h"
#include "historystore.h"
#include "historytestsupport.h"
#include "shell.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

const QString kPlugins = QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR);
const QString kDriver = QStringLiteral(ORVELLA_VERLAUF_DRIVER);

// The Verlauf window the owner opened, or null.
QWidget* verlaufOf(const QWidget* owner)
{
    return owner->findChild<QWidget*>(QStringLiteral("verlaufWindow"), Qt::FindDirectChildrenOnly);
}

// The texts of a column of the Verlauf's table, top down.
QStringList columnShown(const QWidget* verlauf, int column)
{
    QStringList texts;
    auto* table = verlauf->findChild<QAbstractItemView*>(QStringLiteral("verlaufTable"));
    if (!table)
        return texts;
    for (int row = 0; row < table->model()->rowCount(); ++row)
        texts << table->model()->index(row, column).data().toString();
    return texts;
}

// The input texts of `key` of every entry in the file, in the order recorded.
QStringList inputTexts(const HistoryStore& store, const QString& key)
{
    return column(store, QStringLiteral("SELECT text FROM quantity WHERE kind = 'input' AND key = '%1' "
                                        "ORDER BY entry_id")
                             .arg(key));
}

// A driver's environment: its data and settings in `home`, no screen.
QProcessEnvironment driverEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", home.filePath("share"));
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

}  // namespace

class TestHistoryRecording : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void damagedFileNoticeCalculatorsUnaffected();
    void ctrlHOpensTheVerlauf_data();
    void ctrlHOpensTheVerlauf();
    void completedCalculationsOnly();
    void keypadEqualsAsItsLine();
    void textStoredAndShownAsTyped();
    void killedMidBurstThroughTheWindow_data();
    void killedMidBurstThroughTheWindow();
    void levelListKilledThenReopened_data();
    void levelListKilledThenReopened();

private:
    QString databasePath() const { return home_.filePath("share/orvella/verlauf.sqlite"); }
    QWidget* open(const QString& button, const QString& window);
    QTemporaryDir home_;
    QByteArray damaged_;
    std::unique_ptr<Shell> shell_;
};

void TestHistoryRecording::initTestCase()
{
    QVERIFY(home_.isValid());
    qputenv("XDG_DATA_HOME", home_.filePath("share").toUtf8());
    qputenv("XDG_CONFIG_HOME", home_.filePath("config").toUtf8());
    // What the program finds at its first calculation: random bytes.
    QRandomGenerator random(22);
    for (int i = 0; i < 4096; ++i)
        damaged_.append(char(random.bounded(256)));
    QVERIFY(QDir().mkpath(QFileInfo(databasePath()).path()));
    QVERIFY(writeFileBytes(databasePath(), damaged_));

    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(kPlugins);
    installCompanionCommands();
    installHistoryCommand();
    installHistoryRecording();
}

void TestHistoryRecording::init() { shell_ = std::make_unique<Shell>(); }

void TestHistoryRecording::cleanup()
{
    shell_.reset();
    if (QWidget* notice = historyNotice())
        notice->close();
    processDeferredDeletes();
}

QWidget* TestHistoryRecording::open(const QString& button, const QString& window)
{
    shell_->menu().show();
    if (button.isEmpty())
        return shell_->menu().window();
    return openFromMenu(shell_->menu(), button, window);
}

void TestHistoryRecording::damagedFileNoticeCalculatorsUnaffected()
{
    QWidget* w = open("Command3", "frmFeuchte");
    QVERIFY(w);
    setTextOf(w, "txRaum", "20");
    setTextOf(w, "txOberflaeche", "10");
    click(w, "cmdRun_Feuchte");
    const QStringList results = {textOf(w, "txKondens"), textOf(w, "txSchimel"), textOf(w, "txKorrosion")};
    QCOMPARE(results, asShown(QStringList{"52.57", "42.06", "31.54"}));

    // One notice, in German, that does not hold up the calculator.
    auto* notice = qobject_cast<QMessageBox*>(historyNotice());
    QVERIFY(notice);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->windowModality(), Qt::NonModal);
    QVERIFY2(notice->text().contains("war beschädigt oder gehört nicht zu Orvella"), qPrintable(notice->text()));
    QVERIFY(notice->text().contains("Die Rechner arbeiten wie gewohnt."));
    const QString first = notice->text();

    // The damaged file is kept, byte for byte, under its new name.
    const QStringList aside = QDir(QFileInfo(databasePath()).path())
                                  .entryList({"verlauf.sqlite.beschädigt-*"}, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QCOMPARE(fileBytes(QFileInfo(databasePath()).dir().filePath(aside.front())), damaged_);

    // The next calculation: as before, no second notice, both in the fresh history.
    setTextOf(w, "txRaum", "21,5");
    click(w, "cmdRun_Feuchte");
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("21.5"));
    QCOMPARE(historyNotice(), notice);
    QCOMPARE(notice->text(), first);
    HistoryStore store(databasePath());
    QVERIFY(store.open());
    QCOMPARE(inputTexts(store, "thetaR"), (QStringList{"20", "21,5"}));
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
}

void TestHistoryRecording::ctrlHOpensTheVerlauf_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu
    QTest::addColumn<QString>("window");
    QTest::newRow("menu") << "" << "frmOption";
    QTest::newRow("dB calculator") << "Command1" << "frmCalculator";
    QTest::newRow("converter") << "Command2" << "frmSchall";
    QTest::newRow("critical humidity") << "Command3" << "frmFeuchte";
    QTest::newRow("critical temperature") << "Command4" << "frmTemperatur";
    QTest::newRow("open-plan office") << "Command5" << "frmDLprognose";
}

void TestHistoryRecording::ctrlHOpensTheVerlauf()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QWidget* w = open(button, window);
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QStringList entries;
    for (const QAction* a : w->actions())
        entries << a->text() + u'\t' + a->shortcut().toString();
    QVERIFY2(entries.contains("Verlauf…\tCtrl+H"), qPrintable(entries.join(" | ")));
    QWidget* focus = w->focusWidget() ? w->focusWidget() : w;
    QTest::keyClick(focus, Qt::Key_H, Qt::ControlModifier);
    QPointer<QWidget> verlauf = verlaufOf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->windowTitle(), QStringLiteral("Verlauf – Orvella"));
    QVERIFY(verlauf->isVisible());
    // It closes with the window it belongs to.
    if (!button.isEmpty()) {
        click(w, "cmdUload");
        processDeferredDeletes();
        QVERIFY(verlauf.isNull());
    }
}

void TestHistoryRecording::completedCalculationsOnly()
{
    HistoryStore store(databasePath());
    const std::int64_t before = store.count();
    QWidget* w = open("Command4", "frmTemperatur");
    QVERIFY(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_H, Qt::ControlModifier);
    QWidget* verlauf = verlaufOf(w);
    QVERIFY(verlauf);
    // A calculation that stops writes no result and records nothing.
    setTextOf(w, "txAussen", "1e309");
    click(w, "cmdRun_Grenzen");
    QCOMPARE(store.count(), before);
    setTextOf(w, "txAussen", "-5");
    click(w, "cmdRun_Grenzen");
    QCOMPARE(store.count(), before + 1);
    // The open Verlauf shows it at once, at the top.
    QVERIFY2(columnShown(verlauf, 2).value(0).contains("-5"), qPrintable(columnShown(verlauf, 2).value(0)));
    QCOMPARE(columnShown(verlauf, 1).value(0), QStringLiteral("KritischeTemperatur Calculator"));
}

void TestHistoryRecording::keypadEqualsAsItsLine()
{
    QWidget* w = open("Command1", "frmCalculator");
    QVERIFY(w);
    // 6 0 + 6 0 =
    for (const char* button :
         {"cmdNumber(5)", "cmdNumber(9)", "cmdOperator(3)", "cmdNumber(5)", "cmdNumber(9)", "cmdEqual"})
        click(w, button);
    QTest::keyClick(w->focusWidget(), Qt::Key_H, Qt::ControlModifier);
    QWidget* verlauf = verlaufOf(w);
    QVERIFY(verlauf);
    QCOMPARE(columnShown(verlauf, 1).value(0), QStringLiteral("dB Calculator"));
    QCOMPARE(columnShown(verlauf, 2).value(0), QStringLiteral("60 + 60 = 63"));
}

void TestHistoryRecording::textStoredAndShownAsTyped()
{
    const QString typed = QStringLiteral("'); DROP TABLE entry; --");
    QWidget* w = open("Command3", "frmFeuchte");
    QVERIFY(w);
    HistoryStore store(databasePath());
    const std::int64_t before = store.count();
    setTextOf(w, "txRaum", typed);
    setTextOf(w, "txOberflaeche", "10");
    click(w, "cmdRun_Feuchte");
    QCOMPARE(store.count(), before + 1);
    QCOMPARE(inputTexts(store, "thetaR").constLast(), typed);
    QTest::keyClick(w->focusWidget(), Qt::Key_H, Qt::ControlModifier);
    QWidget* verlauf = verlaufOf(w);
    QVERIFY(verlauf);
    QVERIFY2(columnShown(verlauf, 2).value(0).startsWith("Raumtemperatur: " + typed + " °C;"),
             qPrintable(columnShown(verlauf, 2).value(0)));
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
}

void TestHistoryRecording::killedMidBurstThroughTheWindow_data()
{
    QTest::addColumn<int>("killAfter");
    QTest::newRow("after 7 calculations") << 7;
    QTest::newRow("after 300 calculations") << 300;
    QTest::newRow("after 777 calculations") << 777;
}

void TestHistoryRecording::killedMidBurstThroughTheWindow()
{
    QFETCH(int, killAfter);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QProcessEnvironment env = driverEnvironment(home);
    QProcess driver;
    driver.setProcessEnvironment(env);
    driver.start(kDriver, {kPlugins, "1000"});
    QVERIFY(driver.waitForStarted());
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (output.count('\n') < killAfter && driver.state() == QProcess::Running && timer.elapsed() < 90000) {
        driver.waitForReadyRead(1000);
        output += driver.readAllStandardOutput();
    }
    if (driver.state() == QProcess::Running) {
        driver.kill();  // SIGKILL
        QVERIFY(driver.waitForFinished(10000));
        QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
    } else {
        // A machine so busy that this process read nothing until the burst
        // had ended: then at least all of it must be there.
        QVERIFY2(driver.exitStatus() == QProcess::NormalExit && driver.exitCode() == 0,
                 driver.readAllStandardError().constData());
        qWarning("the burst ended before the kill");
    }
    output += driver.readAllStandardOutput();
    QStringList completed;
    for (const QByteArray& line : output.split('\n'))
        if (!line.isEmpty())
            completed << QStringLiteral("20,") + QString::fromLatin1(line);
    QVERIFY(completed.size() >= killAfter);

    HistoryStore store(home.filePath("share/orvella/verlauf.sqlite"));
    QVERIFY(store.open());
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
    const QStringList stored = inputTexts(store, "thetaR");
    // Every calculation that completed is there, in order; beyond them at
    // most the one in flight.
    QCOMPARE(stored.mid(0, completed.size()), completed);
    QVERIFY2(stored.size() - completed.size() <= 1,
             qPrintable(QStringLiteral("%1 stored, %2 completed").arg(stored.size()).arg(completed.size())));
    if (stored.size() > completed.size())
        QCOMPARE(stored.constLast(), QStringLiteral("20,%1").arg(completed.size()));
}

void TestHistoryRecording::levelListKilledThenReopened_data()
{
    QTest::addColumn<int>("levels");
    QTest::newRow("one level") << 1;
    QTest::newRow("60 levels") << 60;
}

// A level list typed, the program killed with SIGKILL: at the next start its
// entry is in the Verlauf, and "Übernehmen" opens the list with every level
// and the background level.
void TestHistoryRecording::levelListKilledThenReopened()
{
    QFETCH(int, levels);
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QProcessEnvironment env = driverEnvironment(home);
    QProcess typing;
    typing.setProcessEnvironment(env);
    typing.start(kDriver, {kPlugins, "levels", QString::number(levels)});
    QVERIFY(typing.waitForStarted());
    QByteArray output;
    QElapsedTimer timer;
    timer.start();
    while (!output.contains("typed\n") && typing.state() == QProcess::Running && timer.elapsed() < 60000) {
        typing.waitForReadyRead(1000);
        output += typing.readAllStandardOutput();
    }
    QVERIFY2(output.contains("typed\n"), typing.readAllStandardError().constData());
    // Handed to the history kDelayMs after the last key at most, written at
    // once; the rest is room for a loaded machine.
    QTest::qWait(EvaluationHistory::kDelayMs + 1000);
    typing.kill();  // SIGKILL
    QVERIFY(typing.waitForFinished(10000));
    QCOMPARE(typing.exitStatus(), QProcess::CrashExit);

    QProcess reopening;
    reopening.setProcessEnvironment(env);
    reopening.start(kDriver, {kPlugins, "reopen"});
    QVERIFY(reopening.waitForFinished(60000));
    QVERIFY2(reopening.exitCode() == 0, reopening.readAllStandardError().constData());
    QStringList expected;
    for (int i = 0; i < levels; ++i)
        expected << QStringLiteral("%1.25").arg(50 + i);
    expected << "35";
    const QString shown = QString::fromUtf8(reopening.readAllStandardOutput()).replace(u',', u'.');
    QCOMPARE(shown.split(u'\n', Qt::SkipEmptyParts), expected);
}

QTEST_MAIN(TestHistoryRecording)
#include "tst_historyrecording.moc"
