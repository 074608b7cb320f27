// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement evaluation as the program offers and loads it: the menu
// and every calculator window come up without Qt Charts or the plugin in the
// process; only the prognosis window offers "Messauswertung ISO 3382-3…",
// on F3 and in its context menu, and F3 loads both from the build tree. This
// test links the program's windows but not the plugin's, so the process maps
// what the program maps.

#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

const QString kEntry = QStringLiteral("Messauswertung ISO 3382-3…");

// The window's command with this text (its context menu's entry), or null.
QAction* commandOf(const QWidget* window, const QString& text)
{
    for (QAction* a : window->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

}  // namespace

class TestMeasurementPlugin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void loadedOnFirstUse();
};

void TestMeasurementPlugin::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installCompanionCommands();
}

void TestMeasurementPlugin::loadedOnFirstUse()
{
    Shell shell;
    const char* const buttons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
    const char* const windows[] = {"frmCalculator", "frmSchall", "frmFeuchte", "frmTemperatur", "frmDLprognose"};
    shell.menu().show();
    QVERIFY(!commandOf(shell.menu().window(), kEntry));
    QWidget* prognosis = nullptr;
    for (int i = 0; i < 5; ++i) {
        shell.menu().show();
        prognosis = openFromMenu(shell.menu(), buttons[i], windows[i]);
        QVERIFY2(prognosis, windows[i]);
        // Only the prognosis has a measurement to compare with.
        QCOMPARE(commandOf(prognosis, kEntry) != nullptr, i == 4);
    }
    QVERIFY(!mappedIntoProcess("libQt6Charts"));
    QVERIFY(!mappedIntoProcess("orvella_measurement"));

    QAction* command = commandOf(prognosis, kEntry);
    QCOMPARE(command->shortcut(), QKeySequence(Qt::Key_F3));
    QVERIFY(QTest::qWaitForWindowActive(prognosis));
    QWidget* focus = prognosis->focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key_F3);

    QWidget* window = findCompanion(prognosis, QStringLiteral("measurementWindow"));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Messauswertung ISO 3382-3 – Großraumbüro DL2 Prognose"));
    QVERIFY(window->isVisible());
    QVERIFY(mappedIntoProcess("libQt6Charts"));
    QVERIFY(mappedIntoProcess("orvella_measurement"));
    QCOMPARE(prognosis->focusWidget(), focus);  // the calculator keeps its focus control

    // Closed, the context menu's entry shows the same window again.
    window->close();
    QVERIFY(!window->isVisible());
    command->trigger();
    QCOMPARE(findCompanion(prognosis, QStringLiteral("measurementWindow")), window);
    QVERIFY(window->isVisible());
}

QTEST_MAIN(TestMeasurementPlugin)
#include "tst_measurementplugin.moc"
