// SPDX-License-Identifier: GPL-3.0-or-later
// A calculator the program does not have, described and built inside this
// test: the U-value of one layer. Its window comes from the same factory as
// the program's calculators, and F1 and F2 open the help and the study
// through the program's own commands and plugins. They show its numbers, its
// formula, the reason its step fails and its guidance value, all from its
// description: the help and the study know no calculator by name.

#include "checked.h"
#include "companions.h"
#include "form.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QGraphicsView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>

using namespace orvella;
using namespace orvella::test;

namespace {

// Rsi + Rse of an outer wall, m²K/W.
constexpr double kSurfaceResistance = 0.17;
// The most the U-value may be, W/(m²K).
constexpr double kMostU = 0.24;

// R = d / λ, then U = 1 / (Rs + R); λ = 0 stops in "R".
std::vector<double> computeU(const std::vector<double>& in, Trace* trace)
{
    const Real r = step(trace, "R", [&] { return (Real(in[0]) / in[1]).value(); });
    return {step(trace, "U", [&] { return (Real(1.0) / (Real(kSurfaceResistance) + r)).value(); })};
}

std::vector<FormulaLine> uLines(const Evaluation*)
{
    return {{"R", "{i:d} / {i:lambda}", {}, {}}, {"U", "1 / ({c:rs} + {s:R})", {}, "mit R<sub>s</sub> = {c:rs}"}};
}

const CalculatorModel& uModel()
{
    static const CalculatorModel model{
        .id = "tstUWert",
        .window = "tstUWert",
        .title = "U-Wert einer Schicht",
        .calculateButton = "cmdRun_U",
        .calculateCaption = "  U-Wert   berechnen",
        .inputs = {makeInput("d", "d", "d", "Schichtdicke", "m", "txDicke", {0.05, 0.5, Spacing::Linear}),
                   makeInput("lambda", "λ", "λ", "Wärmeleitfähigkeit", "W/(mK)", "txLambda",
                             {0.02, 2.0, Spacing::Logarithmic})},
        .results = {makeResult("U", "U", "U", "Wärmedurchgangskoeffizient", "W/(m²K)", "txU", 2)},
        .compute = computeU,
        .handbook = {.answers = "Wie gut dämmt eine Schicht?",
                     .forWhom = "Für die Probe.",
                     .assumptions = "<p>Mit R<sub>si</sub> + R<sub>se</sub> = {c:rs} m²K/W.</p>",
                     .limits = "<p>Eine Wärmeleitfähigkeit von 0 hat keinen Wert.</p>",
                     .onStop = frameStopBehaviour("  U-Wert   berechnen")},
        .constants = {{"rs", "R<sub>s</sub>", kSurfaceResistance}},
        .steps = {{"R", "R", "m²K/W", "Wärmedurchlasswiderstand der Schicht", "beim Widerstand R = d / λ"}},
        .formulas = uLines,
        .stopReasons = {{"R", {ArithmeticFault::DivisionByZero}, "weil die Wärmeleitfähigkeit λ 0 ist"}},
        .guidance = {"GEG", "für Außenwände", {{"U", kMostU, Bound::AtMost, "U<sub>max</sub>", false}}},
    };
    return model;
}

WindowDesign uDesign()
{
    using K = ControlKind;
    return {"tstUWert",
            "Orvella",
            4200,
            2700,
            {
                {"Frame1", K::Frame, {}, "U-Wert", 120, 120, 3960, 1900, 1, kRegular},
                {"txDicke", K::TextBox, "Frame1", "0,24", 2760, 300, 1000, 375, 2, kBold},
                {"txLambda", K::TextBox, "Frame1", "0.04", 2760, 780, 1000, 375, 3, kBold},
                {"cmdRun_U", K::Button, "Frame1", QString::fromStdString(uModel().calculateCaption), 240, 1260,
                 2400, 375, 4, kRegular},
                {"txU", K::TextBox, "Frame1", "0", 2760, 1260, 1000, 375, 5, kBold},
                closeButton(120, 2160, 3960, 375, 0),
            }};
}

// The companion of `owner` with this object name, after `key` in the owner.
QWidget* pressFor(QWidget* owner, Qt::Key key, const char* companion)
{
    QTest::keyClick(owner->focusWidget(), key);
    return owner->findChild<QWidget*>(QLatin1String(companion), Qt::FindDirectChildrenOnly);
}

QString pageOf(const QWidget* help)
{
    const auto* browser = help ? help->findChild<QTextBrowser*>(QStringLiteral("helpBrowser")) : nullptr;
    return browser ? browser->toPlainText() : QString();
}

QStringList rowOf(const QWidget* study, int row)
{
    const QAbstractItemModel* m = study->findChild<QTableView*>(QStringLiteral("table"))->model();
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c)
        cells << m->index(row, c).data().toString();
    return cells;
}

}  // namespace

class TestAnyCalculator : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void helpAndStudyFromTheDescription_data();
    void helpAndStudyFromTheDescription();
};

void TestAnyCalculator::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installCompanionCommands();
}

void TestAnyCalculator::helpAndStudyFromTheDescription_data()
{
    QTest::addColumn<QString>("mark");
    QTest::newRow("decimal point") << "point";
    QTest::newRow("decimal comma") << "comma";
}

void TestAnyCalculator::helpAndStudyFromTheDescription()
{
    QFETCH(QString, mark);
    const LocaleScope locale(localeNamed(mark));
    const auto n = [&](const char* text) { return inLocale(QString::fromLatin1(text), mark); };

    std::unique_ptr<CalculatorForm> form = makeFormulaForm([] {}, uDesign, uModel());
    form->show();
    QWidget* w = form->window();
    QVERIFY(QTest::qWaitForWindowActive(w));
    click(w, "cmdRun_U");
    // 1 / (0.17 + 0.24 / 0.04) = 0.16207
    QCOMPARE(textOf(w, "txU"), n("0.16"));

    QWidget* help = pressFor(w, Qt::Key_F1, "helpWindow");
    QVERIFY(help);
    QCOMPARE(help->windowTitle(), QString("Hilfe und Rechenweg – U-Wert einer Schicht"));
    QString page = pageOf(help);
    const QStringList worked{
        "Wie gut dämmt eine Schicht?",
        "Wärmedurchlasswiderstand der Schicht",
        n("0.24 / 0.04"),
        n("1 / (0.17 + 6)"),
        "Ergebnis: Wärmedurchgangskoeffizient U = " + n("0.16") + " W/(m²K)",
        "sobald „U-Wert berechnen“ gedrückt wird",
        "Richtwerte nach GEG für Außenwände: U = " + n("0.16") + " W/(m²K) erfüllt Umax ≤ " + n("0.24") + " W/(m²K).",
        "Rsi + Rse = " + n("0.17") + " m²K/W",
        "mit Rs = " + n("0.17"),
    };
    for (const QString& phrase : worked)
        QVERIFY2(page.contains(phrase), qPrintable(phrase + "\n---\n" + page));
    QVERIFY(!page.contains("Keine endliche Lösung"));

    QWidget* study = pressFor(w, Qt::Key_F2, "studyWindow");
    QVERIFY(study);
    QCOMPARE(study->windowTitle(), QString("Parameterstudie – U-Wert einer Schicht"));
    auto* variable = study->findChild<QComboBox*>(QStringLiteral("variable"));
    QCOMPARE(variable->count(), 2);
    variable->setCurrentIndex(0);
    // d from 0.05 to 0.5 m: U = 1 / (0.17 + 1.25) = 0.704 and 1 / (0.17 + 12.5) = 0.0789.
    QTRY_COMPARE(rowOf(study, 0), (QStringList{n("0.05"), n("0.7")}));
    QCOMPARE(rowOf(study, 100), (QStringList{n("0.5"), n("0.08")}));
    bool guideDrawn = false;
    for (const QGraphicsItem* item : study->findChild<QGraphicsView*>(QStringLiteral("chart"))->scene()->items())
        if (item->type() == QGraphicsTextItem::Type)
            guideDrawn = guideDrawn || static_cast<const QGraphicsTextItem*>(item)->toPlainText() ==
                                           "GEG: Umax = " + n("0.24") + " W/(m²K)";
    QVERIFY(guideDrawn);

    // λ = 0: the calculation stops in its one step that can fail.
    setTextOf(w, "txLambda", "0");
    click(w, "cmdRun_U");
    QCOMPARE(textOf(w, "txU"), n("0.16"));
    page = pageOf(help);
    QVERIFY2(page.contains("Keine endliche Lösung: Die Rechnung bricht beim Widerstand R = d / λ ab, weil die "
                           "Wärmeleitfähigkeit λ 0 ist."),
             qPrintable(page));
    QVERIFY(page.contains("zeigt am Knopf „U-Wert berechnen“ den Hinweis „Berechnung nicht möglich"));
    QVERIFY(!page.contains("Ergebnis:"));
    // Every point of the study has no answer now.
    QTRY_COMPARE(rowOf(study, 0), (QStringList{n("0.05"), "–"}));

    form.reset();
    processDeferredDeletes();
}

QTEST_MAIN(TestAnyCalculator)
#include "tst_anycalculator.moc"
