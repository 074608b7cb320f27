// SPDX-License-Identifier: GPL-3.0-or-later
// The open-plan office prognosis formulas on their own.

#include "checked.h"
#include "dlprognose.h"

#include <QTest>

#include <cmath>

using namespace orvella;

namespace {

// The window's design texts as numbers.
DLprognoseInput designInput()
{
    DLprognoseInput in{};
    in.alphaCell = 0.1;
    in.alphaHori = 0.1;
    in.hScreen = 1.0;
    in.lRaum = 30;
    in.wRaum = 15;
    in.hRaum = 3;
    in.l1 = 58;
    in.r = 8;
    return in;
}

// A value stated as "4.6133…" is the true value cut after its last digit;
// one stated without "…" is exact to the digits given.
bool matchesStated(double value, const QString& stated)
{
    if (stated.endsWith(u'…')) {
        const QString digits = stated.chopped(1);
        const int decimals = int(digits.size() - digits.indexOf(u'.') - 1);
        const double scale = std::pow(10.0, decimals);
        const double statedScaled = std::round(std::fabs(digits.toDouble()) * scale);
        return (value < 0) == digits.startsWith(u'-') &&
               std::trunc(std::fabs(value) * scale) == statedScaled;
    }
    return std::fabs(value - stated.toDouble()) < 1e-9;
}

}  // namespace

class TestDLprognose : public QObject {
    Q_OBJECT
private slots:
    void workedExamples_data();
    void workedExamples();
    void coefficientsAndSigns_data();
    void coefficientsAndSigns();
    void distanceOf4mGivesL4Exactly();
    void factorIsThreePointThreeNotOneOverLg2();
    void stops_data();
    void stops();
    void comfortDistance_data();
    void comfortDistance();
    void noComfortDistance_data();
    void noComfortDistance();
};

void TestDLprognose::workedExamples_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("dl2");
    QTest::addColumn<QString>("l4");
    QTest::addColumn<QString>("lr");
    // Values not stated unrounded in the table ("R 4": Lr equal to L4) are
    // checked by the window test against their shown texts.
    QTest::newRow("design texts") << "" << 0.0 << "4.6133…" << "52.889" << "48.306…";
    QTest::newRow("R 16") << "r" << 16.0 << "4.6133…" << "52.889" << "43.72…";
    QTest::newRow("R 2") << "r" << 2.0 << "4.6133…" << "52.889" << "57.47…";
    QTest::newRow("R 1") << "r" << 1.0 << "4.6133…" << "52.889" << "62.05…";
    QTest::newRow("Hscreen 2.5") << "hScreen" << 2.5 << "8.113…" << "48.044" << "39.98…";
    QTest::newRow("Hscreen 0") << "hScreen" << 0.0 << "2.28" << "56.119" << "53.85…";
    QTest::newRow("Hscreen 4 above the room height") << "hScreen" << 4.0 << "11.61…" << "43.199" << "31.66…";
    QTest::newRow("ALPHAcell 0 and ALPHAhori 0") << "alpha" << 0.0 << "4.0333…" << "53.42" << "49.41…";
    QTest::newRow("ALPHAcell 1 and ALPHAhori 1") << "alpha" << 1.0 << "9.8333…" << "48.11" << "38.34…";
    QTest::newRow("L1 0") << "l1" << 0.0 << "4.6133…" << "-5.111" << "-9.69…";
}

void TestDLprognose::workedExamples()
{
    QFETCH(QString, quantity);
    QFETCH(double, value);
    QFETCH(QString, dl2);
    QFETCH(QString, l4);
    QFETCH(QString, lr);

    DLprognoseInput in = designInput();
    if (quantity == "r") in.r = value;
    if (quantity == "hScreen") in.hScreen = value;
    if (quantity == "alpha") in.alphaCell = in.alphaHori = value;
    if (quantity == "l1") in.l1 = value;

    const DLprognoseResult r = computeDLprognose(in);
    QVERIFY2(matchesStated(r.dl2, dl2), qPrintable(QString::number(r.dl2, 'g', 17)));
    QVERIFY2(matchesStated(r.l4, l4), qPrintable(QString::number(r.l4, 'g', 17)));
    QVERIFY2(matchesStated(r.lr, lr), qPrintable(QString::number(r.lr, 'g', 17)));
    QCOMPARE(dl2Prognose(in), r.dl2);
    QCOMPARE(l4Prognose(in), r.l4);
}

void TestDLprognose::coefficientsAndSigns_data()
{
    // One input at 1, the room height 1, all else 0: each result is then the
    // coefficient itself, exactly the decimal number, with its sign.
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("dl2");
    QTest::addColumn<double>("l4");
    QTest::newRow("ALPHAcell: +4.28 in DL2, -5.75 in L4") << "alphaCell" << 4.28 << -5.75;
    QTest::newRow("ALPHAhori: +1.52 in DL2, +0.44 in L4") << "alphaHori" << 1.52 << 0.44;
    QTest::newRow("Hscreen: +7 in DL2, -3.23 in L4") << "hScreen" << 7.0 << -3.23;
    QTest::newRow("Lraum: +0.17 in DL2 only") << "lRaum" << 0.17 << 0.0;
    QTest::newRow("Wraum: -0.09 in L4 only") << "wRaum" << 0.0 << -0.09;
    QTest::newRow("L1: +1 in L4 only") << "l1" << 0.0 << 1.0;
}

void TestDLprognose::coefficientsAndSigns()
{
    QFETCH(QString, quantity);
    QFETCH(double, dl2);
    QFETCH(double, l4);
    DLprognoseInput in{};
    in.hRaum = 1;
    in.r = 8;
    if (quantity == "alphaCell") in.alphaCell = 1;
    if (quantity == "alphaHori") in.alphaHori = 1;
    if (quantity == "hScreen") in.hScreen = 1;
    if (quantity == "lRaum") in.lRaum = 1;
    if (quantity == "wRaum") in.wRaum = 1;
    if (quantity == "l1") in.l1 = 1;
    QCOMPARE(dl2Prognose(in), dl2);
    QCOMPARE(l4Prognose(in), l4);
}

void TestDLprognose::distanceOf4mGivesL4Exactly()
{
    DLprognoseInput in = designInput();
    in.r = 4;
    const DLprognoseResult r = computeDLprognose(in);
    QCOMPARE(r.lr, r.l4);
    // Below 4 m with a positive DL2 the level lies above L4.
    in.r = 3.99;
    const DLprognoseResult nearer = computeDLprognose(in);
    QVERIFY(nearer.lr > nearer.l4);
}

void TestDLprognose::factorIsThreePointThreeNotOneOverLg2()
{
    // 8 m is one doubling beyond 4 m, yet the level lies 3.3·lg 2 = 0.99340·DL2
    // below L4, not a full DL2 (which a factor of 1/lg 2 would give).
    const DLprognoseResult r = computeDLprognose(designInput());
    const double ratio = (r.l4 - r.lr) / r.dl2;
    QVERIFY2(std::fabs(ratio - 0.99340) < 1e-5, qPrintable(QString::number(ratio, 'g', 17)));
}

void TestDLprognose::stops_data()
{
    QTest::addColumn<QString>("quantity");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("hScreen");
    QTest::newRow("room height 0") << "hRaum" << 0.0 << 1.0;
    QTest::newRow("room height 0 and screen height 0 (0/0)") << "hRaum" << 0.0 << 0.0;
    QTest::newRow("room height -0") << "hRaum" << -0.0 << 1.0;
    QTest::newRow("distance 0") << "r" << 0.0 << 1.0;
    QTest::newRow("distance negative") << "r" << -8.0 << 1.0;
    QTest::newRow("overflow in DL2: Hscreen/Hraum") << "hRaum" << 1e-308 << 1.0;
    QTest::newRow("overflow in L4: L1 - 0.09 Wraum") << "l1wRaum" << 1.7e308 << 1.0;
    QTest::newRow("overflow in Lr: 3.3 DL2") << "hRaum" << 1.0 << 1e307;
}

void TestDLprognose::stops()
{
    QFETCH(QString, quantity);
    QFETCH(double, value);
    QFETCH(double, hScreen);
    DLprognoseInput in = designInput();
    in.hScreen = hScreen;
    if (quantity == "hRaum") in.hRaum = value;
    if (quantity == "r") in.r = value;
    if (quantity == "l1wRaum") {
        in.l1 = -value;
        in.wRaum = value;
    }
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, computeDLprognose(in));
}

void TestDLprognose::comfortDistance_data()
{
    // rC = 4 m · 10^((L4 − 45) / (3.3 · DL2)), worked by hand (40 digits).
    QTest::addColumn<double>("dl2");
    QTest::addColumn<double>("l4");
    QTest::addColumn<double>("rc");
    QTest::addColumn<double>("tolerance");
    QTest::newRow("L4 at 45 dB: rC is 4 m") << 4.0 << 45.0 << 4.0 << 0.0;
    QTest::newRow("one decade: 16.5 / (3.3 · 5) = 1, rC 40 m") << 5.0 << 61.5 << 40.0 << 1e-12;
    QTest::newRow("design texts: 13.1903 m") << 7 * (1.0 / 3) + 0.17 * (30.0 / 3) + 4.28 * 0.1 + 1.52 * 0.1
                                             << 52.889 << 13.190308304113785 << 1e-12;
    QTest::newRow("guidance values 7 dB and 48 dB: 5.3942 m") << 7.0 << 48.0 << 5.394238212210239 << 1e-12;
    QTest::newRow("L4 below 45 dB: inside 4 m") << 2.0 << 38.4 << 0.4 << 1e-12;
}

void TestDLprognose::comfortDistance()
{
    QFETCH(double, dl2);
    QFETCH(double, l4);
    QFETCH(double, rc);
    QFETCH(double, tolerance);
    Trace trace;
    const double value = orvella::comfortDistance(dl2, l4, &trace);
    QVERIFY2(std::fabs(value - rc) <= tolerance * rc, qPrintable(QString::number(value, 'g', 17)));
    QCOMPARE(trace.value("rc"), value);
    // At rC the Lr formula gives 45 dB again.
    QVERIFY(std::fabs(lrPrognose(dl2, l4, value) - 45.0) < 1e-9);
}

void TestDLprognose::noComfortDistance_data()
{
    QTest::addColumn<double>("dl2");
    QTest::addColumn<double>("l4");
    QTest::addColumn<int>("fault");
    const int invalid = int(ArithmeticFault::InvalidOperation);
    QTest::newRow("DL2 0: the level does not fall") << 0.0 << 52.0 << invalid;
    QTest::newRow("DL2 -0") << -0.0 << 52.0 << invalid;
    QTest::newRow("DL2 negative: the level rises") << -1.0 << 52.0 << invalid;
    QTest::newRow("tiny DL2: 10^x overflows") << 1e-6 << 60.0 << int(ArithmeticFault::Overflow);
}

void TestDLprognose::noComfortDistance()
{
    QFETCH(double, dl2);
    QFETCH(double, l4);
    QFETCH(int, fault);
    Trace trace;
    try {
        orvella::comfortDistance(dl2, l4, &trace);
        QFAIL("no exception");
    } catch (const ArithmeticError& e) {
        QCOMPARE(int(e.fault()), fault);
    }
    QCOMPARE(QString::fromStdString(trace.running()),
             QString(fault == int(ArithmeticFault::Overflow) ? "rc" : "rcExponent"));
}

QTEST_APPLESS_MAIN(TestDLprognose)
#include "tst_dlprognose.moc"
