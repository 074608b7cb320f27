// SPDX-License-Identifier: GPL-3.0-or-later
// The history as the program loads it: the menu and every calculator
// window come up without Qt SQL in the process, and a calculation while
// "Verlauf führen" is off loads nothing; the first calculation recorded
// loads the plugin (and Qt SQL with it) from the build tree, and the entry
// lands in the user's data folder, orvella/verlauf.sqlite. This test links the
// program's windows but not the history, so the process maps exactly what
// the program maps.

#include "historyrecording.h"
#include "historyservice.h"
#include "historysettings.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestHistoryPlugin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowsOpenWithoutQtSql();
    void switchedOffLoadsNothing();
    void firstCalculationLoadsThePlugin();
    void firstRequestLoadsThePlugin();
    void switchedOffByTheUser();

private:
    QTemporaryDir home_;
};

void TestHistoryPlugin::initTestCase()
{
    QVERIFY(home_.isValid());
    // The user's data and settings folders, for this process only.
    qputenv("XDG_DATA_HOME", home_.filePath("share").toUtf8());
    qputenv("XDG_CONFIG_HOME", home_.filePath("config").toUtf8());
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installHistoryRecording();
}

void TestHistoryPlugin::windowsOpenWithoutQtSql()
{
    Shell shell;
    const char* const buttons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
    const char* const windows[] = {"frmCalculator", "frmSchall", "frmFeuchte", "frmTemperatur", "frmDLprognose"};
    for (int i = 0; i < 5; ++i) {
        shell.menu().show();
        QVERIFY2(openFromMenu(shell.menu(), buttons[i], windows[i]), windows[i]);
    }
    QVERIFY(!mappedIntoProcess("libQt6Sql"));
    QVERIFY(!mappedIntoProcess("orvella_history"));
    QVERIFY(!mappedIntoProcess("libsqlite3"));
}

void TestHistoryPlugin::switchedOffLoadsNothing()
{
    {
        QSettings settings(defaultSettingsPath(), QSettings::IniFormat);
        setHistoryEnabled(settings, false);
    }
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command4", "frmTemperatur");
    QVERIFY(w);
    setTextOf(w, "txAussen", "-5");
    click(w, "cmdRun_Grenzen");
    QVERIFY(!textOf(w, "txKondens").isEmpty());
    QVERIFY(!mappedIntoProcess("libQt6Sql"));
    QVERIFY(!QFile::exists(home_.filePath("share/orvella/verlauf.sqlite")));
    QSettings settings(defaultSettingsPath(), QSettings::IniFormat);
    setHistoryEnabled(settings, true);
}

void TestHistoryPlugin::firstCalculationLoadsThePlugin()
{
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command4", "frmTemperatur");
    QVERIFY(w);
    setTextOf(w, "txAussen", "-5");
    QVERIFY(!mappedIntoProcess("libQt6Sql"));
    click(w, "cmdRun_Grenzen");
    QVERIFY(mappedIntoProcess("libQt6Sql"));
    QVERIFY(QFile::exists(home_.filePath("share/orvella/verlauf.sqlite")));
}

void TestHistoryPlugin::firstRequestLoadsThePlugin()
{
    QString error;
    HistoryService* history = loadHistoryService(&error);
    QVERIFY2(history, qPrintable(error));
    QCOMPARE(loadHistoryService(), history);

    const QString expected = home_.filePath("share/orvella/verlauf.sqlite");
    QCOMPARE(history->databasePath(), expected);
    QVERIFY(history->isEnabled());
    CalculationRecord r;
    r.calculatorId = "frmFeuchte";
    r.calculator = "Kritische Feuchte Calculator";
    r.inputs = {{"thetaR", "Raumtemperatur", "°C", "txRaum", "20,5", 20.5}};
    QVERIFY(history->record(r));
    QVERIFY(QFile::exists(expected));
    QVERIFY(mappedIntoProcess("libqsqlite"));
}

void TestHistoryPlugin::switchedOffByTheUser()
{
    HistoryService* history = loadHistoryService();
    QVERIFY(history);
    QStringList notices;
    history->setNotifier([&notices](const QString& n) { notices << n; });
    history->setEnabled(false);
    const qint64 size = QFileInfo(history->databasePath()).size();
    CalculationRecord r;
    r.calculatorId = "frmFeuchte";
    QVERIFY(!history->record(r));
    QVERIFY(notices.isEmpty());
    QCOMPARE(QFileInfo(history->databasePath()).size(), size);
    history->setEnabled(true);
    QVERIFY(history->record(r));
    QVERIFY(QFile::exists(home_.filePath("config/orvella/orvella.conf")));
}

QTEST_MAIN(TestHistoryPlugin)
#include "tst_historyplugin.moc"
