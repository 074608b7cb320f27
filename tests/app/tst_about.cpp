// SPDX-License-Identifier: GPL-3.0-or-later
// "Über Orvella" on every window: the last entry of the context menu, after a
// separator; it opens a box over its window that names the version the build
// was configured with, the licence, the Qt version in use and the web site,
// and that does not keep the program alive when its window closes.

#include "about.h"
#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

QAction* aboutAction(const QWidget* window)
{
    for (QAction* a : window->actions())
        if (a->text() == QStringLiteral("Über Orvella"))
            return a;
    return nullptr;
}

QMessageBox* aboutBoxOf(const QWidget* window)
{
    return window->findChild<QMessageBox*>(QStringLiteral("aboutBox"));
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyWindowOffersTheBox_data();
    void everyWindowOffersTheBox();
    void boxDoesNotKeepTheProgramAlive();

private:
    QWidget* openWindow(const QString& button, const QString& name);
    std::unique_ptr<Shell> shell_;
};

void TestAbout::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    // As main() installs them: the companion commands first, the box last.
    installCompanionCommands();
    installAboutCommand();
}

void TestAbout::init()
{
    shell_ = std::make_unique<Shell>();
    shell_->menu().show();
}

void TestAbout::cleanup()
{
    shell_.reset();
    processDeferredDeletes();
}

QWidget* TestAbout::openWindow(const QString& button, const QString& name)
{
    return button.isEmpty() ? shell_->menu().window() : openFromMenu(shell_->menu(), button, name);
}

void TestAbout::everyWindowOffersTheBox_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu itself
    QTest::addColumn<QString>("window");
    QTest::newRow("menu") << "" << "frmOption";
    QTest::newRow("dB keypad") << "Command1" << "frmCalculator";
    QTest::newRow("sound power") << "Command2" << "frmSchall";
    QTest::newRow("critical humidity") << "Command3" << "frmFeuchte";
    QTest::newRow("critical temperature") << "Command4" << "frmTemperatur";
    QTest::newRow("open-plan office") << "Command5" << "frmDLprognose";
}

void TestAbout::everyWindowOffersTheBox()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QWidget* w = openWindow(button, window);
    QVERIFY(w);
    QCOMPARE(w->objectName(), window);

    // The last entry, set apart from the window's own commands.
    QAction* about = aboutAction(w);
    QVERIFY(about);
    const QList<QAction*> actions = w->actions();
    QCOMPARE(actions.last(), about);
    QVERIFY(actions.size() >= 3);
    QVERIFY(actions[actions.size() - 2]->isSeparator());

    about->trigger();
    QMessageBox* box = aboutBoxOf(w);
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QCOMPARE(box->windowTitle(), QString("Über Orvella"));
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    const QString text = box->text();
    // The version CMake's project() gives the build, the same the package carries.
    QVERIFY2(text.contains("Orvella " ORVELLA_PROJECT_VERSION), qPrintable(text));
    QVERIFY2(text.contains("GNU General Public License, Version 3 oder neuer"), qPrintable(text));
    QVERIFY2(text.contains("GPL-3.0-or-later"), qPrintable(text));
    QVERIFY2(text.contains(QString("Qt-Version ") + qVersion()), qPrintable(text));
    QVERIFY2(text.contains("<a href=\"https://www.orvella.de/\">"), qPrintable(text));
    // The address is a link the user can click to open the site.
    QLabel* label = nullptr;
    for (QLabel* l : box->findChildren<QLabel*>())
        if (l->text() == text)
            label = l;
    QVERIFY(label);
    QVERIFY(label->openExternalLinks());
    QVERIFY(label->textInteractionFlags() & Qt::LinksAccessibleByMouse);

    // OK closes it and gives the window back.
    QPointer<QMessageBox> guard(box);
    box->button(QMessageBox::Ok)->click();
    processDeferredDeletes();
    QVERIFY(!guard);
    QVERIFY(w->isVisible());
}

void TestAbout::boxDoesNotKeepTheProgramAlive()
{
    QWidget* w = openWindow("Command3", "frmFeuchte");
    QVERIFY(w);
    aboutAction(w)->trigger();
    QPointer<QMessageBox> box = aboutBoxOf(w);
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    // The calculator's close box with the box still open ends the program.
    QVERIFY(programEndsWhenClosed(w));
    processDeferredDeletes();
    QVERIFY(!box);
    QVERIFY(visibleWindows().isEmpty());
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
