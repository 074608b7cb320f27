// SPDX-License-Identifier: GPL-3.0-or-later
// "Eingaben und Ergebnisse kopieren" on the real windows: what reaches the
// clipboard as text/plain and as text/html under either decimal mark, after
// a calculation and after a failed one, without changing a field; and the
// command's place in the context menu (the window's actions) and as a
// window shortcut.

#include "clipboard.h"
#include "companions.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace orvella;
using namespace orvella::test;

namespace {

const QString kCopy = QStringLiteral("Eingaben und Ergebnisse kopieren");

// Every field's text, by name.
QMap<QString, QString> fieldTexts(const QWidget* window)
{
    QMap<QString, QString> texts;
    for (const QLineEdit* f : window->findChildren<QLineEdit*>())
        texts[f->objectName()] = f->text();
    return texts;
}

// The document's tables, and the text of each cell of one, row by row with
// the cells joined by a tab.
QList<QTextTable*> tablesOf(const QTextDocument& doc)
{
    QList<QTextTable*> tables;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            tables << t;
    return tables;
}

QStringList rowsOf(const QTextTable* table)
{
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columns(); ++c) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (cell.column() != c)
                continue;  // the rest of a cell spanning both columns
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            cells << cursor.selectedText();
        }
        rows << cells.join(u'\t');
    }
    return rows;
}

// The first line of text in the document before its table: the caption.
QString captionOf(const QTextDocument& doc) { return doc.toPlainText().trimmed().section(u'\n', 0, 0); }

}  // namespace

class TestCopy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void copiedTable_data();
    void copiedTable();
    void failedCalculationCopiesWhatIsShown_data();
    void failedCalculationCopiesWhatIsShown();
    void dlPrognoseHtmlIsOneTable();
    void keypadCopiesItsNumber();
    void contextMenuEntries_data();
    void contextMenuEntries();

private:
    std::unique_ptr<Shell> shell_;
};

void TestCopy::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    // In the order the program adds them.
    installCopyCommand();
    installCompanionCommands();
}

void TestCopy::init() { shell_ = std::make_unique<Shell>(); }

void TestCopy::cleanup()
{
    shell_.reset();
    processDeferredDeletes();
    QApplication::clipboard()->clear();
}

void TestCopy::copiedTable_data()
{
    QTest::addColumn<QString>("button");    // in the menu
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("clicks");  // calculate buttons clicked before copying
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QStringList>("lines");  // the copied text, a point for the decimal mark

    for (const char* mark : {"point", "comma"}) {
        // Results written with the user's mark, no comma fix after writing.
        QTest::addRow("frmFeuchte calculated, %s", mark)
            << "Command3" << "frmFeuchte" << QStringList{"cmdRun_Feuchte"} << mark
            << QStringList{"Kritische Feuchte Calculator",
                           "Raumtemperatur [C°]\t20",
                           "Oberflächentemperatur [C°]\t10",
                           "Oberflächenkondensation [%]\t52.57",
                           "Schimmelpilzbildungsgefahr [%]\t42.06",
                           "Korrosionsgefahr [%]\t31.54"};
        // Both halves under their frame captions, left first; the results are
        // comma-fixed in the fields (60.99) and copied in the user's mark.
        QTest::addRow("frmSchall calculated, %s", mark)
            << "Command2" << "frmSchall" << QStringList{"cmdRun_l", "cmdRun_p"} << mark
            << QStringList{"Schallleistung - Schalldruck",
                           "Schallleistungspegel",
                           "Schalldruckpegel [dB]\t50",
                           "Abstand [m]\t1",
                           "Schallleistungspegel [dB]\t60.99",
                           "Schalldruckpegel",
                           "Schallleistungspegel [dB]\t66",
                           "Abstand [m]\t1",
                           "Schalldruckpegel [dB]\t55.01"};
        QTest::addRow("frmTemperatur calculated, %s", mark)
            << "Command4" << "frmTemperatur" << QStringList{"cmdRun_Grenzen"} << mark
            << QStringList{"KritischeTemperatur Calculator",
                           "Außentemperatur [°C]\t-3.2",
                           "Relative Feuchte [%]\t61.8",
                           "Oberflächenkondensation [°C]\t12.5",
                           "Schimmelpilzbildungsgefahr [°C]\t15.9"};
        // The design texts 0,1 and 1,0 are the numbers the calculation reads,
        // in either mark; the empty result fields stay empty.
        QTest::addRow("frmDLprognose as opened, %s", mark)
            << "Command5" << "frmDLprognose" << QStringList{} << mark
            << QStringList{"Großraumbüro DL2 Prognose",
                           "Raumhöhe [m]\t3",
                           "Raumlänge [m]\t30",
                           "Raumbreite [m]\t15",
                           "Stellwandhöhe [m]\t1.0",
                           "Mittlerer Absorptionsgrad [-]\t0.1",
                           "Mittlerer Absorptionsgrad Stellwände + Wände [-]\t0.1",
                           "Abstand [m]\t8",
                           "Schallpegel der Sprache in 1m Abstand [dB]\t58",
                           "Pegelminderung pro Abstandsverdopplung [dB]\t",
                           "Schallpegel in 4m Abstand [dB]\t",
                           "Schallegel Abstand Rm [dB]\t"};
    }
}

void TestCopy::copiedTable()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QStringList, clicks);
    QFETCH(QString, decimalMark);
    QFETCH(QStringList, lines);

    LocaleScope locale(localeNamed(decimalMark));
    QWidget* w = openFromMenu(shell_->menu(), button, window);
    QVERIFY(w);
    for (const QString& name : clicks)
        click(w, name);
    const QMap<QString, QString> before = fieldTexts(w);

    // The window shortcut, from a text field that has the focus.
    QLineEdit* field = w->findChildren<QLineEdit*>().first();
    field->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasText() && data->hasHtml());
    // The line of a frame caption has no tab; the first line is the title.
    for (QString& line : lines)
        line = inLocale(line, decimalMark);
    QCOMPARE(data->text(), lines.join(u'\n') + u'\n');

    QTextDocument doc;
    doc.setHtml(data->html());
    const QList<QTextTable*> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    QCOMPARE(tables.first()->columns(), 2);
    QCOMPARE(captionOf(doc), lines.first());
    QCOMPARE(rowsOf(tables.first()), lines.mid(1));

    QCOMPARE(fieldTexts(w), before);  // copying changes no field
}

void TestCopy::failedCalculationCopiesWhatIsShown_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::newRow("point") << "point";
    QTest::newRow("comma") << "comma";
}

void TestCopy::failedCalculationCopiesWhatIsShown()
{
    QFETCH(QString, decimalMark);
    LocaleScope locale(localeNamed(decimalMark));
    QWidget* w = openFromMenu(shell_->menu(), "Command3", "frmFeuchte");
    QVERIFY(w);
    click(w, "cmdRun_Feuchte");  // results of 20 and 10
    // A room at -150,5 °C has no saturation pressure: the calculation stops
    // after the comma fix, and the results of the last one stay.
    setTextOf(w, "txRaum", "-150,5");
    setTextOf(w, "txOberflaeche", "10 °C");
    click(w, "cmdRun_Feuchte");
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("-150.5"));

    copyInputsAndResults(*qobject_cast<CalculatorWindow*>(w));
    const QStringList lines = {"Kritische Feuchte Calculator",
                               "Raumtemperatur [C°]\t" + inLocale("-150.5", decimalMark),
                               "Oberflächentemperatur [C°]\t10 °C",
                               "Oberflächenkondensation [%]\t" + inLocale("52.57", decimalMark),
                               "Schimmelpilzbildungsgefahr [%]\t" + inLocale("42.06", decimalMark),
                               "Korrosionsgefahr [%]\t" + inLocale("31.54", decimalMark)};
    QCOMPARE(QApplication::clipboard()->text(), lines.join(u'\n') + u'\n');
    QCOMPARE(textOf(w, "txOberflaeche"), QStringLiteral("10 °C"));
}

void TestCopy::dlPrognoseHtmlIsOneTable()
{
    LocaleScope locale(localeNamed("comma"));
    QWidget* w = openFromMenu(shell_->menu(), "Command5", "frmDLprognose");
    QVERIFY(w);
    setTextOf(w, "txR", "16");
    click(w, "cmdRUNDL");
    copyInputsAndResults(*qobject_cast<CalculatorWindow*>(w));

    QTextDocument doc;
    doc.setHtml(QApplication::clipboard()->mimeData()->html());
    const QList<QTextTable*> tables = tablesOf(doc);
    QCOMPARE(tables.size(), 1);
    const QTextTable* table = tables.first();
    QCOMPARE(table->rows(), 11);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(captionOf(doc), QStringLiteral("Großraumbüro DL2 Prognose"));
    // DL2 4.6133, L4 52.889, Lr at 16 m 43.72 (the worked example).
    const QStringList expected = {
        "Raumhöhe [m]\t3",
        "Raumlänge [m]\t30",
        "Raumbreite [m]\t15",
        "Stellwandhöhe [m]\t1,0",
        "Mittlerer Absorptionsgrad [-]\t0,1",
        "Mittlerer Absorptionsgrad Stellwände + Wände [-]\t0,1",
        "Abstand [m]\t16",
        "Schallpegel der Sprache in 1m Abstand [dB]\t58",
        "Pegelminderung pro Abstandsverdopplung [dB]\t4,6",
        "Schallpegel in 4m Abstand [dB]\t52,9",
        "Schallegel Abstand Rm [dB]\t43,7",
    };
    QCOMPARE(rowsOf(table), expected);
}

void TestCopy::keypadCopiesItsNumber()
{
    LocaleScope locale(localeNamed("comma"));
    QWidget* w = openFromMenu(shell_->menu(), "Command1", "frmCalculator");
    QVERIFY(w);
    for (const char* key : {"cmdPoint", "cmdNumber(4)", "cmdOperator(3)", "cmdEqual"})
        click(w, key);  // .5 + = 3.51, shown " 3.5"
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->focusWidget(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("3,5"));
    QVERIFY(!QApplication::clipboard()->mimeData()->hasHtml());
}

void TestCopy::contextMenuEntries_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("entries");  // text and shortcut

    const QStringList formula = {kCopy + "\tCtrl+Shift+C", "Hilfe und Rechenweg\tF1",
                                 "Parameterstudie…\tF2"};
    QTest::newRow("frmOption") << "" << "frmOption" << QStringList{"Hilfe\tF1"};
    QTest::newRow("frmCalculator") << "Command1" << "frmCalculator" << formula.mid(0, 2);
    QTest::newRow("frmSchall") << "Command2" << "frmSchall" << formula;
    QTest::newRow("frmFeuchte") << "Command3" << "frmFeuchte" << formula;
    QTest::newRow("frmTemperatur") << "Command4" << "frmTemperatur" << formula;
    QTest::newRow("frmDLprognose") << "Command5" << "frmDLprognose" << formula;
}

void TestCopy::contextMenuEntries()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QWidget* w = button.isEmpty() ? (shell_->menu().show(), shell_->menu().window())
                                  : openFromMenu(shell_->menu(), button, window);
    QVERIFY(w);
    QCOMPARE(w->objectName(), window);
    QStringList entries;
    for (const QAction* a : w->actions())
        if (!a->isSeparator())
            entries << a->text() + u'\t' + a->shortcut().toString();
    QTEST(entries, "entries");
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
