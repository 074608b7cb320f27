// SPDX-License-Identifier: GPL-3.0-or-later
// Evaluation of a measurement of speech propagation along a line of work
// stations: the rows as typed, the results as written, the rating.

#include "checked.h"
#include "iso3382eval.h"

#include "coretesting.h"

#include <QTest>

#include <cmath>
#include <utility>

using namespace orvella;

namespace {

// Rows as "r;Lp,A,S;STI;Lp,A,B/r;...", cells as the user types them.
std::vector<PositionTexts> rowsOf(const QString& table)
{
    std::vector<PositionTexts> rows;
    for (const QString& line : table.split('/', Qt::SkipEmptyParts)) {
        const QStringList c = line.split(';');
        const auto cell = [&](int i) { return i < c.size() ? c[i].toStdString() : std::string(); };
        rows.push_back({cell(0), cell(1), cell(2), cell(3)});
    }
    return rows;
}

// The worked example: r 2 to 16 m, Lp,A,S 54 to 33 dB, STI 0.72 to 0.16.
const QString kWorked = "2;54;0,72/4;47;0,64/5;44,75;0,60/8;40;0,48/10;37,75;0,40/16;33;0,16";

// The results in their order (D2,S, Lp,A,S,4m, rC, rD, rP, Lp,A,B, n) as
// written with a decimal comma.
QString resultsText(const Iso3382Evaluation& e)
{
    QStringList out;
    for (const ResultValue& r : e.results)
        out << QString::fromStdString(valueText(r, ","));
    return out.join('|');
}

}  // namespace

class TestIso3382Eval : public QObject {
    Q_OBJECT
private slots:
    void workedExample();
    void evaluations_data();
    void evaluations();
    void positions_data();
    void positions();
    void rating_data();
    void rating();
    void propagationLevel_data();
    void propagationLevel();
    void regressionLines();
    void thousandPositions();
    void germanLocaleChangesNothing();
};

void TestIso3382Eval::workedExample()
{
    const Iso3382Evaluation e = evaluateIso3382(rowsOf(kWorked), ",");
    QCOMPARE(resultsText(e), QString("7|47|4,9|7,5|15|–|6"));
    // The unrounded values, worked by hand on centred sums: the levels at 5
    // and 10 m lie 0.003 dB above the line 54 − 7·(log2 r − 1), so D2,S is
    // a little below 7; the STI lies exactly on 0.80 − 0.04·r.
    QVERIFY(std::fabs(*findResult(e.results, "D2S")->value - 6.9997338) < 1e-6);
    QVERIFY(std::fabs(*findResult(e.results, "Lp4m")->value - 47.0010039) < 1e-6);
    QVERIFY(std::fabs(*findResult(e.results, "rC")->value - 4.8765761) < 1e-6);
    QVERIFY(std::fabs(*findResult(e.results, "rD")->value - 7.5) < 1e-9);
    QVERIFY(std::fabs(*findResult(e.results, "rP")->value - 15.0) < 1e-9);
    for (const char* key : {"D2S", "Lp4m", "rC", "rD", "rP", "n"})
        QVERIFY2(findResult(e.results, key)->note.empty(), key);
    QCOMPARE(valueText(*findResult(e.results, "rC"), "."), std::string("4.9"));
    QCOMPARE(findResult(e.results, "rC")->quantity.unit, std::string("m"));
    QCOMPARE(findResult(e.results, "D2S")->quantity.decimals, 1);
}

void TestIso3382Eval::evaluations_data()
{
    QTest::addColumn<QString>("table");
    // D2,S | Lp,A,S,4m | rC | rD | rP | Lp,A,B | n
    QTest::addColumn<QString>("results");
    // A part of each result's note, in the same order; empty: no note.
    QTest::addColumn<QString>("notes");

    const QString noBackground = "Keine Hintergrundpegel";
    QTest::newRow("worked example") << kWorked << "7|47|4,9|7,5|15|–|6" << "|||||" + noBackground + "|";
    QTest::newRow("positions at 1 m and 20 m ignored")
        << "1;61;0,76/" + kWorked + "/20;26;0,0" << "7|47|4,9|7,5|15|–|6" << "|||||" + noBackground + "|";
    QTest::newRow("three positions are too few")
        << "2;54;0,72/4;47;0,64/8;40;0,48"
        << "–|–|–|–|–|–|3"
        << "Nur 3 Positionen zwischen 2 m und 16 m; mindestens 4|Nur 3 Positionen|Nur 3 Positionen"
           "|Nur 3 Positionen mit STI|Nur 3 Positionen mit STI|" + noBackground + "|mindestens 4";
    QTest::newRow("no position in range")
        << "1;61/20;26/0;50" << "–|–|–|–|–|–|0"
        << "Keine Position zwischen|Keine Position|Keine Position|Keine STI-Werte|Keine STI-Werte|"
           + noBackground + "|Keine Position";
    QTest::newRow("STI rising with distance: no rD, no rP")
        << "2;54;0,16/4;47;0,40/5;44,75;0,48/8;40;0,60/10;37,75;0,64/16;33;0,72"
        << "7|47|4,9|–|–|–|6" << "|||nimmt mit der Entfernung nicht ab|nimmt mit der Entfernung nicht ab|"
                                 + noBackground + "|";
    QTest::newRow("flat level: D2,S 0, no comfort distance")
        << "2;50/4;50/8;50/16;50" << "0|50|–|–|–|–|4"
        << "||Sprachpegel nimmt mit der Entfernung nicht ab|Keine STI-Werte|Keine STI-Werte|" + noBackground + "|";
    // STI 0.90 − 0.04·r over 2 to 10 m: rD at 10 m (the last position),
    // rP at 17.5 m beyond it.
    QTest::newRow("rP beyond the largest distance: extrapolated")
        << "2;54;0,82/4;47;0,74/5;44,75;0,70/8;40;0,58/10;37,75;0,50"
        << "7|47|4,9|10|17,5|–|5" << "||||extrapoliert|" + noBackground + "|";
    // Only positions from 8 m: 4 m and the comfort distance lie before them.
    QTest::newRow("positions from 8 m: Lp,A,S,4m and rC extrapolated")
        << "8;40/10;37,75/12;35,91/16;33" << "7|47|4,9|–|–|–|4"
        << "|extrapoliert|extrapoliert|Keine STI-Werte|Keine STI-Werte|" + noBackground + "|";
    // STI 0.45 − 0.025·r: 0.50 lies at −2 m, 0.20 at 10 m beyond 8 m.
    QTest::newRow("STI below 0.50 everywhere: no rD")
        << "2;54;0,40/4;47;0,35/6;42,91;0,30/8;40;0,25"
        << "7|47|4,9|–|10|–|4" << "|||schon bei 0 m unter STI = 0,5|extrapoliert|" + noBackground + "|";
    QTest::newRow("empty STI column: the rest computed")
        << "2;54/4;47/5;44,75/8;40/10;37,75/16;33" << "7|47|4,9|–|–|–|6"
        << "|||Keine STI-Werte angegeben|Keine STI-Werte angegeben|" + noBackground + "|";
    QTest::newRow("STI only at two positions")
        << "2;54;0,72/4;47/5;44,75/8;40;0,48/10;37,75/16;33" << "7|47|4,9|–|–|–|6"
        << "|||Nur 2 Positionen mit STI|Nur 2 Positionen mit STI|" + noBackground + "|";
    QTest::newRow("all rows at one distance")
        << "5;44;0,6/5;45;0,61/5;46;0,59/5;44,5;0,6" << "–|–|–|–|–|–|4"
        << "derselben Entfernung|derselben Entfernung|derselben Entfernung|derselben Entfernung"
           "|derselben Entfernung|" + noBackground + "|";
    QTest::newRow("empty table") << "" << "–|–|–|–|–|–|0"
                                 << "Keine Messpositionen|Keine Messpositionen|Keine Messpositionen"
                                    "|Keine Messpositionen|Keine Messpositionen|Keine Messpositionen|";
    QTest::newRow("only empty rows") << ";;;/ ; ; ; " << "–|–|–|–|–|–|0"
                                     << "Keine Messpositionen|Keine Messpositionen|Keine Messpositionen"
                                        "|Keine Messpositionen|Keine Messpositionen|Keine Messpositionen|";
    // 10·lg((10^3.5 + 10^4.5) / 2) = 10·lg((3162.28 + 31622.78) / 2)
    // = 10·lg 17392.53 = 42.40 dB.
    QTest::newRow("background 35 and 45 dB: energetic mean 42.4 dB")
        << "2;54;0,72;35/4;47;0,64/5;44,75;0,60;45/8;40;0,48/10;37,75;0,40/16;33;0,16"
        << "7|47|4,9|7,5|15|42,4|6" << "||||||";
    QTest::newRow("background of a position outside the range counts")
        << kWorked + "/20;26;;45" << "7|47|4,9|7,5|15|45|6" << "||||||";
    QTest::newRow("bad cells: their rows left out, the rest unchanged")
        << kWorked + "/0;50;0,5/6;45;1,2/7;250;0,5/abc;45/9;;0,5/3;44;;300/3;1.000,5"
        << "7|47|4,9|7,5|15|–|6" << "|||||" + noBackground + "|";
}

void TestIso3382Eval::evaluations()
{
    QFETCH(QString, table);
    QFETCH(QString, results);
    QFETCH(QString, notes);
    const Iso3382Evaluation e = evaluateIso3382(rowsOf(table), ",");
    QCOMPARE(resultsText(e), results);
    const QStringList expected = notes.split('|');
    QCOMPARE(expected.size(), int(e.results.size()));
    for (std::size_t i = 0; i < e.results.size(); ++i) {
        const QString note = QString::fromStdString(e.results[i].note);
        const QString& part = expected[int(i)];
        QVERIFY2(part.isEmpty() ? note.isEmpty() : note.contains(part),
                 qPrintable(QString::fromStdString(e.results[i].quantity.key) + ": " + note));
        // A result without a value always says why.
        QVERIFY(e.results[i].value || !note.isEmpty());
    }
    QCOMPARE(e.positions.size(), rowsOf(table).size());
}

void TestIso3382Eval::positions_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("use");
    QTest::addColumn<QString>("marked");  // r, Lp,A,S, STI, Lp,A,B
    QTest::addColumn<QString>("note");
    const int used = int(PositionUse::Used), outside = int(PositionUse::OutsideRange);
    const int leftOut = int(PositionUse::LeftOut), empty = int(PositionUse::Empty);
    QTest::newRow("complete row") << "5;44,75;0,6;40" << used << "0000" << "";
    QTest::newRow("STI and background empty") << "5;44" << used << "0000" << "";
    QTest::newRow("decimal points") << "5.5;44.25;0.61" << used << "0000" << "";
    QTest::newRow("2 m is inside") << "2;54" << used << "0000" << "";
    QTest::newRow("16 m is inside") << "16;33" << used << "0000" << "";
    QTest::newRow("STI 0 and level -200 dB are allowed") << "8;-200;0;200" << used << "0000" << "";
    QTest::newRow("STI 1 is allowed") << "8;40;1" << used << "0000" << "";
    QTest::newRow("1 m: outside the range") << "1;61;0,76" << outside << "0000" << "Außerhalb von 2 m bis 16 m";
    QTest::newRow("1.99 m: outside") << "1,99;61" << outside << "0000" << "Außerhalb";
    QTest::newRow("20 m: outside") << "20;26" << outside << "0000" << "Außerhalb";
    QTest::newRow("r 0") << "0;50;0,5" << leftOut << "1000" << "größer als 0 m";
    QTest::newRow("r negative") << "-3;50" << leftOut << "1000" << "größer als 0 m";
    QTest::newRow("STI 1.2") << "6;45;1,2" << leftOut << "0010" << "zwischen 0 und 1";
    QTest::newRow("STI negative") << "6;45;-0,1" << leftOut << "0010" << "zwischen 0 und 1";
    QTest::newRow("level 250 dB") << "7;250;0,5" << leftOut << "0100" << "±200 dB";
    QTest::newRow("background 300 dB") << "7;50;;300" << leftOut << "0001" << "±200 dB";
    QTest::newRow("text for r") << "abc;45" << leftOut << "1000" << "r: Keine Zahl";
    QTest::newRow("thousands form") << "3;1.000,5" << leftOut << "0100" << "Tausendertrennzeichen";
    QTest::newRow("level missing") << "9;;0,5" << leftOut << "0100" << "Lp,A,S fehlt";
    QTest::newRow("r missing") << ";50" << leftOut << "1000" << "r fehlt";
    QTest::newRow("two bad cells: both marked, both named") << "0;250" << leftOut << "1100" << "0 m sein. Lp,A,S";
    QTest::newRow("all cells empty") << ";;;" << empty << "0000" << "";
    QTest::newRow("blanks only") << " ; ;  ; " << empty << "0000" << "";
}

void TestIso3382Eval::positions()
{
    QFETCH(QString, row);
    QFETCH(int, use);
    QFETCH(QString, marked);
    QFETCH(QString, note);
    const PositionRow p = readPosition(rowsOf(row).at(0), ",");
    QCOMPARE(int(p.use), use);
    QString m;
    for (const bool b : p.marked)
        m += b ? '1' : '0';
    QCOMPARE(m, marked);
    const QString n = QString::fromStdString(p.note);
    QVERIFY2(note.isEmpty() ? n.isEmpty() : n.contains(note), qPrintable(n));
    if (use == int(PositionUse::LeftOut)) {
        QVERIFY(n.startsWith("Nicht ausgewertet"));
        QVERIFY(!p.distanceM && !p.speechLevelDb && !p.sti && !p.backgroundDb);
    }
    if (use == int(PositionUse::Used) || use == int(PositionUse::OutsideRange))
        QVERIFY(p.distanceM && p.speechLevelDb);
}

void TestIso3382Eval::rating_data()
{
    // Positions at 2, 4, 8 and 16 m on exact lines: Lp,A,S = L4 + D·(2 − log2 r),
    // STI = 0.5 + 0.04·(rD − r). Each value is rated as it is shown.
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("rating");  // D2,S | Lp,A,S,4m | rD: + met, - missed, ? none
    QTest::newRow("6.96 dB shown as 7.0 meets D2,S ≥ 7 dB")
        << "2;54,96;0,7/4;48;0,62/8;41,04;0,46/16;34,08;0,14" << "++-";
    QTest::newRow("6.94 dB shown as 6.9 misses it")
        << "2;54,94;0,7/4;48;0,62/8;41,06;0,46/16;34,12;0,14" << "-+-";
    QTest::newRow("48.04 dB shown as 48.0 meets Lp,A,S,4m ≤ 48 dB")
        << "2;55,04;0,7/4;48,04;0,62/8;41,04;0,46/16;34,04;0,14" << "++-";
    QTest::newRow("48.06 dB shown as 48.1 misses it")
        << "2;55,06;0,7/4;48,06;0,62/8;41,06;0,46/16;34,06;0,14" << "+--";
    QTest::newRow("rD 5.04 m shown as 5.0 meets rD ≤ 5 m")
        << "2;55;0,6216/4;48;0,5416/8;41;0,3816/16;34;0,0616" << "+++";
    QTest::newRow("rD 5.06 m shown as 5.1 misses it")
        << "2;55;0,6224/4;48;0,5424/8;41;0,3824/16;34;0,0624" << "++-";
    QTest::newRow("nothing determinable: no rating") << "2;55/4;48" << "???";
}

void TestIso3382Eval::rating()
{
    QFETCH(QString, table);
    QFETCH(QString, rating);
    const Iso3382Evaluation e = evaluateIso3382(rowsOf(table), ",");
    QCOMPARE(e.rating.size(), std::size_t(3));
    QString shown;
    for (const TargetRating& t : e.rating)
        shown += !t.met ? '?' : *t.met ? '+' : '-';
    QCOMPARE(shown, rating);
    QCOMPARE(QString::fromStdString(e.rating[0].requirement), QString("D2,S ≥ 7 dB"));
    QCOMPARE(QString::fromStdString(e.rating[1].requirement), QString("Lp,A,S,4m ≤ 48 dB"));
    QCOMPARE(QString::fromStdString(e.rating[2].requirement), QString("rD ≤ 5 m"));
}

namespace {

// Positions at 2, 4, 8 and 16 m on the exact line Lp,A,S = L4 + D·(2 − log2 r).
QString pathOf(double decay, double level4m)
{
    QStringList rows;
    for (const auto& [r, doublings] : {std::pair(2, -1), std::pair(4, 0), std::pair(8, 1), std::pair(16, 2)})
        rows << QStringLiteral("%1;%2").arg(r).arg(level4m - decay * doublings, 0, 'f', 2);
    return rows.join('/').replace('.', ',');
}

}  // namespace

void TestIso3382Eval::propagationLevel_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("level");  // -1: not determinable
    QTest::newRow("8 dB, 47 dB: level 1") << pathOf(8.0, 47.0) << 1;
    QTest::newRow("7.96 dB and 47.04 dB shown as 8 and 47: level 1") << pathOf(7.96, 47.04) << 1;
    QTest::newRow("7.94 dB shown as 7.9: level 2") << pathOf(7.94, 47.0) << 2;
    QTest::newRow("47.06 dB shown as 47.1: level 2") << pathOf(8.0, 47.06) << 2;
    QTest::newRow("6 dB, 49 dB: level 2") << pathOf(6.0, 49.0) << 2;
    QTest::newRow("5.94 dB: level 3") << pathOf(5.94, 45.0) << 3;
    QTest::newRow("49.06 dB: level 3") << pathOf(9.0, 49.06) << 3;
    QTest::newRow("4 dB, 51 dB: level 3") << pathOf(4.0, 51.0) << 3;
    QTest::newRow("3.96 dB shown as 4: level 3") << pathOf(3.96, 51.04) << 3;
    QTest::newRow("3.94 dB: none") << pathOf(3.94, 45.0) << 0;
    QTest::newRow("51.06 dB: none") << pathOf(10.0, 51.06) << 0;
    QTest::newRow("rising level: none") << pathOf(-2.0, 45.0) << 0;
    QTest::newRow("too few positions: not determinable") << "2;55/4;48" << -1;
}

void TestIso3382Eval::propagationLevel()
{
    QFETCH(QString, table);
    QFETCH(int, level);
    const Iso3382Evaluation e = evaluateIso3382(rowsOf(table), ",");
    QCOMPARE(e.propagationLevel.value_or(-1), level);
}

void TestIso3382Eval::regressionLines()
{
    const Iso3382Evaluation e = evaluateIso3382(rowsOf("1;61/" + kWorked), ".");
    QVERIFY(e.speechLevelLine && e.stiLine);
    const RegressionLine& level = *e.speechLevelLine;
    QVERIFY(level.overLog2Distance);
    QCOMPARE(level.points, 6);  // the position at 1 m is not in it
    QCOMPARE(level.fromM, 2.0);
    QCOMPARE(level.toM, 16.0);
    QCOMPARE(-level.slope, *findResult(e.results, "D2S")->value);
    QCOMPARE(level.at(4.0), *findResult(e.results, "Lp4m")->value);
    QVERIFY(std::fabs(level.at(2.0) - 54.0) < 0.01);
    QVERIFY(std::fabs(level.at(16.0) - 33.0) < 0.01);
    QVERIFY_THROWS_EXCEPTION(ArithmeticError, level.at(0.0));

    const RegressionLine& sti = *e.stiLine;
    QVERIFY(!sti.overLog2Distance);
    QVERIFY(std::fabs(sti.slope + 0.04) < 1e-12);
    QVERIFY(std::fabs(sti.intercept - 0.80) < 1e-12);
    QVERIFY(std::fabs(sti.at(7.5) - 0.5) < 1e-12);
    QCOMPARE(sti.points, 6);
}

void TestIso3382Eval::thousandPositions()
{
    // 1000 positions on Lp,A,S = 54 − 7·log2(r / 2 m) and STI 0.80 − 0.04·r,
    // written with 17 significant digits.
    std::vector<PositionTexts> rows;
    for (int i = 0; i < 1000; ++i) {
        const double r = 2.0 + 14.0 * i / 999.0;
        rows.push_back({QString::number(r, 'g', 17).toStdString(),
                        QString::number(54.0 - 7.0 * std::log2(r / 2.0), 'g', 17).toStdString(),
                        QString::number(0.80 - 0.04 * r, 'g', 17).toStdString(), "40"});
    }
    const Iso3382Evaluation e = evaluateIso3382(rows, ",");
    QCOMPARE(resultsText(e), QString("7|47|4,9|7,5|15|40|1000"));
    QVERIFY(std::fabs(*findResult(e.results, "D2S")->value - 7.0) < 1e-9);
}

void TestIso3382Eval::germanLocaleChangesNothing()
{
    // Under German settings of the C library the texts are read and written
    // as under C: the decimal mark is the one passed in.
    QString comma;
    Iso3382Evaluation e;
    {
        const test::CLocaleScope german("de_DE.UTF-8");
        if (!german.available())
            QSKIP("the locale de_DE.UTF-8 is not generated here");
        comma = resultsText(evaluateIso3382(rowsOf(kWorked), ","));
        e = evaluateIso3382(rowsOf(QString(kWorked).replace(',', '.')), ".");
    }
    QCOMPARE(comma, QString("7|47|4,9|7,5|15|–|6"));
    QCOMPARE(valueText(*findResult(e.results, "rC"), "."), std::string("4.9"));
    QCOMPARE(valueText(*findResult(e.results, "rD"), "."), std::string("7.5"));
}

QTEST_APPLESS_MAIN(TestIso3382Eval)
#include "tst_iso3382eval.moc"
