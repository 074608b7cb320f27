// SPDX-License-Identifier: GPL-3.0-or-later
// The help window against the real calculator windows: its worked
// calculation shows the results the window writes (in either decimal mark),
// says where a calculation without an answer stops, follows the window's
// clicks, leaves the fields alone, closes with its calculator, and its PDF
// holds the worked numbers.

#include "companions.h"
#include "frmschall.h"
#include "helpwindow.h"
#include "moisturemodels.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace orvella;
using namespace orvella::test;

namespace {

const QMap<QString, QString> kMenuButton{{"frmCalculator", "Command1"}, {"frmSchall", "Command2"},
                                         {"frmFeuchte", "Command3"},    {"frmTemperatur", "Command4"},
                                         {"frmDLprognose", "Command5"}};

HelpWindow* openHelp(QWidget* window)
{
    auto* designed = qobject_cast<DesignedWindow*>(window);
    return designed ? qobject_cast<HelpWindow*>(openHelpWindow(companionRequest(*designed))) : nullptr;
}

// "txRaum=20,5" pairs typed into the window.
void type(QWidget* window, const QStringList& edits)
{
    for (const QString& edit : edits)
        setTextOf(window, edit.section(u'=', 0, 0), edit.section(u'=', 1));
}

// The line of the worked calculation that gives a result, as plain text.
QString resultLine(const HelpWindow* help, const Quantity& q)
{
    const QString start = QStringLiteral("Ergebnis: ") + QString::fromStdString(q.label) + u' ';
    for (const QString& line : help->pageText().split(u'\n'))
        if (line.startsWith(start))
            return line;
    return {};
}

QString stoppedLine(const HelpWindow* help)
{
    for (const QString& line : help->pageText().split(u'\n'))
        if (line.startsWith(QStringLiteral("Keine endliche Lösung")))
            return line;
    return {};
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void workedCalculationIsTheWindows_data();
    void workedCalculationIsTheWindows();
    void saysWhereItStopped_data();
    void saysWhereItStopped();
    void readsWithoutChangingTheFields();
    void reopenedHelpShowsTheFieldsNow_data();
    void reopenedHelpShowsTheFieldsNow();
    void keypadWithItsOperands_data();
    void keypadWithItsOperands();
    void keypadOperandsInTheUsersDecimalMark_data();
    void keypadOperandsInTheUsersDecimalMark();
    void overviewFromTheMenu();
    void closesWithItsCalculator();
    void programEndsWithTheLastDesignedWindow();
    void pdfHoldsTheWorkedCalculation();
    void pdfThatCannotBeWrittenChangesNothing_data();
    void pdfThatCannotBeWrittenChangesNothing();
    void printsThroughThePrinter();

private:
    QWidget* open(const QString& window) { return openFromMenu(shell_->menu(), kMenuButton[window], window); }
    std::unique_ptr<Shell> shell_;
};

void TestHelp::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestHelp::init()
{
    shell_ = std::make_unique<Shell>();
    shell_->menu().show();
}

void TestHelp::cleanup()
{
    shell_.reset();
    processDeferredDeletes();
    setErrorQuestion({});
    setSaveFileQuestion({});
    setPrintQuestion({});
}

void TestHelp::workedCalculationIsTheWindows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("expected");  // field=text as the window shows it, written with a point

    // Expected texts from the calculators' worked examples. The converter
    // turns the comma of its results into a point, so its texts keep the point.
    for (const QString mark : {"point", "comma"}) {
        QTest::addRow("converter, design texts, %s", qPrintable(mark))
            << "frmSchall" << mark << QStringList{}
            << QStringList{"txLeistug_l=60.99", "txPegel_p=55.01"};
        QTest::addRow("converter, 50 dB at 10 m and 66 dB at 2,0 m, %s", qPrintable(mark))
            << "frmSchall" << mark << QStringList{"txAbstand_l=10", "txAbstand_p=2,0"}
            << QStringList{"txLeistug_l=80.99", "txPegel_p=48.99"};
        QTest::addRow("humidity, design texts, %s", qPrintable(mark))
            << "frmFeuchte" << mark << QStringList{}
            << QStringList{"txKondens=52.57", "txSchimel=42.06", "txKorrosion=31.54"};
        QTest::addRow("humidity, 20,5 and 12,25, %s", qPrintable(mark))
            << "frmFeuchte" << mark << QStringList{"txRaum=20,5", "txOberflaeche=12,25"}
            << QStringList{"txKondens=59.18", "txSchimel=47.34", "txKorrosion=35.51"};
        QTest::addRow("humidity, -5 and -10 over ice, %s", qPrintable(mark))
            << "frmFeuchte" << mark << QStringList{"txRaum=-5", "txOberflaeche=-10"}
            << QStringList{"txKondens=64.67", "txSchimel=51.73", "txKorrosion=38.8"};
        QTest::addRow("temperature, design text, %s", qPrintable(mark))
            << "frmTemperatur" << mark << QStringList{}
            << QStringList{"txFeuchte1=61.8", "txKondens=12.5", "txSchimel=15.9"};
        QTest::addRow("temperature, 12 °C above the 65 %% band, %s", qPrintable(mark))
            << "frmTemperatur" << mark << QStringList{"txAussen=12"}
            << QStringList{"txFeuchte1=67", "txKondens=13.7", "txSchimel=17.2"};
        QTest::addRow("temperature, -64 °C, mould limit over ice, %s", qPrintable(mark))
            << "frmTemperatur" << mark << QStringList{"txAussen=-64"}
            << QStringList{"txFeuchte1=1", "txKondens=-37.7", "txSchimel=-32.6"};
        QTest::addRow("prognosis, design texts, %s", qPrintable(mark))
            << "frmDLprognose" << mark << QStringList{}
            << QStringList{"txDL2=4.6", "txL4=52.9", "txLr=48.3"};
        QTest::addRow("prognosis, screens 2,5 m, %s", qPrintable(mark))
            << "frmDLprognose" << mark << QStringList{"txHscreen=2,5"}
            << QStringList{"txDL2=8.1", "txL4=48", "txLr=40"};
        QTest::addRow("prognosis, R 16, %s", qPrintable(mark))
            << "frmDLprognose" << mark << QStringList{"txR=16"}
            << QStringList{"txDL2=4.6", "txL4=52.9", "txLr=43.7"};
    }
}

void TestHelp::workedCalculationIsTheWindows()
{
    QFETCH(QString, window);
    QFETCH(QString, mark);
    QFETCH(QStringList, edits);
    QFETCH(QStringList, expected);
    const LocaleScope locale(localeNamed(mark));

    QWidget* w = open(window);
    QVERIFY(w);
    // Opened before the inputs change: the page follows the window's clicks.
    HelpWindow* help = openHelp(w);
    QVERIFY(help);
    type(w, edits);
    const auto* calculator = qobject_cast<CalculatorWindow*>(w);
    for (const CalculatorModel* m : calculator->models())
        click(w, QString::fromStdString(m->calculateButton));

    for (const QString& e : expected) {
        const QString field = e.section(u'=', 0, 0);
        const QString shown = textOf(w, field);
        QCOMPARE(shown, window == "frmSchall" ? e.section(u'=', 1) : inLocale(e.section(u'=', 1), mark));
        const Quantity* q = nullptr;
        for (const CalculatorModel* m : calculator->models())
            for (const Quantity& r : m->results)
                if (QString::fromStdString(r.field) == field)
                    q = &r;
        QVERIFY(q);
        const QString line = resultLine(help, *q);
        QVERIFY2(line.contains(QStringLiteral(" = %1 %2").arg(shown, QString::fromStdString(q->unit))),
                 qPrintable(line));
    }
    QVERIFY(stoppedLine(help).isEmpty());
}

void TestHelp::saysWhereItStopped_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("phrases");  // parts of the one sentence

    QTest::newRow("converter: distance 0")
        << "frmSchall" << "point" << QStringList{"txAbstand_l=0"} << "cmdRun_l"
        << QStringList{"beim Logarithmus ΔL = 10 · lg S", "Abstand r 0 m"};
    QTest::newRow("converter: a level too large to read")
        << "frmSchall" << "comma" << QStringList{"txLeistug_p=1E999"} << "cmdRun_p"
        << QStringList{"beim Lesen des Feldes „Schallleistungspegel“", "zu groß"};
    QTest::newRow("humidity: surface below -148.6 °C")
        << "frmFeuchte" << "comma" << QStringList{"txOberflaeche=-150"} << "cmdRun_Feuchte"
        << QStringList{"Sättigungsdampfdruck an der Oberfläche", "unter −148,6 °C"};
    QTest::newRow("humidity: room at -148.6 °C")
        << "frmFeuchte" << "point" << QStringList{"txRaum=-148.6"} << "cmdRun_Feuchte"
        << QStringList{"Tauwassergrenze", "0 Pa"};
    QTest::newRow("temperature: -65 °C")
        << "frmTemperatur" << "comma" << QStringList{"txAussen=-65"} << "cmdRun_Grenzen"
        << QStringList{"beim Logarithmus x = lg y", "keinen Wasserdampf"};
    QTest::newRow("prognosis: empty room height")
        << "frmDLprognose" << "point" << QStringList{"txHraum="} << "cmdRUNDL"
        << QStringList{"bei DL2", "Raumhöhe HRaum 0 m"};
    QTest::newRow("prognosis: distance -8")
        << "frmDLprognose" << "comma" << QStringList{"txR=-8"} << "cmdRUNDL"
        << QStringList{"beim Logarithmus lg R", "nicht größer als 0 m"};
}

void TestHelp::saysWhereItStopped()
{
    QFETCH(QString, window);
    QFETCH(QString, mark);
    QFETCH(QStringList, edits);
    QFETCH(QString, button);
    QFETCH(QStringList, phrases);
    const LocaleScope locale(localeNamed(mark));
    setErrorQuestion([](QWidget*) { return ErrorChoice::Abort; });

    QWidget* w = open(window);
    QVERIFY(w);
    HelpWindow* help = openHelp(w);
    const CalculatorModel* model = nullptr;
    for (const CalculatorModel* m : qobject_cast<CalculatorWindow*>(w)->models())
        if (QString::fromStdString(m->calculateButton) == button)
            model = m;
    QVERIFY(model);
    QStringList before;
    for (const Quantity& q : model->results)
        before << textOf(w, QString::fromStdString(q.field));

    type(w, edits);
    click(w, button);

    const QString sentence = stoppedLine(help);
    QVERIFY2(sentence.startsWith("Keine endliche Lösung: Die Rechnung bricht "), qPrintable(sentence));
    QVERIFY(sentence.endsWith(u'.'));
    for (const QString& phrase : phrases)
        QVERIFY2(sentence.contains(phrase), qPrintable(sentence + " / " + phrase));
    // As the page says: the window keeps its result fields and gives no result line.
    QStringList after;
    for (const Quantity& q : model->results) {
        after << textOf(w, QString::fromStdString(q.field));
        QVERIFY(resultLine(help, q).isEmpty());
    }
    QCOMPARE(after, before);
}

void TestHelp::readsWithoutChangingTheFields()
{
    const LocaleScope locale(localeNamed("comma"));
    QWidget* w = open("frmFeuchte");
    type(w, {"txRaum=20,5", "txOberflaeche=12,25"});
    HelpWindow* help = openHelp(w);
    QVERIFY(help);
    // Read through the window's comma fix on a copy: the fields keep their commas.
    QCOMPARE(textOf(w, "txRaum"), QString("20,5"));
    QCOMPARE(textOf(w, "txOberflaeche"), QString("12,25"));
    QCOMPARE(textOf(w, "txKondens"), QString("0"));
    QVERIFY(resultLine(help, feuchteModel().results[0]).contains(" = 59,18 %"));

    // "Aktualisieren" reads the fields again where the reader left the page;
    // a second F1 raises the same window.
    QScrollBar* bar = help->browser()->verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    const int position = bar->value();
    QVERIFY(position > 0);
    setTextOf(w, "txOberflaeche", "10");
    click(help, "helpRefresh");
    QVERIFY(resultLine(help, feuchteModel().results[0]).contains(" = 50,98 %"));
    QCOMPARE(bar->value(), position);
    QCOMPARE(openHelp(w), help);
}

void TestHelp::reopenedHelpShowsTheFieldsNow_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("typedWhileClosed");
    QTest::addColumn<QString>("result");
    QTest::newRow("same fields, comma") << "comma" << QStringList{"txRaum=20,5", "txOberflaeche=12,25"}
                                        << QStringList{} << " = 59,18 %";
    QTest::newRow("a field changed, comma") << "comma" << QStringList{"txRaum=20,5", "txOberflaeche=12,25"}
                                            << QStringList{"txOberflaeche=10"} << " = 50,98 %";
    QTest::newRow("same fields, point") << "point" << QStringList{"txRaum=20.5", "txOberflaeche=12.25"}
                                        << QStringList{} << " = 59.18 %";
    QTest::newRow("a field changed, point") << "point" << QStringList{"txRaum=20.5", "txOberflaeche=12.25"}
                                            << QStringList{"txOberflaeche=10"} << " = 50.98 %";
}

// A help closed and opened again (a new window, which takes the closed one's
// laid-out page when it is the same) shows what a new help shows for the
// fields as they are now: at the top, nothing selected.
void TestHelp::reopenedHelpShowsTheFieldsNow()
{
    QFETCH(QString, locale);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, typedWhileClosed);
    QFETCH(QString, result);
    const LocaleScope scope(localeNamed(locale));
    QWidget* w = open("frmFeuchte");
    type(w, typed);
    QPointer<HelpWindow> first = openHelp(w);
    QVERIFY(first);
    const QImage firstImage = first->browser()->grab().toImage();
    const QString firstText = first->pageText();
    const QPointer<QTextBrowser> firstPage = first->browser();
    // What the reader did there does not show in the next help.
    first->browser()->selectAll();
    first->browser()->verticalScrollBar()->setValue(first->browser()->verticalScrollBar()->maximum() / 2);
    first->close();
    processDeferredDeletes();
    QVERIFY(!first);
    type(w, typedWhileClosed);

    HelpWindow* again = openHelp(w);
    QVERIFY(again);
    QVERIFY(resultLine(again, feuchteModel().results[0]).contains(result));
    // The page laid out before is shown again when it is the same.
    QCOMPARE(again->browser() == firstPage, typedWhileClosed.isEmpty());
    if (typedWhileClosed.isEmpty()) {
        QCOMPARE(again->pageText(), firstText);
        QCOMPARE(again->browser()->grab().toImage(), firstImage);
    }
}

void TestHelp::keypadWithItsOperands_data()
{
    QTest::addColumn<QStringList>("keys");  // captions; "=" is pressed after the check
    QTest::addColumn<QString>("phrase");    // what the page says before "="
    QTest::addColumn<QString>("display");   // the display after "="

    QTest::newRow("60 + 60: two sources") << QStringList{"6", "0", "+", "6", "0"}
                                          << QString("Anzeige „ 63“") << " 63";
    QTest::newRow("60 x 4: four sources") << QStringList{"6", "0", "x", "4"}
                                          << QString("Anzeige „ 66“") << " 66";
    QTest::newRow("4 x 60: the order counts") << QStringList{"4", "x", "6", "0"}
                                              << QString("Anzeige „ 21.8“") << " 21.8";
    QTest::newRow("60 x 0: no logarithm") << QStringList{"6", "0", "x", "0"}
                                          << QString("die Anzahl n = 0 ist nicht größer als 0") << "0";
}

void TestHelp::keypadWithItsOperands()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, phrase);
    QFETCH(QString, display);
    const QMap<QString, QString> keyName{{"0", "cmdNumber(9)"}, {"4", "cmdNumber(3)"}, {"6", "cmdNumber(5)"},
                                         {"x", "cmdOperator(1)"}, {"+", "cmdOperator(3)"}};
    QWidget* w = open("frmCalculator");
    HelpWindow* help = openHelp(w);
    QVERIFY(help);
    QVERIFY(help->pageText().contains("Noch keine Rechnung"));
    for (const QString& key : keys)
        click(w, keyName[key]);
    QVERIFY2(help->pageText().contains(phrase), qPrintable(help->pageText()));

    click(w, "cmdEqual");
    QCOMPARE(textOf(w, "txtDisplay"), display);
    // With nothing pending the page works both keys with the last operands.
    if (display != "0")
        QVERIFY(help->pageText().contains("Keine Rechnung offen"));
}

void TestHelp::keypadOperandsInTheUsersDecimalMark_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("typed");    // keys as typed on the keyboard
    QTest::addColumn<QString>("operands");  // what the page says, with a point
    QTest::addColumn<QString>("display");   // the display after "=", always with a point

    for (const char* mark : {"point", "comma"}) {
        QTest::addRow("60,5 + 3 =, %s", mark)
            << mark << "60,5+3=" << "Operand 1 = 60.5 und Operand 2 = 3" << " 60.5";
        QTest::addRow("0.25 x 12.5 =, %s", mark)
            << mark << "0.25x12.5=" << "Operand 1 = 0.25 und Operand 2 = 12.5" << " 11.2";
        QTest::addRow("0 x 0.891 = -0.5, %s", mark)
            << mark << "0x0.891=" << "Operand 1 = 0 und Operand 2 = 0.891" << "-0.5";
    }
}

// The keypad's operands reach the page as the numbers they are, whatever
// the C library's locale of the process, and are written in the user's
// decimal mark; the display's digits are quoted as the display shows them.
void TestHelp::keypadOperandsInTheUsersDecimalMark()
{
    QFETCH(QString, mark);
    QFETCH(QString, typed);
    QFETCH(QString, operands);
    QFETCH(QString, display);
    const LocaleScope locale(localeNamed(mark));
    QWidget* w = open("frmCalculator");
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClicks(w->focusWidget(), typed);
    QCOMPARE(textOf(w, "txtDisplay"), display);

    HelpWindow* help = openHelp(w);
    QVERIFY(help);
    const QString page = help->pageText();
    QVERIFY2(page.contains(inLocale(operands, mark)), qPrintable(page));
    QVERIFY2(page.contains(QString("Anzeige „%1“").arg(display)), qPrintable(page));
}

void TestHelp::overviewFromTheMenu()
{
    auto* menu = qobject_cast<DesignedWindow*>(shell_->menu().window());
    QVERIFY(menu);
    QWidget* help = openHelpWindow(companionRequest(*menu));
    QCOMPARE(help->windowTitle(), QString("Hilfe – Orvella"));
    const QString text = qobject_cast<HelpWindow*>(help)->pageText();
    for (const char* title : {"dB Calculator", "Schallleistung - Schalldruck", "Großraumbüro DL2 Prognose",
                              "Kritische Feuchte Calculator", "KritischeTemperatur Calculator"})
        QVERIFY2(text.contains(QString("\n") + title + "\n"), title);
    QVERIFY(!text.contains("Rechenweg mit"));
}

void TestHelp::closesWithItsCalculator()
{
    QWidget* w = open("frmDLprognose");
    const QPointer<HelpWindow> help = openHelp(w);
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->windowTitle(), QString("Hilfe und Rechenweg – Großraumbüro DL2 Prognose"));
    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(!help);
    QCOMPARE(visibleWindows().size(), 1);
    QCOMPARE(visibleWindows().first()->objectName(), QString("frmOption"));
}

void TestHelp::programEndsWithTheLastDesignedWindow()
{
    QWidget* w = open("frmFeuchte");
    QVERIFY(openHelp(w));
    QVERIFY(programEndsWhenClosed(w));
    processDeferredDeletes();
    QVERIFY(visibleWindows().isEmpty());
}

void TestHelp::pdfHoldsTheWorkedCalculation()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const LocaleScope locale(localeNamed("comma"));
    QTemporaryDir dir;
    const QString path = dir.filePath("rechenweg.pdf");
    QString suggested;
    setSaveFileQuestion([&](QWidget*, const QString& s) {
        suggested = s;
        return path;
    });
    QWidget* w = open("frmFeuchte");
    type(w, {"txRaum=20,5", "txOberflaeche=12,25"});
    click(w, "cmdRun_Feuchte");
    HelpWindow* help = openHelp(w);
    click(help, "helpPdf");

    QVERIFY(suggested.endsWith("Hilfe und Rechenweg – Kritische Feuchte Calculator.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    const QString text = pdfText(path);
    QVERIFY2(text.contains("Hilfe und Rechenweg – Kritische Feuchte Calculator"), qPrintable(text));
    QVERIFY(text.contains(QRegularExpression(R"(Orvella, \d\d\.\d\d\.\d{4}, \d\d:\d\d Uhr)")));
    for (const char* result : {"= 59,18 %", "= 47,34 %", "= 35,51 %"})
        QVERIFY2(text.contains(result), result);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"rechenweg.pdf"});
}

void TestHelp::pdfThatCannotBeWrittenChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("folder does not exist") << "fehlt/rechenweg.pdf";
    QTest::newRow("the name is a folder") << "ordner";
}

void TestHelp::pdfThatCannotBeWrittenChangesNothing()
{
    QFETCH(QString, target);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("ordner"));
    const QString path = dir.filePath(target);
    setSaveFileQuestion([&](QWidget*, const QString&) { return path; });
    QWidget* w = open("frmTemperatur");
    HelpWindow* help = openHelp(w);
    const QString page = help->pageText();

    QString message;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->objectName() + ": " + box->text();
            box->accept();
        }
    });
    click(help, "helpPdf");
    QVERIFY2(message.startsWith("helpWriteError: Die PDF-Datei konnte nicht gespeichert werden"),
             qPrintable(message));
    QVERIFY(message.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"ordner"});
    QVERIFY(QDir(dir.filePath("ordner")).isEmpty());
    QCOMPARE(help->pageText(), page);
    QCOMPARE(textOf(w, "txAussen"), QString("-3.2"));
}

void TestHelp::printsThroughThePrinter()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath("druck.pdf");
    setPrintQuestion([&](QWidget*, QPrinter* printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return true;
    });
    QWidget* w = open("frmDLprognose");
    click(w, "cmdRUNDL");
    HelpWindow* help = openHelp(w);
    click(help, "helpPrint");
    const QString text = pdfText(path);
    for (const char* result : {"= 4.6 dB", "= 52.9 dB", "= 48.3 dB", "13.2 m"})
        QVERIFY2(text.contains(asShown(result)), qPrintable(text));
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
