// SPDX-License-Identifier: GPL-3.0-or-later
// frmTemperatur through its real widgets, opened from the main menu.

#include "design.h"
#include "form.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestFrmTemperatur : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensWithDesignTextsAndFocusOnClose();
    void tabOrder();
    void calculation_data();
    void calculation();
    void resultFieldsAreNeverRead();
    void writesInStatedOrder();
    void failureLeavesResultsUnchanged_data();
    void failureLeavesResultsUnchanged();
    void reopenedWindowShowsDesignTexts();
};

namespace {

const QStringList kResults = {"txFeuchte1", "txKondens", "txSchimel"};

CalculatorWindow* openFromMenu(Shell& shell)
{
    return qobject_cast<CalculatorWindow*>(
        test::openFromMenu(shell.menu(), "Command4", "frmTemperatur"));
}

QStringList resultsOf(const QWidget* w)
{
    QStringList texts;
    for (const QString& name : kResults)
        texts << textOf(w, name);
    return texts;
}

}  // namespace

void TestFrmTemperatur::initTestCase() { initProgram(); }

void TestFrmTemperatur::opensWithDesignTextsAndFocusOnClose()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QVERIFY(!visibleWindow("frmOption"));
    QCOMPARE(w->windowTitle(), windowCaption(47));
    QCOMPARE(textOf(w, "txAussen"), QStringLiteral("-3.2"));
    QCOMPARE(resultsOf(w), (QStringList{"0", "0", "0"}));
    QCOMPARE(w->focusWidget(), buttonOf(w, "cmdUload"));
    QCOMPARE(buttonOf(w, "cmdRun_Grenzen")->text(), QStringLiteral(" Grenztemperatur"));
    QVERIFY(!buttonOf(w, "cmdRun_Grenzen")->isDefault());
}

void TestFrmTemperatur::tabOrder()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    const QStringList expected = {"cmdUload",   "cmdRun_Grenzen", "txAussen",
                                  "txFeuchte1", "txKondens",      "txSchimel"};
    QCOMPARE(focusChain(w, "cmdUload"), expected);
}

void TestFrmTemperatur::calculation_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QString>("outdoor");
    QTest::addColumn<QString>("outdoorAfter");
    QTest::addColumn<QString>("humidity");
    QTest::addColumn<QString>("condensation");
    QTest::addColumn<QString>("mould");

    struct Row {
        const char* name;
        const char* outdoor;
        const char* outdoorAfter;
        const char* results[3];
    };
    const Row rows[] = {
        {"design text -3.2", "-3.2", "-3.2", {"61.8", "12.5", "15.9"}},
        {"-10, whole humidity without decimals", "-10", "-10", {"55", "10.7", "14.1"}},
        {"-20", "-20", "-20", {"45", "7.7", "11"}},
        {"-64, last degree with vapour", "-64", "-64", {"1", "-37.7", "-32.6"}},
        {"0 belongs to the falling branch", "0", "0", {"65", "13.2", "16.7"}},
        {"5 on the flat part", "5", "5", {"65", "13.2", "16.7"}},
        {"10 still on the flat part", "10", "10", {"65", "13.2", "16.7"}},
        {"10.04 rises to 65.04", "10.04", "10.04", {"65", "13.2", "16.7"}},
        {"12", "12", "12", {"67", "13.7", "17.2"}},
        {"20", "20", "20", {"75", "15.4", "19"}},
        {"45 reaches 100 %", "45", "45", {"100", "20", "23.7"}},
        {"50 exceeds 100 %, no clamping", "50", "50", {"105", "20.8", "24.5"}},
        {"empty counts as 0", "", "", {"65", "13.2", "16.7"}},
        {"decimal comma is fixed", "-3,2", "-3.2", {"61.8", "12.5", "15.9"}},
        {"text after the number is ignored", "-10 °C", "-10 °C", {"55", "10.7", "14.1"}},
    };
    for (const char* mark : {"point", "comma"})
        for (const Row& r : rows)
            QTest::addRow("%s, %s", r.name, mark)
                << QString::fromLatin1(mark) << QString::fromUtf8(r.outdoor)
                << QString::fromUtf8(r.outdoorAfter) << inLocale(r.results[0], mark)
                << inLocale(r.results[1], mark) << inLocale(r.results[2], mark);
}

void TestFrmTemperatur::calculation()
{
    QFETCH(QString, decimalMark);
    QFETCH(QString, outdoor);
    QFETCH(QString, outdoorAfter);
    QFETCH(QString, humidity);
    QFETCH(QString, condensation);
    QFETCH(QString, mould);

    LocaleScope locale(localeNamed(decimalMark));
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QSignalSpy stopped(w, &CalculatorWindow::calculationStopped);
    setTextOf(w, "txAussen", outdoor);
    click(w, "cmdRun_Grenzen");

    QCOMPARE(stopped.count(), 0);
    QCOMPARE(textOf(w, "txAussen"), outdoorAfter);
    QCOMPARE(resultsOf(w), (QStringList{humidity, condensation, mould}));
}

void TestFrmTemperatur::resultFieldsAreNeverRead()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    setTextOf(w, "txFeuchte1", "99");
    setTextOf(w, "txKondens", "abc");
    setTextOf(w, "txSchimel", "1E999");
    click(w, "cmdRun_Grenzen");
    QCOMPARE(resultsOf(w), asShown({"61.8", "12.5", "15.9"}));
}

void TestFrmTemperatur::writesInStatedOrder()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    setTextOf(w, "txAussen", "-3,2");
    QStringList writes;
    for (const char* name : {"txAussen", "txFeuchte1", "txKondens", "txSchimel"})
        connect(fieldOf(w, name), &QLineEdit::textChanged, this,
                [&writes, name] { writes << QString::fromLatin1(name); });
    click(w, "cmdRun_Grenzen");
    QCOMPARE(writes, (QStringList{"txAussen", "txFeuchte1", "txKondens", "txSchimel"}));
}

void TestFrmTemperatur::failureLeavesResultsUnchanged_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QString>("outdoor");
    const std::pair<const char*, const char*> rows[] = {
        {"-65: no vapour in the room air", "-65"},
        {"-65 with a decimal comma", "-65,0"},
        {"-80: negative vapour pressure", "-80"},
        {"vapour pressure overflows", "1E308"},
        {"too large to read", "1E999"},
    };
    for (const char* mark : {"point", "comma"})
        for (const auto& [name, outdoor] : rows)
            QTest::addRow("%s, %s", name, mark)
                << QString::fromLatin1(mark) << QString::fromLatin1(outdoor);
}

void TestFrmTemperatur::failureLeavesResultsUnchanged()
{
    QFETCH(QString, decimalMark);
    QFETCH(QString, outdoor);

    LocaleScope locale(localeNamed(decimalMark));
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QSignalSpy stopped(w, &CalculatorWindow::calculationStopped);

    // Known results from the design text first.
    click(w, "cmdRun_Grenzen");
    const QStringList before = resultsOf(w);
    QCOMPARE(before, (QStringList{inLocale("61.8", decimalMark), inLocale("12.5", decimalMark),
                                  inLocale("15.9", decimalMark)}));

    setTextOf(w, "txAussen", outdoor);
    click(w, "cmdRun_Grenzen");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(resultsOf(w), before);  // txFeuchte1 included
    QCOMPARE(textOf(w, "txAussen"), outdoor.replace(u',', u'.'));

    // The window stays open and calculates again.
    QCOMPARE(visibleWindow("frmTemperatur"), static_cast<QWidget*>(w));
    setTextOf(w, "txAussen", "-64");
    click(w, "cmdRun_Grenzen");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(resultsOf(w), (QStringList{"1", inLocale("-37.7", decimalMark),
                                        inLocale("-32.6", decimalMark)}));
}

void TestFrmTemperatur::reopenedWindowShowsDesignTexts()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    setTextOf(w, "txAussen", "20");
    click(w, "cmdRun_Grenzen");
    QCOMPARE(resultsOf(w), asShown({"75", "15.4", "19"}));

    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(visibleWindow("frmOption"));
    QVERIFY(!visibleWindow("frmTemperatur"));

    w = openFromMenu(shell);
    QVERIFY(w);
    QCOMPARE(textOf(w, "txAussen"), QStringLiteral("-3.2"));
    QCOMPARE(resultsOf(w), (QStringList{"0", "0", "0"}));
}

QTEST_MAIN(TestFrmTemperatur)
#include "tst_frmtemperatur.moc"
