// SPDX-License-Identifier: GPL-3.0-or-later
// The help pages of the program's evaluations, rendered from their
// descriptions: the level list's page worked with the user's levels and
// background level, in the user's decimal mark, and the rules it states
// being the numbers its correction uses.

#include "evaluationpage.h"
#include "iso3382description.h"
#include "levellistdescription.h"

#include <QTest>

#include <cmath>

using namespace orvella;

namespace {

QString levelListPage(const QString& levels, double background, const QString& mark)
{
    EvaluationInput in;
    for (const QString& t : levels.split(u' ', Qt::SkipEmptyParts))
        in.rows.push_back({t.toDouble()});
    in.parameters = {std::isnan(background) ? std::nullopt : std::optional<double>(background)};
    // A unit is tied to its number on the page; the checks read plain blanks.
    return evaluationPageHtml(levelListModel(), in, mark).replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
}

}  // namespace

class TestEvaluationPages : public QObject {
    Q_OBJECT
private slots:
    void levelListWorkedWithTheLevels_data();
    void levelListWorkedWithTheLevels();
    void levelListStatesTheRules();
    void measurementWorkedAndRated();
};

void TestEvaluationPages::levelListWorkedWithTheLevels_data()
{
    QTest::addColumn<QString>("levels");
    QTest::addColumn<double>("background");  // NaN: none
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");
    const double none = std::nan("");
    // 60 + 10·lg 8 = 69.0309.
    QTest::newRow("8 × 60 dB, comma")
        << "60 60 60 60 60 60 60 60" << none << ","
        << QStringList{"n = 8 Pegel", "60 + 10 · lg 8", "<b>69,0309</b> dB", "<b>69,03</b> dB", "lg(8 / 8)",
                       "<b>60</b> dB", "480 / 8"}
        << QStringList{"69.03", "Fremdgeräusch L<sub>B</sub> ="};
    QTest::newRow("8 × 60 dB, point") << "60 60 60 60 60 60 60 60" << none << "."
                                      << QStringList{"<b>69.03</b> dB", "10<sup>0.1 · (L"}
                                      << QStringList{"69,03", "0,1 ·"};
    // 80 dB is 5 dB over 75 dB: K1 = 1.3 dB, and 78.7 dB only an upper bound.
    QTest::newRow("background: corrected and at the limit")
        << "70 80" << 75.0 << ","
        << QStringList{"L<sub>B</sub> = 75 dB", "ΔL = -5 dB", "ΔL = 5 dB · Grenze der Messung", "≤ 78,7 dB",
                       "K<sub>1</sub> = 1,3 dB"}
        << QStringList{};
    // K1 = −10·lg(1 − 10^−1) = 0.457575 dB.
    QTest::newRow("70 over 60 dB") << "70" << 60.0 << ","
                                   << QStringList{"K<sub>1</sub> = 0,457575 dB", "<b>69,54</b> dB", "· korrigiert ·"}
                                   << QStringList{"· Grenze der Messung ·"};
    QTest::newRow("a long list is cut") << "1 2 3 4 5 6 7 8 9 10" << none << ","
                                        << QStringList{"n = 10 Pegel", "8; …"}
                                        << QStringList{"; 9;"};
    QTest::newRow("a level beyond 300 dB") << "60 400" << none << "," << QStringList{"außerhalb von ±300 dB"}
                                           << QStringList{"400 + 10 · lg"};
    QTest::newRow("empty list") << "" << none << "," << QStringList{"Die Liste ist leer"} << QStringList{"n = 0"};
}

void TestEvaluationPages::levelListWorkedWithTheLevels()
{
    QFETCH(QString, levels);
    QFETCH(double, background);
    QFETCH(QString, mark);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);
    const QString html = levelListPage(levels, background, mark);
    for (const QString& s : shown)
        QVERIFY2(html.contains(s), qPrintable(s + "\n" + html));
    for (const QString& s : absent)
        QVERIFY2(!html.contains(s), qPrintable(s));
}

void TestEvaluationPages::levelListStatesTheRules()
{
    const QString html = levelListPage({}, std::nan(""), ",");
    for (const char* s : {"ΔL &gt; 15 dB", "6 dB &lt; ΔL ≤ 15 dB", "ΔL ≤ 6 dB", "K<sub>1</sub> = 1,3 dB",
                          "zwei Nachkommastellen", "keine Stellen vor", "ISO 3744", "ISO 10140-4", "±300 dB",
                          "Strg+Umschalt+C", "CSV speichern…"})
        QVERIFY2(html.contains(QString::fromUtf8(s)), s);
}

// Positions on an exact line: 60 dB at 1 m, 6 dB less per doubling, so
// D2,S = 6 dB and Lp,A,S,4m = 48 dB; the STI falls by 0.05 per m from 0.8:
// rD = 6 m, rP = 12 m. D2,S misses 7 dB, Lp,A,S,4m keeps 48 dB, rD misses 5 m.
void TestEvaluationPages::measurementWorkedAndRated()
{
    std::vector<PositionTexts> rows;
    for (double r : {2.0, 4.0, 8.0, 16.0})
        rows.push_back({QString::number(r).toStdString(), QString::number(60.0 - 6.0 * std::log2(r)).toStdString(),
                        QString::number(0.8 - 0.05 * r).toStdString(), "40"});
    const QString html = evaluationPageHtml(iso3382Model(), iso3382Input(rows), ",").replace(QStringLiteral("&nbsp;"), " ");
    for (const char* s : {"Messauswertung ISO 3382-3 – Großraumbüro DL2 Prognose", "<b>6</b> dB", "<b>48</b> dB",
                          "<b>6</b> m", "<b>12</b> m", "D<sub>2,S</sub> ≥ 7 dB: nicht erfüllt",
                          "L<sub>p,A,S,4m</sub> ≤ 48 dB: erfüllt", "r<sub>D</sub> ≤ 5 m: nicht erfüllt",
                          "log<sub>2</sub>(4)", "2 m ≤ r ≤ 16 m",
                          "Stufe 1 mit D<sub>2,S</sub> ≥ 8 dB und L<sub>p,A,S,4m</sub> ≤ 47 dB",
                          "Stufe 3 mit D<sub>2,S</sub> ≥ 4 dB und L<sub>p,A,S,4m</sub> ≤ 51 dB",
                          "braucht mehrere Messpfade, die Nachhallzeit und den Hintergrundgeräuschpegel"})
        QVERIFY2(html.contains(QString::fromUtf8(s)), s);
}

QTEST_APPLESS_MAIN(TestEvaluationPages)
#include "tst_evaluationpages.moc"
