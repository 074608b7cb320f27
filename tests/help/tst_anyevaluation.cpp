// SPDX-License-Identifier: GPL-3.0-or-later
// An evaluation the program does not have, described inside this test: the
// mean of a column of reverberation times against a target value. Its help
// page comes from its description alone: its worked lines show the traced
// numbers, its results as the window writes them, their rating by the one
// rule, its named numbers in the user's decimal mark; the help knows no
// evaluation by name. Its window, built on the kit, keeps its list in the
// program's Verlauf: one entry, replaced as the list grows, and reopened
// with its rows.

#include "companion.h"
#include "evaluationhistory.h"
#include "evaluationpage.h"
#include "historyservice.h"

#include <QApplication>
#include <QPointer>
#include <QTableView>
#include <QTemporaryDir>
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

// The calculator whose companion the evaluation is.
const CalculatorModel& ownerModel()
{
    static const CalculatorModel model{.id = "tstProbe", .window = "tstProbe", .title = "Probe",
                                       .companions = {{"Nachhallzeiten…", "", "orvella_tstnachhall", "tstNachhall"}}};
    return model;
}

// The evaluation's window: its rows, and its list kept in the Verlauf.
class TimesWindow : public QWidget {
public:
    explicit TimesWindow(const CompanionRequest& request) : link_(new EvaluationLink(this))
    {
        new EvaluationHistory(
            this, timesModel(), request, link_, [this] { return EvaluationSnapshot{.input = input}; },
            [this](const EvaluationSnapshot& s) { input = s.input; });
    }
    void type(double t)
    {
        input.rows.push_back({t});
        link_->changed();
    }
    EvaluationInput input;

private:
    EvaluationLink* link_;
};

TimesWindow* openTimes(const CompanionRequest& request)
{
    return static_cast<TimesWindow*>(
        openEvaluationCompanion(request, "times", [&request] { return new TimesWindow(request); }));
}

}  // namespace

class TestAnyEvaluation : public QObject {
    Q_OBJECT
private slots:
    void pageFromTheDescription_data();
    void pageFromTheDescription();
    void helpWindowFollowsTheRows();
    void verlaufEntryFollowsTheListAndReopens();
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

// The program's history plugin: the list is one entry, replaced as it
// grows; opened again from it, the window has every row, and its next row
// replaces the same entry.
void TestAnyEvaluation::verlaufEntryFollowsTheListAndReopens()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qputenv("XDG_DATA_HOME", home.filePath("share").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    HistoryService* history = loadHistoryService();
    QVERIFY(history);
    QWidget owner;
    owner.show();
    CompanionRequest request;
    request.owner = &owner;
    request.link = new EvaluationLink(&owner);
    request.models = request.allModels = {&ownerModel()};
    std::shared_ptr<const EvaluationSnapshot> handed;
    request.recordEvaluation = [&](std::shared_ptr<const EvaluationSnapshot> s) {
        handed = s;
        history->recordEvaluation(std::move(s));
    };
    TimesWindow* times = openTimes(request);
    QWidget* verlauf = loadCompanionPlugin("orvella_history")->open(request);
    QVERIFY(verlauf);
    const QAbstractItemModel* entries = verlauf->findChild<QTableView*>("verlaufTable")->model();
    const auto shown = [entries](int column) { return entries->index(0, column).data().toString().replace(',', '.'); };

    times->type(0.5);
    times->type(0.8);
    QTRY_COMPARE(entries->rowCount(), 1);
    QCOMPARE(shown(1), QString("Nachhallzeiten (Probe)"));
    QVERIFY2(shown(2).startsWith("Zeilen: 2") && shown(3).contains("0.65 s"), qPrintable(shown(2) + shown(3)));
    times->type(0.9);
    QTRY_VERIFY2(shown(3).contains("0.73 s"), qPrintable(shown(3)));
    QCOMPARE(entries->rowCount(), 1);

    QWidget another;
    CompanionRequest reopening = request;
    reopening.owner = &another;
    reopening.reopen = std::make_shared<const CalculationRecord>(recordOf(*handed));
    TimesWindow* reopened = openTimes(reopening);
    QVERIFY(reopened != times);
    QVERIFY(reopened->input.rows == times->input.rows);
    reopened->type(1.0);
    QTRY_VERIFY2(shown(3).contains("0.8 s"), qPrintable(shown(3)));
    QCOMPARE(entries->rowCount(), 1);
}

QTEST_MAIN(TestAnyEvaluation)
#include "tst_anyevaluation.moc"
