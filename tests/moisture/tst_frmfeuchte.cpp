// SPDX-License-Identifier: GPL-3.0-or-later
// frmFeuchte through its real widgets, opened from the main menu.

#include "design.h"
#include "form.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestFrmFeuchte : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensWithDesignTextsAndFocusOnClose();
    void tabOrder();
    void calculation_data();
    void calculation();
    void writesInStatedOrder();
    void failureLeavesResultsUnchanged_data();
    void failureLeavesResultsUnchanged();
    void reopenedWindowShowsDesignTexts();
};

namespace {

const QStringList kResults = {"txKondens", "txSchimel", "txKorrosion"};

CalculatorWindow* openFromMenu(Shell& shell)
{
    return qobject_cast<CalculatorWindow*>(
        test::openFromMenu(shell.menu(), "Command3", "frmFeuchte"));
}

}  // namespace

void TestFrmFeuchte::initTestCase() { initProgram(); }

void TestFrmFeuchte::opensWithDesignTextsAndFocusOnClose()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QVERIFY(!visibleWindow("frmOption"));
    QCOMPARE(w->windowTitle(), windowCaption(47));
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("20"));
    QCOMPARE(textOf(w, "txOberflaeche"), QStringLiteral("10"));
    for (const QString& name : kResults)
        QCOMPARE(textOf(w, name), QStringLiteral("0"));
    QCOMPARE(w->focusWidget(), buttonOf(w, "cmdUload"));
    QVERIFY(!buttonOf(w, "cmdRun_Feuchte")->isDefault());
}

void TestFrmFeuchte::tabOrder()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    const QStringList expected = {"cmdUload",      "cmdRun_Feuchte", "txKondens",  "txRaum",
                                  "txOberflaeche", "txSchimel",      "txKorrosion"};
    QCOMPARE(focusChain(w, "cmdUload"), expected);
}

void TestFrmFeuchte::calculation_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QString>("room");
    QTest::addColumn<QString>("surface");
    QTest::addColumn<QString>("roomAfter");
    QTest::addColumn<QString>("surfaceAfter");
    QTest::addColumn<QString>("condensation");
    QTest::addColumn<QString>("mould");
    QTest::addColumn<QString>("corrosion");

    struct Row {
        const char* name;
        const char* room;
        const char* surface;
        const char* roomAfter;
        const char* surfaceAfter;
        const char* results[3];
    };
    const Row rows[] = {
        {"design texts 20 and 10", "20", "10", "20", "10", {"52.57", "42.06", "31.54"}},
        {"equal temperatures over water", "20", "20", "20", "20", {"100", "80", "60"}},
        {"equal temperatures over ice", "0", "0", "0", "0", {"100", "80", "60"}},
        {"surface at 0 takes the ice form", "20", "0", "20", "0", {"26.18", "20.95", "15.71"}},
        {"room at 0 takes the ice form", "0", "10", "0", "10", {"200.78", "160.63", "120.47"}},
        {"warmer surface, no clamping", "20", "25", "20", "25", {"135.41", "108.33", "81.25"}},
        {"both over ice, 38.80 without trailing zero", "-5", "-10", "-5", "-10", {"64.67", "51.73", "38.8"}},
        {"decimal commas are fixed in both inputs", "20,5", "12,25", "20.5", "12.25", {"59.18", "47.34", "35.51"}},
        {"empty room counts as 0", "", "10", "", "10", {"200.78", "160.63", "120.47"}},
        {"empty surface counts as 0", "20", "", "20", "", {"26.18", "20.95", "15.71"}},
        {"surface at -148.6 has no vapour", "20", "-148.6", "20", "-148.6", {"0", "0", "0"}},
        {"only the first comma is fixed", "20,5,9", "12,25", "20.5,9", "12.25", {"59.18", "47.34", "35.51"}},
    };
    for (const char* mark : {"point", "comma"})
        for (const Row& r : rows)
            QTest::addRow("%s, %s", r.name, mark)
                << QString::fromLatin1(mark) << QString::fromUtf8(r.room)
                << QString::fromUtf8(r.surface) << QString::fromUtf8(r.roomAfter)
                << QString::fromUtf8(r.surfaceAfter) << inLocale(r.results[0], mark)
                << inLocale(r.results[1], mark) << inLocale(r.results[2], mark);
}

void TestFrmFeuchte::calculation()
{
    QFETCH(QString, decimalMark);
    QFETCH(QString, room);
    QFETCH(QString, surface);
    QFETCH(QString, roomAfter);
    QFETCH(QString, surfaceAfter);
    QFETCH(QString, condensation);
    QFETCH(QString, mould);
    QFETCH(QString, corrosion);

    LocaleScope locale(localeNamed(decimalMark));
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QSignalSpy stopped(w, &CalculatorWindow::calculationStopped);
    setTextOf(w, "txRaum", room);
    setTextOf(w, "txOberflaeche", surface);
    click(w, "cmdRun_Feuchte");

    QCOMPARE(stopped.count(), 0);
    QCOMPARE(textOf(w, "txRaum"), roomAfter);
    QCOMPARE(textOf(w, "txOberflaeche"), surfaceAfter);
    QCOMPARE(textOf(w, "txKondens"), condensation);
    QCOMPARE(textOf(w, "txSchimel"), mould);
    QCOMPARE(textOf(w, "txKorrosion"), corrosion);

    // Results are never read back: a second click gives the same, also when
    // they carry a decimal comma.
    click(w, "cmdRun_Feuchte");
    QCOMPARE(textOf(w, "txKondens"), condensation);
    QCOMPARE(textOf(w, "txKorrosion"), corrosion);
}

void TestFrmFeuchte::writesInStatedOrder()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    setTextOf(w, "txRaum", "20,5");
    setTextOf(w, "txOberflaeche", "12,25");
    QStringList writes;
    for (const char* name : {"txRaum", "txOberflaeche", "txKondens", "txSchimel", "txKorrosion"})
        connect(fieldOf(w, name), &QLineEdit::textChanged, this,
                [&writes, name] { writes << QString::fromLatin1(name); });
    click(w, "cmdRun_Feuchte");
    QCOMPARE(writes, (QStringList{"txRaum", "txOberflaeche", "txKondens", "txSchimel",
                                  "txKorrosion"}));
}

void TestFrmFeuchte::failureLeavesResultsUnchanged_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QString>("room");
    QTest::addColumn<QString>("surface");
    const std::pair<const char*, std::pair<const char*, const char*>> rows[] = {
        {"room at -148.6: division by zero", {"-148.6", "10"}},
        {"room and surface at -148.6: zero by zero", {"-148.6", "-148.6"}},
        {"room below -148.6", {"-150", "10"}},
        {"surface below -148.6", {"20", "-148.7"}},
        {"surface below -148.6 with a decimal comma", {"20", "-148,7"}},
        {"room temperature overflows the pressure", {"1.4E40", "10"}},
        {"room too large to read", {"1E999", "10"}},
        {"surface too large to read", {"20", "1E999"}},
        {"room too large to read, surface with a comma", {"1E999", "12,25"}},
    };
    for (const char* mark : {"point", "comma"})
        for (const auto& [name, inputs] : rows)
            QTest::addRow("%s, %s", name, mark) << QString::fromLatin1(mark)
                                                << QString::fromLatin1(inputs.first)
                                                << QString::fromLatin1(inputs.second);
}

void TestFrmFeuchte::failureLeavesResultsUnchanged()
{
    QFETCH(QString, decimalMark);
    QFETCH(QString, room);
    QFETCH(QString, surface);

    LocaleScope locale(localeNamed(decimalMark));
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    QSignalSpy stopped(w, &CalculatorWindow::calculationStopped);

    // Known results from the design texts first.
    click(w, "cmdRun_Feuchte");
    const QStringList before = {textOf(w, "txKondens"), textOf(w, "txSchimel"),
                                textOf(w, "txKorrosion")};
    QCOMPARE(before, (QStringList{inLocale("52.57", decimalMark), inLocale("42.06", decimalMark),
                                  inLocale("31.54", decimalMark)}));

    setTextOf(w, "txRaum", room);
    setTextOf(w, "txOberflaeche", surface);
    click(w, "cmdRun_Feuchte");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE((QStringList{textOf(w, "txKondens"), textOf(w, "txSchimel"), textOf(w, "txKorrosion")}),
             before);
    // Inputs are fixed and read one after the other: the calculation stops
    // at the unreadable room temperature before it reaches the surface field.
    QCOMPARE(textOf(w, "txRaum"), room.replace(u',', u'.'));
    if (room == QLatin1String("1E999"))
        QCOMPARE(textOf(w, "txOberflaeche"), surface);

    // The window stays open and calculates again.
    QCOMPARE(visibleWindow("frmFeuchte"), static_cast<QWidget*>(w));
    setTextOf(w, "txRaum", "20");
    setTextOf(w, "txOberflaeche", "25");
    click(w, "cmdRun_Feuchte");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(textOf(w, "txKondens"), inLocale("135.41", decimalMark));
}

void TestFrmFeuchte::reopenedWindowShowsDesignTexts()
{
    Shell shell;
    CalculatorWindow* w = openFromMenu(shell);
    QVERIFY(w);
    setTextOf(w, "txRaum", "0");
    click(w, "cmdRun_Feuchte");
    QCOMPARE(textOf(w, "txKondens"), asShown("200.78"));

    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(visibleWindow("frmOption"));
    QVERIFY(!visibleWindow("frmFeuchte"));

    w = openFromMenu(shell);
    QVERIFY(w);
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("20"));
    for (const QString& name : kResults)
        QCOMPARE(textOf(w, name), QStringLiteral("0"));
}

QTEST_MAIN(TestFrmFeuchte)
#include "tst_frmfeuchte.moc"
