// SPDX-License-Identifier: GPL-3.0-or-later
// Where a companion window opens: beside its calculator where there is room,
// shrunk to the screen's available area, its frame (title bar and borders)
// always on that area.

#include "companionplacement.h"

#include <QApplication>
#include <QLayout>
#include <QTest>
#include <QVBoxLayout>

using namespace orvella;

namespace {

// openbox's frame around a resizable window: a title bar of 20 pixels,
// borders of 1 and a handle of 4 at the foot.
const QMargins kOpenbox(1, 20, 1, 5);

}  // namespace

class TestCompanionPlacement : public QObject {
    Q_OBJECT
private slots:
    void frame_data();
    void frame();
    void placedOnTheOffscreenScreen();
    void marginsOfAnotherWindowBeforeTheFirstShow();
};

void TestCompanionPlacement::frame_data()
{
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("owner");  // the calculator's frame
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<QSize>("preferred");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QRect>("expected");

    // The calculator frmDLprognose is 426 x 466 pixels, 428 x 491 with its
    // frame, placed by its own rule a third from the left and halfway down.
    const QSize help(720, 860);
    const QSize study(1120, 740);
    QTest::newRow("room on the right: preferred size, level with the calculator")
        << QRect(0, 0, 1920, 1080) << QRect(497, 294, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(300, 200) << QRect(933, 294, 722, 625);
    QTest::newRow("help on 1920 x 1080: raised until its foot is on the screen")
        << QRect(0, 0, 1920, 1080) << QRect(497, 294, 428, 491) << kOpenbox << help << QSize(300, 200)
        << QRect(933, 195, 722, 885);
    QTest::newRow("room only on the left")
        << QRect(0, 0, 1920, 1080) << QRect(1200, 100, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(300, 200) << QRect(470, 100, 722, 625);
    // 618 of 722 pixels: more than three quarters.
    QTest::newRow("help on 1366 x 768: narrowed to the room on the right, as high as the screen")
        << QRect(0, 0, 1366, 768) << QRect(312, 138, 428, 491) << kOpenbox << help << QSize(300, 200)
        << QRect(748, 0, 618, 768);
    QTest::newRow("narrowed to the left side when it is the wider one")
        << QRect(0, 0, 1366, 768) << QRect(700, 100, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(300, 200) << QRect(0, 100, 692, 625);
    QTest::newRow("not narrowed below its minimum: at an edge instead")
        << QRect(0, 0, 1366, 768) << QRect(700, 100, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(700, 200) << QRect(0, 100, 722, 625);
    // 390 of 722 pixels beside it: too narrow; at the right edge it covers
    // 324 pixels of the calculator, at the left edge 524.
    QTest::newRow("help on 1024 x 768: at the edge that covers less of the calculator")
        << QRect(0, 0, 1024, 768) << QRect(198, 138, 428, 491) << kOpenbox << help << QSize(300, 200)
        << QRect(302, 0, 722, 768);
    QTest::newRow("at the left edge when that covers less")
        << QRect(0, 0, 1024, 768) << QRect(500, 100, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(300, 200) << QRect(0, 100, 722, 625);
    QTest::newRow("study on 960 x 540: the whole screen")
        << QRect(0, 0, 960, 540) << QRect(178, 24, 428, 491) << kOpenbox << study << QSize(780, 420)
        << QRect(0, 0, 960, 540);
    QTest::newRow("study on 1920 x 1080 at 150 %, in logical pixels")
        << QRect(0, 0, 1280, 720) << QRect(284, 104, 287, 330) << QMargins(2, 15, 2, 4) << study
        << QSize(780, 420) << QRect(156, 0, 1124, 720);
    QTest::newRow("panel at the top: the title bar below it")
        << QRect(0, 32, 1280, 688) << QRect(284, 80, 428, 491) << kOpenbox << help << QSize(300, 200)
        << QRect(720, 32, 560, 688);
    QTest::newRow("second screen right of the first")
        << QRect(1920, 0, 1280, 1024) << QRect(2200, 300, 428, 491) << kOpenbox << QSize(720, 600)
        << QSize(300, 200) << QRect(2636, 300, 564, 625);
    QTest::newRow("calculator pushed above the screen: the companion's title bar on it")
        << QRect(0, 0, 1280, 720) << QRect(100, -10, 428, 491) << kOpenbox << QSize(400, 300)
        << QSize(300, 200) << QRect(536, 0, 402, 325);
    QTest::newRow("preferred below the minimum: the minimum")
        << QRect(0, 0, 1920, 1080) << QRect(497, 294, 428, 491) << kOpenbox << QSize(200, 100)
        << QSize(300, 200) << QRect(933, 294, 302, 225);
    QTest::newRow("minimum larger than the screen: the title bar stays on it")
        << QRect(0, 0, 800, 600) << QRect(100, 100, 300, 200) << kOpenbox << QSize(900, 700)
        << QSize(850, 650) << QRect(0, 0, 852, 675);
    QTest::newRow("no calculator on the screen: centred")
        << QRect(0, 0, 1280, 720) << QRect() << kOpenbox << QSize(720, 600) << QSize(300, 200)
        << QRect(279, 47, 722, 625);
    QTest::newRow("no frame known: the client size alone")
        << QRect(0, 0, 1024, 768) << QRect(198, 138, 428, 491) << QMargins() << help << QSize(300, 200)
        << QRect(304, 0, 720, 768);
}

void TestCompanionPlacement::frame()
{
    QFETCH(QRect, area);
    QFETCH(QRect, owner);
    QFETCH(QMargins, margins);
    QFETCH(QSize, preferred);
    QFETCH(QSize, minimum);
    QFETCH(QRect, expected);

    const QRect frame = companionFrame(area, owner, margins, preferred, minimum);
    QCOMPARE(frame, expected);
    if (minimum.width() + margins.left() + margins.right() <= area.width() &&
        minimum.height() + margins.top() + margins.bottom() <= area.height())
        QVERIFY(area.contains(frame));
}

void TestCompanionPlacement::placedOnTheOffscreenScreen()
{
    // The offscreen platform's screen is 800 x 800 pixels and draws a frame
    // of 2 pixels around each window.
    QWidget owner;
    owner.setGeometry(100, 50, 300, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    auto* companion = new QWidget(&owner, Qt::Window);
    auto* layout = new QVBoxLayout(companion);
    auto* content = new QWidget;
    content->setMinimumSize(200, 150);
    layout->addWidget(content);
    companion->resize(1000, 300);
    placeCompanion(companion);
    // Shrunk to the screen's width, it has no room beside the calculator.
    QCOMPARE(companion->size(), QSize(796, 300));
    QCOMPARE(companion->pos(), QPoint(0, 48));
    companion->show();
    QVERIFY(QTest::qWaitForWindowExposed(companion));
    QCOMPARE(companion->frameGeometry(), QRect(0, 48, 800, 304));
}

void TestCompanionPlacement::marginsOfAnotherWindowBeforeTheFirstShow()
{
    QWidget hidden;
    QCOMPARE(windowFrameMargins(&hidden), QMargins());
    QWidget shown;
    shown.setGeometry(100, 100, 200, 100);
    shown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown));
    QCOMPARE(windowFrameMargins(&hidden), QMargins(2, 2, 2, 2));
    QCOMPARE(windowFrameMargins(nullptr), QMargins(2, 2, 2, 2));
}

QTEST_MAIN(TestCompanionPlacement)
#include "tst_companionplacement.moc"
