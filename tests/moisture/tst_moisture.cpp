// SPDX-License-Identifier: GPL-3.0-or-later
// Saturation vapour pressure, its inverse, the Magnus dew point and the
// room-climate rule, against hand-calculated values.

#include "checked.h"
#include "moisture.h"
#include "numbers.h"

#include <QTest>

#include <limits>

using namespace orvella;

class TestMoisture : public QObject {
    Q_OBJECT
private slots:
    void saturationPressure_data();
    void saturationPressure();
    void saturationTemperature_data();
    void saturationTemperature();
    void dewPoint_data();
    void dewPoint();
    void lowestTemperatureGivesZeroPressure();
    void dewPointTakesTheQuotientOfNaturalLogarithms();
    void outsideTheDomainFails_data();
    void outsideTheDomainFails();
    void roomHumidityRule_data();
    void roomHumidityRule();
    void humidityLimitsFromUnroundedCondensation();
    void temperatureLimitsFailWithoutVapour_data();
    void temperatureLimitsFailWithoutVapour();
};

namespace {

// Compares after rounding to the precision the value is given with.
void compareRounded(double actual, int decimals, double expected)
{
    const double rounded = roundHalfEven(actual, decimals);
    if (rounded != expected)
        QFAIL(qPrintable(QStringLiteral("%1 rounds to %2 with %3 decimals, expected %4")
                             .arg(actual, 0, 'g', 17)
                             .arg(rounded, 0, 'g', 17)
                             .arg(decimals)
                             .arg(expected, 0, 'g', 17)));
}

void addRoundedColumns(const char* argument)
{
    QTest::addColumn<double>(argument);
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
}

}  // namespace

void TestMoisture::saturationPressure_data()
{
    addRoundedColumns("celsius");
    QTest::newRow("20 °C over water") << 20.0 << 4 << 2338.1896;
    QTest::newRow("10 °C over water") << 10.0 << 4 << 1229.2505;
    QTest::newRow("0 °C takes the ice form") << 0.0 << 2 << 612.23;
    QTest::newRow("-0 °C takes the ice form") << -0.0 << 2 << 612.23;
    QTest::newRow("0.0001 °C takes the water form") << 0.0001 << 2 << 611.01;
    QTest::newRow("-5 °C over ice") << -5.0 << 2 << 401.86;
    QTest::newRow("-20 °C over ice") << -20.0 << 2 << 103.45;
}

void TestMoisture::saturationPressure()
{
    QFETCH(double, celsius);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    compareRounded(SaturationPressure(celsius), decimals, expected);
}

void TestMoisture::saturationTemperature_data()
{
    addRoundedColumns("pascal");
    QTest::newRow("1806.25 Pa over water") << 1806.25 << 3 << 15.889;
    QTest::newRow("the threshold itself takes the water form") << 611.008798825639 << 3 << 0.0;
    // The water form at 0 °C as computed in double precision lies one ulp
    // below the threshold literal, so it still takes the ice form.
    QTest::newRow("just below the threshold takes the ice form") << 611.0087988256378 << 3 << -0.024;
    QTest::newRow("611.0 Pa over ice") << 611.0 << 3 << -0.024;
    QTest::newRow("500 Pa over ice") << 500.0 << 3 << -2.426;
    QTest::newRow("saturation pressure of 20 °C") << 2338.1896 << 3 << 20.0;
    QTest::newRow("0 Pa gives the lowest temperature") << 0.0 << 3 << -148.6;
}

void TestMoisture::saturationTemperature()
{
    QFETCH(double, pascal);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    compareRounded(SaturationTemperature(pascal), decimals, expected);
}

void TestMoisture::dewPoint_data()
{
    addRoundedColumns("pascal");
    QTest::newRow("1445 Pa") << 1445.0 << 3 << 12.454;
    QTest::newRow("Magnus reference pressure gives 0 °C") << 610.78 << 3 << 0.0;
    QTest::newRow("1519.82 Pa") << 1519.82 << 3 << 13.225;
    QTest::newRow("saturation pressure of 20 °C: Magnus is not the inverse") << 2338.19 << 3 << 20.001;
}

void TestMoisture::dewPoint()
{
    QFETCH(double, pascal);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    compareRounded(DewPoint(pascal), decimals, expected);
}

void TestMoisture::lowestTemperatureGivesZeroPressure()
{
    // 1.486 + (-148.6 / 100) is exactly zero in double precision.
    QCOMPARE(SaturationPressure(-148.6), 0.0);
    QCOMPARE(DewPoint(610.78), 0.0);
}

void TestMoisture::dewPointTakesTheQuotientOfNaturalLogarithms()
{
    // 610780 Pa is exactly 1000 times the Magnus reference pressure. ln 1000 /
    // ln 10 is one ulp below 3, and (x · 237.3) / (7.5 − x) then lands on the
    // double nearest 158.2; a dedicated base-10 logarithm (exactly 3) would
    // give 711.9000000000001 / 4.5 = 158.20000000000002.
    QVERIFY(DewPoint(610780.0) == 158.2);
}

void TestMoisture::outsideTheDomainFails_data()
{
    QTest::addColumn<int>("function");  // 0 pressure, 1 temperature, 2 dew point
    QTest::addColumn<double>("argument");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("pressure below -148.6 °C: negative base") << 0 << -148.7;
    QTest::newRow("pressure far below the domain") << 0 << -1e6;
    QTest::newRow("pressure overflows above 1.4e40 °C") << 0 << 1.4e40;
    QTest::newRow("pressure of NaN") << 0 << nan;
    QTest::newRow("temperature of a negative pressure") << 1 << -1.0;
    QTest::newRow("temperature of NaN") << 1 << nan;
    QTest::newRow("dew point of 0 Pa") << 2 << 0.0;
    QTest::newRow("dew point of a negative pressure") << 2 << -100.0;
    QTest::newRow("dew point of NaN") << 2 << nan;
}

void TestMoisture::outsideTheDomainFails()
{
    QFETCH(int, function);
    QFETCH(double, argument);
    switch (function) {
    case 0: QVERIFY_THROWS_EXCEPTION(ArithmeticError, SaturationPressure(argument)); break;
    case 1: QVERIFY_THROWS_EXCEPTION(ArithmeticError, SaturationTemperature(argument)); break;
    default: QVERIFY_THROWS_EXCEPTION(ArithmeticError, DewPoint(argument)); break;
    }
}

void TestMoisture::roomHumidityRule_data()
{
    QTest::addColumn<double>("outdoor");
    QTest::addColumn<double>("expected");
    QTest::newRow("-3.2 °C: one point less per degree below 0") << -3.2 << 61.8;
    QTest::newRow("-20 °C") << -20.0 << 45.0;
    QTest::newRow("0 °C belongs to the falling branch") << 0.0 << 65.0;
    QTest::newRow("-0.5 °C") << -0.5 << 64.5;
    QTest::newRow("0.5 °C") << 0.5 << 65.0;
    QTest::newRow("10 °C is still flat") << 10.0 << 65.0;
    QTest::newRow("10.5 °C rises") << 10.5 << 65.5;
    QTest::newRow("20 °C") << 20.0 << 75.0;
    QTest::newRow("50 °C: no upper bound") << 50.0 << 105.0;
    QTest::newRow("-65 °C: no lower bound") << -65.0 << 0.0;
    QTest::newRow("-80 °C") << -80.0 << -15.0;
}

void TestMoisture::roomHumidityRule()
{
    QFETCH(double, outdoor);
    QFETCH(double, expected);
    compareRounded(roomHumidity(outdoor), 10, expected);
}

void TestMoisture::humidityLimitsFromUnroundedCondensation()
{
    // Room -5, surface -10: 64.6678…, 51.7342…, 38.8007…. Multiplying the
    // rounded 64.67 instead would give 51.736, written 51.74, not 51.73.
    const HumidityLimits limits = criticalHumidity(-5, -10);
    compareRounded(limits.condensation, 2, 64.67);
    compareRounded(limits.mould, 2, 51.73);
    compareRounded(limits.corrosion, 2, 38.8);
}

void TestMoisture::temperatureLimitsFailWithoutVapour_data()
{
    QTest::addColumn<double>("outdoor");
    QTest::newRow("-65 °C: no vapour in the room air") << -65.0;
    QTest::newRow("-80 °C: negative vapour pressure") << -80.0;
    QTest::newRow("1e308 °C: vapour pressure overflows") << 1e308;
}

void TestMoisture::temperatureLimitsFailWithoutVapour()
{
    QFETCH(double, outdoor);
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, criticalTemperature(outdoor));
}

QTEST_APPLESS_MAIN(TestMoisture)
#include "tst_moisture.moc"
