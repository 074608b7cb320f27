// SPDX-License-Identifier: GPL-3.0-or-later
// The shared number rules: comma fix, reading, rounding and writing, the
// common logarithm, checked arithmetic and the placement on load.

#include "checked.h"
#include "numbers.h"

#include <QTest>

#include <cmath>
#include <cstring>

using namespace orvella;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void killKomma_data();
    void killKomma();
    void readNumber_data();
    void readNumber();
    void readNumberOverflows_data();
    void readNumberOverflows();
    void readPlainNumber_data();
    void readPlainNumber();
    void formatResult_data();
    void formatResult();
    void formatResultOverflow();
    void log10BitForBit();
    void log10Fails_data();
    void log10Fails();
    void checkedArithmetic_data();
    void checkedArithmetic();
    void underflowIsNoFailure();
    void placement_data();
    void placement();
};

void TestNumbers::killKomma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("decimal comma") << "0,1" << "0.1";
    QTest::newRow("two commas: only the first is replaced") << "1,2,3" << "1.2,3";
    QTest::newRow("no comma: written back unchanged") << "12" << "12";
    QTest::newRow("empty stays empty") << "" << "";
    QTest::newRow("blanks and letters stay") << " a, b" << " a. b";
    QTest::newRow("German thousands point") << "1.000,5" << "1.000.5";
    QTest::newRow("umlaut before the comma keeps its bytes") << "ä,5" << "ä.5";
}

void TestNumbers::killKomma()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(KillKomma(text.toStdString())), expected);
}

void TestNumbers::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("negative decimal") << "-3.2" << -3.2;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("exponent") << "1.5e3" << 1500.0;
    QTest::newRow("upper-case exponent with sign") << "25E-1" << 2.5;
    QTest::newRow("blank between digits") << "1 5" << 15.0;
    QTest::newRow("tab and line feed ignored") << "\t1\n2" << 12.0;
    QTest::newRow("blank after the sign") << "- 5" << -5.0;
    QTest::newRow("trailing letters") << "12abc" << 12.0;
    QTest::newRow("comma ends the number") << "2,5" << 2.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("plus sign") << "+7" << 7.0;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("exponent letter without digits") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+x" << 3.0;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("hexadecimal") << "&H1F" << 31.0;
    QTest::newRow("octal") << "&o17" << 15.0;
    QTest::newRow("hex prefix without digits") << "&H" << 0.0;
    QTest::newRow("too small for a double reads as 0") << "1E-999" << 0.0;
    QTest::newRow("many leading zeros") << "0000000000000000000000012.5" << 12.5;
    QTest::newRow("long exponent digits") << "1e0000000000000000000000002" << 100.0;
    QTest::newRow("zero with huge exponent") << "0e999999" << 0.0;
    QTest::newRow("largest double") << "1.7976931348623157e308" << 1.7976931348623157e308;
}

void TestNumbers::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(ReadNumber(text.toStdString()), expected);
}

void TestNumbers::readNumberOverflows_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("1E999") << "1E999";
    QTest::newRow("negative -1e400") << "-1e400";
    QTest::newRow("just above the largest double") << "1.8e308";
    QTest::newRow("400 digits") << QString(400, u'9');
}

void TestNumbers::readNumberOverflows()
{
    QFETCH(QString, text);
    try {
        ReadNumber(text.toStdString());
        QFAIL("no overflow reported");
    } catch (const ArithmeticError& e) {
        QCOMPARE(e.fault(), ArithmeticFault::Overflow);
    }
}

void TestNumbers::readPlainNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("plain");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "1,5" << true << 1.5;
    QTest::newRow("decimal point, blanks and tabs around") << " \t2.5 " << true << 2.5;
    QTest::newRow("plus sign") << "+4" << true << 4.0;
    QTest::newRow("minus and exponent with sign") << "-1,5E-3" << true << -0.0015;
    QTest::newRow("leading mark") << ",5" << true << 0.5;
    QTest::newRow("trailing mark") << "5." << true << 5.0;
    // As the windows read it: too small for a double is 0, not a failure.
    QTest::newRow("too small reads as 0") << "1e-400" << true << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("mark alone") << "-," << false << 0.0;
    QTest::newRow("unfinished exponent") << "1.5e" << false << 0.0;
    // ReadNumber would read 1 and 15 from these; they are not what they show.
    QTest::newRow("thousands point and decimal comma") << "1.000,5" << false << 0.0;
    QTest::newRow("blank between digits") << "1 5" << false << 0.0;
    QTest::newRow("unit after the number") << "8 m" << false << 0.0;
    QTest::newRow("two signs") << "+-5" << false << 0.0;
    QTest::newRow("hexadecimal") << "&H1F" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("too large") << "1e999" << false << 0.0;
}

void TestNumbers::readPlainNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, plain);
    const std::optional<double> v = orvella::readPlainNumber(text.toStdString());
    QCOMPARE(v.has_value(), plain);
    if (plain)
        QTEST(*v, "value");
}

void TestNumbers::formatResult_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("comma");
    QTest::newRow("tie to even, down") << 0.125 << 2 << "0.12" << "0,12";
    QTest::newRow("tie to even, up") << 0.375 << 2 << "0.38" << "0,38";
    QTest::newRow("negative tie") << -0.25 << 1 << "-0.2" << "-0,2";
    QTest::newRow("rounds up to a whole number") << 99.999 << 2 << "100" << "100";
    QTest::newRow("no trailing zero") << 38.8 << 2 << "38.8" << "38,8";
    QTest::newRow("whole number without mark") << 61.0 << 1 << "61" << "61";
    // 61.85 * 10 is exactly 618.5 in double precision, so the tie goes to 618.
    QTest::newRow("61.85 with one decimal") << 61.85 << 1 << "61.8" << "61,8";
    QTest::newRow("never -0") << -0.01 << 1 << "0" << "0";
    QTest::newRow("negative zero input") << -0.0 << 2 << "0" << "0";
    QTest::newRow("zero decimals, tie to even") << 2.5 << 0 << "2" << "2";
    QTest::newRow("small value") << 0.05 << 2 << "0.05" << "0,05";
    QTest::newRow("no digit grouping") << 1234567.891 << 2 << "1234567.89" << "1234567,89";
    QTest::newRow("15 significant digits") << 123456789012.3456 << 2 << "123456789012.35"
                                           << "123456789012,35";
    QTest::newRow("1e15 in exponent form") << 1e15 << 2 << "1E+15" << "1E+15";
    QTest::newRow("exponent form with mantissa") << -2.5e20 << 1 << "-2.5E+20" << "-2,5E+20";
    QTest::newRow("just below 1e15") << 999999999999999.0 << 0 << "999999999999999"
                                     << "999999999999999";
    QTest::newRow("large exponent") << 1.5e300 << 0 << "1.5E+300" << "1,5E+300";
}

void TestNumbers::formatResult()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, point);
    QFETCH(QString, comma);
    QCOMPARE(QString::fromStdString(FormatResult(value, decimals, ".")), point);
    QCOMPARE(QString::fromStdString(FormatResult(value, decimals, ",")), comma);
}

void TestNumbers::formatResultOverflow()
{
    // value * 100 leaves the double range: the rounding step itself fails.
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, FormatResult(1e307, 2, "."));
    QCOMPARE(QString::fromStdString(FormatResult(1e307, 0, ".")), QString("1E+307"));
}

void TestNumbers::log10BitForBit()
{
    const double expected = std::log(1000.0) / std::log(10.0);
    const double actual = Log10(1000.0);
    QVERIFY(std::memcmp(&expected, &actual, sizeof expected) == 0);
    QCOMPARE(Log10(1.0), 0.0);
}

void TestNumbers::log10Fails_data()
{
    QTest::addColumn<double>("x");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("minus one") << -1.0;
    QTest::newRow("negative zero") << -0.0;
}

void TestNumbers::log10Fails()
{
    QFETCH(double, x);
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, Log10(x));
}

void TestNumbers::checkedArithmetic_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<int>("fault");
    enum { Add, Sub, Mul, Div, Pow };
    const int overflow = int(ArithmeticFault::Overflow);
    const int divByZero = int(ArithmeticFault::DivisionByZero);
    const int invalid = int(ArithmeticFault::InvalidOperation);
    QTest::newRow("sum overflows") << int(Add) << 1.7e308 << 1.7e308 << overflow;
    QTest::newRow("difference overflows") << int(Sub) << -1.7e308 << 1.7e308 << overflow;
    QTest::newRow("product overflows") << int(Mul) << 1e200 << 1e200 << overflow;
    QTest::newRow("division by zero") << int(Div) << 1.0 << 0.0 << divByZero;
    QTest::newRow("zero by zero") << int(Div) << 0.0 << 0.0 << invalid;
    QTest::newRow("quotient overflows") << int(Div) << 1e300 << 1e-300 << overflow;
    QTest::newRow("negative base, fractional power") << int(Pow) << -1.0 << 0.5 << invalid;
    QTest::newRow("zero to a negative power") << int(Pow) << 0.0 << -1.0 << divByZero;
    QTest::newRow("power overflows") << int(Pow) << 10.0 << 400.0 << overflow;
}

void TestNumbers::checkedArithmetic()
{
    QFETCH(int, operation);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(int, fault);
    try {
        const Real x = a, y = b;
        switch (operation) {
        case 0: (void)(x + y); break;
        case 1: (void)(x - y); break;
        case 2: (void)(x * y); break;
        case 3: (void)(x / y); break;
        default: (void)pow(x, y); break;
        }
        QFAIL("no failure reported");
    } catch (const ArithmeticError& e) {
        QCOMPARE(int(e.fault()), fault);
    }
}

void TestNumbers::underflowIsNoFailure()
{
    QCOMPARE((Real(1e-300) * Real(1e-300)).value(), 0.0);
    QCOMPARE(pow(Real(10.0), Real(-400.0)).value(), 0.0);
    QCOMPARE(pow(Real(-2.0), Real(3.0)).value(), -8.0);
}

void TestNumbers::placement_data()
{
    QTest::addColumn<float>("screenW");
    QTest::addColumn<float>("screenH");
    QTest::addColumn<float>("windowW");
    QTest::addColumn<float>("windowH");
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("top");
    QTest::newRow("one third of the free width, centred vertically")
        << 19200.f << 14400.f << 6480.f << 4500.f << 4240.f << 4950.f;
    QTest::newRow("wider than the screen: negative, not clamped")
        << 9000.f << 9000.f << 12000.f << 3000.f << -1000.f << 3000.f;
}

void TestNumbers::placement()
{
    QFETCH(float, screenW);
    QFETCH(float, screenH);
    QFETCH(float, windowW);
    QFETCH(float, windowH);
    QFETCH(float, left);
    QFETCH(float, top);
    const Placement p = placeOnLoad(screenW, screenH, windowW, windowH);
    QCOMPARE(p.left, left);
    QCOMPARE(p.top, top);
}

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
