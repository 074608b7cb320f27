// SPDX-License-Identifier: GPL-3.0-or-later
// High-DPI screens: with a device pixel ratio (QT_SCALE_FACTOR), every window
// keeps the proportions of its design. Layouts stay in device-independent
// pixels (15 twips each, as at 96 dpi) and the whole window is drawn at the
// screen's ratio, so it grows evenly instead of squeezing its captions.
// Registered twice: with QT_SCALE_FACTOR=1 and with QT_SCALE_FACTOR=2.

#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

int px(int twips) { return qRound(twips / 15.0); }

}  // namespace

class TestHighDpi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void screenRatio();
    void menuControls();
    void calculatorFrame_data();
    void calculatorFrame();

private:
    QWidget* open(const QString& menuButton);
    std::unique_ptr<Shell> shell;
    double ratio = 1;
};

void TestHighDpi::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    ratio = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
}

void TestHighDpi::init()
{
    shell = std::make_unique<Shell>();
    shell->menu().show();
}

void TestHighDpi::cleanup()
{
    shell.reset();
    processDeferredDeletes();
}

QWidget* TestHighDpi::open(const QString& menuButton)
{
    QWidget* menu = visibleWindow("frmOption");
    if (!menu)
        return nullptr;
    click(menu, menuButton);
    processDeferredDeletes();
    const QList<QWidget*> windows = visibleWindows();
    return windows.size() == 1 ? windows.front() : nullptr;
}

// The scale factor really applies, and the logical resolution stays at 96
// dpi, so twips map to the same device-independent pixels at any ratio.
void TestHighDpi::screenRatio()
{
    QWidget* menu = visibleWindow("frmOption");
    QVERIFY(menu);
    QCOMPARE(menu->devicePixelRatioF(), ratio);
    QCOMPARE(QGuiApplication::primaryScreen()->logicalDotsPerInchX(), 96.0);
}

// Every control of the menu where its design puts it, in device-independent
// pixels; the window is drawn with ratio times as many device pixels.
void TestHighDpi::menuControls()
{
    QWidget* menu = visibleWindow("frmOption");
    QVERIFY(menu);
    QCOMPARE(menu->size(), QSize(314, 285));  // 4710 x 4275 twips
    const QPixmap drawn = menu->grab();
    QCOMPARE(drawn.size(), QSize(qRound(314 * ratio), qRound(285 * ratio)));
    QCOMPARE(drawn.devicePixelRatio(), ratio);
    for (const ControlDesign& c : menuDesign().controls) {
        const QWidget* w = menu->findChild<QWidget*>(c.name);
        QVERIFY2(w, qPrintable(c.name));
        QCOMPARE(w->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
    }
}

void TestHighDpi::calculatorFrame_data()
{
    // Client size and CLOSE (left, top, width, height) in twips, per window.
    QTest::addColumn<QString>("menuButton");
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QRect>("close");
    QTest::newRow("frmCalculator") << "Command1" << QSize(2790, 3945) << QRect(120, 3480, 2535, 375);
    QTest::newRow("frmSchall") << "Command2" << QSize(9840, 3150) << QRect(120, 2640, 9615, 375);
    QTest::newRow("frmFeuchte") << "Command3" << QSize(5565, 4725) << QRect(120, 4200, 5295, 375);
    QTest::newRow("frmTemperatur") << "Command4" << QSize(5565, 3855) << QRect(120, 3360, 5295, 375);
    QTest::newRow("frmDLprognose") << "Command5" << QSize(6390, 6990) << QRect(120, 6480, 6135, 375);
}

void TestHighDpi::calculatorFrame()
{
    QFETCH(QString, menuButton);
    QFETCH(QSize, client);
    QFETCH(QRect, close);
    QWidget* w = open(menuButton);
    QVERIFY(w);
    const QSize logical(px(client.width()), px(client.height()));
    QCOMPARE(w->size(), logical);
    QCOMPARE(w->minimumSize(), logical);
    QCOMPARE(w->maximumSize(), logical);
    QCOMPARE(w->devicePixelRatioF(), ratio);
    QCOMPARE(w->grab().size(), logical * ratio);
    const QWidget* cmd = w->findChild<QWidget*>("cmdUload");
    QVERIFY(cmd);
    QCOMPARE(cmd->geometry(),
             QRect(px(close.left()), px(close.top()), px(close.width()), px(close.height())));
    // Every control stays inside its container at this ratio too.
    for (const QWidget* c : w->findChildren<QWidget*>()) {
        if (!c->parentWidget() || c->isWindow() || c->objectName().isEmpty())
            continue;
        QVERIFY2(c->parentWidget()->rect().contains(c->geometry()), qPrintable(c->objectName()));
    }
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
