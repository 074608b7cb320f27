// SPDX-License-Identifier: GPL-3.0-or-later
// An evaluation the program does not have, described inside this test: the
// mean of a column of reverberation times against a target value. Its help
// page comes from its description alone: its worked lines show the traced
// numbers, its results as the window writes them, their rating by the one
// rule, its named numbers in the user's decimal mark; the help knows no
// evaluation by name.

#include "companion.h"
#include "evaluationpage.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTextBrowser>

using namespace orvella;

namespace {

constexpr double kMostT = 0.6;  // s, the target value

EvaluationOutcome meanOfTimes(const EvaluationInput& in, std::string_view)
{
    EvaluationOutcome out;
    ResultValue mean = makeResultValue("Tm", "Tm", "T<sub>m</sub>", "mittlere Nachhallzeit", "s", 2);
    double total = 0.0;
    int n = 0;
    for (const auto& row : in.rows)
        if (!row.empty() && row.front()) {
            total += *row.front();
            ++n;
        }
    if (n == 0) {
        mean.note = "Keine Zeiten.";
    } else {
        out.trace = {{"total", total}, {"n", double(n)}, {"Tm", total / n}};
        mean.value = total / n;
    }
    out.results = {mean};
    return out;
}

const EvaluationModel& timesModel()
{
    static const EvaluationModel model{
        .id = "tstNachhall",
        .title = "Nachhallzeiten",
        .ownerTitle = "Probe",
        .columns = {{"T", "T", "T", "Nachhallzeit", "s", "", 2}},
        .results = {{"Tm", "Tm", "T<sub>m</sub>", "mittlere Nachhallzeit", "s", "", 2}},
        .evaluate = meanOfTimes,
        .handbook = {.answers = "Wie lang hallt es im Mittel? Ziel: höchstens {c:most} s."},
        .constants = {{"most", "", kMostT}},
        .steps = {{"total", "Σ T", "s", "Summe der Zeiten", ""}, {"n", "n", "", "Anzahl", ""}},
        .formulas = {{"Tm", "{s:total} / {s:n}", {}, ""}},
        .guidance = {"Probe", "für die Probe", {{"Tm", kMostT, Bound::AtMost, "T<sub>m</sub>", false}}},
    };
    return model;
}


}  // namespace

class TestAnyEvaluation : public QObject {
    Q_OBJECT
private slots:
    void pageFromTheDescription_data();
    void pageFromTheDescription();
    void helpWindowFollowsTheRows();
};

void TestAnyEvaluation::pageFromTheDescription_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QVector<double>>("rows");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("absent");
    // 0.5 + 0.8 = 1.3 s over 2: 0.65 s, over the target of 0.6 s.
    QTest::newRow("comma, target missed")
        << "," << QVector<double>{0.5, 0.8}
        << QStringList{"Nachhallzeiten – Probe", "höchstens 0,6 s", "1,3 / 2", "<b>0,65</b>", "<b>0,65</b> s",
                       "T<sub>m</sub> ≤ 0,6 s: nicht erfüllt", "Σ T"}
        << QStringList{"0.65", ": erfüllt"};
    QTest::newRow("point, target met") << "." << QVector<double>{0.5, 0.6}
                                       << QStringList{"1.1 / 2", "<b>0.55</b> s", "≤ 0.6 s: erfüllt"}
                                       << QStringList{"0,55", "nicht erfüllt"};
    QTest::newRow("no rows: the result says why") << "," << QVector<double>{}
                                                  << QStringList{"Keine Zeiten."}
                                                  << QStringList{"erfüllt", "(ungerundet)"};
}

void TestAnyEvaluation::pageFromTheDescription()
{
    QFETCH(QString, mark);
    QFETCH(QVector<double>, rows);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, absent);
    EvaluationInput in;
    for (double v : rows)
        in.rows.push_back({v});
    const QString page = evaluationPageHtml(timesModel(), in, mark);
    for (const QString& s : shown)
        QVERIFY2(page.contains(s), qPrintable(s + "\n" + page));
    for (const QString& s : absent)
        QVERIFY2(!page.contains(s), qPrintable(s));
}

// The program's help plugin opens the page for the evaluation's window and
// reads the rows again when the window says they changed.
void TestAnyEvaluation::helpWindowFollowsTheRows()
{
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    QWidget owner;
    owner.show();
    auto* link = new EvaluationLink(&owner);
    EvaluationInput rows;
    rows.rows = {{0.5}, {0.8}};
    QPointer<QWidget> help = openEvaluationHelp(&owner, timesModel(), [&] { return rows; }, link);
    QVERIFY(help);
    QCOMPARE(help->windowTitle(), QString("Hilfe – Nachhallzeiten"));
    auto* browser = help->findChild<QTextBrowser*>();
    QVERIFY(browser);
    QVERIFY(browser->toPlainText().contains("1.3 / 2") || browser->toPlainText().contains("1,3 / 2"));
    rows.rows.push_back({0.9});
    link->changed();
    QVERIFY(browser->toPlainText().contains("2.2 / 3") || browser->toPlainText().contains("2,2 / 3"));
    // F1 again raises the same window.
    QCOMPARE(openEvaluationHelp(&owner, timesModel(), [&] { return rows; }, link), help.data());
}

QTEST_MAIN(TestAnyEvaluation)
#include "tst_anyevaluation.moc"
