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
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace orvella;
using namespace orvella::test;

namespace {

std::unique_ptr<CalculatorForm> makeForm(const QString& window)
{
    auto noMenu = [] {};
    if (window == "frmSchall")
        return makeSchallForm(noMenu);
    if (window == "frmFeuchte")
        return makeFeuchteForm(noMenu);
    if (window == "frmTemperatur")
        return makeTemperaturForm(noMenu);
    return makeDLprognoseForm(noMenu);
}

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

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Chooses the variable and types the range as a user does.
void studyOver(StudyWindow* study, const std::string& key, const QString& from, const QString& to,
               int points, bool logarithmic)
{
    auto* variable = study->findChild<QComboBox*>("variable");
    variable->setCurrentIndex(study->model().inputIndex(key));
    typeInto(study->findChild<QLineEdit*>("from"), from);
    typeInto(study->findChild<QLineEdit*>("to"), to);
    study->findChild<QSpinBox*>("points")->setValue(points);
    study->findChild<QCheckBox*>("logarithmic")->setChecked(logarithmic);
}

// Answers the next message box with OK and keeps its text.
QString* answerNextMessageBox()
{
    auto* text = new QString;
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            *text = box->text() + u'\n' + box->informativeText();
            box->accept();
            timer->deleteLater();
        }
    });
    timer->start(20);
    return text;
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
    void calculatorFieldsNeverChange();
    void studyFollowsTheCalculatorsFields();
    void copyWholeTable();
    void saveCsv_data();
    void saveCsv();
    void saveChart_data();
    void saveChart();
    void fileThatCannotBeWrittenIsReported();
    void closedStudyComesBackWithItsRange();
    void closesWithItsCalculator();

private:
    StudyWindow* open(const QString& window);
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

StudyWindow* TestStudy::open(const QString& window)
{
    form_ = makeForm(window);
    form_->show();
    calculator_ = form_->window();
    auto* designed = qobject_cast<DesignedWindow*>(calculator_);
    if (!designed)
        return nullptr;
    return qobject_cast<StudyWindow*>(openStudyWindow(companionRequest(*designed)));
}

void TestStudy::pointsEqualTheCalculator_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("half");  // frmSchall: 0 the left, 1 the right frame
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("logarithmic");
    QTest::addColumn<QString>("x");            // the point looked at, with a point
    QTest::addColumn<QStringList>("expected");  // its results (worked examples), with a point
    QTest::addColumn<QString>("mark");

    for (const char* mark : {"point", "comma"}) {
        auto row = [mark](const char* name) -> QTestData& { return QTest::addRow("%s, %s", name, mark); };
        row("prognosis over R, 16 m") << "frmDLprognose" << 0 << "r" << "1" << "32" << 6 << true
                                      << "16" << QStringList{"4.6", "52.9", "43.7"} << mark;
        row("prognosis over R, 1 m") << "frmDLprognose" << 0 << "r" << "1" << "32" << 6 << true
                                     << "1" << QStringList{"4.6", "52.9", "62.1"} << mark;
        row("prognosis over screen height 2.5 m")
            << "frmDLprognose" << 0 << "hScreen" << "0" << "2.5" << 6 << false << "2.5"
            << QStringList{"8.1", "48", "40"} << mark;
        row("prognosis without screens") << "frmDLprognose" << 0 << "hScreen" << "0" << "2.5" << 6
                                         << false << "0" << QStringList{"2.3", "56.1", "53.9"} << mark;
        row("critical temperature at -10 °C") << "frmTemperatur" << 0 << "thetaE" << "-20" << "20" << 5
                                              << false << "-10" << QStringList{"55", "10.7", "14.1"} << mark;
        row("critical temperature at 20 °C") << "frmTemperatur" << 0 << "thetaE" << "-20" << "20" << 5
                                             << false << "20" << QStringList{"75", "15.4", "19"} << mark;
        row("critical humidity, surface at 0 °C (ice)")
            << "frmFeuchte" << 0 << "thetaS" << "-10" << "25" << 8 << false << "0"
            << QStringList{"26.18", "20.95", "15.71"} << mark;
        row("critical humidity, surface warmer than the room")
            << "frmFeuchte" << 0 << "thetaS" << "-10" << "25" << 8 << false << "25"
            << QStringList{"135.41", "108.33", "81.25"} << mark;
        row("power level from 50 dB at 10 m") << "frmSchall" << 0 << "r" << "1" << "10" << 10 << false
                                              << "10" << QStringList{"80.99"} << mark;
        row("pressure level from 66 dB at 2 m") << "frmSchall" << 1 << "r" << "1" << "32" << 6 << true
                                                << "2" << QStringList{"48.99"} << mark;
    }
}

void TestStudy::pointsEqualTheCalculator()
{
    QFETCH(QString, window);
    QFETCH(int, half);
    QFETCH(QString, variable);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, points);
    QFETCH(bool, logarithmic);
    QFETCH(QString, x);
    QFETCH(QStringList, expected);
    QFETCH(QString, mark);
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
    QStringList worked;
    for (const QString& e : expected)
        worked << inLocale(e, mark);
    const QStringList shown = rowTexts(study, row);
    QCOMPARE(shown.mid(1), worked);

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
    QTest::newRow("the distance of the left half") << "txAbstand_l" << "Schallleistungspegel" << "r";
}

void TestStudy::converterStartsWithTheHalfThatHasTheFocus()
{
    QFETCH(QString, focus);
    form_ = makeForm("frmSchall");
    form_->show();
    calculator_ = form_->window();
    QVERIFY(QTest::qWaitForWindowActive(calculator_));
    calculator_->findChild<QWidget*>(focus)->setFocus();
    auto* study = qobject_cast<StudyWindow*>(
        openStudyWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))));
    QVERIFY(study);
    QTEST(QString::fromStdString(study->model().part), "part");
    const int variable = study->findChild<QComboBox*>("variable")->currentIndex();
    QTEST(QString::fromStdString(study->model().inputs[std::size_t(variable)].key), "variable");
    // Both conversions are offered.
    QCOMPARE(study->findChild<QComboBox*>("conversion")->count(), 2);
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
    QCOMPARE(rowTexts(study, 1), (QStringList{"-1", "60.99"}));
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
    form_ = makeDLprognoseForm([] {});
    form_->show();
    calculator_ = form_->window();
    setTextOf(calculator_, "txHraum", "1E999");
    auto* study = qobject_cast<StudyWindow*>(
        openStudyWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))));
    QVERIFY(study);
    const QAbstractItemModel* table = study->tableView()->model();
    QVERIFY(table->rowCount() >= 2);
    for (int r = 0; r < table->rowCount(); ++r)
        QCOMPARE(rowTexts(study, r).mid(1), (QStringList{"–", "–", "–"}));
    for (int result = 0; result < 3; ++result)
        QVERIFY(study->chart()->curveRuns(result).isEmpty());
    QVERIFY(study->note().contains("Raumhöhe"));
    QVERIFY(study->findChild<QLabel*>("input_hRaum")->text().contains("zu groß"));
}

void TestStudy::rangeEditsRecomputeAndAreKeptSound()
{
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    const QAbstractItemModel* table = study->tableView()->model();

    studyOver(study, "r", "1", "32", 6, true);
    QVERIFY(study->chart()->logarithmicX());
    QCOMPARE(rowTexts(study, 5).first(), QString("32"));

    // "bis" typed smaller than "von": computed upwards, with a note.
    typeInto(study->findChild<QLineEdit*>("to"), "0.5");
    QCOMPARE(rowTexts(study, 0).first(), QString("0.5"));
    QCOMPARE(rowTexts(study, 5).first(), QString("1"));
    QVERIFY(study->note().contains("größer"));

    // A logarithmic range from 0: linear, with a note; R = 0 has no answer.
    typeInto(study->findChild<QLineEdit*>("from"), "0");
    typeInto(study->findChild<QLineEdit*>("to"), "10");
    QVERIFY(!study->chart()->logarithmicX());
    QVERIFY(study->note().contains("linear"));
    QCOMPARE(rowTexts(study, 0), (QStringList{"0", "–", "–", "–"}));
    QCOMPARE(rowTexts(study, 1).first(), QString("2"));

    // Text that is no number keeps the last range and says so.
    typeInto(study->findChild<QLineEdit*>("to"), "zehn");
    QCOMPARE(rowTexts(study, 5).first(), QString("10"));
    QVERIFY(study->note().contains("„bis“ ist keine Zahl"));

    // The number of points stays within 2 and 1001.
    auto* points = study->findChild<QSpinBox*>("points");
    points->setValue(5000);
    QCOMPARE(table->rowCount(), 1001);
    points->setValue(0);
    QCOMPARE(table->rowCount(), 2);
}

void TestStudy::openPlanOfficeShowsTheGuidance()
{
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    study->resize(1100, 740);
    QVERIFY(QTest::qWaitForWindowExposed(study));
    studyOver(study, "r", "1", "32", 101, true);
    QApplication::processEvents();
    const QStringList labels = study->chart()->guidanceLabels();
    QCOMPARE(labels.size(), 3);
    QVERIFY(labels[0].contains("D2,S = 7 dB"));
    QVERIFY(labels[1].contains("Lp,A,S,4m = 48 dB"));
    QVERIFY(labels[2].contains("45 dB"));
    // The marker stands at the calculator's R of 8 m and is in the legend.
    QCOMPARE(study->chart()->markerX(), 8.0);
    QVERIFY(study->legend()->texts().last().contains("R = 8 m"));
    // The table has the focus when the window opens.
    QVERIFY(QTest::qWaitForWindowActive(study));
    QCOMPARE(QApplication::focusWidget(), study->tableView());
}

void TestStudy::calculatorFieldsNeverChange()
{
    StudyWindow* study = open("frmDLprognose");
    QVERIFY(study);
    const QStringList fields = {"txALPHAcell", "txALPHAhori", "txHscreen", "txLraum", "txWraum",
                                "txHraum", "txL1", "txR", "txDL2", "txL4", "txLr"};
    QStringList before;
    for (const QString& f : fields)
        before << textOf(calculator_, f);
    for (int v = 0; v < 8; ++v)
        study->findChild<QComboBox*>("variable")->setCurrentIndex(v);
    studyOver(study, "alphaCell", "1", "0", 11, false);
    QTemporaryDir dir;
    setStudyFileDialog([&dir](QWidget*, const QString&, const QString&, const QString&, QString*) {
        return dir.filePath("s.csv");
    });
    QVERIFY(study->saveCsv());
    QStringList after;
    for (const QString& f : fields)
        after << textOf(calculator_, f);
    QCOMPARE(after, before);
    QCOMPARE(before.first(), QString("0,1"));  // not comma-fixed by the study
}

void TestStudy::studyFollowsTheCalculatorsFields()
{
    StudyWindow* study = open("frmTemperatur");
    QVERIFY(study);
    studyOver(study, "thetaE", "-20", "20", 5, false);
    QCOMPARE(study->chart()->markerX(), -3.2);
    setTextOf(calculator_, "txAussen", "10");
    QTRY_COMPARE(study->chart()->markerX(), 10.0);
    // The user's range stays.
    QCOMPARE(rowTexts(study, 0).first(), QString("-20"));
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
    QVERIFY(mime->hasHtml());
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
    study->resize(1000, 700);
    QVERIFY(QTest::qWaitForWindowExposed(study));
    QTemporaryDir dir;
    setStudyFileDialog([&](QWidget*, const QString&, const QString&, const QString&, QString* selected) {
        *selected = filter;
        return dir.filePath(name);
    });
    QVERIFY(study->saveChart());
    const QString path = dir.filePath(saved);
    QVERIFY(QFile::exists(path));
    if (path.endsWith(".png")) {
        const QImage image(path);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() >= 2 * study->chart()->width());
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString svg = QString::fromUtf8(file.readAll());
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains("Abstand R [m]"));  // the axis title as text
        QVERIFY(svg.contains("Eingabe im Rechner"));  // the legend
    }
}

void TestStudy::fileThatCannotBeWrittenIsReported()
{
    StudyWindow* study = open("frmFeuchte");
    QVERIFY(study);
    const QStringList before = rowTexts(study, 0);
    QTemporaryDir dir;
    const QString path = dir.filePath("fehlt/studie.csv");
    setStudyFileDialog([&](QWidget*, const QString&, const QString&, const QString&, QString*) { return path; });
    std::unique_ptr<QString> message(answerNextMessageBox());
    QVERIFY(!study->saveCsv());
    QVERIFY(message->contains("konnte nicht gespeichert werden"));
    QVERIFY(message->contains("studie.csv"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(rowTexts(study, 0), before);

    // Cancelling the dialog writes nothing and asks nothing.
    setStudyFileDialog([](QWidget*, const QString&, const QString&, const QString&, QString*) { return QString(); });
    QVERIFY(!study->saveChart());
    QVERIFY(!QApplication::activeModalWidget());
}

void TestStudy::closedStudyComesBackWithItsRange()
{
    StudyWindow* study = open("frmTemperatur");
    QVERIFY(study);
    studyOver(study, "thetaE", "-20", "20", 5, false);
    study->close();
    QVERIFY(!study->isVisible());
    // The calculator's field changes while the study is closed.
    setTextOf(calculator_, "txAussen", "10");
    QApplication::processEvents();
    QCOMPARE(openStudyWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))), study);
    QVERIFY(study->isVisible());
    QCOMPARE(study->tableView()->model()->rowCount(), 5);
    QCOMPARE(rowTexts(study, 4).first(), QString("20"));
    QCOMPARE(study->chart()->markerX(), 10.0);
}

void TestStudy::closesWithItsCalculator()
{
    StudyWindow* study = open("frmFeuchte");
    QVERIFY(study);
    QPointer<QWidget> guard(study);
    QVERIFY(study->isVisible());
    // A second F2 raises the same window.
    QCOMPARE(openStudyWindow(companionRequest(*qobject_cast<DesignedWindow*>(calculator_))), study);
    click(calculator_, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!guard);
}

QTEST_MAIN(TestStudy)
#include "tst_study.moc"
