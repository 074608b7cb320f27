// SPDX-License-Identifier: GPL-3.0-or-later
// The room balance's window beside the reverberation calculator: F3 loads
// it, a pasted table is evaluated with the calculator's room and follows its
// fields, "In den Rechner" puts A at mid frequencies into the calculator,
// the CSV and the report hold what the window shows, and a CSV opens back
// into the rows; under both decimal marks.

#include "companionfiles.h"
#include "companions.h"
#include "describedform.h"
#include "evaluationrecord.h"
#include "evaluationpage.h"
#include "nachhallmodel.h"
#include "raumbilanzchart.h"
#include "raumbilanzdescription.h"
#include "raumbilanztable.h"
#include "raumbilanzwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// The classroom of tst_raumbilanz with a heading, as a spreadsheet copies it.
QString classroom(const QString& mark)
{
    return QStringLiteral("Name\tS\tn\t125\t250\t500\t1000\t2000\t4000\n"
                          "Akustikdecke\t60\t\t0.2\t0.4\t0.6\t0.8\t0.8\t0.8\n"
                          "Boden\t60\t\t0.1\t0.1\t0.1\t0.1\t0.1\t0.1\n"
                          "Wände\t93.3\t\t0.05\t0.05\t0.05\t0.05\t0.05\t0.05\n"
                          "Schüler\t\t25\t0.1\t0.2\t0.3\t0.4\t0.4\t0.4\n")
        .replace('.', mark == QLatin1String("comma") ? QStringLiteral(",") : QStringLiteral("."));
}

// The model's rows as shown, cells joined by "|", rows by "/".
QString shownRows(const BalanceTableModel& model)
{
    QStringList shown;
    for (int r = 0; r + 1 < model.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < kBalanceColumns; ++c)
            cells << model.index(r, c).data().toString();
        shown << cells.join('|');
    }
    return shown.join('/');
}

}  // namespace

class TestRaumbilanzWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void f3LoadsItBesideTheCalculator();
    void pastedFollowedAndApplied_data();
    void pastedFollowedAndApplied();
    void csvAndReport_data();
    void csvAndReport();
    void pastes_data();
    void pastes();
    void opensFiles_data();
    void opensFiles();
    void helpWorksTheRows_data();
    void helpWorksTheRows();
    void verlaufEntryReopens_data();
    void verlaufEntryReopens();

private:
    RaumbilanzWindow* open(const QString& mark);
    std::unique_ptr<CalculatorForm> form_;
    QWidget* calculator_ = nullptr;
};

void TestRaumbilanzWindow::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    installCompanionCommands();
}

void TestRaumbilanzWindow::cleanup()
{
    setFileDialog({});
    form_.reset();
    processDeferredDeletes();
}

// The calculator as it starts (A3, V = 180 m³) and its room balance with
// the classroom pasted.
RaumbilanzWindow* TestRaumbilanzWindow::open(const QString& mark)
{
    form_ = makeDescribedForm([] {}, nachhallModel());
    form_->show();
    calculator_ = form_->window();
    auto* w = qobject_cast<RaumbilanzWindow*>(
        openRaumbilanzWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))));
    if (w) {
        QApplication::clipboard()->setText(classroom(mark));
        w->tableView()->pasteClipboard();
    }
    return w;
}

void TestRaumbilanzWindow::f3LoadsItBesideTheCalculator()
{
    form_ = makeDescribedForm([] {}, nachhallModel());
    form_->show();
    QWidget* calculator = form_->window();
    QVERIFY(QTest::qWaitForWindowActive(calculator));
    QTest::keyClick(calculator->focusWidget(), Qt::Key_F3);
    QWidget* window = findCompanion(calculator, QStringLiteral("raumbilanzWindow"));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Raumbilanz in Oktavbändern – Nachhallzeit DIN 18041"));
    QVERIFY(window->isVisible());
    window->close();
    QTest::keyClick(calculator->focusWidget(), Qt::Key_F3);
    QCOMPARE(findCompanion(calculator, QStringLiteral("raumbilanzWindow")), window);
    QVERIFY(window->isVisible());
}

void TestRaumbilanzWindow::pastedFollowedAndApplied_data()
{
    QTest::addColumn<QString>("mark");
    QTest::newRow("decimal point") << "point";
    QTest::newRow("decimal comma") << "comma";
}

void TestRaumbilanzWindow::pastedFollowedAndApplied()
{
    QFETCH(QString, mark);
    LocaleScope locale(localeNamed(mark));
    RaumbilanzWindow* w = open(mark);
    QVERIFY(w);
    QCOMPARE(w->note(), QStringLiteral("4 Zeilen eingefügt.\nKopfzeilen übersprungen: 1."));
    QCOMPARE(w->roomText(), "Raum aus dem Rechner: A3 Unterricht/Kommunikation, V = 180 m³, h = 3 m");
    QCOMPARE(w->bandText(0, 2), inLocale("1.17", mark));
    QCOMPARE(w->bandText(3, 7), inLocale("-2", mark));
    QCOMPARE(w->verdictText(), "Außerhalb des Toleranzbereichs: 125 Hz zu lang, 250 Hz zu lang, 1000 Hz zu kurz, "
                               "2000 Hz zu kurz.");
    QCOMPARE(w->chart()->points("upper").size(), 6);
    QCOMPARE(w->chart()->points("outside").size(), 4);

    // The room follows the calculator's fields: 250 m³ give T_soll 0.597 s,
    // 180 m³ again the bounds of before.
    setTextOf(calculator_, "txVolumen", "250");
    QTRY_COMPARE(w->roomText(), "Raum aus dem Rechner: A3 Unterricht/Kommunikation, V = 250 m³, h = 3 m");
    QCOMPARE(w->bandText(2, 5), inLocale("0.72", mark));  // 1.2 · 0.597
    // Closed, it takes up the fields' change when it shows again.
    w->close();
    setTextOf(calculator_, "txVolumen", "180");
    QTest::qWait(1);
    QCOMPARE(openRaumbilanzWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))), w);
    QCOMPARE(w->bandText(2, 5), inLocale("0.66", mark));

    // A at 500/1000 Hz, (54.165 + 68.665) / 2, into the calculator: T = 29.34 / 61.4.
    QVERIFY(w->applyToCalculator());
    // Typed as "61,4" under a decimal comma; the calculator's comma fix makes it "61.4".
    QCOMPARE(textOf(calculator_, "txAbsorption"), QStringLiteral("61.4"));
    QCOMPARE(textOf(calculator_, "txT"), inLocale("0.478", mark));
    QCOMPARE(textOf(calculator_, "txUrteil"), QStringLiteral("erfüllt"));

    // Without rows there is nothing to put in, and the calculator keeps its field.
    w->tableView()->selectAll();
    w->tableView()->deleteAction()->trigger();
    QVERIFY(!w->applyToCalculator());
    QCOMPARE(textOf(calculator_, "txAbsorption"), QStringLiteral("61.4"));
}

void TestRaumbilanzWindow::csvAndReport_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("csvRow");
    QTest::addColumn<QString>("bandRow");
    QTest::newRow("decimal point") << "point" << "Wände,93.3,,0.05,0.05,0.05,0.05,0.05,0.05"
                                   << "1000,68.7,0.43,0.35,0.44,0.66,zu kurz,-2";
    QTest::newRow("decimal comma") << "comma" << "Wände;93,3;;0,05;0,05;0,05;0,05;0,05;0,05"
                                   << "1000;68,7;0,43;0,35;0,44;0,66;zu kurz;-2";
}

void TestRaumbilanzWindow::csvAndReport()
{
    QFETCH(QString, mark);
    QFETCH(QString, csvRow);
    QFETCH(QString, bandRow);
    LocaleScope locale(localeNamed(mark));
    RaumbilanzWindow* w = open(mark);
    QVERIFY(w);
    QTemporaryDir dir;
    QString path = dir.filePath("raum.csv");
    setFileDialog([&path](QWidget*, const QString&, const QString&, const QString&, QString*) { return path; });
    QVERIFY(w->saveCsv());
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(csv.readAll());
    QVERIFY2(written.contains(csvRow + "\r\n"), qPrintable(written));
    QVERIFY(written.contains(bandRow + "\r\n"));

    // Opened again after the rows were deleted: the same rows, not the
    // bands and results saved below them.
    const QString saved = shownRows(*w->tableModel());
    w->tableView()->selectAll();
    w->tableView()->deleteAction()->trigger();
    QVERIFY(w->openCsvFile(path));
    QCOMPARE(shownRows(*w->tableModel()), saved);
    QCOMPARE(w->note(), QStringLiteral("4 Zeilen aus „raum.csv“ gelesen.\nKopfzeilen übersprungen: 2."));
    QCOMPARE(w->bandText(3, 7), inLocale("-2", mark));

    path = dir.filePath("raum.pdf");
    QVERIFY(w->saveReport());
    const QString pdf = pdfText(path);
    QVERIFY2(pdf.contains(QStringLiteral("250 Hz zu lang")), qPrintable(pdf));
    QVERIFY(pdf.contains(QStringLiteral("V = 180 m³")));
    // The chart is drawn as vectors: its axis titles are text, and no image is embedded.
    QVERIFY(pdf.contains(QStringLiteral("Oktavband [Hz]")));
    QFile report(path);
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(!report.readAll().contains("/Subtype /Image"));
}

void TestRaumbilanzWindow::pastes_data()
{
    QTest::addColumn<int>("column");  // where the paste starts, in the first row
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rows");  // the table's rows afterwards, cells joined by "|"
    QTest::addColumn<QString>("notes");
    QTest::newRow("a heading with the bands' numbers is skipped")
        << 0 << "Name;S;n;125;250;500;1000;2000;4000\nTür;2;;0,1;0,1;0,1;0,1;0,1;0,1"
        << "Tür|2||0,1|0,1|0,1|0,1|0,1|0,1" << "1 Zeile eingefügt.\nKopfzeilen übersprungen: 1.";
    QTest::newRow("from the 125 Hz column on, cells beyond 4000 Hz left out")
        << 3 << "1\t2\t3\t4\t5\t6\t7" << "|||1|2|3|4|5|6"
        << "1 Zeile eingefügt.\nZellen rechts der Spalte 4000 Hz wurden nicht übernommen.";
    QTest::newRow("no number: nothing pasted") << 0 << "nur Text" << ""
        << "Der eingefügte Text enthält keine Zeile mit einer Zahl; die Tabelle bleibt, wie sie ist.";
}

void TestRaumbilanzWindow::pastes()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, rows);
    QFETCH(QString, notes);
    BalanceTableModel model;
    QStringList messages;
    model.paste(0, column, parsePastedTable(text.toStdString()), &messages);
    QCOMPARE(shownRows(model), rows);
    QCOMPARE(messages.join('\n'), notes);
    QVERIFY(model.index(model.rowCount() - 1, 0).data().toString().isEmpty());  // the empty last row
}

void TestRaumbilanzWindow::opensFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("rows");  // as shownRows(); empty: the classroom unchanged
    QTest::addColumn<QString>("note");  // the first line
    QTest::newRow("a spreadsheet's Windows-1252 text with a title above the table")
        << "excel.txt" << QByteArray("Raum 12\r\n\r\nName\tS\tn\t125 Hz\r\nW\xe4nde\t93,3\t\t0,05\r\n")
        << "Wände|93,3||0,05|||||" << "1 Zeile aus „excel.txt“ gelesen.";
    QTest::newRow("headings only") << "kopf.csv" << QByteArray("Name;S;n;125;250\r\n") << ""
                                   << "„kopf.csv“ enthält keine Zeile mit Flächen oder Objekten; die Tabelle bleibt, "
                                      "wie sie ist.";
    QTest::newRow("/dev/zero") << "/dev/zero" << QByteArray() << ""
                               << "„zero“ ist keine gewöhnliche Datei und wird nicht gelesen; die Tabelle bleibt, wie "
                                  "sie ist.";
}

// A file is read into the rows only when it holds some; otherwise the rows
// stay and the note says why, and a device that never ends is not read.
void TestRaumbilanzWindow::opensFiles()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, rows);
    QFETCH(QString, note);
    LocaleScope locale(localeNamed("comma"));
    RaumbilanzWindow* w = open("comma");
    QVERIFY(w);
    const QString before = shownRows(*w->tableModel());
    QTemporaryDir dir;
    const QString path = file.startsWith('/') ? file : dir.filePath(file);
    if (!file.startsWith('/')) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    QCOMPARE(w->openCsvFile(path), !rows.isEmpty());
    QCOMPARE(shownRows(*w->tableModel()), rows.isEmpty() ? before : rows);
    QCOMPARE(w->note().section('\n', 0, 0), note);
}

void TestRaumbilanzWindow::helpWorksTheRows_data()
{
    QTest::addColumn<QString>("mark");
    QTest::newRow("decimal point") << "point";
    QTest::newRow("decimal comma") << "comma";
}

void TestRaumbilanzWindow::helpWorksTheRows()
{
    QFETCH(QString, mark);
    LocaleScope locale(localeNamed(mark));
    RaumbilanzWindow* w = open(mark);
    QVERIFY(w);
    const QString page = evaluationPageHtml(raumbilanzModel(), w->evaluationInput(), inLocale(".", mark));
    // The ceiling's share at 500 Hz, and the bounds from T_soll as the window shows it.
    QVERIFY2(page.contains(inLocale("S = 60&nbsp;m² · α<sub>500</sub> = 0.6 → 36&nbsp;m²", mark)), qPrintable(page));
    QVERIFY(page.contains(inLocale("1.2 · 0.552", mark)));
    QVERIFY(page.contains(inLocale("54.165 / 213.3", mark)));
}

void TestRaumbilanzWindow::verlaufEntryReopens_data()
{
    QTest::addColumn<QString>("mark");
    QTest::newRow("decimal point") << "point";
    QTest::newRow("decimal comma") << "comma";
}

// The balance is handed to the Verlauf; "Übernehmen" on its entry, after the
// rows were deleted and the calculator's room changed, brings back both.
void TestRaumbilanzWindow::verlaufEntryReopens()
{
    QFETCH(QString, mark);
    LocaleScope locale(localeNamed(mark));
    form_ = makeDescribedForm([] {}, nachhallModel());
    form_->show();
    calculator_ = form_->window();
    CompanionRequest request = companionRequest(*qobject_cast<DesignedWindow*>(calculator_));
    std::shared_ptr<const EvaluationSnapshot> handed;
    request.recordEvaluation = [&](std::shared_ptr<const EvaluationSnapshot> s) { handed = std::move(s); };
    auto* w = qobject_cast<RaumbilanzWindow*>(openRaumbilanzWindow(request));
    QVERIFY(w);
    setTextOf(calculator_, "txVolumen", inLocale("250.5", mark));
    QApplication::clipboard()->setText(classroom(mark));
    w->tableView()->pasteClipboard();
    QTRY_VERIFY(handed && handed->rowCount() == 4);
    const CalculationRecord record = recordOf(*handed);
    QCOMPARE(record.calculatorId, std::string(kRaumbilanzId));
    const QString upper = w->bandText(2, 5);

    w->tableView()->selectAll();
    w->tableView()->deleteAction()->trigger();
    setTextOf(calculator_, "txVolumen", "180");
    QTRY_VERIFY(w->bandText(2, 5) != upper);
    request.reopen = std::make_shared<CalculationRecord>(record);
    QCOMPARE(openRaumbilanzWindow(request), w);
    QCOMPARE(w->roomText(), inLocale("Raum aus dem Rechner: A3 Unterricht/Kommunikation, V = 250.5 m³, h = 3 m", mark));
    QCOMPARE(w->bandText(2, 5), upper);
    QCOMPARE(w->evaluationInput().cells, handed->input.cells);
}

QTEST_MAIN(TestRaumbilanzWindow)
#include "tst_raumbilanzwindow.moc"
