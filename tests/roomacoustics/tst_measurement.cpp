// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement evaluation after ISO 3382-3 as a user works it, beside the
// real prognosis window: typing, pasting, editing and deleting rows, the
// results, rating and chart that follow, bad cells marked and nothing lost,
// CSV files written and read in both decimal marks and in a foreign
// encoding, a file that cannot be written, the PDF report's text, the
// copied results, the help page, and the window closing with its calculator.

#include "companions.h"
#include "evaluationrecord.h"
#include "frmdlprognose.h"
#include "measurementchart.h"
#include "measurementtable.h"
#include "measurementwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace orvella;
using namespace orvella::test;

namespace {

// The worked example, as copied from a spreadsheet under German settings:
// a header line, tabs, decimal commas; no background levels.
const QString kWorkedPaste = QStringLiteral(
    "r [m]\tLp,A,S [dB]\tSTI\n2\t54\t0,72\n4\t47\t0,64\n5\t44,75\t0,60\n8\t40\t0,48\n10\t37,75\t0,40\n16\t33\t0,16\n");

// An office that misses every target: the level falls by 4 dB per doubling
// from 54 dB at 4 m, the STI falls slowly; with background levels.
const QString kPoorPaste = QStringLiteral(
    "2;58;0,85;38\n4;54;0,78;40\n8;50;0,66;39\n11,3;48;0,58;41\n16;46;0,50;40\n24;44;0,40;42\n");

// The results' values as the window shows them, in their order (D2,S,
// Lp,A,S,4m, rC, rD, rP, Lp,A,B, n).
QStringList resultValues(const MeasurementWindow* w)
{
    QStringList values;
    for (int r = 0; r < int(w->evaluation().results.size()); ++r)
        values << w->resultText(r, 2);
    return values;
}

QString resultNote(const MeasurementWindow* w, int row) { return w->resultText(row, 4); }

QStringList verdicts(const MeasurementWindow* w)
{
    QStringList texts;
    for (int i = 0; i < 3; ++i)
        texts << w->findChild<QLabel*>(QStringLiteral("verdict%1").arg(i))->text();
    return texts;
}

QString cellText(const MeasurementWindow* w, int row, int column)
{
    return w->tableModel()->index(row, column).data().toString();
}

bool marked(const MeasurementWindow* w, int row, int column)
{
    return w->tableModel()->index(row, column).data(Qt::BackgroundRole).isValid();
}

void paste(MeasurementWindow* w, const QString& text, int row = 0, int column = 0)
{
    QApplication::clipboard()->setText(text);
    w->tableView()->setCurrentIndex(w->tableModel()->index(row, column));
    QTest::keyClick(w->tableView(), Qt::Key_V, Qt::ControlModifier);
}

// Types `text` into a cell as a user does: the first key opens the editor,
// Enter takes the text.
void typeInto(MeasurementWindow* w, int row, int column, const QString& text)
{
    w->tableView()->setCurrentIndex(w->tableModel()->index(row, column));
    QTest::keyClicks(w->tableView(), text.left(1));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor != w->tableView());
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

// The file dialog answered with `path`.
void chooseFile(const QString& path)
{
    setMeasurementFileDialog([path](QWidget*, const QString&, const QString&, const QString&, bool) { return path; });
}

// The right edge of the rightmost word (in points) on the report's first
// page, which holds only text, and on the others, which hold the chart.
std::pair<double, double> rightEdges(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    p.waitForFinished(20000);
    double right[2] = {0.0, 0.0};
    int page = 0;
    const QRegularExpression xMax(QStringLiteral("<word [^>]*xMax=\"([0-9.]+)\""));
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n')) {
        page += line.contains(QLatin1String("<page "));
        const QRegularExpressionMatch m = xMax.match(line);
        if (m.hasMatch())
            right[page > 1] = std::max(right[page > 1], m.captured(1).toDouble());
    }
    return {right[0], right[1]};
}

}  // namespace

class TestMeasurement : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void workedExamplePasted_data();
    void workedExamplePasted();
    void workedExampleTyped();
    void editsAndDeletedRowsAreFollowed();
    void badCells_data();
    void badCells();
    void positionsOutsideTheRange();
    void tooFewAndDegeneratePositions_data();
    void tooFewAndDegeneratePositions();
    void missedTargetsInWordsAndColour();
    void prognosisFollowsTheCalculator();
    void raggedAndOverwidePaste();
    void tenThousandRows();
    void chartThinsEvenlyKeepingExtremes_data();
    void chartThinsEvenlyKeepingExtremes();
    void hostileFilesChangeNothing_data();
    void hostileFilesChangeNothing();
    void pastesAreBounded_data();
    void pastesAreBounded();
    void csvRoundTrip_data();
    void csvRoundTrip();
    void csvInAForeignEncoding();
    void unicodeTextFromASpreadsheet();
    void csvThatHoldsNoPositions();
    void unwritableFileChangesNothing();
    void emptyTableAsksForNoFile();
    void copiedResults();
    void reportText();
    void helpPage();
    void closesWithItsCalculator();
    void verlaufEntryReopens();

private:
    MeasurementWindow* open();
    std::unique_ptr<CalculatorForm> form_;
    QWidget* calculator_ = nullptr;
};

void TestMeasurement::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    // F1 opens the program's help plugin.
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
}

void TestMeasurement::cleanup()
{
    setMeasurementFileDialog({});
    form_.reset();
    processDeferredDeletes();
    calculator_ = nullptr;
}

// The prognosis window and its measurement window, as the user opens it.
MeasurementWindow* TestMeasurement::open()
{
    form_ = makeDLprognoseForm([] {});
    form_->show();
    calculator_ = form_->window();
    auto* designed = qobject_cast<DesignedWindow*>(calculator_);
    auto* w = qobject_cast<MeasurementWindow*>(openMeasurementWindow(companionRequest(*designed)));
    if (w) {
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
    }
    return w;
}

void TestMeasurement::workedExamplePasted_data()
{
    QTest::addColumn<QString>("mark");
    QTest::newRow("decimal point") << "point";
    QTest::newRow("decimal comma") << "comma";
}

void TestMeasurement::workedExamplePasted()
{
    QFETCH(QString, mark);
    LocaleScope locale(localeNamed(mark));
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);

    // D2,S is 6.9997 dB: shown with one decimal and without a trailing zero.
    QCOMPARE(resultValues(w), inLocale("7|47|4.9|7.5|15|–|6", mark).split('|'));
    QCOMPARE(resultNote(w, 5), QString("Keine Hintergrundpegel angegeben."));
    QCOMPARE(cellText(w, 2, 1), QString("44,75"));  // kept as pasted
    QCOMPARE(w->tableModel()->rowCount(), 7);       // and the empty row for the next
    QVERIFY(w->note().contains("6 Zeilen eingefügt."));
    QVERIFY(w->note().contains("Kopfzeilen übersprungen: 1."));
    QCOMPARE(verdicts(w)[0], QString("<b><font color=\"#1a7f37\">✔ erfüllt</font></b>"));
    QVERIFY(verdicts(w)[2].contains("nicht erfüllt"));  // rD = 7.5 m > 5 m
    // D2,S 7 dB and Lp,A,S,4m 47 dB: level 2, not level 1 (8 dB).
    QCOMPARE(w->findChild<QLabel*>("propagationLevel")->text(),
             QString("Ausbreitungsstufe nach VDI 2569 (ein Messpfad):<br><b><font color=\"#1a7f37\">Stufe 2</font></b>"));

    // The chart: six points, the line from 2 to 16 m, rC, rD and rP marked.
    const MeasurementChart* chart = w->chart();
    QCOMPARE(chart->points("measured").size(), 6);
    QVERIFY(chart->points("outside").isEmpty());
    const QList<QPointF> line = chart->points("levelLine");
    QCOMPARE(line.size(), 2);
    QCOMPARE(line[0].x(), 2.0);
    QCOMPARE(line[1].x(), 16.0);
    QVERIFY(std::fabs(line[0].y() - 54.0) < 0.01);
    QVERIFY(std::fabs(chart->points("comfortMark").value(0).x() - 4.8766) < 1e-3);
    QCOMPARE(chart->points("comfortMark").value(0).y(), 45.0);
    QVERIFY(std::fabs(chart->points("distractionMark").value(0).x() - 7.5) < 1e-9);
    QVERIFY(std::fabs(chart->points("privacyMark").value(0).x() - 15.0) < 1e-9);
    QCOMPARE(chart->distanceAxis(), std::make_pair(1.0, 32.0));
    QVERIFY(chart->legendTexts().contains(inLocale("rC = 4.9 m", mark)));
    // The prognosis of the calculator's design texts: L4 = 52.9 dB at 4 m.
    const QList<QPointF> prognosis = chart->points("prognosis");
    QCOMPARE(prognosis.size(), 81);
    QVERIFY(w->prognosisText().contains(inLocale("DL2 = 4.6 dB, L4 = 52.9 dB", mark)));
}

void TestMeasurement::workedExampleTyped()
{
    LocaleScope locale(localeNamed("comma"));
    MeasurementWindow* w = open();
    QVERIFY(w);
    const char* rows[][3] = {{"2", "54", "0,72"},     {"4", "47", "0.64"}, {"5", "44,75", ",60"},
                             {"8", "40", "0,48"},     {"10", "37.75", "0,4"}, {"16", "33", "0,16"}};
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 3; ++c)
            typeInto(w, r, c, QString::fromLatin1(rows[r][c]));
    QCOMPARE(resultValues(w), QString("7|47|4,9|7,5|15|–|6").split('|'));
    QCOMPARE(w->tableModel()->rowCount(), 7);
    // Enter moved down a row, as in a spreadsheet.
    QCOMPARE(w->tableView()->currentIndex().row(), 6);
}

void TestMeasurement::editsAndDeletedRowsAreFollowed()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    QCOMPARE(resultValues(w).value(0), asShown("7"));

    // 16 m now 3 dB lower: the line is steeper.
    typeInto(w, 5, 1, "30");
    QCOMPARE(resultValues(w).value(0), asShown("7.7"));
    QCOMPARE(w->chart()->points("measured").value(5), QPointF(16, 30));

    // The first row deleted from the keyboard: five positions left.
    w->tableView()->setCurrentIndex(w->tableModel()->index(0, 0));
    QTest::keyClick(w->tableView(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(cellText(w, 0, 0), QString("4"));
    QCOMPARE(resultValues(w).value(6), QString("5"));
    QCOMPARE(w->chart()->points("measured").size(), 5);

    // A row inserted above the first, then filled: six again.
    QTest::keyClick(w->tableView(), Qt::Key_Plus, Qt::ControlModifier);
    QCOMPARE(cellText(w, 0, 0), QString());
    QCOMPARE(resultValues(w).value(6), QString("5"));
    typeInto(w, 0, 0, "2");
    typeInto(w, 0, 1, "54");
    QCOMPARE(resultValues(w).value(6), QString("6"));

    // Delete empties the selected cells; the row stays and is left out.
    w->tableView()->setCurrentIndex(w->tableModel()->index(1, 1));
    QTest::keyClick(w->tableView(), Qt::Key_Delete);
    QCOMPARE(cellText(w, 1, 1), QString());
    QVERIFY(marked(w, 1, 1));
    QCOMPARE(resultValues(w).value(6), QString("5"));
}

void TestMeasurement::badCells_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("note");
    QTest::newRow("text in r") << 0 << "zwei" << "r: ";
    QTest::newRow("r of 0 m") << 0 << "0" << "größer als 0 m";
    QTest::newRow("negative r") << 0 << "-4" << "größer als 0 m";
    QTest::newRow("a level with a unit") << 1 << "47 dB" << "Lp,A,S: ";
    QTest::newRow("a level beyond 200 dB") << 1 << "250" << "außerhalb von ±200 dB";
    QTest::newRow("an STI above 1") << 2 << "1,5" << "zwischen 0 und 1";
    QTest::newRow("a negative STI") << 2 << "-0.1" << "zwischen 0 und 1";
    QTest::newRow("a thousands separator") << 3 << "1.000,5" << "Lp,A,B: ";
    QTest::newRow("a background level below -200 dB") << 3 << "-201" << "außerhalb von ±200 dB";
}

void TestMeasurement::badCells()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, note);
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste + "20\t30\t0,1\t40\n");
    typeInto(w, 1, column, text);

    // The cell is marked and keeps its text, the row is left out with a
    // note, and every other row is evaluated as before.
    QCOMPARE(cellText(w, 1, column), text);
    QVERIFY(marked(w, 1, column));
    for (int c = 0; c < 4; ++c)
        if (c != column)
            QVERIFY(!marked(w, 1, c));
    QVERIFY2(cellText(w, 1, 4).startsWith("Nicht ausgewertet: "), qPrintable(cellText(w, 1, 4)));
    QVERIFY2(cellText(w, 1, 4).contains(note), qPrintable(cellText(w, 1, 4)));
    QCOMPARE(w->tableModel()->rowCount(), 8);
    QCOMPARE(resultValues(w).value(6), QString("5"));
    QCOMPARE(resultValues(w).value(5), asShown("40"));  // from the row at 20 m
    QVERIFY(w->note().contains("1 Zeile wird nicht ausgewertet"));
    QCOMPARE(w->chart()->points("measured").size(), 5);

    // Mended, the row counts again.
    typeInto(w, 1, column, QStringList{"4", "47", "0,64", "40"}[column]);
    QVERIFY(!marked(w, 1, column));
    QCOMPARE(resultValues(w).value(6), QString("6"));
}

void TestMeasurement::positionsOutsideTheRange()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, "1\t60\t0,9\n" + kWorkedPaste.section('\n', 1) + "32\t25\t0,05\n");
    QCOMPARE(resultValues(w).value(6), QString("6"));  // 1 m and 32 m not in the regressions
    QCOMPARE(resultValues(w).value(0), asShown("7"));
    QCOMPARE(w->tableModel()->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(0x80, 0x80, 0x80));
    QVERIFY(!marked(w, 0, 1));
    QVERIFY(cellText(w, 0, 4).contains("nicht in den Regressionen"));
    QVERIFY(w->note().contains("2 Positionen liegen außerhalb"));
    QCOMPARE(w->chart()->points("outside"), (QList<QPointF>{{1, 60}, {32, 25}}));
    QCOMPARE(w->chart()->points("stiOutside").size(), 2);
    QCOMPARE(w->chart()->distanceAxis(), std::make_pair(0.5, 64.0));
}

void TestMeasurement::tooFewAndDegeneratePositions_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("values");
    QTest::addColumn<int>("noteRow");
    QTest::addColumn<QString>("note");
    QTest::newRow("an empty table") << "" << "–|–|–|–|–|–|0" << 0 << "Keine Messpositionen eingegeben.";
    QTest::newRow("three positions")
        << "2;54;0,72\n4;47;0,64\n8;40;0,48\n" << "–|–|–|–|–|–|3" << 0
        << "Nur 3 Positionen zwischen 2 m und 16 m; mindestens 4 sind nötig.";
    QTest::newRow("all at one distance")
        << "4;50\n4;51\n4;49\n4;50\n" << "–|–|–|–|–|–|4" << 0
        << "Alle Positionen liegen in derselben Entfernung; die Regressionsgerade ist nicht bestimmt.";
    QTest::newRow("a rising STI") << "2;54;0,2\n4;47;0,3\n8;40;0,4\n16;33;0,5\n" << "7|47|4.9|–|–|–|4" << 3
                                  << "Der STI nimmt mit der Entfernung nicht ab.";
    QTest::newRow("a flat level") << "2;50\n4;50\n8;50\n16;50\n" << "0|50|–|–|–|–|4" << 2
                                  << "Der Sprachpegel nimmt mit der Entfernung nicht ab.";
    QTest::newRow("STI only for three") << "2;54;0,72\n4;47;0,64\n8;40;0,48\n16;33\n" << "7|47|4.9|–|–|–|4" << 3
                                        << "Nur 3 Positionen mit STI zwischen 2 m und 16 m; mindestens 4 sind nötig.";
}

void TestMeasurement::tooFewAndDegeneratePositions()
{
    QFETCH(QString, rows);
    QFETCH(QString, values);
    QFETCH(int, noteRow);
    QFETCH(QString, note);
    MeasurementWindow* w = open();
    QVERIFY(w);
    if (!rows.isEmpty())
        paste(w, rows);
    QCOMPARE(resultValues(w), asShown(values.split('|')));
    QCOMPARE(resultNote(w, noteRow), note);
    // The chart draws no line that is not determined.
    if (resultValues(w).value(0) == "–")
        QVERIFY(w->chart()->points("levelLine").isEmpty());
    if (resultValues(w).value(3) == "–")
        QVERIFY(w->chart()->points("stiLine").isEmpty() || note.contains("nicht ab"));
}

void TestMeasurement::missedTargetsInWordsAndColour()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kPoorPaste);
    // 11,3 m read with its decimal comma; rC and rP extrapolated beyond 16 m.
    QCOMPARE(resultValues(w), asShown("4|54|19|15.2|27.1|40.2|5").split('|'));
    QCOMPARE(resultNote(w, 2), QString("extrapoliert"));
    QCOMPARE(resultNote(w, 4), QString("extrapoliert"));
    for (const QString& v : verdicts(w))
        QCOMPARE(v.section('>', 2).section('<', 0, 0), QString("✘ nicht erfüllt"));
    QVERIFY(verdicts(w)[0].contains("#c01c1c"));
    QVERIFY(w->chart()->legendTexts().contains(asShown("rP = 27.1 m (extrapoliert)")));
    QCOMPARE(w->chart()->points("outside").size(), 1);  // 24 m

    // The panels share the distance axis: their plot areas stand one above
    // the other although their value labels and legends differ in width.
    const auto aligned = [w] {
        const auto [level, sti] = w->chart()->plotAreas();
        return !level.isEmpty() && std::fabs(level.left() - sti.left()) <= 1.0 &&
               std::fabs(level.right() - sti.right()) <= 1.0;
    };
    QTRY_VERIFY(aligned());
}

void TestMeasurement::prognosisFollowsTheCalculator()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    const QList<QPointF> before = w->chart()->points("prognosis");
    // L4 of the design texts is 52.9 dB; 2,5 m screens bring it to 48 dB.
    setTextOf(calculator_, "txHscreen", "2,5");
    QTRY_VERIFY(w->chart()->points("prognosis") != before);
    QVERIFY(w->prognosisText().contains(asShown("L4 = 48 dB")));
    QCOMPARE(textOf(calculator_, "txHscreen"), QString("2,5"));  // read, never written

    // A room height of 0 has no prognosis: the curve goes, a note says why.
    setTextOf(calculator_, "txHraum", "0");
    QTRY_VERIFY(w->chart()->points("prognosis").isEmpty());
    QVERIFY(w->prognosisText().startsWith("Keine Prognose"));
    QCOMPARE(resultValues(w).value(0), asShown("7"));  // the measurement is unchanged
}

void TestMeasurement::raggedAndOverwidePaste()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    const QStringList before = resultValues(w);
    // Two rows of different widths pasted at the STI column: the cells that
    // would go beyond Lp,A,B are left out, the short row leaves its cell empty.
    paste(w, "0,5;41;7;9\n0,4\n", 1, 2);
    QCOMPARE(cellText(w, 1, 2), QString("0,5"));
    QCOMPARE(cellText(w, 1, 3), QString("41"));
    QCOMPARE(cellText(w, 2, 2), QString("0,4"));
    QCOMPARE(cellText(w, 2, 3), QString());
    QCOMPARE(cellText(w, 1, 0), QString("4"));  // left of the anchor untouched
    QVERIFY(w->note().contains("nicht übernommen"));
    QVERIFY(w->note().contains("unterschiedlich viele Zellen"));
    QCOMPARE(w->tableModel()->rowCount(), 7);
    QCOMPARE(resultValues(w).value(6), before.value(6));

    // Text without a single number changes nothing.
    paste(w, "Messung Büro 3\nkeine Werte\n");
    QVERIFY(w->note().contains("keine Zeile mit einer Zahl"));
    QCOMPARE(cellText(w, 0, 0), QString("2"));
}

void TestMeasurement::tenThousandRows()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    QString text;
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("%1\t%2\t0,5\n").arg(1 + (i % 20)).arg(60 - (i % 20));
    paste(w, text);
    QCOMPARE(w->tableModel()->rowCount(), 10001);
    QVERIFY(w->note().contains("10000 Zeilen eingefügt."));
    QCOMPARE(resultValues(w).value(6), QString("7500"));  // r of 2 to 16 m: 15 of every 20
    // The chart draws a bounded number of them, the farthest among them.
    QVERIFY(w->chart()->points("measured").size() <= kMostChartPoints);
    QVERIFY(w->chart()->points("measured").contains(QPointF(16.0, 45.0)));
    QVERIFY(w->chart()->points("outside").size() <= kMostChartPoints);
}

void TestMeasurement::chartThinsEvenlyKeepingExtremes_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("drawn");
    QTest::newRow("fewer than the bound: all") << 6 << 10 << 6;
    QTest::newRow("100 000 positions: the bound") << 100000 << 1000 << 1000;
    QTest::newRow("11 in 10") << 11 << 10 << 10;
}

// A long series is drawn as a bounded number of points, with the smallest
// and largest distance and level among them.
void TestMeasurement::chartThinsEvenlyKeepingExtremes()
{
    QFETCH(int, count);
    QFETCH(int, most);
    // Distances up and down, levels with their extremes in the middle.
    QList<QPointF> points;
    for (int i = 0; i < count; ++i)
        points << QPointF(1.0 + (i * 7919) % count, 40.0 + (i == count / 2 ? 30 : i == count / 3 ? -30 : i % 10));
    const QList<QPointF> drawn = thinnedPoints(points, most);
    QTEST(int(drawn.size()), "drawn");
    QVERIFY(drawn.contains(points.front()));  // r = 1 m, the nearest
    QVERIFY(std::any_of(drawn.begin(), drawn.end(), [&](QPointF p) { return p.x() == count; }));
    QVERIFY(drawn.contains(points[count / 2]) && drawn.contains(points[count / 3]));
}

void TestMeasurement::hostileFilesChangeNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("opened");
    QTest::addColumn<int>("rows");  // the table's rows afterwards, the empty one included
    QTest::addColumn<QString>("note");
    QTest::newRow("UTF-16 without a byte order mark")
        << "utf16.csv" << true << 7 << "Die Datei ist in UTF-16 ohne Byte-Order-Mark geschrieben";
    QTest::newRow("20 MiB of semicolons") << "semikolon.csv" << false << 7 << "keine Zeile mit Messwerten";
    QTest::newRow("20 MiB and one byte, a name holding %1")
        << "zu%1groß.csv" << false << 7 << "„zu%1groß.csv“ ist mit mehr als 20 MB zu groß";
    QTest::newRow("/dev/zero") << "/dev/zero" << false << 7 << "„zero“ ist keine gewöhnliche Datei";
    QTest::newRow("a named pipe") << "fifo" << false << 7 << "„fifo“ ist keine gewöhnliche Datei";
}

// A file that is not a table of positions, or too large, leaves the table as
// it was, says why and never blocks; a UTF-16 file without its mark is read.
void TestMeasurement::hostileFilesChangeNothing()
{
    QFETCH(QString, file);
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    QTemporaryDir dir;
    QString path = file.startsWith('/') ? file : dir.filePath(file);
    QFile out(path);
    if (file == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (!file.startsWith('/')) {
        QVERIFY(out.open(QIODevice::WriteOnly));
        if (file == "utf16.csv") {
            const QString text = "r\tLp\tSTI\r\n" + kWorkedPaste.section('\n', 1);
            out.write(QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        } else {
            out.write(QByteArray(20 * 1024 * 1024 + (file == "semikolon.csv" ? 0 : 1), ';'));
        }
        out.close();
    }
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    const QStringList before = resultValues(w);
    chooseFile(path);
    QTEST(w->openCsv(), "opened");
    QTEST(w->tableModel()->rowCount(), "rows");
    QFETCH(QString, note);
    QVERIFY2(w->note().contains(note), qPrintable(w->note()));
    // Unchanged, or (UTF-16) the same positions read back.
    QCOMPARE(resultValues(w), before);
}

void TestMeasurement::pastesAreBounded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("note");
    QTest::newRow("100 000 positions: the first 10 000")
        << QStringLiteral("4;47\n").repeated(100000) << 10001 << "Eine Messreihe hat hier höchstens 10.000 Zeilen";
    QTest::newRow("a text of 64 MiB and one character")
        << QString(64 * 1024 * 1024 + 1, u'4') << 7
        << "Der Text der Zwischenablage ist mit 67.108.865 Zeichen zu lang (höchstens 67.108.864)";
}

void TestMeasurement::pastesAreBounded()
{
    QFETCH(QString, text);
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    paste(w, text);
    QTEST(w->tableModel()->rowCount(), "rows");
    QFETCH(QString, note);
    QVERIFY2(w->note().contains(note), qPrintable(w->note()));
}

void TestMeasurement::csvRoundTrip_data()
{
    QTest::addColumn<QString>("writeMark");
    QTest::addColumn<QString>("readMark");
    QTest::addColumn<QByteArray>("line");  // the row at 5 m in the file
    QTest::newRow("German settings") << "comma" << "comma" << QByteArray("5;44,75;0,60;39,5\r\n");
    QTest::newRow("English settings") << "point" << "point" << QByteArray("5,44.75,0.60,39.5\r\n");
    QTest::newRow("written German, read English") << "comma" << "point" << QByteArray("5;44,75;0,60;39,5\r\n");
    QTest::newRow("written English, read German") << "point" << "comma" << QByteArray("5,44.75,0.60,39.5\r\n");
}

void TestMeasurement::csvRoundTrip()
{
    QFETCH(QString, writeMark);
    QFETCH(QString, readMark);
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    const QString path = dir.filePath("messung");
    QStringList written;
    {
        LocaleScope locale(localeNamed(writeMark));
        MeasurementWindow* w = open();
        QVERIFY(w);
        paste(w, kWorkedPaste);
        typeInto(w, 2, 2, "0.60");
        typeInto(w, 2, 3, "39,5");
        chooseFile(path);
        QVERIFY(w->saveCsv());
        written = resultValues(w);
    }
    QFile file(path + ".csv");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY2(bytes.contains(line), bytes.constData());
    QCOMPARE(bytes.count('\n'), 7);  // the header and six rows

    LocaleScope locale(localeNamed(readMark));
    MeasurementWindow* w = open();
    QVERIFY(w);
    chooseFile(path + ".csv");
    QVERIFY(w->openCsv());
    QVERIFY(w->note().contains("6 Zeilen aus „messung.csv“ gelesen."));
    QCOMPARE(resultValues(w).join('|'), inLocale(written.join('|').replace(',', '.'), readMark));
    QCOMPARE(resultValues(w).value(5), inLocale("39.5", readMark));
    QCOMPARE(w->tableModel()->rowCount(), 7);
}

void TestMeasurement::csvInAForeignEncoding()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("latin1.csv");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    // "Entfernung;Sprachpegel;STI;Hintergrundgeräusch" in Windows-1252, then
    // the worked example; one row with a sixth cell, one with two.
    file.write("Entfernung;Sprachpegel;STI;Hintergrundger\xE4usch\r\n2;54;0,72\r\n4;47;0,64;40;x;\xB5\r\n"
               "5;44,75;0,60\r\n8;40;0,48\r\n10;37,75\r\n16;33;0,16\r\n");
    file.close();
    MeasurementWindow* w = open();
    QVERIFY(w);
    chooseFile(path);
    QVERIFY(w->openCsv());
    QVERIFY(w->note().contains("Windows-1252"));
    QVERIFY(w->note().contains("nicht übernommen"));
    QVERIFY(w->note().contains("unterschiedlich viele Zellen"));
    QCOMPARE(resultValues(w).mid(0, 2), asShown(QStringList{"7", "47"}));
    QCOMPARE(resultValues(w).value(5), asShown("40"));
}

void TestMeasurement::unicodeTextFromASpreadsheet()
{
    // "Unicode text" as spreadsheets save it: UTF-16 with its byte order
    // mark, tab-separated, a header with umlauts.
    QTemporaryDir dir;
    const QString path = dir.filePath("unicode.txt");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QString text = "Entfernung\tSprachpegel\tSTI\tGeräusch\r\n" + kWorkedPaste.section('\n', 1);
    file.write(QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    file.close();
    MeasurementWindow* w = open();
    QVERIFY(w);
    chooseFile(path);
    QVERIFY(w->openCsv());
    QVERIFY2(!w->note().contains("Windows-1252"), qPrintable(w->note()));
    QCOMPARE(resultValues(w), asShown("7|47|4.9|7.5|15|–|6").split('|'));
}

void TestMeasurement::csvThatHoldsNoPositions()
{
    QTemporaryDir dir;
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    const QStringList before = resultValues(w);
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {{"leer.csv", ""}, {"kopf.csv", "r;Lp,A,S;STI\r\n"}, {"bild.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0", 10)}};
    for (const auto& f : files) {
        QFile out(dir.filePath(f.name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(f.bytes);
        out.close();
        chooseFile(out.fileName());
        QCOMPARE(w->openCsv(), false);
        QVERIFY2(w->note().contains("keine Zeile mit Messwerten"), qPrintable(w->note()));
        QCOMPARE(resultValues(w), before);
    }
    chooseFile(dir.filePath("fehlt.csv"));
    QVERIFY(!w->openCsv());
    QVERIFY(w->note().contains("kann nicht gelesen werden"));
    QCOMPARE(cellText(w, 0, 1), QString("54"));
}

void TestMeasurement::unwritableFileChangesNothing()
{
    QTemporaryDir dir;
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    const QStringList before = resultValues(w);
    QString message;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text() + u'\n' + box->informativeText();
            box->accept();
        }
    });
    answer.start(20);
    for (const char* name : {"fehlt/messung.csv", "fehlt/bericht.pdf"}) {
        message.clear();
        const QString path = dir.filePath(QString::fromLatin1(name));
        chooseFile(path);
        QVERIFY(QString(name).endsWith(".csv") ? !w->saveCsv() : !w->saveReport());
        QVERIFY2(message.contains("konnte nicht gespeichert werden"), qPrintable(message));
        QVERIFY(message.contains(QFileInfo(path).fileName()));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(resultValues(w), before);
        QCOMPARE(cellText(w, 2, 1), QString("44,75"));
    }
}

void TestMeasurement::emptyTableAsksForNoFile()
{
    MeasurementWindow* w = open();
    QVERIFY(w);
    int asked = 0;
    setMeasurementFileDialog([&asked](QWidget*, const QString&, const QString&, const QString&, bool) {
        ++asked;
        return QString("/tmp/never.csv");
    });
    QVERIFY(!w->saveCsv());
    QVERIFY(w->note().contains("Die Tabelle ist leer"));
    QVERIFY(!w->saveReport());
    QCOMPARE(asked, 0);
}

void TestMeasurement::copiedResults()
{
    LocaleScope locale(localeNamed("comma"));
    MeasurementWindow* w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    QApplication::clipboard()->clear();
    QTest::keyClick(w->tableView(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    const QStringList lines = mime->text().split('\n');
    QCOMPARE(lines.value(0), w->windowTitle());
    QCOMPARE(lines.value(1), QString("Räumliche Abklingrate des A-bewerteten Sprachschalldruckpegels D2,S [dB]\t7"));
    QCOMPARE(lines.value(3), QString("Komfortabstand rC [m]\t4,9"));
    QCOMPARE(lines.value(6), QString("A-bewerteter Hintergrundgeräuschpegel (energetisches Mittel) Lp,A,B [dB]\t–"));
    QVERIFY(lines.contains("rD ≤ 5 m\tnicht erfüllt"));
    QVERIFY(lines.contains("Ausbreitungsstufe nach VDI 2569 (ein Messpfad)\tStufe 2"));
    QVERIFY(mime->html().contains("<table"));
    QVERIFY(mime->html().contains("<td>4,9</td>"));

    // Ctrl+C in the table copies the selected cells.
    w->tableView()->selectionModel()->select(
        QItemSelection(w->tableModel()->index(2, 0), w->tableModel()->index(3, 2)), QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(w->tableView(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("r [m]\tLp,A,S [dB]\tSTI\n5\t44,75\t0,60\n8\t40\t0,48\n"));
}

void TestMeasurement::reportText()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    for (const char* mark : {"point", "comma"}) {
        LocaleScope locale(localeNamed(mark));
        MeasurementWindow* w = open();
        QVERIFY(w);
        paste(w, kPoorPaste);
        const QString path = dir.filePath(QStringLiteral("bericht-%1").arg(mark));
        chooseFile(path);
        QVERIFY(w->saveReport());
        const QString text = pdfText(path + ".pdf").simplified();
        if (qEnvironmentVariableIsSet("MEASUREMENT_KEEP_REPORT")) {
            QFile::copy(path + ".pdf", qEnvironmentVariable("MEASUREMENT_KEEP_REPORT") + mark + ".pdf");
            QTest::qWait(200);
            w->grab().save(qEnvironmentVariable("MEASUREMENT_KEEP_REPORT") + mark + ".png");
        }
        QVERIFY2(text.contains("Messauswertung ISO 3382-3 – Großraumbüro DL2 Prognose"), qPrintable(text));
        QVERIFY(text.contains("Orvella 1.1.0 – "));
        QVERIFY(text.contains(QDate::currentDate().toString("dd.MM.yyyy")));
        QVERIFY(text.contains(inLocale("11.3 48 0.58 41", mark)));  // the table
        QVERIFY(text.contains(inLocale("Komfortabstand 19 m extrapoliert", mark)));
        QVERIFY(text.contains("D2,S ≥ 7 dB D2,S = 4 dB nicht erfüllt"));
        QVERIFY(text.contains("Ausbreitungsstufe nach VDI 2569 (ein Messpfad): keine Stufe"));  // Lp,A,S,4m 54 dB
        QVERIFY(text.contains("Verfahren"));
        QVERIFY(text.contains("log2(r / 1 m)") || text.contains("log 2 (r / 1 m)"));
        // The chart is drawn as vectors: its axis titles are text in the PDF.
        QVERIFY(text.contains("Lp,A,S [dB]"));
        QVERIFY(text.contains(inLocale("rP = 27.1 m", mark)));
        // The chart stays within the text's width: its legend is not cut
        // off at the edge of the paper.
        const auto [textRight, chartRight] = rightEdges(path + ".pdf");
        QVERIFY2(chartRight <= textRight + 1.0, qPrintable(QStringLiteral("%1 > %2").arg(chartRight).arg(textRight)));
        form_.reset();
        processDeferredDeletes();
    }
}

void TestMeasurement::helpPage()
{
    LocaleScope locale(localeNamed("comma"));
    MeasurementWindow* w = open();
    QVERIFY(w);
    QTest::keyClick(w->tableView(), Qt::Key_F1);
    QWidget* help = findCompanion(w, "helpWindow");
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QString("Hilfe – Messauswertung ISO 3382-3"));
    // A unit is tied to its number on the page.
    const QString page = help->findChild<QTextBrowser*>()->toPlainText().replace(QChar::Nbsp, u' ');
    for (const char* part : {"Die Tabelle", "Verfahren", "Richtwerte", "Grenzen", "2 m ≤ r ≤ 16 m", "STI = 0,5 ",
                             "D2,S ≥ 7 dB"})
        QVERIFY2(page.contains(QString::fromUtf8(part)), part);
}

void TestMeasurement::closesWithItsCalculator()
{
    QPointer<MeasurementWindow> w = open();
    QVERIFY(w);
    paste(w, kWorkedPaste);
    // Closed, it keeps its table and comes back with it.
    w->close();
    QVERIFY(!w->isVisible());
    auto* designed = qobject_cast<DesignedWindow*>(calculator_);
    QCOMPARE(openMeasurementWindow(companionRequest(*designed)), w.data());
    QCOMPARE(cellText(w, 5, 1), QString("33"));
    w->showHelp();
    QPointer<QWidget> help = findCompanion(w, "helpWindow");
    QVERIFY(help);
    // CLOSE on the calculator closes both.
    click(calculator_, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!w || !w->isVisible());
    QVERIFY(!help || !help->isVisible());
}

// The measurement is handed to the Verlauf as it changes; "Übernehmen" on its
// entry, after the table was emptied, brings back every position as typed.
void TestMeasurement::verlaufEntryReopens()
{
    form_ = makeDLprognoseForm([] {});
    form_->show();
    calculator_ = form_->window();
    CompanionRequest request = companionRequest(*qobject_cast<DesignedWindow*>(calculator_));
    std::shared_ptr<const EvaluationSnapshot> handed;
    request.recordEvaluation = [&](std::shared_ptr<const EvaluationSnapshot> s) { handed = std::move(s); };
    auto* w = qobject_cast<MeasurementWindow*>(openMeasurementWindow(request));
    QVERIFY(w);
    paste(w, kWorkedPaste);
    QTRY_VERIFY(handed && handed->rowCount() == 6);
    const QStringList results = resultValues(w);
    w->tableModel()->setPositions({});
    QVERIFY(resultValues(w) != results);
    request.reopen = std::make_shared<CalculationRecord>(recordOf(*handed));
    QCOMPARE(openMeasurementWindow(request), w);
    QCOMPARE(w->tableModel()->rowCount(), 7);
    QCOMPARE(cellText(w, 2, 1), QString("44,75"));
    QCOMPARE(resultValues(w), results);
}

QTEST_MAIN(TestMeasurement)
#include "tst_measurement.moc"
