// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter study without windows: the points of a range, what happens
// to ranges that cannot be computed as asked, the points without an answer,
// and the texts of the table, its CSV file (written in both settings by
// tst_study) and its clipboard copy.

#include "dlprognosemodel.h"
#include "moisturemodels.h"
#include "numbers.h"
#include "studycore.h"

#include <QTest>

#include <cmath>

using namespace orvella;

Q_DECLARE_METATYPE(Spacing)

namespace {

QStringList toStrings(const std::vector<std::string>& v)
{
    QStringList out;
    for (const std::string& s : v)
        out << QString::fromStdString(s);
    return out;
}

// The points of a range as the table writes them, with a point.
QStringList pointTexts(const RangeRequest& request)
{
    const StudyRangePlan plan = planRange(request);
    const int decimals = pointDecimals(plan);
    QStringList out;
    for (double x : rangePoints(plan, decimals))
        out << QString::fromStdString(cellText(x, decimals, ".", "–"));
    return out;
}

std::vector<std::string> designTexts(const CalculatorModel& m, std::vector<std::pair<std::string, std::string>> changed = {})
{
    // The texts the windows open with.
    std::vector<std::string> texts;
    if (m.id == "frmDLprognose")
        texts = {"0,1", "0,1", "1,0", "30", "15", "3", "58", "8"};
    else if (m.id == "frmTemperatur")
        texts = {"-3.2"};
    for (auto& [key, text] : changed)
        texts[std::size_t(m.inputIndex(key))] = text;
    return texts;
}

}  // namespace

class TestStudyCore : public QObject {
    Q_OBJECT
private slots:
    void points_data();
    void points();
    void logarithmicPointsStayApartAndAscending();
    void rangesThatCannotBeComputedAsAsked_data();
    void rangesThatCannotBeComputedAsAsked();
    void offeredRangeTakesInTheCurrentValue_data();
    void offeredRangeTakesInTheCurrentValue();

    void pointsWithoutAnAnswer();
    void unreadableFixedInputLeavesEveryPointWithoutAnswer();
    void currentInputIsComputedToo();

    void csvQuotesCellsThatNeedIt();
    void clipboardTexts();
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

    QTest::newRow("doublings of a distance") << 1.0 << 32.0 << 6 << Spacing::Logarithmic
                                             << QStringList{"1", "2", "4", "8", "16", "32"};
    QTest::newRow("decades") << 1.0 << 1000.0 << 4 << Spacing::Logarithmic
                             << QStringList{"1", "10", "100", "1000"};
    QTest::newRow("temperatures around 0") << -20.0 << 20.0 << 5 << Spacing::Linear
                                           << QStringList{"-20", "-10", "0", "10", "20"};
    // A step of 1/3 needs one decimal to keep the points apart, and one more.
    QTest::newRow("thirds: two decimals") << 0.0 << 1.0 << 4 << Spacing::Linear
                                          << QStringList{"0", "0.33", "0.67", "1"};
    QTest::newRow("ends typed with three decimals keep them")
        << 0.125 << 0.5 << 4 << Spacing::Linear << QStringList{"0.125", "0.25", "0.375", "0.5"};
    QTest::newRow("reversed range runs upwards") << 2.0 << 0.0 << 3 << Spacing::Linear
                                                 << QStringList{"0", "1", "2"};
    QTest::newRow("one point asked for: both ends") << 5.0 << 7.0 << 1 << Spacing::Linear
                                                    << QStringList{"5", "7"};
    QTest::newRow("ends of opposite sign near the double limit")
        << -1e308 << 1e308 << 3 << Spacing::Linear << QStringList{"-1E+308", "0", "1E+308"};
}

void TestStudyCore::points()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, points);
    QFETCH(Spacing, spacing);
    QFETCH(QStringList, expected);
    QCOMPARE(pointTexts({from, to, points, spacing}), expected);
}

void TestStudyCore::logarithmicPointsStayApartAndAscending()
{
    const StudyRangePlan plan = planRange({1.0, 32.0, kMaxStudyPoints, Spacing::Logarithmic});
    const int decimals = pointDecimals(plan);
    const std::vector<double> xs = rangePoints(plan, decimals);
    QCOMPARE(int(xs.size()), kMaxStudyPoints);
    QCOMPARE(xs.front(), 1.0);
    QCOMPARE(xs.back(), 32.0);
    for (std::size_t i = 1; i < xs.size(); ++i)
        QVERIFY2(xs[i] > xs[i - 1], qPrintable(QString("point %1").arg(i)));
    // Each point is exactly the number its text says, so that typing the
    // text into the calculator computes the same point.
    for (double x : xs)
        QCOMPARE(std::stod(cellText(x, decimals, ".", "")), x);
    // The ratio between neighbours stays even: 32^(1/1000) = 1.003472...
    QVERIFY(std::fabs(xs[1] / xs[0] - 1.003472) < 0.0006);
    QVERIFY(std::fabs(xs[1000] / xs[999] - 1.003472) < 0.0006);
}

void TestStudyCore::rangesThatCannotBeComputedAsAsked_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<Spacing>("spacing");
    QTest::addColumn<double>("planFrom");
    QTest::addColumn<double>("planTo");
    QTest::addColumn<int>("planPoints");
    QTest::addColumn<Spacing>("planSpacing");
    QTest::addColumn<bool>("swapped");
    QTest::addColumn<bool>("clamped");
    QTest::addColumn<bool>("fallback");

    QTest::newRow("as asked") << 1.0 << 32.0 << 50 << Spacing::Logarithmic << 1.0 << 32.0 << 50
                              << Spacing::Logarithmic << false << false << false;
    QTest::newRow("reversed") << 32.0 << 1.0 << 50 << Spacing::Linear << 1.0 << 32.0 << 50
                              << Spacing::Linear << true << false << false;
    QTest::newRow("too few points") << 0.0 << 1.0 << 0 << Spacing::Linear << 0.0 << 1.0 << 2
                                    << Spacing::Linear << false << true << false;
    QTest::newRow("too many points") << 0.0 << 1.0 << 5000 << Spacing::Linear << 0.0 << 1.0 << 1001
                                     << Spacing::Linear << false << true << false;
    QTest::newRow("logarithmic from 0") << 0.0 << 32.0 << 10 << Spacing::Logarithmic << 0.0 << 32.0
                                        << 10 << Spacing::Linear << false << false << true;
    QTest::newRow("logarithmic over negative values")
        << -4.0 << 32.0 << 10 << Spacing::Logarithmic << -4.0 << 32.0 << 10 << Spacing::Linear
        << false << false << true;
    QTest::newRow("reversed to a negative start, logarithmic")
        << 8.0 << -1.0 << 10 << Spacing::Logarithmic << -1.0 << 8.0 << 10 << Spacing::Linear << true
        << false << true;
}

void TestStudyCore::rangesThatCannotBeComputedAsAsked()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, points);
    QFETCH(Spacing, spacing);
    const StudyRangePlan plan = planRange({from, to, points, spacing});
    QTEST(plan.from, "planFrom");
    QTEST(plan.to, "planTo");
    QTEST(plan.points, "planPoints");
    QTEST(plan.spacing, "planSpacing");
    QTEST(plan.swapped, "swapped");
    QTEST(plan.pointsClamped, "clamped");
    QTEST(plan.logFallback, "fallback");
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
    QTest::newRow("negative: widened, and linear") << -1.0 << -1.0 << 16.0 << Spacing::Linear;
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

void TestStudyCore::pointsWithoutAnAnswer()
{
    // At -65 °C and below the room air holds no vapour: no dew point.
    const CalculatorModel& t = temperaturModel();
    const StudyOutcome cold = runStudy({&t, designTexts(t), 0, {-66.0, -63.0, 4, Spacing::Linear}});
    QCOMPARE(cold.answered, 2);
    const TextTable table = studyTable(t, 0, cold, ".", "–");
    QCOMPARE(toStrings(table.rows[0]), (QStringList{"-66", "–", "–", "–"}));
    QCOMPARE(toStrings(table.rows[1]), (QStringList{"-65", "–", "–", "–"}));
    QCOMPARE(toStrings(table.rows[2]), (QStringList{"-64", "1", "-37.7", "-32.6"}));
    QVERIFY(cold.results[1].empty());
    QCOMPARE(cold.results[2].size(), std::size_t(3));

    // A room height of 0 divides by zero; a distance of 0 has no logarithm.
    const CalculatorModel& dl = dlPrognoseModel();
    const StudyOutcome height = runStudy({&dl, designTexts(dl), dl.inputIndex("hRaum"), {0.0, 3.0, 4, Spacing::Linear}});
    QCOMPARE(height.answered, 3);
    QVERIFY(height.results[0].empty());
    const StudyOutcome distance = runStudy({&dl, designTexts(dl), dl.inputIndex("r"), {-4.0, 4.0, 3, Spacing::Linear}});
    QCOMPARE(distance.answered, 1);
    QCOMPARE(toStrings(studyTable(dl, dl.inputIndex("r"), distance, ".", "–").rows[2]),
             (QStringList{"4", "4.6", "52.9", "52.9"}));
}

void TestStudyCore::unreadableFixedInputLeavesEveryPointWithoutAnswer()
{
    const CalculatorModel& dl = dlPrognoseModel();
    const StudyOutcome out =
        runStudy({&dl, designTexts(dl, {{"hRaum", "1E999"}}), dl.inputIndex("r"), {1.0, 32.0, 6, Spacing::Logarithmic}});
    QCOMPARE(out.unreadableInput, dl.inputIndex("hRaum"));
    QCOMPARE(out.answered, 0);
    QVERIFY(out.currentResults.empty());
    for (const auto& row : studyTable(dl, dl.inputIndex("r"), out, ".", "–").rows)
        QCOMPARE(toStrings(row).mid(1), (QStringList{"–", "–", "–"}));

    // The variable's own text does not matter: it is replaced by the points.
    const StudyOutcome own =
        runStudy({&dl, designTexts(dl, {{"r", "1E999"}}), dl.inputIndex("r"), {4.0, 16.0, 2, Spacing::Logarithmic}});
    QCOMPARE(own.unreadableInput, -1);
    QCOMPARE(own.answered, 2);
    QVERIFY(!own.currentX);
}

void TestStudyCore::currentInputIsComputedToo()
{
    // The design texts of the prognosis: Lr = 48.306... at R = 8 m; the
    // comma-fixed texts 0,1 and 1,0 read as 0.1 and 1.
    const CalculatorModel& dl = dlPrognoseModel();
    const StudyOutcome out = runStudy({&dl, designTexts(dl), dl.inputIndex("hScreen"), {0.0, 2.0, 3, Spacing::Linear}});
    QVERIFY(out.currentX);
    QCOMPARE(*out.currentX, 1.0);
    QCOMPARE(*out.inputs[0], 0.1);
    QCOMPARE(out.currentResults.size(), std::size_t(3));
    QCOMPARE(QString::fromStdString(FormatResult(out.currentResults[2], 1, ".")), QString("48.3"));
    // The point at the current value equals the current result.
    QCOMPARE(out.results[1], out.currentResults);
}

void TestStudyCore::csvQuotesCellsThatNeedIt()
{
    const TextTable table{{"a;b", "c,d"}, {{"say \"x\"", "1,5"}}};
    QCOMPARE(QString::fromStdString(orvella::csvText(table, true)),
             QString("\"a;b\";c,d\r\n\"say \"\"x\"\"\";1,5\r\n"));
    QCOMPARE(QString::fromStdString(orvella::csvText(table, false)),
             QString("a;b,\"c,d\"\r\n\"say \"\"x\"\"\",\"1,5\"\r\n"));
}

void TestStudyCore::clipboardTexts()
{
    const TextTable table{{"R [m]", "Lr [dB]"}, {{"1", "62,1"}, {"0", "–"}, {"a<b", "x\ty"}}};
    QCOMPARE(QString::fromStdString(tabSeparatedText(table)),
             QString("R [m]\tLr [dB]\n1\t62,1\n0\t–\na<b\tx y\n"));
    const QString html = QString::fromStdString(htmlTable(table));
    QVERIFY(html.contains("<th>R [m]</th><th>Lr [dB]</th>"));
    QVERIFY(html.contains(">62,1</td>"));
    QVERIFY(html.contains(">a&lt;b</td>"));
    QCOMPARE(html.count("<tr>"), 4);
}

void TestStudyCore::rangeNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("decimal comma") << "1,5" << true << 1.5;
    QTest::newRow("decimal point, blanks around") << " 2.5 " << true << 2.5;
    QTest::newRow("negative") << "-20" << true << -20.0;
    QTest::newRow("plus sign") << "+4" << true << 4.0;
    QTest::newRow("exponent") << "1e3" << true << 1000.0;
    QTest::newRow("leading point") << ".5" << true << 0.5;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("a sign alone, while typing") << "-" << false << 0.0;
    QTest::newRow("unfinished exponent") << "1.5e" << false << 0.0;
    QTest::newRow("German thousands point") << "1.000,5" << false << 0.0;
    QTest::newRow("word") << "abc" << false << 0.0;
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
