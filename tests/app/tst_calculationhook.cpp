// SPDX-License-Identifier: GPL-3.0-or-later
// Every completed calculation reaches the calculation observer (which the
// history listens to) with what the user saw: the input texts as they stood
// before the comma fix changed them, the numbers read, the result texts as
// the fields show them; the keypad with its line "60 + 60 = 63". A
// calculation that stops records nothing, and an observer that fails does
// not disturb the calculator.

#include "calculationrecord.h"
#include "frmschall.h"
#include "shell.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

#include <stdexcept>

using namespace orvella;
using namespace orvella::test;

namespace {

// Runs the steps on the window: "name" clicks a button, "name=text" types
// into a field.
void run(const QWidget* w, const QStringList& steps)
{
    for (const QString& step : steps) {
        if (step.contains(u'='))
            setTextOf(w, step.section(u'=', 0, 0), step.section(u'=', 1));
        else
            click(w, step);
    }
}

// The keypad's buttons for "6 0 + 6 0 =".
QStringList keys(const QString& captions)
{
    QStringList names;
    for (const QString& c : captions.split(u' ', Qt::SkipEmptyParts)) {
        if (c == u"+")
            names << "cmdOperator(3)";
        else if (c == u"x")
            names << "cmdOperator(1)";
        else if (c == u"=")
            names << "cmdEqual";
        else
            names << QStringLiteral("cmdNumber(%1)").arg((c.toInt() + 9) % 10);
    }
    return names;
}

// "field=text" of each recorded input or result.
template <class Recorded>
QStringList fieldTexts(const std::vector<Recorded>& recorded)
{
    QStringList texts;
    for (const Recorded& x : recorded)
        texts << QString::fromStdString(x.field + '=' + x.text);
    return texts;
}

QList<double> inputNumbers(const CalculationRecord& r)
{
    QList<double> numbers;
    for (const RecordedInput& i : r.inputs)
        numbers << i.number;
    return numbers;
}


}  // namespace

class TestCalculationHook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void init();
    void cleanup();

    void recordOfEachCalculator_data();
    void recordOfEachCalculator();
    void stoppedCalculationRecordsNothing_data();
    void stoppedCalculationRecordsNothing();
    void converterRecordsWhatIgnoreWrote();
    void failingObserverDisturbsNothing();

private:
    std::vector<CalculationRecord> records_;
    QList<ErrorChoice> answers_;
};

void TestCalculationHook::init()
{
    records_.clear();
    answers_.clear();
    setCalculationObserver([this](const CalculationRecord& r) { records_.push_back(r); });
    setErrorQuestion([this](QWidget*) { return answers_.isEmpty() ? ErrorChoice::Abort : answers_.takeFirst(); });
}

void TestCalculationHook::cleanup()
{
    setCalculationObserver({});
    setErrorQuestion({});
    processDeferredDeletes();
}

void TestCalculationHook::recordOfEachCalculator_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QStringList>("inputs");  // field=text before the calculation
    QTest::addColumn<QList<double>>("numbers");
    QTest::addColumn<QStringList>("results");  // field=text, a point for the user's mark
    QTest::addColumn<bool>("resultsInUserMark");
    QTest::addColumn<QString>("expression");

    for (const char* mark : {"point", "comma"}) {
        // The comma fix turns "20,0" into "20.0" in the field; the record
        // keeps what the user typed.
        QTest::addRow("frmFeuchte, %s", mark)
            << mark << "Command3" << "frmFeuchte" << QStringList{"txRaum=20,0", "cmdRun_Feuchte"} << "frmFeuchte"
            << QStringList{"txRaum=20,0", "txOberflaeche=10"} << QList<double>{20.0, 10.0}
            << QStringList{"txKondens=52.57", "txSchimel=42.06", "txKorrosion=31.54"} << true << "";
        // The converter's results are comma-fixed after writing: a point
        // whatever the settings, as the field shows it.
        QTest::addRow("frmSchall left half, %s", mark)
            << mark << "Command2" << "frmSchall" << QStringList{"txPegel_l=50,5", "cmdRun_l"} << "frmSchall.l"
            << QStringList{"txPegel_l=50,5", "txAbstand_l=1"} << QList<double>{50.5, 1.0}
            << QStringList{"txLeistug_l=61.49"} << false << "";
        QTest::addRow("frmSchall right half, %s", mark)
            << mark << "Command2" << "frmSchall" << QStringList{"txAbstand_p=2,0", "cmdRun_p"} << "frmSchall.p"
            << QStringList{"txLeistug_p=66", "txAbstand_p=2,0"} << QList<double>{66.0, 2.0}
            << QStringList{"txPegel_p=48.99"} << false << "";
        // The design texts 1,0 and 0,1 as they stood, in the order the window reads.
        QTest::addRow("frmDLprognose, %s", mark)
            << mark << "Command5" << "frmDLprognose" << QStringList{"txR=16", "cmdRUNDL"} << "frmDLprognose"
            << QStringList{"txALPHAcell=0,1", "txALPHAhori=0,1", "txHscreen=1,0", "txLraum=30", "txWraum=15",
                           "txHraum=3", "txL1=58", "txR=16"}
            << QList<double>{0.1, 0.1, 1.0, 30.0, 15.0, 3.0, 58.0, 16.0}
            << QStringList{"txDL2=4.6", "txL4=52.9", "txLr=43.7"} << true << "";
        QTest::addRow("keypad +, %s", mark)
            << mark << "Command1" << "frmCalculator" << keys("6 0 + 6 0 =") << "frmCalculator"
            << QStringList{"txtDisplay=60", "txtDisplay=60"} << QList<double>{60.0, 60.0}
            << QStringList{"txtDisplay= 63"} << false << "60 + 60 = 63";
        // A result as the next operand: its leading blank stays in the
        // texts and not in the line.
        QTest::addRow("keypad x on a result, %s", mark)
            << mark << "Command1" << "frmCalculator" << keys("6 0 + 6 0 = x 2 =") << "frmCalculator"
            << QStringList{"txtDisplay= 63", "txtDisplay=2"} << QList<double>{63.0, 2.0}
            << QStringList{"txtDisplay= 66"} << false << "63 x 2 = 66";
    }
}

void TestCalculationHook::recordOfEachCalculator()
{
    QFETCH(QString, mark);
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, results);
    QFETCH(bool, resultsInUserMark);

    LocaleScope locale(localeNamed(mark));
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), button, window);
    QVERIFY(w);
    run(w, steps);

    QCOMPARE(records_.size(), std::size_t(steps.last() == "cmdEqual" ? steps.count("cmdEqual") : 1));
    const CalculationRecord& r = records_.back();
    QTEST(QString::fromStdString(r.calculatorId), "id");
    QCOMPARE(QString::fromStdString(r.window), window);
    QTEST(fieldTexts(r.inputs), "inputs");
    QTEST(inputNumbers(r), "numbers");
    if (resultsInUserMark)
        for (QString& x : results)
            x = x.section(u'=', 0, 0) + u'=' + inLocale(x.section(u'=', 1), mark);
    QCOMPARE(fieldTexts(r.results), results);
    // What the fields show now.
    for (const RecordedResult& x : r.results)
        QCOMPARE(textOf(w, QString::fromStdString(x.field)), QString::fromStdString(x.text));
    QTEST(QString::fromStdString(r.expression), "expression");
}

void TestCalculationHook::stoppedCalculationRecordsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("steps");
    // A room at -150.5 °C has no saturation pressure.
    QTest::newRow("frmFeuchte without an answer")
        << "Command3" << "frmFeuchte" << QStringList{"txRaum=-150,5", "cmdRun_Feuchte"};
    // Abort at the division by the distance 0: the result field keeps its text.
    QTest::newRow("frmSchall aborted") << "Command2" << "frmSchall" << QStringList{"txAbstand_l=0", "cmdRun_l"};
    QTest::newRow("keypad: 5 sources of a level times 0")
        << "Command1" << "frmCalculator" << keys("5 0 x 0 =");
    QTest::newRow("keypad: = with nothing pending computes nothing")
        << "Command1" << "frmCalculator" << keys("6 0 =");
}

void TestCalculationHook::stoppedCalculationRecordsNothing()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QStringList, steps);
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), button, window);
    QVERIFY(w);
    run(w, steps);
    QCOMPARE(records_.size(), std::size_t(0));
}

void TestCalculationHook::converterRecordsWhatIgnoreWrote()
{
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command2", "frmSchall");
    QVERIFY(w);
    answers_ = {ErrorChoice::Ignore};
    run(w, {"txAbstand_l=0", "cmdRun_l"});
    QVERIFY(answers_.isEmpty());
    // The conversion was ignored and left its 0: the window shows "0".
    QCOMPARE(textOf(w, "txLeistug_l"), QString("0"));
    QCOMPARE(records_.size(), std::size_t(1));
    QCOMPARE(fieldTexts(records_[0].inputs), (QStringList{"txPegel_l=50", "txAbstand_l=0"}));
    QCOMPARE(fieldTexts(records_[0].results), QStringList{"txLeistug_l=0"});
}

void TestCalculationHook::failingObserverDisturbsNothing()
{
    int calls = 0;
    setCalculationObserver([&calls](const CalculationRecord&) {
        ++calls;
        throw std::runtime_error("Verlauf kaputt");
    });
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), "Command3", "frmFeuchte");
    QVERIFY(w);
    QSignalSpy stopped(w, SIGNAL(calculationStopped()));
    run(w, {"txOberflaeche=12", "cmdRun_Feuchte"});
    QCOMPARE(calls, 1);
    QCOMPARE(stopped.count(), 0);
    QVERIFY(textOf(w, "txKondens") != "0");
    // The next calculation runs as well.
    run(w, {"txOberflaeche=10", "cmdRun_Feuchte"});
    QCOMPARE(calls, 2);
    QCOMPARE(textOf(w, "txKondens"), asShown("52.57"));

    QWidget* keypad = openFromMenu(shell.menu(), "Command1", "frmCalculator");
    QVERIFY(keypad);
    QSignalSpy keypadStopped(keypad, SIGNAL(calculationStopped()));
    run(keypad, keys("6 0 + 6 0 = + 6 3 ="));
    QCOMPARE(calls, 4);
    QCOMPARE(keypadStopped.count(), 0);
    QCOMPARE(textOf(keypad, "txtDisplay"), QString(" 66"));
}

QTEST_MAIN(TestCalculationHook)
#include "tst_calculationhook.moc"
