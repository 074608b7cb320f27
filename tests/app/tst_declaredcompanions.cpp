// SPDX-License-Identifier: GPL-3.0-or-later
// The companion windows a calculator's description declares, on a small
// calculator of this test's own: each is an entry of the window's context
// menu after help and study, with its key unless an earlier entry holds that
// key already; its plugin is loaded when the user first asks for it, and a
// plugin that cannot be loaded is reported in German and changes nothing.

#include "commands.h"
#include "companions.h"
#include "form.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace orvella;
using namespace orvella::test;

namespace {

std::vector<double> sum(const std::vector<double>& in, Trace*) { return {in[0] + in[1]}; }

CalculatorModel testModel(std::vector<CompanionEntry> companions)
{
    CalculatorModel m;
    m.id = "frmSumme";
    m.window = "frmSumme";
    m.title = "Summe Calculator";
    m.calculateButton = "cmdSumme";
    m.calculateCaption = "Rechnen";
    m.inputs = {makeInput("a", "a", "a", "Erster Wert", "m", "txA", {0.0, 10.0}),
                makeInput("b", "b", "b", "Zweiter Wert", "m", "txB", {0.0, 10.0})};
    m.results = {makeResult("c", "c", "c", "Summe", "m", "txC", 2)};
    m.compute = sum;
    m.companions = std::move(companions);
    return m;
}

WindowDesign testDesign()
{
    return {"frmSumme", "Summe", 3000, 2000,
            {{"txA", ControlKind::TextBox, {}, "1,5", 120, 120, 1200, 285, 0, kRegular},
             {"txB", ControlKind::TextBox, {}, "2", 120, 480, 1200, 285, 1, kRegular},
             {"txC", ControlKind::TextBox, {}, "", 120, 840, 1200, 285, 2, kRegular},
             {"cmdSumme", ControlKind::Button, {}, "Rechnen", 1500, 120, 1200, 375, 3, kRegular}}};
}

// The window of the test calculator with the commands of `models`, as the
// program loads a window: commands installed once, then shown.
std::unique_ptr<CalculatorWindow> openWindow(const std::vector<const CalculatorModel*>& models)
{
    auto w = std::make_unique<CalculatorWindow>(testDesign());
    w->setModels(models);
    w->installCommands();
    w->show();
    w->activateWindow();
    return w;
}

// Text and key of every entry of the window's context menu.
QStringList entriesOf(const QWidget* w)
{
    QStringList entries;
    for (const QAction* a : w->actions())
        if (!a->isSeparator())
            entries << a->text() + u'\t' + a->shortcut().toString();
    return entries;
}

// The visible windows that belong to `owner`.
QList<QWidget*> openCompanions(const QWidget* owner)
{
    QList<QWidget*> windows = visibleWindows();
    windows.removeIf([owner](const QWidget* w) { return w->parentWidget() != owner; });
    return windows;
}

bool mapped(const char* library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

using Entries = std::vector<CompanionEntry>;

}  // namespace

Q_DECLARE_METATYPE(Entries)

class TestDeclaredCompanions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initProgram();
        QApplication::setQuitOnLastWindowClosed(false);
        addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
        installCompanionCommands();
    }
    void cleanup() { processDeferredDeletes(); }

    void firstKeyPressLoadsThePlugin();
    void menuEntries_data();
    void menuEntries();
    void sameEntryInTwoFramesOnce();
    void missingPluginChangesNothing();
};

void TestDeclaredCompanions::firstKeyPressLoadsThePlugin()
{
    const CalculatorModel model =
        testModel({{"Studie der Summe…", "F3", "orvella_study"}});
    auto w = openWindow({&model});
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    // Loading the window offers the entry without loading its plugin.
    QVERIFY(!mapped("orvella_study.so"));
    QTest::keyClick(w->field("txA"), Qt::Key_F3);
    QVERIFY(mapped("orvella_study.so"));
    const QList<QWidget*> companions = openCompanions(w.get());
    QCOMPARE(companions.size(), 1);
    QVERIFY(companions.first()->windowTitle().endsWith("Summe Calculator"));
    // A second press raises the same window.
    QTest::keyClick(w->field("txA"), Qt::Key_F3);
    QCOMPARE(openCompanions(w.get()).size(), 1);
}

void TestDeclaredCompanions::menuEntries_data()
{
    QTest::addColumn<Entries>("declared");
    QTest::addColumn<QStringList>("entries");

    const QStringList builtIn = {"Hilfe und Rechenweg\tF1", "Parameterstudie…\tF2"};
    QTest::newRow("none") << Entries{} << builtIn;
    QTest::newRow("own key") << Entries{{"Messauswertung…", "F3", "orvella_x"}}
                             << builtIn + QStringList{"Messauswertung…\tF3"};
    QTest::newRow("key with modifier") << Entries{{"Messauswertung…", "Ctrl+M", "orvella_x"}}
                                       << builtIn + QStringList{"Messauswertung…\tCtrl+M"};
    QTest::newRow("no key") << Entries{{"Messauswertung…", "", "orvella_x"}}
                            << builtIn + QStringList{"Messauswertung…\t"};
    // F1 stays the help's; the entry is offered in the menu only.
    QTest::newRow("help's key: menu only") << Entries{{"Rechenweg drucken…", "F1", "orvella_x"}}
                                           << builtIn + QStringList{"Rechenweg drucken…\t"};
    QTest::newRow("study's key: menu only") << Entries{{"Variantenvergleich…", "F2", "orvella_x"}}
                                            << builtIn + QStringList{"Variantenvergleich…\t"};
    QTest::newRow("two on one key: the first keeps it")
        << Entries{{"Messauswertung…", "F3", "orvella_x"}, {"Variantenvergleich…", "F3", "orvella_y"}}
        << builtIn + QStringList{"Messauswertung…\tF3", "Variantenvergleich…\t"};
}

void TestDeclaredCompanions::menuEntries()
{
    QFETCH(Entries, declared);
    const CalculatorModel model = testModel(declared);
    auto w = openWindow({&model});
    QTEST(entriesOf(w.get()), "entries");
}

void TestDeclaredCompanions::sameEntryInTwoFramesOnce()
{
    // A window of two frames whose descriptions both declare one companion.
    const CalculatorModel first = testModel({{"Messauswertung…", "F3", "orvella_x"}});
    CalculatorModel second = testModel({{"Messauswertung…", "F3", "orvella_x"},
                                        {"Variantenvergleich…", "F4", "orvella_y"}});
    second.id = "frmSumme.2";
    auto w = openWindow({&first, &second});
    QCOMPARE(entriesOf(w.get()), (QStringList{"Hilfe und Rechenweg\tF1", "Parameterstudie…\tF2",
                                              "Messauswertung…\tF3", "Variantenvergleich…\tF4"}));
}

void TestDeclaredCompanions::missingPluginChangesNothing()
{
    const CalculatorModel model =
        testModel({{"Messauswertung ISO 3382-3…", "F4", "orvella_gibt_es_nicht"}});
    auto w = openWindow({&model});
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    w->field("txB")->setFocus();
    const QStringList before = {w->field("txA")->text(), w->field("txB")->text(), w->field("txC")->text()};
    const QStringList entries = entriesOf(w.get());

    QStringList boxes;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->text();
            QCOMPARE(box->parentWidget(), w.get());
            box->accept();
        }
    });
    answer.start(20);
    QTest::keyClick(w->field("txB"), Qt::Key_F4);
    answer.stop();

    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first().startsWith("„Messauswertung ISO 3382-3“ kann nicht geöffnet werden, weil "
                                      "ein Teil des Programms fehlt oder beschädigt ist."),
             qPrintable(boxes.first()));
    QVERIFY(boxes.first().contains("orvella_gibt_es_nicht"));
    QVERIFY(openCompanions(w.get()).isEmpty());
    QCOMPARE((QStringList{w->field("txA")->text(), w->field("txB")->text(), w->field("txC")->text()}), before);
    QCOMPARE(entriesOf(w.get()), entries);
    QVERIFY(w->isVisible());
    QCOMPARE(w->focusWidget(), w->field("txB"));
}

QTEST_MAIN(TestDeclaredCompanions)
#include "tst_declaredcompanions.moc"
