// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter study window over the real calculator windows: its points
// give what the calculator gives when the point is typed into it, points
// without an answer show "–" and leave a gap, the calculator's fields are
// never changed, the table and chart are copied and saved, and the study
// closes with its calculator.

#include "companions.h"
#include "frmdlprognose.h"
#include "frmfeuchte.h"
#include "frmschall.h"
#include "frmtemperatur.h"
#include "studychart.h"
#include "studylabel.h"
#include "studywindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <map>
#include <tuple>
#include <memory>

using namespace orvella;
using namespace orvella::test;

namespace {

// The cell texts of a table row.
QStringList rowTexts(const StudyWindow* study, int row)
{
    QStringList texts;
    const QAbstractItemModel* m = study->tableView()->model();
    for (int c = 0; c < m->columnCount(); ++c)
        texts << m->index(row, c).data().toString();
    return texts;
}

// The row whose point is written `x`; -1 when there is none.
int rowOf(const StudyWindow* study, const QString& x)
{
    const QAbstractItemModel* m = study->tableView()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->index(r, 0).data().toString() == x)
            return r;
    return -1;
}

void typeInto(StudyWindow* study, const char* edit, const QString& text)
{
    auto* field = study->findChild<QLineEdit*>(edit);
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Chooses the variable and types the range as a user does.
void studyOver(StudyWindow* study, const std::string& key, const QString& from, const QString& to,
               int points, bool logarithmic)
{
    study->findChild<QComboBox*>("variable")->setCurrentIndex(study->model().inputIndex(key));
    typeInto(study, "from", from);
    typeInto(study, "to", to);
    study->findChild<QSpinBox*>("points")->setValue(points);
    study->findChild<QCheckBox*>("logarithmic")->setChecked(logarithmic);
}

// The file dialog answered with `path`.
void chooseFile(const QString& path)
{
    setStudyFileDialog([path](QWidget*, const QString&, const QString&, const QString&, QString*) { return path; });
}

}  // namespace

class TestStudy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void pointsEqualTheCalculator_data();
    void pointsEqualTheCalculator();
    void converterStartsWithTheHalfThatHasTheFocus_data();
    void converterStartsWithTheHalfThatHasTheFocus();
    void pointWithoutAnswerIsADashAndAGap();
    void unreadableFieldLeavesEveryPointWithoutAnswer();
    void rangeEditsRecomputeAndAreKeptSound();
    void openPlanOfficeShowsTheGuidance();
    void legendNamesTheCurvesOnScreen_data();
    void legendNamesTheCurvesOnScreen();
    void studyAndFailedWritesNeverChangeTheCalculator();
    void followsItsCalculatorAndClosesWithIt();
    void copyWholeTable();
    void saveCsv_data();
    void saveCsv();
    void saveChart_data();
    void saveChart();
    void newWindowDrawsAsAFreshOne_data();
    void newWindowDrawsAsAFreshOne();
    void labelSizesAreQLabels_data();
    void labelSizesAreQLabels();

private:
    void show(const QString& window);
    StudyWindow* pressF2() const;
    StudyWindow* open(const QString& window) { show(window); return pressF2(); }
    std::unique_ptr<CalculatorForm> form_;
    QWidget* calculator_ = nullptr;
};

void TestStudy::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestStudy::cleanup()
{
    setStudyFileDialog({});
    setErrorQuestion({});
    form_.reset();
    processDeferredDeletes();
    calculator_ = nullptr;
}

void TestStudy::show(const QString& window)
{
    const std::map<QString, std::unique_ptr<CalculatorForm> (*)(std::function<void()>)> forms{
        {"frmSchall", makeSchallForm}, {"frmFeuchte", makeFeuchteForm},
        {"frmTemperatur", makeTemperaturForm}, {"frmDLprognose", makeDLprognoseForm}};
    form_ = forms.at(window)([] {});
    form_->show();
    calculator_ = form_->window();
}

// Opens the calculator's study, or raises the one it has.
StudyWindow* TestStudy::pressF2() const
{
    auto* designed = qobject_cast<DesignedWindow*>(calculator_);
    return designed ? qobject_cast<StudyWindow*>(openStudyWindow(companionRequest(*designed))) : nullptr;
}

void TestStudy::pointsEqualTheCalculator_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("half");  // frmSchall: 0 the left, 1 the right frame
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<QString>("x");            // the point looked at, with a point
    QTest::addColumn<QStringList>("expected");  // its results (worked examples), with a point

    for (const char* mark : {"point", "comma"}) {
        auto row = [mark](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", name, mark) << QString(mark);
        };
        row("prognosis over R, 16 m") << "frmDLprognose" << 0 << "r" << "1" << "32" << 6 << true << "16"
                                      << QStringList{"4.6", "52.9", "43.7"};
        row("prognosis without screens") << "frmDLprognose" << 0 << "hScreen" << "0" << "2.5" << 6 << false
                                         << "0" << QStringList{"2.3", "56.1", "53.9"};
        row("critical temperature at -10 °C") << "frmTemperatur" << 0 << "thetaE" << "-20" << "20" << 5
                                              << false << "-10" << QStringList{"55", "10.7", "14.1"};
        row("critical humidity, surface at 0 °C (ice)") << "frmFeuchte" << 0 << "thetaS" << "-10" << "25"
                                                        << 8 << false << "0"
                                                        << QStringList{"26.18", "20.95", "15.71"};
        row("power level from 50 dB at 10 m") << "frmSchall" << 0 << "r" << "1" << "10" << 10 << false
                                              << "10" << QStringList{"80.99"};
        row("pressure level from 66 dB at 2 m") << "frmSchall" << 1 << "r" << "1" << "32" << 6 << true
                                                << "2" << QStringList{"48.99"};
    }
}

void TestStudy::pointsEqualTheCalculator()
{
    QFETCH(QString, mark);
    QFETCH(QString, window);
    QFETCH(int, half);
    QFETCH(QString, variable);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, points);
    QFETCH(bool, logarithmic);
    QFETCH(QString, x);
    QFETCH(QStringList, expected);
    LocaleScope locale(localeNamed(mark));

    StudyWindow* study = open(window);
    QVERIFY(study);
    if (auto* conversion = study->findChild<QComboBox*>("conversion"))
        conversion->setCurrentIndex(half);
    const CalculatorModel& model = study->model();
    studyOver(study, variable.toStdString(), inLocale(from, mark), inLocale(to, mark), points, logarithmic);
    QCOMPARE(study->tableView()->model()->rowCount(), points);

    const int row = rowOf(study, inLocale(x, mark));
    QVERIFY2(row >= 0, qPrintable(x));
    const QStringList shown = rowTexts(study, row);
    for (QString& e : expected)
        e = inLocale(e, mark);
    QCOMPARE(shown.mid(1), expected);

    // The same point typed into the calculator, which then calculates.
    const InputQuantity& input = model.inputs[std::size_t(model.inputIndex(variable.toStdString()))];
    setTextOf(calculator_, QString::fromStdString(input.field), x);
    click(calculator_, QString::fromStdString(model.calculateButton));
    for (std::size_t r = 0; r < model.results.size(); ++r) {
        QString studyText = shown[int(r) + 1];
        // The converter turns a decimal comma of its results into a point;
        // the study keeps the user's mark in every column.
        if (model.resultsCommaFix)
            studyText.replace(u',', u'.');
        QCOMPARE(textOf(calculator_, QString::fromStdString(model.results[r].field)), studyText);
    }
}

void TestStudy::converterStartsWithTheHalfThatHasTheFocus_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("variable");
    QTest::newRow("CLOSE: the first half") << "cmdUload" << "Schallleistungspegel" << "r";
    QTest::newRow("a button of the right half") << "cmdRun_p" << "Schalldruckpegel" << "r";
    QTest::newRow("the level field of the right half: over the level")
        << "txLeistug_p" << "Schalldruckpegel" << "Lw";
}

void TestStudy::converterStartsWithTheHalfThatHasTheFocus()
{
    QFETCH(QString, focus);
    show("frmSchall");
    QVERIFY(QTest::qWaitForWindowActive(calculator_));
    calculator_->findChild<QWidget*>(focus)->setFocus();
    StudyWindow* study = pressF2();
    QVERIFY(study);
    QTEST(QString::fromStdString(study->model().part), "part");
    const int variable = study->findChild<QComboBox*>("variable")->currentIndex();
    QTEST(QString::fromStdString(study->model().inputs[std::size_t(variable)].key), "variable");
    QCOMPARE(study->findChild<QComboBox*>("conversion")->count(), 2);  // both are offered
}

void TestStudy::pointWithoutAnswerIsADashAndAGap()
{
    // The converter has a message box of its own for a distance of 0; the
    // study shows "–" there and asks nothing.
    bool asked = false;
    setErrorQuestion([&asked](QWidget*) {
        asked = true;
        return ErrorChoice::Abort;
    });
    StudyWindow* study = open("frmSchall");
    QVERIFY(study);
    studyOver(study, "r", "-2", "2", 5, false);
    QCOMPARE(rowTexts(study, 2), (QStringList{"0", "–"}));
    // A negative distance counts like its absolute value: 50 dB at 1 m.
    QCOMPARE(rowTexts(study, 1), asShown({"-1", "60.99"}));
    const QList<QList<QPointF>> runs = study->chart()->curveRuns(0);
    QCOMPARE(runs.size(), 2);
    QCOMPARE(runs[0].size(), 2);
    QCOMPARE(runs[0].last().x(), -1.0);
    QCOMPARE(runs[1].first().x(), 1.0);
    QVERIFY(study->note().contains("1 von 5 Punkten ohne Ergebnis"));
    QVERIFY(!asked);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestStudy::unreadableFieldLeavesEveryPointWithoutAnswer()
{
    show("frmDLprognose");
    setTextOf(calculator_, "txHraum", "1E999");
    StudyWindow* study = pressF2();
    QVERIFY(study);
    studyOver(study, "r", "1", "32", 6, true);
    for (int r = 0; r < 6; ++r)
        QCOMPARE(rowTexts(study, r).mid(1), (QStringList{"–", "–", "–"}));
    for (int result = 0; result < 3; ++result)
        QVERIFY(study->chart()->curveRuns(result).isEmpty());
    QVERIFY(study->note().contains("Raumhöhe"));
    QVERIFY(study->findChild<QLabel*>("input_hRaum")->text().contains("zu groß"));

    // The variable's own text does not matter: the points replace it.
    setTextOf(calculator_, "txHraum", "3");
    setTextOf(calculator_, "txR", "1E999");
    QTRY_COMPARE(study->outcome().answered, 6);
    QCOMPARE(rowTexts(study, 0), asShown({"1", "4.6", "52.9", "62.1"}));
}

void TestStudy::rangeEditsRecomputeAndAreKeptSound()
{
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    studyOver(study, "r", "1", "32", 6, true);
    QVERIFY(study->chart()->logarithmicX());
    QCOMPARE(rowTexts(study, 5).first(), QString("32"));

    // "bis" typed smaller than "von": computed upwards, with a note.
    typeInto(study, "to", "0.5");
    QCOMPARE(rowTexts(study, 0).first(), asShown("0.5"));
    QCOMPARE(rowTexts(study, 5).first(), QString("1"));
    QVERIFY(study->note().contains("größer"));

    // A logarithmic range from 0: linear, with a note; R = 0 has no answer.
    typeInto(study, "from", "0");
    typeInto(study, "to", "10");
    QVERIFY(!study->chart()->logarithmicX());
    QVERIFY(study->note().contains("linear"));
    QCOMPARE(rowTexts(study, 0), (QStringList{"0", "–", "–", "–"}));
    QCOMPARE(rowTexts(study, 1).first(), QString("2"));

    // Text that is no number keeps the last range and says so.
    typeInto(study, "to", "zehn");
    QCOMPARE(rowTexts(study, 5).first(), QString("10"));
    QVERIFY(study->note().contains("„bis“ ist keine Zahl"));

    // The number of points stays within 2 and 1001.
    auto* points = study->findChild<QSpinBox*>("points");
    points->setValue(5000);
    QCOMPARE(study->tableView()->model()->rowCount(), 1001);
    points->setValue(0);
    QCOMPARE(study->tableView()->model()->rowCount(), 2);
}

void TestStudy::openPlanOfficeShowsTheGuidance()
{
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    QVERIFY(QTest::qWaitForWindowExposed(study));
    studyOver(study, "r", "1", "32", 101, true);
    QApplication::processEvents();
    const QStringList labels = study->chart()->guidanceLabels();
    QCOMPARE(labels.size(), 3);
    QVERIFY(labels[0].contains("D2,S = 7 dB"));
    QVERIFY(labels[1].contains("Lp,A,S,4m = 48 dB"));
    QVERIFY(labels[2].contains("45 dB"));
    // The marker stands at the calculator's R of 8 m, on the curves, and is
    // in the legend.
    QCOMPARE(study->chart()->markerX(), 8.0);
    const int eight = rowOf(study, "8");
    QVERIFY(eight > 0);
    QCOMPARE(study->outcome().currentResults, study->outcome().results[std::size_t(eight)]);
    QVERIFY(study->legend()->texts().last().contains("R = 8 m"));
    // The table has the focus when the window opens.
    QVERIFY(QTest::qWaitForWindowActive(study));
    QCOMPARE(QApplication::focusWidget(), study->tableView());
}

void TestStudy::legendNamesTheCurvesOnScreen_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("edits");  // "field=text" typed into the calculator
    QTest::addColumn<QString>("focus");       // the calculator's control with the focus
    QTest::addColumn<int>("half");            // the converter's half chosen then; -1 none
    QTest::addColumn<bool>("marker");         // the current input is in the legend

    QTest::newRow("the variable's field cannot be read")
        << "frmDLprognose" << QStringList{"txR=1E999"} << "txR" << -1 << false;
    QTest::newRow("converter: to the right half, whose distance cannot be read")
        << "frmSchall" << QStringList{"txAbstand_p=1E999"} << "cmdUload" << 1 << false;
    QTest::newRow("converter: to the left half, whose distance cannot be read")
        << "frmSchall" << QStringList{"txAbstand_l=1E999"} << "cmdRun_p" << 0 << false;
    QTest::newRow("converter: to the right half, with the marker")
        << "frmSchall" << QStringList{} << "cmdUload" << 1 << true;
    QTest::newRow("critical humidity, with the marker") << "frmFeuchte" << QStringList{} << "cmdUload" << -1
                                                        << true;
}

void TestStudy::legendNamesTheCurvesOnScreen()
{
    QFETCH(QString, window);
    QFETCH(QStringList, edits);
    QFETCH(QString, focus);
    QFETCH(int, half);
    QFETCH(bool, marker);
    show(window);
    for (const QString& edit : edits)
        setTextOf(calculator_, edit.section(u'=', 0, 0), edit.section(u'=', 1));
    QVERIFY(QTest::qWaitForWindowActive(calculator_));
    calculator_->findChild<QWidget*>(focus)->setFocus();
    StudyWindow* study = pressF2();
    QVERIFY(study);
    if (half >= 0) {
        QVERIFY(study->findChild<QComboBox*>("conversion")->currentIndex() != half);
        study->findChild<QComboBox*>("conversion")->setCurrentIndex(half);
    }

    const CalculatorModel& model = study->model();
    const QStringList shown = study->legend()->texts();
    QCOMPARE(shown.size(), int(model.results.size()) + (marker ? 1 : 0));
    for (std::size_t r = 0; r < model.results.size(); ++r) {
        const QString curve = QString::fromStdString(model.results[r].symbol) + " – " +
                              QString::fromStdString(model.results[r].label);
        QVERIFY2(shown[int(r)].startsWith(curve), qPrintable(shown.join(" | ")));
    }
    if (marker)
        QVERIFY(shown.last().startsWith("Eingabe im Rechner"));
}

void TestStudy::studyAndFailedWritesNeverChangeTheCalculator()
{
    show("frmDLprognose");
    auto fields = [this] {
        QStringList all;
        for (const QLineEdit* edit : calculator_->findChildren<QLineEdit*>())
            if (edit->window() == calculator_)  // not the study's own
                all << edit->objectName() + '=' + edit->text();
        return all;
    };
    const QStringList before = fields();
    QVERIFY(before.contains("txALPHAcell=0,1"));
    StudyWindow* study = pressF2();
    QVERIFY(study);
    auto* variable = study->findChild<QComboBox*>("variable");
    for (int v = 0; v < variable->count(); ++v)
        variable->setCurrentIndex(v);
    studyOver(study, "alphaCell", "1", "0.5", 11, false);
    QTemporaryDir dir;
    chooseFile(dir.filePath("s.csv"));
    QVERIFY(study->saveCsv());

    // A file that cannot be written: a German message, and nothing else.
    const QStringList table = rowTexts(study, 3);
    const QString path = dir.filePath("fehlt/studie.csv");
    chooseFile(path);
    QString message;  // the message box, answered with OK
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text() + u'\n' + box->informativeText();
            box->accept();
        }
    });
    answer.start(20);
    QVERIFY(!study->saveCsv());
    QVERIFY(message.contains("konnte nicht gespeichert werden"));
    QVERIFY(message.contains("studie.csv"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(rowTexts(study, 3), table);

    // Cancelling the dialog writes nothing and asks nothing.
    chooseFile({});
    QVERIFY(!study->saveChart());
    QVERIFY(!QApplication::activeModalWidget());

    QCOMPARE(fields(), before);  // "0,1" is not comma-fixed by the study either
}

void TestStudy::followsItsCalculatorAndClosesWithIt()
{
    QPointer<StudyWindow> study = open("frmTemperatur");
    QVERIFY(study);
    studyOver(study, "thetaE", "-20", "20", 5, false);
    QCOMPARE(study->chart()->markerX(), -3.2);
    setTextOf(calculator_, "txAussen", "10");
    QTRY_COMPARE(study->chart()->markerX(), 10.0);
    QCOMPARE(rowTexts(study, 0).first(), QString("-20"));  // the user's range stays

    // Closed, it catches up when F2 brings it back, with the user's range.
    study->close();
    QVERIFY(!study->isVisible());
    setTextOf(calculator_, "txAussen", "5");
    QApplication::processEvents();
    QCOMPARE(pressF2(), study.data());
    QVERIFY(study->isVisible());
    QCOMPARE(study->tableView()->model()->rowCount(), 5);
    QCOMPARE(rowTexts(study, 4).first(), QString("20"));
    QCOMPARE(study->chart()->markerX(), 5.0);

    click(calculator_, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!study);
}

void TestStudy::copyWholeTable()
{
    LocaleScope locale(localeNamed("comma"));
    StudyWindow* study = open("frmTemperatur");
    QVERIFY(study);
    studyOver(study, "thetaE", "-20", "20", 5, false);
    QTableView* table = study->tableView();
    table->setFocus();
    QTest::keyClick(table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    QVERIFY(mime);
    const QStringList lines = mime->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0], QString("θe [°C]\tφ [%]\tθK [°C]\tθM [°C]"));
    QCOMPARE(lines[1], QString("-20\t45\t7,7\t11"));
    QCOMPARE(lines[5], QString("20\t75\t15,4\t19"));
    QVERIFY(mime->html().contains("<td align=\"right\">15,4</td>"));
    QCOMPARE(mime->html().count("<tr>"), 6);
}

void TestStudy::saveCsv_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QByteArray>("expected");
    // -65 °C has no answer (an empty cell), -64 °C is a worked example.
    QTest::newRow("German settings") << "comma"
                                     << QByteArray("\xEF\xBB\xBFθe [°C];φ [%];θK [°C];θM [°C]\r\n"
                                                   "-65;;;\r\n-64;1;-37,7;-32,6\r\n");
    QTest::newRow("English settings") << "point"
                                      << QByteArray("\xEF\xBB\xBFθe [°C],φ [%],θK [°C],θM [°C]\r\n"
                                                    "-65,,,\r\n-64,1,-37.7,-32.6\r\n");
}

void TestStudy::saveCsv()
{
    QFETCH(QString, mark);
    LocaleScope locale(localeNamed(mark));
    StudyWindow* study = open("frmTemperatur");
    QVERIFY(study);
    studyOver(study, "thetaE", "-65", "-64", 2, false);
    QTemporaryDir dir;
    QString offered;
    setStudyFileDialog([&](QWidget*, const QString&, const QString& suggested, const QString&, QString*) {
        offered = suggested;
        return dir.filePath("studie");  // typed without a suffix
    });
    QVERIFY(study->saveCsv());
    QVERIFY(offered.endsWith(".csv"));
    QFile file(dir.filePath("studie.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTEST(file.readAll(), "expected");
}

void TestStudy::saveChart_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("saved");
    QTest::newRow("PNG") << "diagramm.png" << "PNG-Bild (*.png)" << "diagramm.png";
    QTest::newRow("SVG") << "diagramm.svg" << "PNG-Bild (*.png)" << "diagramm.svg";
    QTest::newRow("SVG chosen by its filter") << "diagramm" << "SVG-Grafik (*.svg)" << "diagramm.svg";
}

void TestStudy::saveChart()
{
    QFETCH(QString, name);
    QFETCH(QString, filter);
    QFETCH(QString, saved);
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    QVERIFY(QTest::qWaitForWindowExposed(study));
    QTemporaryDir dir;
    setStudyFileDialog([&](QWidget*, const QString&, const QString&, const QString&, QString* selected) {
        *selected = filter;
        return dir.filePath(name);
    });
    QVERIFY(study->saveChart());
    QFile file(dir.filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    if (saved.endsWith(".png")) {
        QVERIFY(QImage::fromData(bytes, "PNG").width() >= 2 * study->chart()->width());
    } else {
        QVERIFY(bytes.contains("<svg"));
        QVERIFY(bytes.contains("Abstand R [m]"));       // the axis title as text
        QVERIFY(bytes.contains("Eingabe im Rechner"));  // the legend
    }
}

void TestStudy::newWindowDrawsAsAFreshOne_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("change");  // in the first window, after its picture
    QTest::addColumn<QString>("mark");    // of the second window
    QTest::addColumn<bool>("kept");       // the second window draws on the first one's chart
    QTest::newRow("prognosis, logarithmic x") << "frmDLprognose" << "" << "point" << true;
    QTest::newRow("critical temperature, linear x") << "frmTemperatur" << "" << "point" << true;
    QTest::newRow("prognosis switched to linear x") << "frmDLprognose" << "linear" << "point" << false;
    QTest::newRow("another decimal mark") << "frmDLprognose" << "" << "comma" << false;
}

// A study of the calculator closed and opened again looks and tabs as the
// first one did, on the first one's chart where it could be kept.
void TestStudy::newWindowDrawsAsAFreshOne()
{
    QFETCH(QString, window);
    QFETCH(QString, change);
    QFETCH(QString, mark);
    QFETCH(bool, kept);
    const auto openAgain = [&] {
        form_.reset();
        processDeferredDeletes();
        StudyWindow* study = open(window);
        study->resize(1120, 740);
        study->show();
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        QStringList tabs;
        for (QWidget* w = study->nextInFocusChain(); w != study; w = w->nextInFocusChain())
            tabs << QString::fromLatin1(w->metaObject()->className()) + u'/' + w->objectName();
        return std::tuple{study, study->grab().toImage(), tabs};
    };
    {
        // A chart kept from another test is not taken under other settings.
        const LocaleScope other(localeNamed("comma"));
        openAgain();
    }
    const LocaleScope point(localeNamed("point"));
    const auto [first, picture, tabs] = openAgain();
    const QPointer<StudyChart> chart = first->chart();
    if (change == "linear")
        first->findChild<QCheckBox*>("logarithmic")->setChecked(false);

    const LocaleScope second(localeNamed(mark));
    const auto [study, againPicture, againTabs] = openAgain();
    QCOMPARE(study->chart() == chart.data(), kept);
    QCOMPARE(study->chart()->chart()->locale(), QLocale());
    if (mark == "point") {
        QCOMPARE(againTabs, tabs);
        QVERIFY(againPicture == picture);
    }
}

void TestStudy::labelSizesAreQLabels_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wrapped");
    QTest::addColumn<bool>("selectable");
    QTest::addColumn<bool>("buddy");
    QTest::newRow("a name") << "Raumhöhe Hraum" << false << false << false;
    QTest::newRow("a wrapped name") << "Schallpegel der Sprache in 1 m Abstand L1" << true << false << false;
    QTest::newRow("a selectable value") << "veränderlich (8 m)" << false << true << false;
    QTest::newRow("a label with a shortcut") << "&bis:" << false << false << true;
}

// The sizes a StudyLabel keeps are the ones QLabel measures, also after its
// text or font changed.
void TestStudy::labelSizesAreQLabels()
{
    QFETCH(QString, text);
    QFETCH(bool, wrapped);
    QFETCH(bool, selectable);
    QFETCH(bool, buddy);
    QWidget parent;
    auto* edit = new QLineEdit(&parent);
    auto* kept = new StudyLabel(text, &parent);
    auto* label = new QLabel(text, &parent);
    for (QLabel* l : {static_cast<QLabel*>(kept), label}) {
        l->setWordWrap(wrapped);
        if (selectable)
            l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (buddy)
            l->setBuddy(edit);
    }
    const auto compare = [&] {
        QCOMPARE(kept->sizeHint(), label->sizeHint());
        QCOMPARE(kept->minimumSizeHint(), label->minimumSizeHint());
        for (int width : {60, 120, 400})
            QCOMPARE(kept->heightForWidth(width), label->heightForWidth(width));
    };
    compare();
    for (QLabel* l : {static_cast<QLabel*>(kept), label})
        l->setText(text + QStringLiteral(" und mehr Text"));
    if (!QTest::currentTestFailed())
        compare();
    QFont bold = parent.font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    parent.setFont(bold);
    if (!QTest::currentTestFailed())
        compare();
}

QTEST_MAIN(TestStudy)
#include "tst_study.moc"
