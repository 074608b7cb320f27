// SPDX-License-Identifier: GPL-3.0-or-later
// The free-field conversion between sound power and sound pressure level.

#include "checked.h"
#include "numbers.h"
#include "schall.h"

#include <QTest>

using namespace orvella;

class TestSchall : public QObject {
    Q_OBJECT
private slots:
    void powerLevel_data();
    void powerLevel();
    void pressureLevel_data();
    void pressureLevel();
    void sixDecimalPi();
    void zeroDistanceFails();
    void hugeDistanceFails();
};

void TestSchall::powerLevel_data()
{
    QTest::addColumn<double>("pressureDb");
    QTest::addColumn<double>("distanceM");
    QTest::addColumn<double>("expectedRounded");
    QTest::newRow("design texts: 50 dB at 1 m") << 50.0 << 1.0 << 60.99;
    QTest::newRow("50 dB at 10 m") << 50.0 << 10.0 << 80.99;
    QTest::newRow("doubling the distance adds 6.02 dB") << 50.0 << 2.0 << 67.01;
    QTest::newRow("negative distance counts like its absolute value") << 50.0 << -1.0 << 60.99;
    QTest::newRow("level 50.5") << 50.5 << 1.0 << 61.49;
}

void TestSchall::powerLevel()
{
    QFETCH(double, pressureDb);
    QFETCH(double, distanceM);
    QFETCH(double, expectedRounded);
    QCOMPARE(roundHalfEven(soundPowerLevel(pressureDb, distanceM), 2), expectedRounded);
}

void TestSchall::pressureLevel_data()
{
    QTest::addColumn<double>("powerDb");
    QTest::addColumn<double>("distanceM");
    QTest::addColumn<double>("expectedRounded");
    QTest::newRow("design texts: 66 dB at 1 m") << 66.0 << 1.0 << 55.01;
    QTest::newRow("66 dB at 2 m") << 66.0 << 2.0 << 48.99;
    QTest::newRow("66 dB at -2 m") << 66.0 << -2.0 << 48.99;
}

void TestSchall::pressureLevel()
{
    QFETCH(double, powerDb);
    QFETCH(double, distanceM);
    QFETCH(double, expectedRounded);
    QCOMPARE(roundHalfEven(soundPressureLevel(powerDb, distanceM), 2), expectedRounded);
}

void TestSchall::sixDecimalPi()
{
    // 10·lg(4·3.141593) = 10.9920991…; with the full π it would be 10.9920986….
    const double spreading = sphereSpreadingDb(1.0);
    QVERIFY(std::fabs(spreading - 10.9920991) < 5e-8);
    QVERIFY(std::fabs(spreading - 10.9920986) > 3e-7);
}

void TestSchall::zeroDistanceFails()
{
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, soundPowerLevel(50, 0));
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, soundPressureLevel(66, 0));
}

void TestSchall::hugeDistanceFails()
{
    // 4·π·r² leaves the double range above about 3.78e153 m.
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, soundPowerLevel(50, 4e153));
    QCOMPARE(roundHalfEven(soundPowerLevel(0, 1e153), 2), 3070.99);
}

QTEST_APPLESS_MAIN(TestSchall)
#include "tst_schall.moc"
