// SPDX-License-Identifier: GPL-3.0-or-later
// The level list: statistics of a column of levels and the background
// correction, as the window writes them.

#include "checked.h"
#include "coretesting.h"
#include "levellist.h"
#include "numbers.h"

#include <QTest>

#include <cmath>

using namespace orvella;

namespace {

std::vector<double> levelsOf(const QString& text)
{
    std::vector<double> levels;
    for (const QString& t : text.split(' ', Qt::SkipEmptyParts))
        levels.push_back(t.toDouble());
    return levels;
}

// The results in their order as the window writes them with a decimal comma.
QString resultsText(const std::vector<ResultValue>& results)
{
    QStringList out;
    for (const ResultValue& r : results)
        out << QString::fromStdString(valueText(r, ","));
    return out.join('|');
}

// A result without a value always says why; one with a value is written.
bool everyMissingValueExplained(const std::vector<ResultValue>& results)
{
    for (const ResultValue& r : results)
        if ((!r.value && r.note.empty()) || (r.value && valueText(r, ",") == "–"))
            return false;
    return true;
}

}  // namespace

class TestLevelList : public QObject {
    Q_OBJECT
private slots:
    void results_data();
    void results();
    void sumAgreesWithPlainFormula_data();
    void sumAgreesWithPlainFormula();
    void emptyListFails();
    void backgroundCorrection_data();
    void backgroundCorrection();
    void correctedResults_data();
    void correctedResults();
    void hundredThousandLevels();
};

void TestLevelList::results_data()
{
    QTest::addColumn<QString>("levels");
    // n | LΣ | Lm | arithmetic mean | s | Lmin | Lmax | LΣ − Lmax
    QTest::addColumn<QString>("expected");
    // 10·lg 8 = 9.0309; eight equal levels have their own level as mean.
    QTest::newRow("8 × 60 dB") << "60 60 60 60 60 60 60 60" << "8|69,03|60|60|0|60|60|9,03";
    QTest::newRow("a single level: no deviation") << "73.4" << "1|73,4|73,4|73,4|–|73,4|73,4|0";
    // 10·lg(10^6 + 10^7) = 70 + 10·lg 1.1 = 70.4139; Lm 3.0103 dB lower;
    // s = sqrt((5² + 5²) / 1) = 7.0711.
    QTest::newRow("60 and 70 dB") << "60 70" << "2|70,41|67,4|65|7,07|60|70|0,41";
    // Mean 54, squares 16 + 4 + 0 + 4 + 16 = 40, s = sqrt(40 / 4) = 3.1623
    // (the sample's n − 1; the population's n would give 2.83).
    // LΣ = 10·lg(10^5 (1 + 10^0.2 + 10^0.4 + 10^0.6 + 10^0.8)) = 61.8717.
    QTest::newRow("known column: s of the sample, n − 1") << "50 52 54 56 58"
                                                          << "5|61,87|54,88|54|3,16|50|58|3,87";
    QTest::newRow("negative levels") << "-10 -20 -30" << "3|-9,55|-14,32|-20|10|-30|-10|0,45";
    QTest::newRow("300 dB is still within") << "300 300" << "2|303,01|300|300|0|300|300|3,01";
    QTest::newRow("a level beyond +300 dB: energetic results only are missing")
        << "60 301" << "2|–|–|180,5|170,41|60|301|–";
    // Deviations ±180.5 from the mean -120.5: s = 180.5·sqrt 2 = 255.27.
    QTest::newRow("a level beyond -300 dB") << "-301 60" << "2|–|–|-120,5|255,27|-301|60|–";
    QTest::newRow("sums beyond the double range: arithmetic results missing too")
        << "1e308 1e308" << "2|–|–|–|–|–|–|–";
    QTest::newRow("empty list") << "" << "0|–|–|–|–|–|–|–";
}

void TestLevelList::results()
{
    QFETCH(QString, levels);
    QFETCH(QString, expected);
    const std::vector<double> l = levelsOf(levels);
    const LevelListEvaluation e = evaluateLevelList(l);
    QCOMPARE(resultsText(e.results), expected);
    QVERIFY(everyMissingValueExplained(e.results));
    QVERIFY(e.corrections.empty());
    QVERIFY(e.correctedResults.empty());
    QCOMPARE(valueText(e.results[1], "."), QString(expected.section('|', 1, 1)).replace(',', '.').toStdString());
}

void TestLevelList::sumAgreesWithPlainFormula_data()
{
    QTest::addColumn<QString>("levels");
    QTest::newRow("measured positions") << "30.4 45.7 61.2 58.9";
    QTest::newRow("zeros") << "0 0 0";
    QTest::newRow("a loud and a quiet source") << "120 20";
    QTest::newRow("close levels") << "94.1 94.1 94.2 94.15 93.95";
    QTest::newRow("negative levels") << "-12.5 -3.2";
    QTest::newRow("many decimals") << "55.555 66.666 77.777";
}

void TestLevelList::sumAgreesWithPlainFormula()
{
    // With the largest level factored out the sum is computed differently;
    // for ordinary columns it must still be the plain formula's value to the
    // digit shown.
    QFETCH(QString, levels);
    const std::vector<double> l = levelsOf(levels);
    double energy = 0.0;
    for (const double x : l)
        energy += std::pow(10.0, x / 10.0);
    const double plainSum = 10.0 * std::log10(energy);
    const double plainMean = 10.0 * std::log10(energy / double(l.size()));
    const LevelListEvaluation e = evaluateLevelList(l);
    QCOMPARE(valueText(*findResult(e.results, "sum"), ","), FormatResult(plainSum, kLevelListDecimals, ","));
    QCOMPARE(valueText(*findResult(e.results, "mean"), ","), FormatResult(plainMean, kLevelListDecimals, ","));
    QVERIFY(std::fabs(energeticSumDb(l) - plainSum) < 1e-9);
}

void TestLevelList::emptyListFails()
{
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, energeticSumDb({}));
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, energeticMeanDb({}));
    const std::vector<double> nan = {60.0, std::nan("")};
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, energeticSumDb(nan));
}

void TestLevelList::backgroundCorrection_data()
{
    QTest::addColumn<double>("level");
    QTest::addColumn<double>("background");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("k1");
    QTest::addColumn<QString>("corrected");
    const int none = int(BackgroundFlag::NoCorrection), corrected = int(BackgroundFlag::Corrected);
    const int limit = int(BackgroundFlag::MeasurementLimit), notCorrected = int(BackgroundFlag::NotCorrected);
    // K1 = −10·lg(1 − 10^−1) = 0.4576.
    QTest::newRow("70 over 60 dB: K1 0,46 dB") << 70.0 << 60.0 << corrected << "0,46" << "69,54";
    QTest::newRow("80 over 75 dB: ΔL 5, 1,3 dB, an upper bound") << 80.0 << 75.0 << limit << "1,3" << "78,7";
    // The formula would give 1.256 dB here; at the limit 1.3 dB is applied.
    QTest::newRow("ΔL exactly 6 dB: limit of the measurement") << 66.0 << 60.0 << limit << "1,3" << "64,7";
    // −10·lg(1 − 10^−0.601) = 1.2529.
    QTest::newRow("ΔL just above 6 dB: the formula") << 66.01 << 60.0 << corrected << "1,25" << "64,76";
    // −10·lg(1 − 10^−1.5) = 0.1396.
    QTest::newRow("ΔL exactly 15 dB: still corrected") << 75.0 << 60.0 << corrected << "0,14" << "74,86";
    QTest::newRow("ΔL just above 15 dB: no correction") << 75.01 << 60.0 << none << "0" << "75,01";
    QTest::newRow("ΔL 0: limit") << 60.0 << 60.0 << limit << "1,3" << "58,7";
    QTest::newRow("level below the background: limit") << 55.0 << 60.0 << limit << "1,3" << "53,7";
    QTest::newRow("level beyond 300 dB: not corrected") << 301.0 << 60.0 << notCorrected << "0" << "301";
    QTest::newRow("background beyond -300 dB: not corrected") << 60.0 << -301.0 << notCorrected << "0" << "60";
}

void TestLevelList::backgroundCorrection()
{
    QFETCH(double, level);
    QFETCH(double, background);
    QFETCH(int, flag);
    QFETCH(QString, k1);
    QFETCH(QString, corrected);
    const BackgroundCorrection c = correctForBackground(level, background);
    QCOMPARE(int(c.flag), flag);
    const auto shown = [](double v) { return QString::fromStdString(FormatResult(v, kLevelListDecimals, ",")); };
    QCOMPARE(shown(c.k1Db), k1);
    QCOMPARE(shown(c.correctedDb), corrected);
    QCOMPARE(c.upperBound(), flag == int(BackgroundFlag::MeasurementLimit));
    QCOMPARE(c.levelDb, level);
    if (flag != int(BackgroundFlag::NotCorrected))
        QCOMPARE(c.deltaDb, level - background);
    QVERIFY(!backgroundFlagText(c.flag).empty());
}

void TestLevelList::correctedResults_data()
{
    QTest::addColumn<QString>("levels");
    QTest::addColumn<double>("background");
    QTest::addColumn<QString>("expected");  // the corrected levels' results
    QTest::addColumn<bool>("upperBound");
    // 69.5424 and 90: LΣ = 10·lg(10^6.95424 + 10^9) = 90.0389, Lm 87.0286.
    QTest::newRow("one corrected, one clear of the background")
        << "70 90" << 60.0 << "2|90,04|87,03|79,77|14,47|69,54|90|0,04" << false;
    // 78.7 (limit) and 89.8604: LΣ 90.1808, Lm 87.1705.
    QTest::newRow("one at the limit: upper bounds")
        << "80 90" << 75.0 << "2|90,18|87,17|84,28|7,89|78,7|89,86|0,32" << true;
}

void TestLevelList::correctedResults()
{
    QFETCH(QString, levels);
    QFETCH(double, background);
    QFETCH(QString, expected);
    QFETCH(bool, upperBound);
    const LevelListEvaluation e = evaluateLevelList(levelsOf(levels), background);
    QCOMPARE(e.corrections.size(), std::size_t(2));
    QCOMPARE(resultsText(e.correctedResults), expected);
    QVERIFY(e.backgroundNote.empty());
    // Sums, means and extremes of corrected levels that are upper bounds are
    // upper bounds themselves, and say so.
    for (const char* key : {"sum", "mean", "arithmetic", "min", "max"})
        QCOMPARE(findResult(e.correctedResults, key)->note.empty(), !upperBound);
    QVERIFY(findResult(e.correctedResults, "n")->note.empty());
    // The uncorrected results stay as they are.
    QCOMPARE(resultsText(e.results), resultsText(evaluateLevelList(levelsOf(levels)).results));

    const LevelListEvaluation beyond = evaluateLevelList(levelsOf(levels), 301.0);
    QVERIFY(!beyond.backgroundNote.empty());
    QVERIFY(beyond.corrections.empty());
    QVERIFY(beyond.correctedResults.empty());
}

void TestLevelList::hundredThousandLevels()
{
    // 60.0, 60.1, ... 69.9 dB, a thousand times each: LΣ = 115.8702 dB, the
    // energetic mean 50 dB (10·lg 100000) lower.
    std::vector<double> levels;
    for (int i = 0; i < 100000; ++i)
        levels.push_back(60.0 + (i % 100) / 10.0);
    const LevelListEvaluation e = evaluateLevelList(levels, 50.0);
    QCOMPARE(valueText(*findResult(e.results, "n"), ","), std::string("100000"));
    QCOMPARE(valueText(*findResult(e.results, "sum"), ","), std::string("115,87"));
    QCOMPARE(valueText(*findResult(e.results, "mean"), ","), std::string("65,87"));
    QCOMPARE(valueText(*findResult(e.correctedResults, "sum"), ","), std::string("115,81"));
    QCOMPARE(e.corrections.size(), levels.size());
}

QTEST_APPLESS_MAIN(TestLevelList)
#include "tst_levellist.moc"
