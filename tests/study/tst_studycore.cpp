// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter study without windows: the points of a range (also of ranges
// that cannot be computed as asked), the range offered for an input, awkward
// cell texts, and the numbers typed into "von" and "bis". Answers, gaps, notes
// and the CSV file are tested by tst_study over the real calculators.

#include "studycore.h"

#include <QTest>

#include <cmath>

using namespace orvella;

Q_DECLARE_METATYPE(Spacing)

namespace {
QString text(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

class TestStudyCore : public QObject {
    Q_OBJECT
private slots:
    void points_data();
    void points();
    void offeredRangeTakesInTheCurrentValue_data();
    void offeredRangeTakesInTheCurrentValue();
    void cellsWithSeparatorsQuotesTabsAndMarkup();
    void rangeNumbers_data();
    void rangeNumbers();
};

void TestStudyCore::points_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<Spacing>("spacing");
    QTest::addColumn<QStringList>("expected");
    const Spacing lin = Spacing::Linear;
    const Spacing log = Spacing::Logarithmic;

    QTest::newRow("doublings of a distance") << 1.0 << 32.0 << 6 << log
                                             << QStringList{"1", "2", "4", "8", "16", "32"};
    QTest::newRow("temperatures around 0") << -20.0 << 20.0 << 5 << lin
                                           << QStringList{"-20", "-10", "0", "10", "20"};
    // A step of 1/3 needs one decimal to keep the points apart, and one more.
    QTest::newRow("thirds: two decimals") << 0.0 << 1.0 << 4 << lin << QStringList{"0", "0.33", "0.67", "1"};
    QTest::newRow("ends typed with three decimals keep them")
        << 0.125 << 0.5 << 4 << lin << QStringList{"0.125", "0.25", "0.375", "0.5"};
    QTest::newRow("reversed range runs upwards") << 2.0 << 0.0 << 3 << lin << QStringList{"0", "1", "2"};
    QTest::newRow("one point asked for: both ends") << 5.0 << 7.0 << 1 << lin << QStringList{"5", "7"};
    QTest::newRow("logarithmic from 0: linear") << 0.0 << 32.0 << 3 << log << QStringList{"0", "16", "32"};
    // Swapped first, then found to reach below 0.
    QTest::newRow("reversed to a negative start, logarithmic: linear")
        << 8.0 << -1.0 << 3 << log << QStringList{"-1", "3.5", "8"};
    QTest::newRow("ends of opposite sign near the double limit")
        << -1e308 << 1e308 << 3 << lin << QStringList{"-1E+308", "0", "1E+308"};
}

void TestStudyCore::points()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, points);
    QFETCH(Spacing, spacing);
    const StudyRangePlan plan = planRange({from, to, points, spacing});
    const int decimals = pointDecimals(plan);
    QStringList texts;
    for (double x : rangePoints(plan, decimals)) {
        texts << text(cellText(x, decimals, ".", "–"));
        // Each point is exactly the number its text says, so that typing the
        // text into the calculator computes the same point.
        QVERIFY2(texts.last().toDouble() == x,
                 qPrintable(texts.last() + " is " + QString::number(x, 'g', 17)));
    }
    QTEST(texts, "expected");
}

void TestStudyCore::offeredRangeTakesInTheCurrentValue_data()
{
    QTest::addColumn<double>("current");  // NaN: the field cannot be read
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<Spacing>("spacing");

    // An input offered over 2 to 16 m, logarithmic.
    QTest::newRow("inside") << 8.0 << 2.0 << 16.0 << Spacing::Logarithmic;
    QTest::newRow("above: widened upwards") << 100.0 << 2.0 << 100.0 << Spacing::Logarithmic;
    QTest::newRow("below: widened downwards") << 0.5 << 0.5 << 16.0 << Spacing::Logarithmic;
    QTest::newRow("0: widened, and linear") << 0.0 << 0.0 << 16.0 << Spacing::Linear;
    QTest::newRow("unreadable: as offered") << qQNaN() << 2.0 << 16.0 << Spacing::Logarithmic;
}

void TestStudyCore::offeredRangeTakesInTheCurrentValue()
{
    QFETCH(double, current);
    InputQuantity input = makeInput("d", "d", "d", "Abstand", "m", "txD", {2.0, 16.0, Spacing::Logarithmic});
    const StudyRange r =
        defaultStudyRange(input, std::isnan(current) ? std::nullopt : std::optional<double>(current));
    QTEST(r.from, "from");
    QTEST(r.to, "to");
    QTEST(r.spacing, "spacing");
}

void TestStudyCore::cellsWithSeparatorsQuotesTabsAndMarkup()
{
    const TextTable table{{"a;b", "c,d"}, {{"say \"x\"", "1,5"}, {"a<b", "x\ty"}}};
    QCOMPARE(text(csvText(table, true)), QString("\"a;b\";c,d\r\n\"say \"\"x\"\"\";1,5\r\na<b;x\ty\r\n"));
    QCOMPARE(text(csvText(table, false)),
             QString("a;b,\"c,d\"\r\n\"say \"\"x\"\"\",\"1,5\"\r\na<b,x\ty\r\n"));
    QCOMPARE(text(tabSeparatedText(table)), QString("a;b\tc,d\nsay \"x\"\t1,5\na<b\tx y\n"));
    const QString html = text(htmlTable(table));
    QVERIFY(html.contains("<th>a;b</th><th>c,d</th>"));
    QVERIFY(html.contains(">say &quot;x&quot;</td>"));
    QVERIFY(html.contains(">a&lt;b</td>"));
    QCOMPARE(html.count("<tr>"), 3);
}

void TestStudyCore::rangeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "1,5" << true << 1.5;
    QTest::newRow("decimal point, blanks around") << " 2.5 " << true << 2.5;
    QTest::newRow("plus sign") << "+4" << true << 4.0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("unfinished exponent") << "1.5e" << false << 0.0;
    QTest::newRow("German thousands point") << "1.000,5" << false << 0.0;
    QTest::newRow("number and unit") << "8 m" << false << 0.0;
    QTest::newRow("too large") << "1e999" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
}

void TestStudyCore::rangeNumbers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<double> v = parseRangeNumber(text.toStdString());
    QCOMPARE(v.has_value(), valid);
    if (valid)
        QTEST(*v, "value");
}

QTEST_APPLESS_MAIN(TestStudyCore)
#include "tst_studycore.moc"
