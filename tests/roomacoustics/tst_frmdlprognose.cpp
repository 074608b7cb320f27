// SPDX-License-Identifier: GPL-3.0-or-later
// The open-plan office prognosis window through its widgets: worked examples
// under both decimal marks, the comma fix on all eight inputs, and
// calculations that stop without touching the results.

#include "frmdlprognose.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace orvella;
using namespace orvella::test;

namespace {

const QStringList kInputs = {"txALPHAcell", "txALPHAhori", "txHscreen", "txLraum",
                             "txWraum",     "txHraum",     "txL1",      "txR"};
const QStringList kResults = {"txDL2", "txL4", "txLr"};

// "txR=16" entries: the field and the text typed into it.
void typeInto(const QWidget* w, const QStringList& entries)
{
    for (const QString& e : entries) {
        const qsizetype eq = e.indexOf(u'=');
        setTextOf(w, e.left(eq), e.mid(eq + 1));
    }
}


}  // namespace

class TestFrmDLprognose : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void init();
    void cleanup();

    void opensWithDesignTextsAndFocusOnClose();
    void tabOrder();
    void fonts();

    void workedExamples_data();
    void workedExamples();
    void commaFix_data();
    void commaFix();
    void calculationStops_data();
    void calculationStops();

private:
    std::unique_ptr<CalculatorForm> form_;
    QWidget* w_ = nullptr;
    int menuShown_ = 0;
};

void TestFrmDLprognose::init()
{
    menuShown_ = 0;
    form_ = makeDLprognoseForm([this] { ++menuShown_; });
    QVERIFY(form_);
    form_->show();
    w_ = form_->window();
    QVERIFY(w_);
    QCOMPARE(w_->objectName(), QStringLiteral("frmDLprognose"));
}

void TestFrmDLprognose::cleanup()
{
    form_.reset();
    processDeferredDeletes();
    w_ = nullptr;
}

void TestFrmDLprognose::opensWithDesignTextsAndFocusOnClose()
{
    const QStringList design = {"0,1", "0,1", "1,0", "30", "15", "3", "58", "8"};
    for (int i = 0; i < kInputs.size(); ++i)
        QCOMPARE(textOf(w_, kInputs[i]), design[i]);
    for (const QString& r : kResults)
        QCOMPARE(textOf(w_, r), QString());
    QCOMPARE(w_->focusWidget(), buttonOf(w_, "cmdUload"));

    const QString title = w_->windowTitle();
    QVERIFY(title.startsWith("Orvella" + QString(64, u' ')));
    QVERIFY(title.size() > 7 + 64 && title[7 + 64] != u' ');

    // CLOSE hands over to the menu.
    click(w_, "cmdUload");
    QCOMPARE(menuShown_, 1);
    QVERIFY(!form_->isLoaded());
}

void TestFrmDLprognose::tabOrder()
{
    const QStringList expected = {"cmdUload",  "cmdRUNDL",    "txLr",        "txHraum", "txLraum",
                                  "txDL2",     "txWraum",     "txHscreen",   "txALPHAcell",
                                  "txALPHAhori", "txR",       "txL1",        "txL4"};
    QCOMPARE(focusChain(w_, "cmdUload"), expected);
}

void TestFrmDLprognose::fonts()
{
    for (const QString& name : kInputs + kResults) {
        const QFont f = fieldOf(w_, name)->font();
        QVERIFY2(f.bold(), qPrintable(name));
        QCOMPARE(f.pointSizeF(), 9.75);
    }
    const QFont run = buttonOf(w_, "cmdRUNDL")->font();
    QVERIFY(!run.bold());
    QCOMPARE(run.pointSizeF(), 9.75);
    const QFont close = buttonOf(w_, "cmdUload")->font();
    QVERIFY(!close.bold());
    QCOMPARE(close.pointSizeF(), 8.25);
}

void TestFrmDLprognose::workedExamples_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QString>("dl2");
    QTest::addColumn<QString>("l4");
    QTest::addColumn<QString>("lr");
    struct Row {
        const char* name;
        QStringList typed;
        const char *dl2, *l4, *lr;
    };
    const Row rows[] = {
        {"design texts", {}, "4.6", "52.9", "48.3"},
        {"R 4: Lr equal to L4", {"txR=4"}, "4.6", "52.9", "52.9"},
        {"R 16", {"txR=16"}, "4.6", "52.9", "43.7"},
        {"R 2", {"txR=2"}, "4.6", "52.9", "57.5"},
        {"R 1", {"txR=1"}, "4.6", "52.9", "62.1"},
        {"Hscreen 2,5: whole results without decimals", {"txHscreen=2,5"}, "8.1", "48", "40"},
        {"Hscreen 0", {"txHscreen=0"}, "2.3", "56.1", "53.9"},
        {"Hscreen 4 above the room height", {"txHscreen=4"}, "11.6", "43.2", "31.7"},
        {"ALPHAcell 0 and ALPHAhori 0", {"txALPHAcell=0", "txALPHAhori=0"}, "4", "53.4", "49.4"},
        {"ALPHAcell 1 and ALPHAhori 1", {"txALPHAcell=1", "txALPHAhori=1"}, "9.8", "48.1", "38.3"},
        {"txL1 empty reads as 0", {"txL1="}, "4.6", "-5.1", "-9.7"},
    };
    for (const char* mark : {"point", "comma"})
        for (const Row& r : rows)
            QTest::addRow("%s: %s", mark, r.name)
                << mark << r.typed << inLocale(r.dl2, mark) << inLocale(r.l4, mark) << inLocale(r.lr, mark);
}

void TestFrmDLprognose::workedExamples()
{
    QFETCH(QString, mark);
    QFETCH(QStringList, typed);
    QFETCH(QString, dl2);
    QFETCH(QString, l4);
    QFETCH(QString, lr);
    LocaleScope locale(localeNamed(mark));

    typeInto(w_, typed);
    click(w_, "cmdRUNDL");
    QCOMPARE(textOf(w_, "txDL2"), dl2);
    QCOMPARE(textOf(w_, "txL4"), l4);
    QCOMPARE(textOf(w_, "txLr"), lr);

    // Pressed again, the same inputs (now comma-fixed) give the same results.
    click(w_, "cmdRUNDL");
    QCOMPARE(textOf(w_, "txDL2"), dl2);
    QCOMPARE(textOf(w_, "txL4"), l4);
    QCOMPARE(textOf(w_, "txLr"), lr);
}

void TestFrmDLprognose::commaFix_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("fieldsAfter");  // "field=text" after the calculation
    QTest::addColumn<QString>("dl2");
    QTest::addColumn<QString>("l4");
    QTest::addColumn<QString>("lr");
    struct Row {
        const char* name;
        QStringList typed, after;
        const char *dl2, *l4, *lr;
    };
    const Row rows[] = {
        {"design texts: the six fixed fields show points",
         {},
         {"txALPHAcell=0.1", "txALPHAhori=0.1", "txHscreen=1.0", "txLraum=30", "txWraum=15",
          "txHraum=3", "txL1=58", "txR=8"},
         "4.6", "52.9", "48.3"},
        // L4 = 53.389, Lr = 48.806: the half decibel counts.
        {"txL1 58,5 reads as 58.5", {"txL1=58,5"}, {"txL1=58.5"}, "4.6", "53.4", "48.8"},
        // Lr = 52.889 - 3.3 * 4.6133 * lg(8.5/4) = 47.905.
        {"txR 8,5 reads as 8.5", {"txR=8,5"}, {"txR=8.5"}, "4.6", "52.9", "47.9"},
        // Hscreen 1.2: DL2 = 2.8 + 1.7 + 0.428 + 0.152 = 5.08, L4 = 52.243, Lr = 47.197.
        {"txHscreen 1,2,3: only the first comma, reads as 1.2",
         {"txHscreen=1,2,3"}, {"txHscreen=1.2,3"}, "5.1", "52.2", "47.2"},
        // Lraum 1: DL2 = 2.3333 + 0.0567 + 0.428 + 0.152 = 2.97, Lr = 49.939.
        {"txLraum 1.000,5: German thousands point, reads as 1",
         {"txLraum=1.000,5"}, {"txLraum=1.000.5"}, "3", "52.9", "49.9"},
        // R 1.2: Lr = 52.889 + 15.224 * 0.52288 = 60.849.
        {"txR 1,2,3 reads as 1.2", {"txR=1,2,3"}, {"txR=1.2,3"}, "4.6", "52.9", "60.8"},
        // L1 1: L4 = -4.111, Lr = -8.694.
        {"txL1 1.000,5 reads as 1", {"txL1=1.000,5"}, {"txL1=1.000.5"}, "4.6", "-4.1", "-8.7"},
    };
    for (const char* mark : {"point", "comma"})
        for (const Row& r : rows)
            QTest::addRow("%s: %s", mark, r.name) << mark << r.typed << r.after
                                                  << inLocale(r.dl2, mark) << inLocale(r.l4, mark)
                                                  << inLocale(r.lr, mark);
}

void TestFrmDLprognose::commaFix()
{
    QFETCH(QString, mark);
    QFETCH(QStringList, typed);
    QFETCH(QStringList, fieldsAfter);
    QFETCH(QString, dl2);
    QFETCH(QString, l4);
    QFETCH(QString, lr);
    LocaleScope locale(localeNamed(mark));

    typeInto(w_, typed);
    click(w_, "cmdRUNDL");
    for (const QString& e : fieldsAfter) {
        const qsizetype eq = e.indexOf(u'=');
        QCOMPARE(textOf(w_, e.left(eq)), e.mid(eq + 1));
    }
    QCOMPARE(textOf(w_, "txDL2"), dl2);
    QCOMPARE(textOf(w_, "txL4"), l4);
    QCOMPARE(textOf(w_, "txLr"), lr);
}

void TestFrmDLprognose::calculationStops_data()
{
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<QStringList>("fieldsAfter");  // "field=text" after the stop

    // All six fixed when the stop comes in the formulas or in the writing.
    const QStringList allFixed = {"txALPHAcell=0.1", "txALPHAhori=0.1", "txHscreen=1.0"};
    QTest::newRow("room height 0") << QStringList{"txHraum=0"} << allFixed;
    QTest::newRow("room height empty") << QStringList{"txHraum="} << allFixed;
    QTest::newRow("room height non-numeric") << QStringList{"txHraum=abc"} << allFixed;
    QTest::newRow("room height 0,0 after the comma fix")
        << QStringList{"txHraum=0,0"} << (allFixed + QStringList{"txHraum=0.0"});
    QTest::newRow("distance 0") << QStringList{"txR=0"} << allFixed;
    QTest::newRow("distance 0,0") << QStringList{"txR=0,0"} << QStringList{"txR=0.0"};
    QTest::newRow("distance negative") << QStringList{"txR=-8"} << allFixed;
    QTest::newRow("distance empty") << QStringList{"txR="} << allFixed;
    QTest::newRow("overflow in DL2: Hscreen / Hraum")
        << QStringList{"txHscreen=1E308", "txHraum=0,1"}
        << QStringList{"txHscreen=1E308", "txHraum=0.1"};
    QTest::newRow("overflow in L4: L1 - 0.09 Wraum")
        << QStringList{"txL1=-1,7E308", "txWraum=1,7E308"}
        << QStringList{"txL1=-1.7E308", "txWraum=1.7E308"};
    QTest::newRow("overflow in Lr: 3.3 DL2") << QStringList{"txHscreen=1E307", "txHraum=1"}
                                            << QStringList{"txHscreen=1E307"};
    // DL2 = 3.4e304 and L4 = 52.889 are written fine; Lr = -3.45e307 cannot
    // be rounded to one decimal. Nothing is written, not even DL2 and L4.
    QTest::newRow("Lr too large to write") << QStringList{"txLraum=6E305", "txR=1E308"}
                                           << QStringList{"txLraum=6E305"};
    // A number too large to read: the fields up to and including it are
    // fixed, the later ones keep their commas.
    QTest::newRow("txLraum too large to read")
        << QStringList{"txLraum=1,5E999", "txWraum=15,0", "txHraum=3,0"}
        << QStringList{"txALPHAcell=0.1", "txHscreen=1.0", "txLraum=1.5E999", "txWraum=15,0",
                       "txHraum=3,0"};
    QTest::newRow("txL1 too large to read")
        << QStringList{"txL1=1,5E999", "txR=8,0"}
        << (allFixed + QStringList{"txL1=1.5E999", "txR=8,0"});
    QTest::newRow("txR too large to read")
        << QStringList{"txR=1,0E999"} << (allFixed + QStringList{"txR=1.0E999"});
    QTest::newRow("txALPHAcell too large to read")
        << QStringList{"txALPHAcell=9,9E999"}
        << QStringList{"txALPHAcell=9.9E999", "txALPHAhori=0,1", "txHscreen=1,0"};
}

void TestFrmDLprognose::calculationStops()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, fieldsAfter);
    LocaleScope locale(localeNamed("point"));
    auto* window = qobject_cast<CalculatorWindow*>(w_);
    QVERIFY(window);
    QSignalSpy stopped(window, &CalculatorWindow::calculationStopped);

    setTextOf(w_, "txDL2", "previous DL2");
    setTextOf(w_, "txL4", "previous L4");
    setTextOf(w_, "txLr", "previous Lr");
    typeInto(w_, typed);
    click(w_, "cmdRUNDL");

    QCOMPARE(stopped.count(), 1);
    QCOMPARE(textOf(w_, "txDL2"), QStringLiteral("previous DL2"));
    QCOMPARE(textOf(w_, "txL4"), QStringLiteral("previous L4"));
    QCOMPARE(textOf(w_, "txLr"), QStringLiteral("previous Lr"));
    for (const QString& e : fieldsAfter) {
        const qsizetype eq = e.indexOf(u'=');
        QCOMPARE(textOf(w_, e.left(eq)), e.mid(eq + 1));
    }
    QVERIFY(w_->isVisible());

    // The window stays usable: back to the design inputs, a good calculation.
    typeInto(w_, {"txALPHAcell=0,1", "txALPHAhori=0,1", "txHscreen=1,0", "txLraum=30",
                  "txWraum=15", "txHraum=3", "txL1=58", "txR=8"});
    click(w_, "cmdRUNDL");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(textOf(w_, "txDL2"), QStringLiteral("4.6"));
    QCOMPARE(textOf(w_, "txL4"), QStringLiteral("52.9"));
    QCOMPARE(textOf(w_, "txLr"), QStringLiteral("48.3"));
}

QTEST_MAIN(TestFrmDLprognose)
#include "tst_frmdlprognose.moc"
