// SPDX-License-Identifier: GPL-3.0-or-later
// The record of a calculation takes its names from the calculator's
// description: a new calculator is recorded without a change to the history.

#include "calculationrecord.h"
#include "moisturemodels.h"
#include "schallmodel.h"

#include <QTest>

using namespace orvella;

class TestCalculationRecord : public QObject {
    Q_OBJECT
private slots:
    void namesComeFromTheDescription();
    void missingTextsStayEmptyAndExtraOnesAreIgnored();
    void displayName_data();
    void displayName();
};

void TestCalculationRecord::namesComeFromTheDescription()
{
    const CalculatorModel& model = feuchteModel();
    const CalculationRecord r = recordOf(model, {"20,5", "10"}, {20.5, 10.0}, {"52,57", "65,72", "87,62"});
    QCOMPARE(r.calculatorId, std::string("frmFeuchte"));
    QCOMPARE(r.window, std::string("frmFeuchte"));
    QCOMPARE(r.calculator, model.title);
    QVERIFY(r.part.empty());
    QCOMPARE(r.inputs.size(), model.inputs.size());
    QCOMPARE(r.inputs[0].key, std::string("thetaR"));
    QCOMPARE(r.inputs[0].label, std::string("Raumtemperatur"));
    QCOMPARE(r.inputs[0].unit, std::string("°C"));
    QCOMPARE(r.inputs[0].field, std::string("txRaum"));
    QCOMPARE(r.inputs[0].text, std::string("20,5"));
    QCOMPARE(r.inputs[0].number, 20.5);
    QCOMPARE(r.results.size(), model.results.size());
    QCOMPARE(r.results[1].field, std::string("txSchimel"));
    QCOMPARE(r.results[1].text, std::string("65,72"));
    // Stamped later by the history.
    QCOMPARE(r.timeUtcMs, std::int64_t(0));
    QVERIFY(r.programVersion.empty());
    QVERIFY(r.expression.empty());
}

void TestCalculationRecord::missingTextsStayEmptyAndExtraOnesAreIgnored()
{
    const CalculationRecord r = recordOf(schallPowerModel(), {"60"}, {60.0, 4.0, 99.0}, {"a", "b"});
    QCOMPARE(r.inputs.size(), std::size_t(2));
    QCOMPARE(r.inputs[1].text, std::string());
    QCOMPARE(r.inputs[1].number, 4.0);
    QCOMPARE(r.results.size(), std::size_t(1));
    QCOMPARE(r.results[0].text, std::string("a"));
}

void TestCalculationRecord::displayName_data()
{
    QTest::addColumn<QString>("calculator");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("name");
    QTest::newRow("a whole window") << "Kritische Feuchte Calculator" << "" << "Kritische Feuchte Calculator";
    QTest::newRow("one half of a window") << "Schallleistung - Schalldruck" << "Schalldruckpegel"
                                          << "Schallleistung - Schalldruck (Schalldruckpegel)";
}

void TestCalculationRecord::displayName()
{
    QFETCH(QString, calculator);
    QFETCH(QString, part);
    QFETCH(QString, name);
    CalculationRecord r;
    r.calculator = calculator.toStdString();
    r.part = part.toStdString();
    QCOMPARE(QString::fromStdString(calculatorDisplayName(r)), name);
}

QTEST_APPLESS_MAIN(TestCalculationRecord)
#include "tst_calculationrecord.moc"
