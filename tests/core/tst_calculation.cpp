// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator descriptions that the windows and the companion windows
// share: field texts read as the windows read them, the results of each
// calculator, and the step at which a calculation without an answer stops.

#include "dlprognosemodel.h"
#include "moisturemodels.h"
#include "numbers.h"
#include "schallmodel.h"

#include <QTest>

#include <cmath>

using namespace orvella;

Q_DECLARE_METATYPE(const CalculatorModel*)

namespace {

const CalculatorModel* modelNamed(const QString& id)
{
    for (const CalculatorModel* m : {&schallPowerModel(), &schallPressureModel(), &feuchteModel(),
                                     &temperaturModel(), &dlPrognoseModel()})
        if (QString::fromStdString(m->id) == id)
            return m;
    qFatal("no model %s", qPrintable(id));
}

std::vector<std::string> texts(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}

}  // namespace

class TestCalculation : public QObject {
    Q_OBJECT
private slots:
    void results_data();
    void results();
    void stopsAt_data();
    void stopsAt();
    void nestedStepsRecordInnerFirst();
    void stopsWithTheDescriptionsReason_data();
    void stopsWithTheDescriptionsReason();
    void descriptionsNameEveryStep_data();
    void descriptionsNameEveryStep();
    void captionAsItReads_data();
    void captionAsItReads();
};

void TestCalculation::results_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QList<double>>("expected");  // rounded as the window writes them

    // Expected values are the worked examples of the calculators.
    QTest::newRow("converter, power from the design texts")
        << "frmSchall.l" << QStringList{"50", "1"} << QList<double>{60.99};
    QTest::newRow("converter, pressure at 2 m, comma read as a point")
        << "frmSchall.p" << QStringList{"66", "2,0"} << QList<double>{48.99};
    QTest::newRow("humidity, design texts") << "frmFeuchte" << QStringList{"20", "10"}
                                            << QList<double>{52.57, 42.06, 31.54};
    QTest::newRow("humidity, commas fixed") << "frmFeuchte" << QStringList{"20,5", "12,25"}
                                            << QList<double>{59.18, 47.34, 35.51};
    QTest::newRow("temperature, design text")
        << "frmTemperatur" << QStringList{"-3.2"} << QList<double>{61.8, 12.5, 15.9};
    QTest::newRow("temperature, empty reads as 0")
        << "frmTemperatur" << QStringList{""} << QList<double>{65, 13.2, 16.7};
    QTest::newRow("prognosis, design texts")
        << "frmDLprognose" << QStringList{"0,1", "0,1", "1,0", "30", "15", "3", "58", "8"}
        << QList<double>{4.6, 52.9, 48.3};
    QTest::newRow("prognosis, screen 2,5 m")
        << "frmDLprognose" << QStringList{"0,1", "0,1", "2,5", "30", "15", "3", "58", "8"}
        << QList<double>{8.1, 48.0, 40.0};
}

void TestCalculation::results()
{
    QFETCH(QString, model);
    QFETCH(QStringList, inputs);
    QFETCH(QList<double>, expected);

    const CalculatorModel& m = *modelNamed(model);
    const Evaluation e = evaluateTexts(m, texts(inputs));
    QVERIFY(e.ok);
    QCOMPARE(int(e.results.size()), int(expected.size()));
    for (int i = 0; i < expected.size(); ++i) {
        const int decimals = m.results[std::size_t(i)].decimals;
        QCOMPARE(roundHalfEven(e.results[std::size_t(i)], decimals), expected[i]);
    }
}

void TestCalculation::stopsAt_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("fault");

    const int invalid = int(ArithmeticFault::InvalidOperation);
    const int overflow = int(ArithmeticFault::Overflow);
    const int byZero = int(ArithmeticFault::DivisionByZero);
    QTest::newRow("converter: distance 0 has no logarithm")
        << "frmSchall.l" << QStringList{"50", "0"} << "spreading" << invalid;
    QTest::newRow("converter: a level too large to read")
        << "frmSchall.p" << QStringList{"1E999", "1"} << "read:Lw" << overflow;
    QTest::newRow("humidity: surface below -148.6 °C")
        << "frmFeuchte" << QStringList{"20", "-150"} << "ps" << invalid;
    QTest::newRow("humidity: room at -148.6 °C divides by 0 Pa")
        << "frmFeuchte" << QStringList{"-148.6", "10"} << "phiK" << byZero;
    QTest::newRow("temperature: -65 °C leaves no vapour for the dew point")
        << "frmTemperatur" << QStringList{"-65"} << "dewX" << invalid;
    QTest::newRow("prognosis: room height 0")
        << "frmDLprognose" << QStringList{"0,1", "0,1", "1,0", "30", "15", "0", "58", "8"}
        << "dl2" << byZero;
    QTest::newRow("prognosis: distance 0")
        << "frmDLprognose" << QStringList{"0,1", "0,1", "1,0", "30", "15", "3", "58", "0"}
        << "lgR" << invalid;
}

void TestCalculation::stopsAt()
{
    QFETCH(QString, model);
    QFETCH(QStringList, inputs);
    QFETCH(QString, step);
    QFETCH(int, fault);

    const Evaluation e = evaluateTexts(*modelNamed(model), texts(inputs));
    QVERIFY(!e.ok);
    QCOMPARE(QString::fromStdString(e.failedStep), step);
    QCOMPARE(int(e.fault), fault);
    QVERIFY(e.results.empty());
}

void TestCalculation::nestedStepsRecordInnerFirst()
{
    // The dew point's own steps come before the condensation limit that holds them.
    const Evaluation e = evaluateTexts(temperaturModel(), {"-3.2"});
    QVERIFY(e.ok);
    QStringList keys;
    for (const TraceEntry& s : e.steps)
        keys << QString::fromStdString(s.key);
    QCOMPARE(keys, (QStringList{"phi", "pr", "pw", "dewY", "dewX", "thetaK", "pw80", "thetaM"}));
    QCOMPARE(e.steps[5].value, e.results[1]);
}

void TestCalculation::stopsWithTheDescriptionsReason_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("reason");  // a phrase of it; empty: the description gives none

    QTest::newRow("converter: distance 0") << "frmSchall.l" << QStringList{"50", ""} << "Logarithmus von 0";
    QTest::newRow("humidity: surface below the ice form")
        << "frmFeuchte" << QStringList{"20", "-150"} << "Eisform";
    QTest::newRow("humidity: room at 0 Pa") << "frmFeuchte" << QStringList{"-148.6", "10"} << "0 Pa";
    QTest::newRow("temperature: no vapour") << "frmTemperatur" << QStringList{"-70"} << "keinen Wasserdampf";
    QTest::newRow("prognosis: room height 0") << "frmDLprognose"
                                              << QStringList{"0,1", "0,1", "1", "30", "15", "0", "58", "8"}
                                              << "Raumhöhe";
    // 0 m screens in a room of 0 m: 0 / 0, not a division of a number by 0.
    QTest::newRow("prognosis: room and screens 0") << "frmDLprognose"
                                                   << QStringList{"0,1", "0,1", "0", "30", "15", "0", "58", "8"}
                                                   << "Raumhöhe";
    QTest::newRow("prognosis: distance below 0") << "frmDLprognose"
                                                 << QStringList{"0,1", "0,1", "1", "30", "15", "3", "58", "-8"}
                                                 << "Abstand R";
    QTest::newRow("prognosis: an overflow has no reason of its own")
        << "frmDLprognose" << QStringList{"0,1", "0,1", "1", "1E308", "15", "1E-10", "58", "8"} << "";
}

void TestCalculation::stopsWithTheDescriptionsReason()
{
    QFETCH(QString, model);
    QFETCH(QStringList, inputs);
    QFETCH(QString, reason);

    const CalculatorModel& m = *modelNamed(model);
    const Evaluation e = evaluateTexts(m, texts(inputs));
    QVERIFY(!e.ok);
    const StopReason* r = m.stopReason(e.failedStep, e.fault);
    if (reason.isEmpty()) {
        QVERIFY(!r);
        return;
    }
    QVERIFY2(r, e.failedStep.c_str());
    QVERIFY2(QString::fromStdString(r->reason).contains(reason), r->reason.c_str());
}

void TestCalculation::descriptionsNameEveryStep_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("inputs");

    QTest::newRow("converter, power") << "frmSchall.l" << QStringList{"50", "1"};
    QTest::newRow("converter, pressure") << "frmSchall.p" << QStringList{"66", "1"};
    QTest::newRow("humidity") << "frmFeuchte" << QStringList{"20", "10"};
    QTest::newRow("temperature") << "frmTemperatur" << QStringList{"-3.2"};
    QTest::newRow("prognosis") << "frmDLprognose" << QStringList{"0,1", "0,1", "1", "30", "15", "3", "58", "8"};
}

// The help says where a calculation stops by the step's name: every step the
// calculation traces, every step a reason or a formula line is given for, and
// every step of a derived value has one in the description.
void TestCalculation::descriptionsNameEveryStep()
{
    QFETCH(QString, model);
    QFETCH(QStringList, inputs);

    const CalculatorModel& m = *modelNamed(model);
    const auto named = [&](const std::string& key) {
        for (const StepInfo& s : m.steps)
            if (s.key == key && !s.where.empty())
                return true;
        return false;
    };
    const Evaluation e = evaluateTexts(m, texts(inputs));
    QVERIFY(e.ok);
    std::vector<std::string> keys;
    for (const TraceEntry& t : e.steps)
        keys.push_back(t.key);
    for (const FormulaLine& line : m.formulaLines(nullptr))
        keys.push_back(line.step);
    for (const StopReason& r : m.stopReasons)
        keys.push_back(r.step);
    for (const DerivedValue& d : m.derived) {
        Trace trace;
        d.compute(e.results, &trace);
        for (const TraceEntry& t : trace.entries())
            keys.push_back(t.key);
    }
    for (const std::string& key : keys)
        QVERIFY2(named(key), key.c_str());
    for (const Guidance& g : m.guidance.values)
        QVERIFY2(m.resultIndex(g.result) >= 0, g.result.c_str());
}

void TestCalculation::captionAsItReads_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("reads");
    QTest::newRow("blanks between words and unit") << "Schallleistungspegel        [dB]"
                                                   << "Schallleistungspegel [dB]";
    QTest::newRow("a leading blank") << " Grenztemperatur" << "Grenztemperatur";
    QTest::newRow("blanks at both ends") << "  U-Wert  " << "U-Wert";
    QTest::newRow("nothing") << "" << "";
}

void TestCalculation::captionAsItReads()
{
    QFETCH(QString, caption);
    QFETCH(QString, reads);
    QCOMPARE(QString::fromStdString(plainCaption(caption.toStdString())), reads);
    // The frame's stop sentence quotes the button as it reads.
    QVERIFY(QString::fromStdString(frameStopBehaviour(caption.toStdString())).contains("„" + reads + "“"));
}

QTEST_APPLESS_MAIN(TestCalculation)
#include "tst_calculation.moc"
