// SPDX-License-Identifier: GPL-3.0-or-later
// The window flow of the program: the menu opens a calculator and unloads
// itself, CLOSE brings back a freshly loaded menu, reopening a calculator
// shows its design texts, the title-bar close box ends the program, and the
// web-site button hands the address to the system.

#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace orvella;
using namespace orvella::test;

// Receives the addresses QDesktopServices would hand to the browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class TestFlow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void menuDesign();
    void menuTabOrder();
    void openConverterAndClose();
    void calculatorCloseBoxEndsProgram();
    void menuCloseBoxEndsProgram();
    void doubleClickOpensOnce();
    void webButton();
    void enterRightAfterStartOpensWebSite();
    void everyWindowCarriesTheProgramIcon();

private:
    std::unique_ptr<Shell> shell;
    UrlRecorder recorder;
};

void TestFlow::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    QDesktopServices::setUrlHandler("https", &recorder, "open");
}

void TestFlow::cleanupTestCase() { QDesktopServices::unsetUrlHandler("https"); }

void TestFlow::init()
{
    recorder.urls.clear();
    shell = std::make_unique<Shell>();
    shell->menu().show();
}

void TestFlow::cleanup()
{
    shell.reset();
    processDeferredDeletes();
}

void TestFlow::menuDesign()
{
    QWidget* menu = shell->menu().window();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QString("frmOption"));
    QCOMPARE(menu->windowTitle().left(35), "Orvella" + QString(28, u' '));
    QVERIFY(menu->windowTitle().size() > 35);
    const QList<QPair<QString, QString>> captions = {
        {"Command1", "dB Calculator"},
        {"Command2", "Schallleistung - Schalldruck"},
        {"Command3", "Kritische Feuchte Calculator"},
        {"Command4", "KritischeTemperatur Calculator"},
        {"Command5", "Großraumbüro DL2 Prognose"},
        {"Command9", "Orvella"},
    };
    for (const auto& [name, caption] : captions) {
        QVERIFY2(buttonOf(menu, name), qPrintable(name));
        QCOMPARE(buttonOf(menu, name)->text(), caption);
        QVERIFY(!buttonOf(menu, name)->isDefault());
    }
    // "Raumakustik" stands between "Schall" and "Feuchte" on screen.
    const auto* frame1 = menu->findChild<QWidget*>("Frame1");
    const auto* frame2 = menu->findChild<QWidget*>("Frame2");
    const auto* frame3 = menu->findChild<QWidget*>("Frame3");
    QVERIFY(frame1 && frame2 && frame3);
    QVERIFY(frame1->y() < frame3->y() && frame3->y() < frame2->y());
    QCOMPARE(buttonOf(menu, "Command5")->parentWidget(), frame3);
}

void TestFlow::menuTabOrder()
{
    QWidget* menu = shell->menu().window();
    QCOMPARE(menu->focusWidget(), buttonOf(menu, "Command9"));
    QCOMPARE(focusChain(menu, "Command9"),
             QStringList({"Command9", "Command1", "Command2", "Command3", "Command4", "Command5"}));
}

void TestFlow::openConverterAndClose()
{
    QWidget* menu = shell->menu().window();
    click(menu, "Command2");
    QWidget* converter = visibleWindow("frmSchall");
    QVERIFY(converter);
    QVERIFY(!shell->menu().isLoaded());
    processDeferredDeletes();
    QCOMPARE(visibleWindows(), QList<QWidget*>{converter});

    setTextOf(converter, "txPegel_l", "99");
    click(converter, "cmdRun_l");
    QCOMPARE(textOf(converter, "txLeistug_l"), QString("109.99"));

    click(converter, "cmdUload");
    QWidget* menuAgain = visibleWindow("frmOption");
    QVERIFY(menuAgain);
    QCOMPARE(menuAgain->focusWidget(), buttonOf(menuAgain, "Command9"));
    processDeferredDeletes();
    QVERIFY(!visibleWindow("frmSchall"));
    QCOMPARE(visibleWindows(), QList<QWidget*>{menuAgain});

    click(menuAgain, "Command2");
    QWidget* reopened = visibleWindow("frmSchall");
    QVERIFY(reopened);
    QCOMPARE(textOf(reopened, "txPegel_l"), QString("50"));
    QCOMPARE(textOf(reopened, "txLeistug_l"), QString("0"));
    QCOMPARE(reopened->focusWidget(), buttonOf(reopened, "cmdUload"));
}

void TestFlow::calculatorCloseBoxEndsProgram()
{
    click(shell->menu().window(), "Command2");
    QWidget* converter = visibleWindow("frmSchall");
    QVERIFY(converter);
    processDeferredDeletes();
    QVERIFY(programEndsWhenClosed(converter));
    processDeferredDeletes();
    QVERIFY(visibleWindows().isEmpty());
    QVERIFY(!shell->menu().isLoaded());
    QVERIFY(!shell->calculator(Calculator::Converter)->isLoaded());
}

void TestFlow::menuCloseBoxEndsProgram()
{
    QVERIFY(programEndsWhenClosed(shell->menu().window()));
    processDeferredDeletes();
    QVERIFY(visibleWindows().isEmpty());
}

void TestFlow::doubleClickOpensOnce()
{
    QWidget* menu = shell->menu().window();
    QPushButton* button = buttonOf(menu, "Command2");
    QTest::mouseDClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    processDeferredDeletes();
    int converters = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        converters += w->objectName() == "frmSchall";
    QCOMPARE(converters, 1);
    QCOMPARE(visibleWindows().size(), 1);
}

void TestFlow::webButton()
{
    QWidget* menu = shell->menu().window();
    click(menu, "Command9");
    QCOMPARE(recorder.urls, QList<QUrl>{Shell::webSite()});
    QVERIFY(Shell::webSite().isValid());
    QCOMPARE(visibleWindow("frmOption"), menu);
}

void TestFlow::enterRightAfterStartOpensWebSite()
{
    QWidget* menu = shell->menu().window();
    QVERIFY(QTest::qWaitForWindowActive(menu));
    QTest::keyClick(menu->focusWidget(), Qt::Key_Return);
    QTest::keyClick(menu->focusWidget(), Qt::Key_Space);
    QCOMPARE(recorder.urls.size(), 2);
    QCOMPARE(visibleWindow("frmOption"), menu);
}

void TestFlow::everyWindowCarriesTheProgramIcon()
{
    installProgramIcon();
    QTRY_VERIFY(!QApplication::windowIcon().isNull());
    // Drawn from the SVG: the icon plugin is there and the drawing loads.
    QVERIFY(!QApplication::windowIcon().pixmap(32, 32).isNull());
    QWidget* menu = shell->menu().window();
    QCOMPARE(menu->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    click(menu, "Command3");
    QWidget* calculator = visibleWindow("frmFeuchte");
    QVERIFY(calculator);
    QCOMPARE(calculator->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

QTEST_MAIN(TestFlow)
#include "tst_flow.moc"
