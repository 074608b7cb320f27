// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement evaluation as the program loads it: the menu and every
// calculator window come up without Qt Charts or the plugin in the process;
// opening it loads both from the build tree. This test links the program's
// windows but not the plugin's, so the process maps what the program maps.

#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestMeasurementPlugin : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void loadedOnFirstUse();
};

void TestMeasurementPlugin::initTestCase()
{
    initProgram();
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
}

void TestMeasurementPlugin::loadedOnFirstUse()
{
    Shell shell;
    const char* const buttons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
    const char* const windows[] = {"frmCalculator", "frmSchall", "frmFeuchte", "frmTemperatur", "frmDLprognose"};
    QWidget* prognosis = nullptr;
    for (int i = 0; i < 5; ++i) {
        shell.menu().show();
        prognosis = openFromMenu(shell.menu(), buttons[i], windows[i]);
        QVERIFY2(prognosis, windows[i]);
    }
    QVERIFY(!mappedIntoProcess("libQt6Charts"));
    QVERIFY(!mappedIntoProcess("orvella_measurement"));

    QString error;
    CompanionPlugin* plugin = loadCompanionPlugin(QStringLiteral("orvella_measurement"), &error);
    QVERIFY2(plugin, qPrintable(error));
    QWidget* window = plugin->open(companionRequest(*qobject_cast<DesignedWindow*>(prognosis)));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Messauswertung ISO 3382-3 – Großraumbüro DL2 Prognose"));
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), prognosis);
    QVERIFY(mappedIntoProcess("libQt6Charts"));
    QCOMPARE(plugin->open(companionRequest(*qobject_cast<DesignedWindow*>(prognosis))), window);
}

QTEST_MAIN(TestMeasurementPlugin)
#include "tst_measurementplugin.moc"
