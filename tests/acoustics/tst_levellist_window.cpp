// SPDX-License-Identifier: GPL-3.0-or-later
// "Pegelliste – dB Calculator" as the user works with it: levels pasted in
// either decimal mark and typed one per line, rows edited and deleted, the
// background level set and cleared, the results in the user's decimal mark,
// "In den Rechner" into a real keypad window, the help page, and the window
// as the program opens it, through its plugin, beside its calculator.

#include "companions.h"
#include "frmcalculator.h"
#include "levellistmodel.h"
#include "levellistwindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTextBrowser>

using namespace orvella;
using namespace orvella::test;

namespace {

// The results table's rows, in the order the window lists them.
enum ResultRow { N, Sum, Mean, Arithmetic, Stddev, Min, Max, SumMinusMax };
constexpr int kValueColumn = 2;
constexpr int kCorrectedColumn = 3;

// A keypad window of its own, shown, with its level list.
struct Calculator {
    std::unique_ptr<CalculatorForm> form = makeCalculatorForm([] {});
    CalculatorWindow* window = (form->show(), qobject_cast<CalculatorWindow*>(form->window()));

    // Opened as the program opens it, active, so that its keys work.
    LevelListWindow* openList() const
    {
        auto* list = qobject_cast<LevelListWindow*>(openLevelListWindow(companionRequest(*window)));
        if (list && !QTest::qWaitForWindowActive(list))
            qWarning("the level list did not become active");
        return list;
    }
    QString display() const { return textOf(window, QStringLiteral("txtDisplay")); }
    // Clicks keys by caption: "6 0 +".
    void press(const QString& keys) const
    {
        for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
            QPushButton* button = nullptr;
            for (QPushButton* b : window->findChildren<QPushButton*>())
                if (b->text() == key)
                    button = b;
            QVERIFY2(button, qPrintable(key));
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }
};

QString resultCell(const LevelListWindow* w, int row, int column = kValueColumn)
{
    const QTableWidgetItem* item = w->resultsView()->item(row, column);
    return item ? item->text() : QStringLiteral("(none)");
}

// The list's column of levels as shown, joined by "|".
QString shownLevels(const LevelListWindow* w, int column = LevelListModel::Level)
{
    QStringList out;
    for (int r = 0; r < w->model()->levelCount(); ++r)
        out << w->model()->index(r, column).data().toString();
    return out.join(u'|');
}

// Types a text into the list's current cell as the user does (the first
// key opens the cell's editor) and commits it with Return.
void typeIntoList(LevelListWindow* w, const QString& text)
{
    QTest::keyClick(w->listView(), text.front().toLatin1());
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : w->listView()->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    QVERIFY(editor);
    QTest::keyClicks(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits after the editor has seen the key.
    QCoreApplication::processEvents();
}

}  // namespace

class TestLevelListWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initProgram();
        // F1 opens the program's help plugin.
        addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    }
    void cleanup()
    {
        processDeferredDeletes();
        QApplication::clipboard()->clear();
    }

    void pasteInBothLocales_data();
    void pasteInBothLocales();
    void examplesThroughTheWindow_data();
    void examplesThroughTheWindow();
    void typedOnePerLine();
    void editedAndRejected();
    void deleteSelectedRows();
    void backgroundSetAndCleared();
    void pasteWithoutNumbersChangesNothing();
    void hundredThousandPastedNumbers();
    void tableOfNumbersGivesOneColumn_data();
    void tableOfNumbersGivesOneColumn();
    void columnDialogFromTheKeyboard();
    void pasteWithinTheLimits_data();
    void pasteWithinTheLimits();
    void emptyListHasNoResults();
    void beyondTheRangeSaysWhy_data();
    void beyondTheRangeSaysWhy();
    void copyInBothLocales_data();
    void copyInBothLocales();
    void csvInBothLocales_data();
    void csvInBothLocales();
    void csvNotWrittenChangesNothing();
    void typeIntoCalculator_data();
    void typeIntoCalculator();
    void typeRefusedLeavesTheDisplay_data();
    void typeRefusedLeavesTheDisplay();
    void noTypingWithoutKeys();
    void helpFollowsTheList();
    void closesWithItsCalculatorAndKeepsTheList();
    void openedThroughThePlugin();
};

void TestLevelListWindow::pasteInBothLocales_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("sum");
    QTest::addColumn<QString>("status");
    for (const QString mark : {"point", "comma"}) {
        // 10·lg(10^1.25 + 10^6.03) = 60.3000 + 10·lg(1 + 10^−4.78) = 60.30007.
        QTest::addRow("units and words, %s", qPrintable(mark))
            << mark << "Messung vom Montag\n12,5 dB\n60.3 dBA (Lüfter)\n" << inLocale("12.5|60.3", mark)
            << "|" << inLocale("60.3", mark) << "2 Pegel eingefügt (Zeilen 1–2).";
        QTest::addRow("spreadsheet with names, %s", qPrintable(mark))
            << mark << "Pumpe\t62,5\nLüfter\t58.25\n" << inLocale("62.5|58.25", mark) << "Pumpe|Lüfter"
            << inLocale("63.89", mark) << "2 Pegel eingefügt (Zeilen 1–2).";
        QTest::addRow("one number, %s", qPrintable(mark))
            << mark << "L = 70" << "70" << "L" << "70" << "1 Pegel eingefügt (Zeile 1).";
    }
}

void TestLevelListWindow::pasteInBothLocales()
{
    QFETCH(QString, mark);
    QFETCH(QString, text);
    LocaleScope locale(localeNamed(mark));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    QVERIFY(list);
    QApplication::clipboard()->setText(text);
    // Ctrl+V in the list, as the user pastes.
    QTest::keyClick(list->listView(), Qt::Key_V, Qt::ControlModifier);
    QTEST(shownLevels(list), "levels");
    QTEST(shownLevels(list, LevelListModel::Name), "names");
    QTEST(resultCell(list, Sum), "sum");
    QTEST(list->status(), "status");
    // The pasted rows come before the row that appends.
    QCOMPARE(list->model()->rowCount(), list->model()->levelCount() + 1);
}

void TestLevelListWindow::examplesThroughTheWindow_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QString>("results");    // LΣ|Lm|LΣ − Lmax
    QTest::addColumn<QString>("perRow");     // ΔL|K1|flag|corrected of the first row
    QTest::addColumn<QString>("corrected");  // LΣ corrected
    for (const QString mark : {"point", "comma"}) {
        // 60 + 10·lg 8 = 69.0309; the mean of equal levels is their level.
        QTest::addRow("8 × 60 dB, %s", qPrintable(mark))
            << mark << "60 60 60 60 60 60 60 60" << "" << inLocale("69.03|60|9.03", mark) << "|||" << "";
        // ΔL = 5 dB ≤ 6 dB: K1 = 1.3 dB, 78.7 dB is an upper bound.
        QTest::addRow("80 dB over 75 dB, %s", qPrintable(mark))
            << mark << "80" << "75" << "80|80|0" << inLocale("5|1.3|Grenze der Messung|≤ 78.7", mark)
            << inLocale("≤ 78.7", mark);
        // K1 = −10·lg(1 − 10^−1) = 0.4576.
        QTest::addRow("70 dB over 60 dB, %s", qPrintable(mark))
            << mark << "70" << inLocale("60", mark) << "70|70|0" << inLocale("10|0.46|korrigiert|69.54", mark)
            << inLocale("69.54", mark);
        // ΔL = 20 dB: no correction needed.
        QTest::addRow("background typed with the other mark, %s", qPrintable(mark))
            << mark << "80" << (mark == "comma" ? "59.5" : "59,5") << "80|80|0"
            << inLocale("20.5|0|keine Korrektur nötig|80", mark) << "80";
    }
}

void TestLevelListWindow::examplesThroughTheWindow()
{
    QFETCH(QString, mark);
    QFETCH(QString, levels);
    QFETCH(QString, background);
    QFETCH(QString, results);
    QFETCH(QString, perRow);
    QFETCH(QString, corrected);
    LocaleScope locale(localeNamed(mark));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(levels.split(u' ').join(u'\n'));
    QTest::keyClicks(list->backgroundEdit(), background);

    QCOMPARE(QStringList({resultCell(list, Sum), resultCell(list, Mean), resultCell(list, SumMinusMax)}).join(u'|'),
             results);
    QCOMPARE(resultCell(list, N), QString::number(levels.split(u' ').size()));
    const bool withBackground = !background.isEmpty();
    QCOMPARE(list->listView()->isColumnHidden(LevelListModel::Corrected), !withBackground);
    QCOMPARE(list->resultsView()->isColumnHidden(kCorrectedColumn), !withBackground);
    if (!withBackground)
        return;
    QStringList row;
    for (int c = LevelListModel::Delta; c <= LevelListModel::Corrected; ++c)
        row << list->model()->index(0, c).data().toString();
    QCOMPARE(row.join(u'|'), perRow);
    QCOMPARE(resultCell(list, Sum, kCorrectedColumn), corrected);
    // An upper bound says so under the results.
    QCOMPARE(list->notes().contains(QStringLiteral("Obere Grenze")), corrected.startsWith(u'≤'));
}

void TestLevelListWindow::typedOnePerLine()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    // The list opens in the row that appends; Return goes on to the next.
    QCOMPARE(list->listView()->currentIndex().row(), 0);
    typeIntoList(list, QStringLiteral("62,5"));
    typeIntoList(list, QStringLiteral("60.5 dB"));
    typeIntoList(list, QStringLiteral("-3"));
    QCOMPARE(list->model()->levelCount(), 3);
    QCOMPARE(std::vector<double>(list->model()->levels().begin(), list->model()->levels().end()),
             (std::vector<double>{62.5, 60.5, -3.0}));
    QCOMPARE(list->listView()->currentIndex().row(), 3);
    QCOMPARE(resultCell(list, N), QStringLiteral("3"));
    QCOMPARE(resultCell(list, Min), QStringLiteral("-3"));
}

void TestLevelListWindow::editedAndRejected()
{
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("60 60"));
    QCOMPARE(resultCell(list, Sum), QStringLiteral("63,01"));

    // A level edited in its cell; the results follow at once.
    list->listView()->setCurrentIndex(list->model()->index(1, LevelListModel::Level));
    typeIntoList(list, QStringLiteral("70"));
    QCOMPARE(shownLevels(list), QStringLiteral("60|70"));
    QCOMPARE(resultCell(list, Sum), QStringLiteral("70,41"));

    // A name.
    list->listView()->setCurrentIndex(list->model()->index(0, LevelListModel::Name));
    typeIntoList(list, QStringLiteral("Pumpe 2"));
    QCOMPARE(shownLevels(list, LevelListModel::Name), QStringLiteral("Pumpe 2|"));

    // Text without a number, or with two, is not taken; the status says why.
    for (const QString& bad : {QStringLiteral("laut"), QStringLiteral("60 62")}) {
        list->listView()->setCurrentIndex(list->model()->index(0, LevelListModel::Level));
        typeIntoList(list, bad);
        QCOMPARE(shownLevels(list), QStringLiteral("60|70"));
        QVERIFY2(list->status().contains(bad), qPrintable(list->status()));
    }
    QCOMPARE(resultCell(list, Sum), QStringLiteral("70,41"));
}

void TestLevelListWindow::deleteSelectedRows()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("50 52 54 56 58"));
    QItemSelectionModel* selection = list->listView()->selectionModel();
    selection->clear();
    for (int row : {1, 3, 5})  // 5 is the row that appends: it stays
        selection->select(list->model()->index(row, LevelListModel::Name), QItemSelectionModel::Select);
    list->listView()->setFocus();
    QTest::keyClick(list->listView(), Qt::Key_Delete);
    QCOMPARE(shownLevels(list), QStringLiteral("50|54|58"));
    QCOMPARE(list->status(), QStringLiteral("2 Zeilen gelöscht."));
    QCOMPARE(resultCell(list, N), QStringLiteral("3"));

    // Nothing selected: nothing deleted.
    selection->clear();
    list->deleteSelectedRows();
    QCOMPARE(shownLevels(list), QStringLiteral("50|54|58"));
    QCOMPARE(list->status(), QStringLiteral("Keine Zeile markiert."));

    // All of them.
    list->listView()->selectAll();
    QTest::keyClick(list->listView(), Qt::Key_Delete);
    QCOMPARE(list->model()->levelCount(), 0);
    QCOMPARE(resultCell(list, Sum), QStringLiteral("–"));
}

void TestLevelListWindow::backgroundSetAndCleared()
{
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("70\n90"));
    QCOMPARE(resultCell(list, Sum), QStringLiteral("90,04"));

    QTest::keyClicks(list->backgroundEdit(), QStringLiteral("60"));
    QVERIFY(!list->listView()->isColumnHidden(LevelListModel::Flag));
    QCOMPARE(shownLevels(list, LevelListModel::Flag), QStringLiteral("korrigiert|keine Korrektur nötig"));
    // 69.5424 and 90: 10·lg(10^6.95424 + 10^9) = 90.0389; the plain one stays.
    QCOMPARE(resultCell(list, Sum, kCorrectedColumn), QStringLiteral("90,04"));
    QCOMPARE(resultCell(list, Min, kCorrectedColumn), QStringLiteral("69,54"));
    QCOMPARE(resultCell(list, Min), QStringLiteral("70"));

    // Not a number: no correction, and a note says so.
    list->backgroundEdit()->setText(QStringLiteral("laut"));
    QVERIFY(list->listView()->isColumnHidden(LevelListModel::Flag));
    QVERIFY(list->resultsView()->isColumnHidden(kCorrectedColumn));
    QVERIFY2(list->notes().contains(QStringLiteral("„laut“ ist kein Pegel")), qPrintable(list->notes()));

    // Beyond ±300 dB: not corrected, with the reason.
    list->backgroundEdit()->setText(QStringLiteral("400"));
    QVERIFY(list->listView()->isColumnHidden(LevelListModel::Flag));
    QVERIFY2(list->notes().contains(QStringLiteral("außerhalb von ±300 dB")), qPrintable(list->notes()));

    list->backgroundEdit()->clear();
    QVERIFY(list->listView()->isColumnHidden(LevelListModel::Corrected));
    QVERIFY(list->resultsView()->isColumnHidden(kCorrectedColumn));
    QVERIFY(list->notes().isEmpty());
    QCOMPARE(resultCell(list, Sum), QStringLiteral("90,04"));
}

void TestLevelListWindow::pasteWithoutNumbersChangesNothing()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("60\n61"));
    const QString before = resultCell(list, Sum);
    QApplication::clipboard()->setText(QStringLiteral("Pegel in dB\nMesspunkt L1, Lp4m"));
    list->paste();
    QCOMPARE(shownLevels(list), QStringLiteral("60|61"));
    QCOMPARE(resultCell(list, Sum), before);
    QCOMPARE(list->status(), QStringLiteral("Im eingefügten Text steht keine Zahl; die Liste ist unverändert."));
    // An empty clipboard changes nothing either.
    QApplication::clipboard()->clear();
    list->paste();
    QCOMPARE(list->model()->levelCount(), 2);
}

void TestLevelListWindow::hundredThousandPastedNumbers()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    QString text;
    text.reserve(600000);
    for (int i = 0; i < 100000; ++i)
        text += i % 2 ? QStringLiteral("60\n") : QStringLiteral("70\n");
    QApplication::clipboard()->setText(text);
    list->paste();
    QCOMPARE(list->model()->levelCount(), 100000);
    QCOMPARE(resultCell(list, N), QStringLiteral("100000"));
    // 50 000 · (10^6 + 10^7) = 5.5·10^11: 117.4036 dB; mean 10·lg 5.5·10^6.
    QCOMPARE(resultCell(list, Sum), asShown(QStringLiteral("117.4")));
    QCOMPARE(resultCell(list, Mean), asShown(QStringLiteral("67.4")));
    QCOMPARE(list->status(), QStringLiteral("100000 Pegel eingefügt (Zeilen 1–100000)."));
}

void TestLevelListWindow::tableOfNumbersGivesOneColumn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("answer");  // the column picked; 0: cancelled
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("names");
    QTest::addColumn<QString>("status");
    const QString meter = "Pos 1: 61,05 dB(A)\nPos 2: 60 dB(A)\nPos 3: 62,3 dB(A)\n";
    QTest::newRow("the last column, as offered")
        << meter << 2 << "61.05|60|62.3" << "Pos 1|Pos 2|Pos 3" << "3 Pegel eingefügt (Zeilen 1–3, Spalte 2 von 2).";
    QTest::newRow("another column picked")
        << meter << 1 << "1|2|3" << "Pos|Pos|Pos" << "3 Pegel eingefügt (Zeilen 1–3, Spalte 1 von 2).";
    QTest::newRow("cancelled") << meter << 0 << "" << "" << "Einfügen abgebrochen; die Liste ist unverändert.";
    QTest::newRow("a heading with a date is skipped")
        << "Messung 12.03.2024 10:15\n" + meter << 2 << "61.05|60|62.3" << "Pos 1|Pos 2|Pos 3"
        << "3 Pegel eingefügt (Zeilen 1–3, Spalte 2 von 2). Eine Zeile mit anderer Anzahl Zahlen ist übersprungen.";
}

// A meter's export of numbered positions: the position numbers are not
// levels; the user is asked for the column, the last one offered first.
void TestLevelListWindow::tableOfNumbersGivesOneColumn()
{
    QFETCH(QString, text);
    QFETCH(int, answer);
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    QString offered;
    setLevelListColumnDialog([&](QWidget*, const std::vector<QStringList>& preview, std::size_t suggested) {
        offered = QStringLiteral("%1 of %2: %3").arg(suggested).arg(preview.size()).arg(preview.back().join(u' '));
        return answer ? std::optional<std::size_t>(answer) : std::nullopt;
    });
    list->pasteText(text);
    setLevelListColumnDialog({});
    QCOMPARE(offered, asShown(QStringLiteral("2 of 2: 61.05 60 62.3")));
    QFETCH(QString, levels);
    QCOMPARE(shownLevels(list), asShown(levels));
    QTEST(shownLevels(list, LevelListModel::Name), "names");
    QTEST(list->status(), "status");
}

void TestLevelListWindow::columnDialogFromTheKeyboard()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    // Up from the last column to the first, Return: the column is taken.
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Up);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    list->pasteText(QStringLiteral("1 60\n2 62"));
    QCOMPARE(shownLevels(list), QStringLiteral("1|2"));
}

void TestLevelListWindow::pasteWithinTheLimits_data()
{
    QTest::addColumn<int>("before");  // levels in the list before
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("status");
    QTest::newRow("100 001 levels: the first 100 000")
        << 0 << QStringLiteral("60\n").repeated(100001) << 100000
        << "100000 Pegel eingefügt (Zeilen 1–100000). Die Liste fasst höchstens 100.000 Pegel; die übrigen "
           "Zahlen fehlen.";
    QTest::newRow("a full list takes nothing")
        << 100000 << QStringLiteral("60") << 100000 << "Die Liste hat schon 100.000 Pegel, mehr fasst sie nicht; "
                                                        "nichts eingefügt.";
    // Refused by its length before it is read.
    QTest::newRow("a text of 64 MiB and one character")
        << 1 << QString(64 * 1024 * 1024 + 1, u'6') << 1
        << "Der eingefügte Text ist mit 67.108.865 Zeichen zu lang (höchstens 67.108.864); die Liste ist "
           "unverändert.";
}

void TestLevelListWindow::pasteWithinTheLimits()
{
    QFETCH(int, before);
    QFETCH(QString, text);
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    if (before > 0)
        list->pasteText(QStringLiteral("70\n").repeated(before));
    list->pasteText(text);
    QTEST(list->model()->levelCount(), "after");
    QTEST(list->status(), "status");
}

void TestLevelListWindow::emptyListHasNoResults()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    QCOMPARE(resultCell(list, N), QStringLiteral("0"));
    for (int row : {Sum, Mean, Arithmetic, Stddev, Min, Max, SumMinusMax})
        QCOMPARE(resultCell(list, row), QStringLiteral("–"));
    QVERIFY2(list->notes().contains(QStringLiteral("Keine Pegel eingegeben.")), qPrintable(list->notes()));
}

void TestLevelListWindow::beyondTheRangeSaysWhy_data()
{
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("shown");  // n|LΣ|Lm|Larith|s|Lmin|Lmax|LΣ − Lmax, with a point
    QTest::addColumn<QString>("why");    // in the notes
    QTest::newRow("a level beyond +300 dB")
        << "60\n400 dB" << "2|–|–|230|240.42|60|400|–" << "LΣ, Lm, LΣ − Lmax: Mindestens ein Pegel liegt außerhalb von ±300 dB";
    QTest::newRow("a level beyond -300 dB")
        << "-300,5\n60" << "2|–|–|-120.25|254.91|-300.5|60|–" << "außerhalb von ±300 dB";
    QTest::newRow("sums beyond the range of a double")
        << "1e308\n1e308\n60" << "3|–|–|–|–|60|–|–" << "Larith, s: Die Summe der Pegel liegt außerhalb des Zahlenbereichs.\nLmax: Der Wert ist zu groß";
}

// A result that cannot be computed shows "–" and one sentence why; the
// others stay.
void TestLevelListWindow::beyondTheRangeSaysWhy()
{
    QFETCH(QString, levels);
    QFETCH(QString, why);
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(levels);
    QStringList cells;
    for (int row = N; row <= SumMinusMax; ++row)
        cells << resultCell(list, row);
    QFETCH(QString, shown);
    QCOMPARE(cells.join(u'|'), asShown(shown));
    QVERIFY2(list->notes().contains(why), qPrintable(list->notes()));
}

void TestLevelListWindow::copyInBothLocales_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("background");
    QTest::addColumn<QStringList>("lines");  // expected among the copied text's lines
    QTest::addColumn<QStringList>("absent");
    for (const QString mark : {"point", "comma"}) {
        // 80.5 + 10·lg(1 + 10^−1.05) = 80.8708.
        QTest::addRow("without background, %s", qPrintable(mark))
            << mark << ""
            << QStringList{"Pegelliste – dB Calculator", "Größe\tBedeutung\tWert\tEinheit",
                           inLocale("LΣ\tenergetische Summe\t80.87\tdB", mark), "",
                           "Pegel", "Pegel L [dB]\tName", "70\tPumpe", inLocale("80.5\tLüfter", mark)}
            << QStringList{"Hinweis"};
        // 69.5424 and 80.5: 80.5 + 10·lg(1 + 10^−1.09576) = 80.8354.
        QTest::addRow("corrected for 60 dB, %s", qPrintable(mark))
            << mark << "60"
            << QStringList{"Größe\tBedeutung\tWert\tkorrigiert\tEinheit",
                           inLocale("LΣ\tenergetische Summe\t80.87\t80.84\tdB", mark),
                           "Pegel, Fremdgeräusch LB = 60 dB",
                           "Pegel L [dB]\tName\tΔL [dB]\tK1 [dB]\tKorrektur\tkorrigiert [dB]",
                           inLocale("70\tPumpe\t10\t0.46\tkorrigiert\t69.54", mark),
                           inLocale("80.5\tLüfter\t20.5\t0\tkeine Korrektur nötig\t80.5", mark)}
            << QStringList{};
    }
}

// Ctrl+Shift+C: the results and the list as shown, as text and as HTML.
void TestLevelListWindow::copyInBothLocales()
{
    QFETCH(QString, mark);
    QFETCH(QString, background);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, absent);
    LocaleScope locale(localeNamed(mark));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("Pumpe 70\nLüfter 80,5"));
    QTest::keyClicks(list->backgroundEdit(), background);
    QTest::keyClick(list->listView(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QVERIFY(copied && copied->hasText() && copied->hasHtml());
    const QStringList text = copied->text().split(u'\n');
    for (const QString& line : lines)
        QVERIFY2(text.contains(line), qPrintable(line + QStringLiteral("\nnot in\n") + copied->text()));
    for (const QString& word : absent)
        QVERIFY2(!copied->text().contains(word), qPrintable(copied->text()));
    // The levels, one per line, after the results.
    QVERIFY(text.indexOf(QStringLiteral("Pegelliste – dB Calculator")) < text.indexOf(lines.last()));
    QTextDocument html;
    html.setHtml(copied->html());
    QCOMPARE(copied->html().count(QStringLiteral("<table")), 2);
    QVERIFY2(html.toPlainText().contains(QStringLiteral("Lüfter")), qPrintable(html.toPlainText()));
    const QString sum = text.filter(QStringLiteral("energetische Summe")).value(0).section(u'\t', 2, 2);
    QCOMPARE(sum, inLocale(QStringLiteral("80.87"), mark));
    QVERIFY(html.toPlainText().contains(sum));
    QCOMPARE(list->status(), QStringLiteral("Ergebnisse und 2 Pegel kopiert."));
}

void TestLevelListWindow::csvInBothLocales_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("chosen");  // the name given in the dialog
    QTest::addColumn<QString>("saved");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("point: commas between the cells")
        << "point" << "liste" << "liste.csv"
        << QStringList{"\xEF\xBB\xBFPegelliste – dB Calculator", "LΣ,energetische Summe,80.87,80.84,dB", "",
                       "\"Pegel, Fremdgeräusch LB = 60 dB\"", "70,Pumpe,10,0.46,korrigiert,69.54"};
    QTest::newRow("comma: semicolons between the cells")
        << "comma" << "liste.txt" << "liste.txt"
        << QStringList{"\xEF\xBB\xBFPegelliste – dB Calculator", "LΣ;energetische Summe;80,87;80,84;dB", "",
                       "Pegel, Fremdgeräusch LB = 60 dB", "70;Pumpe;10;0,46;korrigiert;69,54"};
}

void TestLevelListWindow::csvInBothLocales()
{
    QFETCH(QString, mark);
    QFETCH(QString, chosen);
    QFETCH(QString, saved);
    QFETCH(QStringList, lines);
    LocaleScope locale(localeNamed(mark));
    QTemporaryDir dir;
    QString suggested;
    setLevelListFileDialog([&](QWidget*, const QString& path) {
        suggested = path;
        return dir.filePath(chosen);
    });
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("Pumpe 70\nLüfter 80,5"));
    QTest::keyClicks(list->backgroundEdit(), QStringLiteral("60"));
    QTest::mouseClick(list->findChild<QPushButton*>(QStringLiteral("saveCsv")), Qt::LeftButton);
    setLevelListFileDialog({});
    QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("Pegelliste.csv"));

    QFile file(dir.filePath(saved));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList written = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    for (const QString& line : lines)
        QVERIFY2(written.contains(line), qPrintable(line + QStringLiteral("\nnot in\n") + written.join(u'\n')));
    QVERIFY(list->status().startsWith(QStringLiteral("Gespeichert: ")));
    QVERIFY(list->status().endsWith(saved));
}

// A file that cannot be written: a German message and nothing else; a
// cancelled dialog: nothing at all.
void TestLevelListWindow::csvNotWrittenChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fehlt/liste.csv"));
    QString chosen = path;
    setLevelListFileDialog([&chosen](QWidget*, const QString&) { return chosen; });
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("60 70"));
    const QString status = list->status();
    QString message;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&message] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text();
            box->accept();
        }
    });
    answer.start(20);
    QVERIFY(!list->saveCsv());
    answer.stop();
    QVERIFY2(message.contains(QStringLiteral("„%1“ konnte nicht gespeichert werden").arg(path)), qPrintable(message));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(list->status(), status);
    QCOMPARE(list->model()->levelCount(), 2);

    chosen.clear();
    QVERIFY(!list->saveCsv());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(list->status(), status);
    setLevelListFileDialog({});
}

void TestLevelListWindow::typeIntoCalculator_data()
{
    QTest::addColumn<QString>("before");  // keys clicked on the keypad first
    QTest::addColumn<QString>("levels");
    QTest::addColumn<int>("row");         // the result chosen; -1: none chosen
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");   // the display after "In den Rechner"
    QTest::addColumn<QString>("after");   // keys clicked then
    QTest::addColumn<QString>("shown");
    // 60 + 63.01: 60 + 10·lg(1 + 10^0.301) = 64.771.
    QTest::newRow("60 + the sum of 60 and 60, then =") << "6 0 +" << "60 60" << -1 << 0 << "63.01" << "=" << " 64.8";
    QTest::newRow("the sum into a fresh display, then + 70 =")
        << "" << "60 60" << -1 << 0 << "63.01" << "+ 7 0 =" << " 70.8";
    // 8 sources of 60 dB: 60 + 10·lg 8 = 69.03.
    QTest::newRow("the count n after 60 x") << "6 0 x" << "60 61 62 63 64 65 66 67" << int(N) << kValueColumn
                                            << "8" << "=" << " 69";
    QTest::newRow("the energetic mean after =") << "6 0 + 6 0 =" << "50 60" << int(Mean) << 1 << "57.4" << ""
                                                << "57.4";
}

void TestLevelListWindow::typeIntoCalculator()
{
    QFETCH(QString, before);
    QFETCH(QString, levels);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, after);
    // Under either decimal mark the keypad gets its point.
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    Calculator calculator;
    calculator.press(before);
    LevelListWindow* list = calculator.openList();
    list->pasteText(levels);
    if (row >= 0)
        list->resultsView()->setCurrentCell(row, column);
    QVERIFY(list->typeButton()->isVisible());
    QTest::mouseClick(list->typeButton(), Qt::LeftButton);
    QTEST(calculator.display(), "typed");
    QVERIFY2(list->status().endsWith(QStringLiteral("in den dB Calculator getippt.")), qPrintable(list->status()));
    calculator.press(after);
    QTEST(calculator.display(), "shown");
}

void TestLevelListWindow::typeRefusedLeavesTheDisplay_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("levels");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("why");
    QTest::newRow("a number being typed") << "6 0 + 5" << "60 60" << "5" << "„5“ eingegeben";
    // 10·lg(10^−1 + 10^−2) = −9.586: the keys have no minus.
    QTest::newRow("a negative sum") << "" << "-10 -20" << "0" << "Minuszeichen";
    QTest::newRow("an empty list") << "" << "" << "0" << "keinen Wert";
}

void TestLevelListWindow::typeRefusedLeavesTheDisplay()
{
    QFETCH(QString, before);
    QFETCH(QString, levels);
    QFETCH(QString, display);
    QFETCH(QString, why);
    Calculator calculator;
    calculator.press(before);
    const WindowState state = calculator.window->state();
    LevelListWindow* list = calculator.openList();
    list->pasteText(levels);
    QVERIFY(!list->typeIntoCalculator());
    QCOMPARE(calculator.display(), display);
    QCOMPARE(calculator.window->state(), state);
    QVERIFY2(list->status().contains(why), qPrintable(list->status()));
}

void TestLevelListWindow::noTypingWithoutKeys()
{
    // A window that offers no typing gets no "In den Rechner".
    QWidget owner;
    owner.show();
    CompanionRequest request;
    request.owner = &owner;
    request.title = QStringLiteral("Test");
    auto* list = qobject_cast<LevelListWindow*>(openLevelListWindow(request));
    QVERIFY(list);
    QVERIFY(!list->typeButton()->isVisible());
    list->pasteText(QStringLiteral("60"));
    QVERIFY(!list->typeIntoCalculator());
}

void TestLevelListWindow::helpFollowsTheList()
{
    LocaleScope locale(localeNamed(QStringLiteral("comma")));
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("60 60 60 60 60 60 60 60"));
    QTest::keyClick(list->listView(), Qt::Key_F1);
    QTextBrowser* help = list->help();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->window()->windowTitle(), QStringLiteral("Hilfe – Pegelliste"));
    // A unit is tied to its number on the page.
    const auto page = [help] { return help->toPlainText().replace(QChar::Nbsp, u' '); };
    QVERIFY2(page().contains(QStringLiteral("69,03 dB")), qPrintable(page()));
    QVERIFY(page().contains(QStringLiteral("n = 8 Pegel")));
    // The next edit is worked at once.
    list->pasteText(QStringLiteral("60"));
    QVERIFY(page().contains(QStringLiteral("n = 9 Pegel")));
    QVERIFY(page().contains(QStringLiteral("69,54 dB")));  // 60 + 10·lg 9
    // It closes with the list.
    list->close();
    QVERIFY(!help->isVisible());
}

void TestLevelListWindow::closesWithItsCalculatorAndKeepsTheList()
{
    Calculator calculator;
    LevelListWindow* list = calculator.openList();
    list->pasteText(QStringLiteral("60 61"));
    QVERIFY(list->isVisible());
    QCOMPARE(list->parentWidget(), calculator.window);
    // Closed and opened again: the same window with the same levels.
    list->close();
    QVERIFY(!list->isVisible());
    QCOMPARE(calculator.openList(), list);
    QVERIFY(list->isVisible());
    QCOMPARE(shownLevels(list), QStringLiteral("60|61"));

    QPointer<LevelListWindow> guard(list);
    calculator.form->unload();
    processDeferredDeletes();
    QVERIFY(guard.isNull());
}

void TestLevelListWindow::openedThroughThePlugin()
{
    addCompanionPluginPath(QStringLiteral(ORVELLA_PLUGIN_BUILD_DIR));
    QString error;
    CompanionPlugin* plugin = loadCompanionPlugin(QStringLiteral("orvella_levellist"), &error);
    QVERIFY2(plugin, qPrintable(error));
    Calculator calculator;
    calculator.press(QStringLiteral("6 0 +"));
    QWidget* window = plugin->open(companionRequest(*calculator.window));
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Pegelliste – dB Calculator"));
    QVERIFY(window->isVisible());
    QCOMPARE(window->parentWidget(), calculator.window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // Its own copy of the window code: driven by its controls' names.
    QApplication::clipboard()->setText(QStringLiteral("60\n60"));
    QTest::keyClick(window->findChild<QWidget*>(QStringLiteral("levels")), Qt::Key_V, Qt::ControlModifier);
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("typeIntoCalculator")), Qt::LeftButton);
    QCOMPARE(calculator.display(), QStringLiteral("63.01"));
    // The second opening raises the same window.
    QCOMPARE(plugin->open(companionRequest(*calculator.window)), window);
    // It fits a 960 × 540 screen, title bar and borders included.
    QVERIFY(window->minimumSizeHint().width() <= 900);
    QVERIFY(window->minimumSizeHint().height() <= 480);
    QVERIFY(window->minimumSize().width() <= 900 && window->minimumSize().height() <= 480);
}

QTEST_MAIN(TestLevelListWindow)
#include "tst_levellist_window.moc"
