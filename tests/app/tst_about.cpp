// SPDX-License-Identifier: GPL-3.0-or-later
// "Über Orvella" on a calculator: the last entry of the context menu opens a
// box over its window that names the version the build was configured with,
// the licence, the Qt version in use and the web site as a link; it closes by
// OK, or with its window without keeping the program alive.

#include "about.h"
#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include "historysettings.h"

#include <QAction>
#include <QDir>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The user's data folder as on a desktop without XDG_DATA_HOME.
        qunsetenv("XDG_DATA_HOME");
        initProgram();
        QApplication::setQuitOnLastWindowClosed(false);
        installCompanionCommands();  // the box's entry comes last, as in main()
        installAboutCommand();
    }
    void cleanup() { processDeferredDeletes(); }

    void box();
    void shownPath_data();
    void shownPath();
};

void TestAbout::box()
{
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command3", "frmFeuchte");
    QVERIFY(w);
    // The last entry; tst_copy.cpp checks the whole context menu of each kind of window.
    QAction* entry = w->actions().value(w->actions().size() - 1);
    QVERIFY(entry);
    QCOMPARE(entry->text(), QStringLiteral("Über Orvella"));
    entry->trigger();
    QPointer<QMessageBox> box = w->findChild<QMessageBox*>(QStringLiteral("aboutBox"));
    QVERIFY(box);
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QCOMPARE(box->windowTitle(), QStringLiteral("Über Orvella"));
    QCOMPARE(box->windowModality(), Qt::WindowModal);
    QCOMPARE(box->textFormat(), Qt::RichText);  // the link, not its markup
    const QString text = box->text();
    // The version CMake's project() gives the build, the same the package carries.
    QVERIFY2(text.contains("Orvella " ORVELLA_PROJECT_VERSION), qPrintable(text));
    QVERIFY2(text.contains("GNU General Public License, Version 3 oder neuer"), qPrintable(text));
    QVERIFY2(text.contains("GPL-3.0-or-later"), qPrintable(text));
    QVERIFY2(text.contains(QString("Qt-Version ") + qVersion()), qPrintable(text));
    QVERIFY2(text.contains("<a href=\"https://www.orvella.de/\">"), qPrintable(text));
    // The one file written without a command of the user, and where it lies.
    QVERIFY2(text.contains("in der Datei<br>~/.local/share/orvella/verlauf.sqlite<br>"), qPrintable(text));

    // OK closes it and gives the window back.
    box->button(QMessageBox::Ok)->click();
    processDeferredDeletes();
    QVERIFY(!box);
    QVERIFY(w->isVisible());

    // The calculator's close box with the box open again ends the program.
    entry->trigger();
    box = w->findChild<QMessageBox*>(QStringLiteral("aboutBox"));
    QVERIFY(box);
    QVERIFY(programEndsWhenClosed(w));
    processDeferredDeletes();
    QVERIFY(!box);
    QVERIFY(visibleWindows().isEmpty());
}

void TestAbout::shownPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    const QString home = QDir::homePath();
#ifdef Q_OS_WIN
    // Windows: the full path in Windows' separators, also below the home folder.
    const QString local = home + "/AppData/Local/orvella/verlauf.sqlite";
    QTest::newRow("below the home folder") << local << QDir::toNativeSeparators(local);
    QTest::newRow("elsewhere") << "D:/Daten/orvella/verlauf.sqlite" << "D:\\Daten\\orvella\\verlauf.sqlite";
#else
    QTest::newRow("below the home folder") << home + "/.local/share/orvella/verlauf.sqlite"
                                           << "~/.local/share/orvella/verlauf.sqlite";
    QTest::newRow("elsewhere") << "/srv/daten/orvella/verlauf.sqlite" << "/srv/daten/orvella/verlauf.sqlite";
    QTest::newRow("a folder named like the home folder")
        << home + "x/verlauf.sqlite" << home + "x/verlauf.sqlite";
#endif
}

void TestAbout::shownPath()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QCOMPARE(orvella::shownPath(path), shown);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
