// SPDX-License-Identifier: GPL-3.0-or-later
// The editable number table of the companions, worked from the keyboard as
// the user works it: the same behaviour in the Pegelliste's levels and the
// Messauswertung's positions.

#include "companiontable.h"
#include "levellistwindow.h"
#include "measurementtable.h"
#include "measurementwindow.h"
#include "pastedtext.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <memory>

using namespace orvella;
using namespace orvella::test;

class TestCompanionTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void editing_data();
    void editing();
};

namespace {

// Stands for a clipboard text one character longer than a paste may be.
const QString kTooLong = QStringLiteral("<too long>");

// Closed before it is deleted, as the program does: a cell being edited
// is taken while the window is whole.
struct Closing {
    void operator()(QWidget* w) const
    {
        w->close();
        delete w;
    }
};

struct Opened {
    std::unique_ptr<QWidget, Closing> window;
    CompanionTableView* view = nullptr;
};

// The companion's window on its own, active, its table holding the keyboard.
Opened open(const QString& companion)
{
    Opened o;
    if (companion == QLatin1String("levels")) {
        auto* w = new LevelListWindow(CompanionRequest{});
        o.view = w->listView();
        o.window.reset(w);
    } else {
        auto* w = new MeasurementWindow(CompanionRequest{});
        o.view = w->tableView();
        o.window.reset(w);
    }
    o.window->show();
    QApplication::setActiveWindow(o.window.get());
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(o.window.get());
    o.view->setFocus();
    return o;
}

void pasteWithKeys(CompanionTableView* view, const QString& text)
{
    QApplication::clipboard()->setText(text == kTooLong ? QString(qsizetype(kMaxPastedChars) + 1, u'6') : text);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
}

// The first column's texts, the empty last row left out.
QStringList firstColumn(const CompanionTableView* view)
{
    QStringList out;
    for (int r = 0; r + 1 < view->model()->rowCount(); ++r)
        out << view->model()->index(r, 0).data().toString();
    return out;
}

}  // namespace

void TestCompanionTable::editing_data()
{
    QTest::addColumn<QString>("companion");  // "levels" or "positions"
    QTest::addColumn<QString>("pasted");     // pasted with Ctrl+V into the empty table first
    QTest::addColumn<QPoint>("from");        // the current cell (row, column as x, y) ...
    QTest::addColumn<QPoint>("to");          // ... and the other corner of the selection
    QTest::addColumn<QString>("keys");       // "type:…" types into the current cell and presses Return
    QTest::addColumn<QString>("clipboard");  // put on the clipboard before the keys; empty: left as it is
    QTest::addColumn<QStringList>("column");  // the first column afterwards, with a point as decimal mark
    QTest::addColumn<int>("row");             // the current row afterwards
    QTest::addColumn<QString>("copied");      // the clipboard's text afterwards; empty: not looked at

    const QString levels = "60\n62\n64";
    const QString positions = "1\t60,5\n2\t58\n3\t56";
    QTest::newRow("levels: Return after typing appends and moves down")
        << "levels" << levels << QPoint(3, 0) << QPoint(3, 0) << "type:66" << ""
        << QStringList{"60", "62", "64", "66"} << 4 << "";
    QTest::newRow("positions: Return after typing moves down")
        << "positions" << positions << QPoint(0, 0) << QPoint(0, 0) << "type:5" << ""
        << QStringList{"5", "2", "3"} << 1 << "";
    QTest::newRow("levels: Return moves down without editing")
        << "levels" << levels << QPoint(0, 0) << QPoint(0, 0) << "Return" << "" << QStringList{"60", "62", "64"} << 1
        << "";
    QTest::newRow("positions: Return moves down without editing")
        << "positions" << positions << QPoint(1, 0) << QPoint(1, 0) << "Return" << ""
        << QStringList{"1", "2", "3"} << 2 << "";
    QTest::newRow("levels: Delete removes the rows of the selected cells")
        << "levels" << levels << QPoint(0, 0) << QPoint(1, 1) << "Del" << "" << QStringList{"64"} << 0 << "";
    QTest::newRow("positions: Delete empties the selected cells")
        << "positions" << positions << QPoint(0, 0) << QPoint(1, 0) << "Del" << "" << QStringList{"", "", "3"} << 0
        << "";
    QTest::newRow("levels: Ctrl+C copies the block in the user's mark")
        << "levels" << "60\n62,5" << QPoint(0, 0) << QPoint(1, 0) << "Ctrl+C" << ""
        << QStringList{"60", "62.5"} << 0 << "Pegel L [dB]\n60\n62.5\n";
    QTest::newRow("positions: Ctrl+C copies the block in the user's mark")
        << "positions" << positions << QPoint(0, 0) << QPoint(1, 1) << "Ctrl+C" << ""
        << QStringList{"1", "2", "3"} << 0 << "r [m]\tLp,A,S [dB]\n1\t60.5\n2\t58\n";
    QTest::newRow("levels: a paste too long is refused")
        << "levels" << levels << QPoint(0, 0) << QPoint(0, 0) << "Ctrl+V" << kTooLong
        << QStringList{"60", "62", "64"} << 0 << "";
    QTest::newRow("positions: a paste too long is refused")
        << "positions" << positions << QPoint(0, 0) << QPoint(0, 0) << "Ctrl+V" << kTooLong
        << QStringList{"1", "2", "3"} << 0 << "";
}

void TestCompanionTable::editing()
{
    QFETCH(QString, companion);
    QFETCH(QString, pasted);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, keys);
    QFETCH(QString, clipboard);
    QFETCH(QStringList, column);
    QFETCH(QString, copied);
    Opened o = open(companion);
    CompanionTableView* view = o.view;
    view->setCurrentIndex(view->model()->index(0, 0));
    pasteWithKeys(view, pasted);

    const QModelIndex current = view->model()->index(from.x(), from.y());
    view->setCurrentIndex(current);
    view->selectionModel()->select(QItemSelection(current, view->model()->index(to.x(), to.y())),
                                   QItemSelectionModel::ClearAndSelect);
    if (!clipboard.isEmpty())
        pasteWithKeys(view, clipboard);
    else if (keys.startsWith("type:")) {
        const QString text = keys.mid(5);
        QTest::keyClicks(view, text.left(1));
        const QList<QLineEdit*> editors = view->viewport()->findChildren<QLineEdit*>();
        QVERIFY(!editors.isEmpty());
        QTest::keyClicks(editors.front(), text.mid(1));
        QTest::keyClick(editors.front(), Qt::Key_Return);
        // The delegate commits after the editor has seen the key.
        QCoreApplication::processEvents();
    } else {
        const QKeyCombination key = QKeySequence(keys)[0];
        QTest::keyClick(view, key.key(), key.keyboardModifiers());
    }

    QCOMPARE(firstColumn(view), asShown(column));
    QTEST(view->currentIndex().row(), "row");
    if (!copied.isEmpty())
        QCOMPARE(QApplication::clipboard()->text(), asShown(copied));
}

QTEST_MAIN(TestCompanionTable)
#include "tst_companiontable.moc"
