// SPDX-License-Identifier: GPL-3.0-or-later
// The companion windows as the program opens them: F1, F2 and F3 load their
// plugins from the build tree and open a window that belongs to the designed
// window it came from, once per window, closed with it; the program still
// ends when the last designed window closes.

#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTextBrowser>
#include <QTest>
#include <QTimer>

using namespace orvella;
using namespace orvella::test;

namespace {

const char* const kMenuButtons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
const char* const kWindows[] = {"frmCalculator", "frmSchall", "frmFeuchte", "frmTemperatur",
                                "frmDLprognose"};

// The companion windows (top-level children) of `owner` that are visible.
QList<QWidget*> openCompanions(const QWidget* owner)
{
    QList<QWidget*> list;
    for (QWidget* w : owner->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isWindow() && w->isVisible())
            list << w;
    return list;
}

// The part of `widget` that its parents leave visible in its window, in the
// window's coordinates.
QRect visiblePart(const QWidget* widget)
{
    QRect seen = widget->rect();
    for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget())
        seen = seen.translated(w->pos()) & w->parentWidget()->rect();
    return seen;
}

}  // namespace

class TestCompanions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void keysOpenTheirCompanion_data();
    void keysOpenTheirCompanion();
    void studyOnlyOnFormulaCalculators();
    void secondKeyPressRaisesTheSameWindow();
    void closeTakesTheCompanionsAlong();
    void minimisingKeepsTheCompanions();
    void companionsWithoutAnOwner_data();
    void companionsWithoutAnOwner();
    void programEndsWithTheLastDesignedWindow();
    void placedBesideItsOwner_data();
    void placedBesideItsOwner();
    void wholeAtTheSmallestSize_data();
    void wholeAtTheSmallestSize();

private:
    // The window a menu button opens; the menu itself for an empty name.
    QWidget* openOwner(const QString& button);
    std::unique_ptr<Shell> shell_;
};

void TestCompanions::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installCompanionCommands();
}

void TestCompanions::init()
{
    shell_ = std::make_unique<Shell>();
    shell_->menu().show();
}

void TestCompanions::cleanup()
{
    shell_.reset();
    processDeferredDeletes();
}

QWidget* TestCompanions::openOwner(const QString& button)
{
    if (button.isEmpty())
        return shell_->menu().window();
    const int i = int(std::find(std::begin(kMenuButtons), std::end(kMenuButtons), button) -
                      std::begin(kMenuButtons));
    return openFromMenu(shell_->menu(), button, kWindows[i]);
}

void TestCompanions::keysOpenTheirCompanion_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu itself
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("title");

    QTest::newRow("F1 on the menu: the overview") << "" << int(Qt::Key_F1) << "Hilfe – Orvella";
    const char* const titles[] = {"dB Calculator", "Schallleistung - Schalldruck",
                                  "Kritische Feuchte Calculator", "KritischeTemperatur Calculator",
                                  "Großraumbüro DL2 Prognose"};
    for (int i = 0; i < 5; ++i) {
        QTest::addRow("F1 on %s", kWindows[i])
            << kMenuButtons[i] << int(Qt::Key_F1) << QString("Hilfe und Rechenweg – ") + titles[i];
        // The keypad has no study: its F2 is the level list.
        QTest::addRow("F2 on %s", kWindows[i])
            << kMenuButtons[i] << int(Qt::Key_F2)
            << (i > 0 ? QString("Parameterstudie – ") : QString("Pegelliste – ")) + titles[i];
    }
    QTest::newRow("F3 on frmDLprognose")
        << "Command5" << int(Qt::Key_F3) << "Messauswertung ISO 3382-3 – Großraumbüro DL2 Prognose";
}

void TestCompanions::keysOpenTheirCompanion()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, title);

    QWidget* owner = openOwner(button);
    QVERIFY(owner);
    // Window shortcuts work in the active window.
    QVERIFY(QTest::qWaitForWindowActive(owner));
    QWidget* focus = owner->focusWidget();
    QVERIFY(focus);
    QTest::keyClick(focus, Qt::Key(key));

    const QList<QWidget*> companions = openCompanions(owner);
    QCOMPARE(companions.size(), 1);
    QCOMPARE(companions.first()->windowTitle(), title);
    // The designed window keeps its focus control and its texts.
    QCOMPARE(owner->focusWidget(), focus);
}

void TestCompanions::studyOnlyOnFormulaCalculators()
{
    QWidget* menu = shell_->menu().window();
    QVERIFY(QTest::qWaitForWindowActive(menu));
    QTest::keyClick(menu, Qt::Key_F2);
    QVERIFY(openCompanions(menu).isEmpty());

    QWidget* keypad = openFromMenu(shell_->menu(), "Command1", "frmCalculator");
    QVERIFY(keypad);
    QTest::keyClick(keypad->focusWidget(), Qt::Key_F2);
    QVERIFY(!keypad->findChild<QWidget*>("studyWindow", Qt::FindDirectChildrenOnly));
}

void TestCompanions::secondKeyPressRaisesTheSameWindow()
{
    QWidget* w = openFromMenu(shell_->menu(), "Command3", "frmFeuchte");
    QVERIFY(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_F1);
    QTest::keyClick(w->focusWidget(), Qt::Key_F1);
    QTest::keyClick(w->focusWidget(), Qt::Key_F2);
    QTest::keyClick(w->focusWidget(), Qt::Key_F2);
    QCOMPARE(openCompanions(w).size(), 2);
}

void TestCompanions::closeTakesTheCompanionsAlong()
{
    QWidget* w = openFromMenu(shell_->menu(), "Command5", "frmDLprognose");
    QVERIFY(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_F1);
    QTest::keyClick(w->focusWidget(), Qt::Key_F2);
    const QList<QPointer<QWidget>> companions = {openCompanions(w).value(0), openCompanions(w).value(1)};
    QVERIFY(companions[0] && companions[1]);

    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!companions[0]);
    QVERIFY(!companions[1]);
    QCOMPARE(visibleWindows().size(), 1);
    QCOMPARE(visibleWindows().first()->objectName(), QString("frmOption"));
}

// The window system hides a minimised window (a spontaneous hide): that is
// no unload, and the help and the study stay with what they show, until the
// calculator is closed.
void TestCompanions::minimisingKeepsTheCompanions()
{
    QWidget* w = openFromMenu(shell_->menu(), "Command3", "frmFeuchte");
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->focusWidget(), Qt::Key_F1);
    QTest::keyClick(w->focusWidget(), Qt::Key_F2);
    QPointer<QWidget> help = w->findChild<QWidget*>("helpWindow", Qt::FindDirectChildrenOnly);
    QPointer<QWidget> study = w->findChild<QWidget*>("studyWindow", Qt::FindDirectChildrenOnly);
    QVERIFY(help && study);
    auto* from = study->findChild<QLineEdit*>("from");
    from->selectAll();
    QTest::keyClicks(from, "12,5");
    const QString page = help->findChild<QTextBrowser*>()->toPlainText();
    QVERIFY(page.contains("Rechenweg"));

    w->showMinimized();
    QTest::qWait(50);
    processDeferredDeletes();
    QVERIFY(help && study);
    w->showNormal();
    QTest::qWait(50);
    processDeferredDeletes();
    QVERIFY(help && study);
    QVERIFY(help->isVisible() && study->isVisible());
    QCOMPARE(help->findChild<QTextBrowser*>()->toPlainText(), page);
    QCOMPARE(from->text(), QString("12,5"));

    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!help && !study);
}

void TestCompanions::companionsWithoutAnOwner_data()
{
    QTest::addColumn<QString>("plugin");
    QTest::newRow("help") << "orvella_help";
    QTest::newRow("study") << "orvella_study";
}

// A command from no window gets a window of its own, deleted when closed.
void TestCompanions::companionsWithoutAnOwner()
{
    QFETCH(QString, plugin);
    CompanionPlugin* companions = loadCompanionPlugin(plugin);
    QVERIFY(companions);
    CompanionRequest request;
    request.title = "Kritische Feuchte Calculator";
    request.models = {allCalculatorModels()[3]};  // frmFeuchte
    QPointer<QWidget> window = companions->open(request);
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->parentWidget());
    QVERIFY(window->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));
    window->close();
    processDeferredDeletes();
    QVERIFY(!window);
}

void TestCompanions::programEndsWithTheLastDesignedWindow()
{
    QWidget* w = openFromMenu(shell_->menu(), "Command4", "frmTemperatur");
    QVERIFY(w);
    QTest::keyClick(w->focusWidget(), Qt::Key_F1);
    QTest::keyClick(w->focusWidget(), Qt::Key_F2);
    QCOMPARE(openCompanions(w).size(), 2);
    QVERIFY(programEndsWhenClosed(w));
    processDeferredDeletes();
    QVERIFY(visibleWindows().isEmpty());
}

void TestCompanions::placedBesideItsOwner_data()
{
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QSize>("companion");
    QTest::addColumn<QPoint>("expected");

    // The offscreen platform's screen is 800 x 800 pixels and draws a frame
    // of 2 pixels around each window; positions are those of the frames,
    // 8 pixels apart.
    QTest::newRow("room on the right") << QRect(100, 50, 300, 200) << QSize(200, 150) << QPoint(410, 48);
    QTest::newRow("room only on the left")
        << QRect(450, 50, 300, 200) << QSize(300, 150) << QPoint(136, 48);
    QTest::newRow("room on neither side: the edge that covers less of the owner")
        << QRect(150, 50, 300, 200) << QSize(500, 150) << QPoint(296, 48);
    QTest::newRow("kept on the screen vertically")
        << QRect(100, 700, 300, 80) << QSize(200, 300) << QPoint(410, 496);
}

void TestCompanions::placedBesideItsOwner()
{
    QFETCH(QRect, owner);
    QFETCH(QSize, companion);
    QFETCH(QPoint, expected);

    QWidget o;
    o.setGeometry(owner);
    o.show();
    QVERIFY(QTest::qWaitForWindowExposed(&o));
    auto* c = new QWidget;
    c->resize(companion);
    attachCompanion(&o, c);
    raiseCompanion(c);
    QCOMPARE(c->pos(), expected);
}

void TestCompanions::wholeAtTheSmallestSize_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu itself
    QTest::addColumn<int>("key");

    QTest::newRow("help overview") << "" << int(Qt::Key_F1);
    for (int i = 0; i < 5; ++i) {
        QTest::addRow("help on %s", kWindows[i]) << kMenuButtons[i] << int(Qt::Key_F1);
        QTest::addRow("%s on %s", i > 0 ? "study" : "level list", kWindows[i]) << kMenuButtons[i] << int(Qt::Key_F2);
    }
    QTest::newRow("measurement on frmDLprognose") << "Command5" << int(Qt::Key_F3);
}

void TestCompanions::wholeAtTheSmallestSize()
{
    QFETCH(QString, button);
    QFETCH(int, key);

    QWidget* owner = openOwner(button);
    QVERIFY(owner);
    QVERIFY(QTest::qWaitForWindowActive(owner));
    QTest::keyClick(owner->focusWidget(), Qt::Key(key));
    QWidget* companion = openCompanions(owner).value(0);
    QVERIFY(companion);

    // A 960 x 540 screen (1920 x 1080 at 200 %) leaves 958 x 515 pixels
    // inside openbox's frame.
    const QSize least = companion->minimumSizeHint().expandedTo(companion->minimumSize());
    QVERIFY2(least.width() <= 958 && least.height() <= 515,
             qPrintable(QStringLiteral("smallest size %1 x %2").arg(least.width()).arg(least.height())));
    companion->resize(least);
    QTRY_COMPARE(companion->size(), least);
    QApplication::processEvents();

    // Every button, every view (text, table, chart) and every label outside
    // the scrolling panel (the legend's) whole in the window, each label as
    // wide as its text. A table's headers are sized by their table, to
    // their sections (the row numbers), and checked with it.
    const auto scrolled = [companion](const QWidget* w) {
        for (w = w->parentWidget(); w != companion; w = w->parentWidget())
            if (qobject_cast<const QAbstractScrollArea*>(w))
                return true;
        return false;
    };
    QList<QWidget*> parts;
    for (QWidget* w : companion->findChildren<QWidget*>())
        if (w->isVisible() && (qobject_cast<QPushButton*>(w) ||
                               (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QHeaderView*>(w)) ||
                               (qobject_cast<QLabel*>(w) && !scrolled(w))))
            parts << w;
    QVERIFY(parts.size() >= 4);
    for (const QWidget* w : std::as_const(parts)) {
        const QRect whole(w->mapTo(companion, QPoint(0, 0)), w->size());
        QVERIFY2(visiblePart(w) == whole && companion->rect().contains(whole) && !whole.isEmpty() &&
                     w->width() >= w->minimumSizeHint().width(),
                 qPrintable(QStringLiteral("%1 %2 at %3, %4 in %5 x %6")
                                .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                                .arg(whole.x())
                                .arg(whole.y())
                                .arg(companion->width())
                                .arg(companion->height())));
    }
}

QTEST_MAIN(TestCompanions)
#include "tst_companions.moc"
