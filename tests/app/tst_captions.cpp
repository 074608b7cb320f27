// SPDX-License-Identifier: GPL-3.0-or-later
// Every caption of every window shows whole: the painted words of each
// label, button and frame lie inside its box, with the unit at the right-hand
// end, while the caption text stays exactly the designed string. Every
// control also lies inside its container.

#include "accessibility.h"
#include "captionwidgets.h"
#include "shell.h"
#include "testsupport.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

class TestCaptions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void layoutFitsOrCompresses_data();
    void layoutFitsOrCompresses();
    void everyWindow_data();
    void everyWindow();
};

void TestCaptions::layoutFitsOrCompresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("available");
    QTest::newRow("fits: one piece") << "Abstand" + blanks(3) + "[m]" << 400;
    QTest::newRow("too wide: unit at the right-hand end") << "Abstand" + blanks(36) + "[m]" << 200;
    QTest::newRow("single blanks between words kept while the runs suffice")
        << "Schallpegel" + blanks(2) + "der Sprache" + blanks(10) + "[dB]" << 200;
    QTest::newRow("leading blank compressed") << " Pegelminderung" + blanks(40) + "[dB]" << 150;
}

void TestCaptions::layoutFitsOrCompresses()
{
    QFETCH(QString, text);
    QFETCH(int, available);
    QFont font("MS Sans Serif");
    font.setPointSizeF(9.75);
    const QFontMetricsF fm(font);
    const auto pieces = layoutCaption(text, fm, available, false);
    QVERIFY(!pieces.empty());
    if (fm.horizontalAdvance(text) <= available) {
        QCOMPARE(pieces.size(), std::size_t(1));
        QCOMPARE(pieces.front().text, text);
        return;
    }
    QString joined;
    for (const CaptionPiece& p : pieces) {
        QVERIFY(p.x >= 0);
        QCOMPARE(p.width, fm.horizontalAdvance(p.text));
        joined += p.text;
    }
    QCOMPARE(QString(joined).remove(' '), QString(text).remove(' '));
    const CaptionPiece& last = pieces.back();
    QVERIFY(last.text.endsWith(']'));
    QVERIFY(qAbs(last.x + last.width - available) < 0.01);
    for (std::size_t i = 1; i < pieces.size(); ++i)
        QVERIFY(pieces[i].x >= pieces[i - 1].x + pieces[i - 1].width);
}

void TestCaptions::everyWindow_data()
{
    QTest::addColumn<int>("which");  // -1: the menu
    QTest::newRow("frmOption") << -1;
    QTest::newRow("frmCalculator") << int(Calculator::Decibel);
    QTest::newRow("frmSchall") << int(Calculator::Converter);
    QTest::newRow("frmFeuchte") << int(Calculator::CriticalHumidity);
    QTest::newRow("frmTemperatur") << int(Calculator::CriticalTemperature);
    QTest::newRow("frmDLprognose") << int(Calculator::OpenPlanOffice);
}

void TestCaptions::everyWindow()
{
    QFETCH(int, which);
    Shell shell;
    shell.menu().show();
    Form* form = which < 0 ? &shell.menu() : shell.calculator(Calculator(which));
    if (!form)
        QSKIP("this window is not part of the program yet");
    if (which >= 0)
        shell.open(Calculator(which));
    QWidget* window = form->window();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));

    int checked = 0;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QRect inParent = w->geometry();
        QVERIFY2(w->parentWidget()->rect().contains(inParent),
                 qPrintable(w->objectName() + " lies outside its container"));
        const auto* painter = dynamic_cast<const CaptionPainter*>(w);
        if (!painter)
            continue;
        ++checked;
        const QString what = QString("%1: \"%2\"").arg(w->objectName(), captionOf(w));
        QVERIFY2(QRectF(w->rect()).contains(painter->captionBox()), qPrintable(what + " box"));
        const QRectF box = painter->captionBox().adjusted(-0.5, -0.5, 0.5, 0.5);
        const std::vector<QRectF> words = painter->paintedWordRects();
        QVERIFY2(!words.empty(), qPrintable(what + " paints nothing"));
        qreal previousRight = box.left();
        for (const QRectF& r : words) {
            QVERIFY2(box.contains(QRectF(r.left(), box.top() + 1, r.width(), 1)),
                     qPrintable(what + " does not fit"));
            QVERIFY2(r.left() >= previousRight - 0.01, qPrintable(what + " words overlap"));
            previousRight = r.right();
        }
    }
    QVERIFY(checked > 0);
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
