// SPDX-License-Identifier: GPL-3.0-or-later
// "Eingaben und Ergebnisse kopieren" (Ctrl+Shift+C) on the formula windows:
// the text/plain and text/html on the clipboard under either decimal mark,
// with no field changed (the keypad's copy is in tst_keypad_keys.cpp); and
// the context menu of each kind of window.

#include "about.h"
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

QMap<QString, QString> fieldTexts(const QWidget* window)
{
    QMap<QString, QString> texts;
    for (const QLineEdit* f : window->findChildren<QLineEdit*>())
        texts[f->objectName()] = f->text();
    return texts;
}

// The rows of a table, the cells joined by a tab; a frame caption is one
// cell across both columns.
QStringList rowsOf(const QTextTable* table)
{
    const auto cell = [table](int r, int c) { return table->cellAt(r, c).firstCursorPosition().block().text(); };
    QStringList rows;
    for (int r = 0; r < table->rows(); ++r)
        rows << (table->cellAt(r, 1).column() == 1 ? cell(r, 0) + u'\t' + cell(r, 1) : cell(r, 0));
    return rows;
}

}  // namespace

class TestCopy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initProgram();
        QApplication::setQuitOnLastWindowClosed(false);
        installCopyCommand();  // as main() installs them
        installCompanionCommands();
        installAboutCommand();
    }
    void cleanup() { processDeferredDeletes(); }

    void copied_data();
    void copied();
    void contextMenuEntries_data();
    void contextMenuEntries();
};

void TestCopy::copied_data()
{
    QTest::addColumn<QString>("button");  // in the menu
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("steps");  // "name" clicks a button, "name=text" types into a field
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QStringList>("lines");  // the copied text, a point for the decimal mark

    for (const char* mark : {"point", "comma"}) {
        // A room at -150,5 °C has no saturation pressure: the second calculation
        // stops after the comma fix, the results of the first stay, and the copy
        // takes what is shown; "10 °C" is no plain number and stays as it is.
        QTest::addRow("frmFeuchte after a failed calculation, %s", mark)
            << "Command3" << "frmFeuchte"
            << QStringList{"cmdRun_Feuchte", "txRaum=-150,5", "txOberflaeche=10 °C", "cmdRun_Feuchte"}
            << mark
            << QStringList{"Kritische Feuchte Calculator", "Raumtemperatur [C°]\t-150.5",
                           "Oberflächentemperatur [C°]\t10 °C", "Oberflächenkondensation [%]\t52.57",
                           "Schimmelpilzbildungsgefahr [%]\t42.06", "Korrosionsgefahr [%]\t31.54"};
        // Both halves under their frame captions, left first; the results are
        // comma-fixed in the fields (60.99) and copied in the user's mark.
        QTest::addRow("frmSchall, %s", mark)
            << "Command2" << "frmSchall" << QStringList{"cmdRun_l", "cmdRun_p"} << mark
            << QStringList{"Schallleistung - Schalldruck", "Schallleistungspegel",
                           "Schalldruckpegel [dB]\t50", "Abstand [m]\t1",
                           "Schallleistungspegel [dB]\t60.99", "Schalldruckpegel",
                           "Schallleistungspegel [dB]\t66", "Abstand [m]\t1",
                           "Schalldruckpegel [dB]\t55.01"};
        // The worked example: DL2 4.6133, L4 52.889, Lr at 16 m 43.72. The design
        // texts 1,0 and 0,1 are copied as the numbers the calculation reads.
        QTest::addRow("frmDLprognose, %s", mark)
            << "Command5" << "frmDLprognose" << QStringList{"txR=16", "cmdRUNDL"} << mark
            << QStringList{"Großraumbüro DL2 Prognose", "Raumhöhe [m]\t3", "Raumlänge [m]\t30",
                           "Raumbreite [m]\t15", "Stellwandhöhe [m]\t1.0",
                           "Mittlerer Absorptionsgrad [-]\t0.1",
                           "Mittlerer Absorptionsgrad Stellwände + Wände [-]\t0.1", "Abstand [m]\t16",
                           "Schallpegel der Sprache in 1m Abstand [dB]\t58",
                           "Pegelminderung pro Abstandsverdopplung [dB]\t4.6",
                           "Schallpegel in 4m Abstand [dB]\t52.9", "Schallegel Abstand Rm [dB]\t43.7"};
    }
}

void TestCopy::copied()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QStringList, steps);
    QFETCH(QString, decimalMark);
    QFETCH(QStringList, lines);

    LocaleScope locale(localeNamed(decimalMark));
    Shell shell;
    QWidget* w = openFromMenu(shell.menu(), button, window);
    QVERIFY(w);
    for (const QString& step : steps) {
        if (step.contains(u'='))
            setTextOf(w, step.section(u'=', 0, 0), step.section(u'=', 1));
        else
            click(w, step);
    }
    const QMap<QString, QString> before = fieldTexts(w);

    // The window shortcut, from a text field that has the focus.
    QLineEdit* field = w->findChildren<QLineEdit*>().first();
    field->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QApplication::clipboard()->clear();
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(fieldTexts(w), before);

    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data);
    for (QString& line : lines)
        line = inLocale(line, decimalMark);
    QCOMPARE(data->text(), lines.join(u'\n') + u'\n');

    // One table of two columns under the caption: a word processor's paste.
    QVERIFY(data->hasHtml());
    QTextDocument doc;
    doc.setHtml(data->html());
    const QList<QTextFrame*> frames = doc.rootFrame()->childFrames();
    QCOMPARE(frames.size(), 1);
    const auto* table = qobject_cast<QTextTable*>(frames.first());
    QVERIFY(table);
    QCOMPARE(table->columns(), 2);
    QCOMPARE(doc.toPlainText().trimmed().section(u'\n', 0, 0), lines.first());
    QCOMPARE(rowsOf(table), lines.mid(1));
}

void TestCopy::contextMenuEntries_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("entries");  // text and shortcut; "-" a separator

    const QString copy = "Eingaben und Ergebnisse kopieren\tCtrl+Shift+C";
    const QStringList about = {"-", "Über Orvella\t"};
    // The menu's last entry opens the calculator that has no button on it.
    QTest::newRow("frmOption") << "" << "frmOption"
                               << QStringList{"Hilfe\tF1"} + about + QStringList{"-", "Nachhallzeit DIN 18041\tCtrl+6"};
    QTest::newRow("frmCalculator") << "Command1" << "frmCalculator"
                                   << QStringList{copy, "Hilfe und Rechenweg\tF1", "Pegelliste…\tF2"} + about;
    QTest::newRow("frmSchall")
        << "Command2" << "frmSchall"
        << QStringList{copy, "Hilfe und Rechenweg\tF1", "Parameterstudie…\tF2"} + about;
}

void TestCopy::contextMenuEntries()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    Shell shell;
    QWidget* w = button.isEmpty() ? (shell.menu().show(), shell.menu().window())
                                  : openFromMenu(shell.menu(), button, window);
    QVERIFY(w);
    QCOMPARE(w->objectName(), window);
    QStringList entries;
    for (const QAction* a : w->actions())
        entries << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + u'\t' + a->shortcut().toString());
    QTEST(entries, "entries");
}

QTEST_MAIN(TestCopy)
#include "tst_copy.moc"
