// SPDX-License-Identifier: GPL-3.0-or-later
// Writes every help page and every parameter study as the program shows them
// into a folder: each help page as the whole document drawn at a fixed width
// (PNG) and as the document's HTML, each study as the window grabbed at a
// fixed size (PNG), each study twice (the second "-again", of the calculator
// opened again). Two builds are compared file by file: the pictures with
// ImageMagick's `compare -metric AE` (0 differing pixels), the HTML with
// `cmp`. Not a test and not run by ctest: it checks nothing itself.
//
//   QT_QPA_PLATFORM=offscreen build/tests/app/companion_snapshots /tmp/before

#include "companions.h"
#include "frmschall.h"
#include "helpwindow.h"
#include "shell.h"
#include "studywindow.h"
#include "testsupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTextBrowser>
#include <QTextDocument>

#include <cstdio>
#include <memory>

using namespace orvella;
using namespace orvella::test;

namespace {

QDir out;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The help page as one picture at a fixed width, and its HTML.
void saveHelp(QWidget* window, const QString& name)
{
    auto* help = qobject_cast<HelpWindow*>(window);
    if (!help) {
        std::fprintf(stderr, "no help window for %s\n", qPrintable(name));
        return;
    }
    help->refresh();
    settle();
    const std::unique_ptr<QTextDocument> document(help->browser()->document()->clone());
    document->setTextWidth(680);
    const QSize size = document->size().toSize();
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        document->drawContents(&painter);
    }
    image.save(out.filePath(name + QStringLiteral(".png")));
    QFile html(out.filePath(name + QStringLiteral(".html")));
    if (html.open(QIODevice::WriteOnly))
        html.write(help->browser()->toHtml().toUtf8());
}

void saveStudy(QWidget* window, const QString& name)
{
    if (!window) {
        std::fprintf(stderr, "no study window for %s\n", qPrintable(name));
        return;
    }
    window->resize(1120, 740);
    settle();
    window->grab().save(out.filePath(name + QStringLiteral(".png")));
}

QWidget* helpOf(QWidget* window)
{
    return openHelpWindow(companionRequest(*qobject_cast<DesignedWindow*>(window)));
}

struct Case {
    const char* name;
    const char* button;  // on the menu
    const char* window;
    QStringList edits;   // "txRaum=20,5"
    QStringList clicks;  // buttons of the window, in order
};

const Case kHelpCases[] = {
    {"schall-design", "Command2", "frmSchall", {}, {"cmdRun_l", "cmdRun_p"}},
    {"schall-distance0", "Command2", "frmSchall", {"txAbstand_l=0", "txLeistug_p=1E999"}, {"cmdRun_l", "cmdRun_p"}},
    {"schall-comma", "Command2", "frmSchall", {"txPegel_l=50,5", "txAbstand_p=2,0"}, {}},
    {"feuchte-design", "Command3", "frmFeuchte", {}, {"cmdRun_Feuchte"}},
    {"feuchte-ice", "Command3", "frmFeuchte", {"txRaum=-5", "txOberflaeche=-10"}, {}},
    {"feuchte-below", "Command3", "frmFeuchte", {"txOberflaeche=-150"}, {}},
    {"feuchte-room0pa", "Command3", "frmFeuchte", {"txRaum=-148.6"}, {}},
    {"feuchte-unreadable", "Command3", "frmFeuchte", {"txRaum=1E999"}, {}},
    {"temperatur-design", "Command4", "frmTemperatur", {}, {"cmdRun_Grenzen"}},
    {"temperatur-warm", "Command4", "frmTemperatur", {"txAussen=12"}, {}},
    {"temperatur-band", "Command4", "frmTemperatur", {"txAussen=5,5"}, {}},
    {"temperatur-ice", "Command4", "frmTemperatur", {"txAussen=-64"}, {}},
    {"temperatur-dry", "Command4", "frmTemperatur", {"txAussen=-65"}, {}},
    {"prognose-design", "Command5", "frmDLprognose", {}, {"cmdRUNDL"}},
    {"prognose-good", "Command5", "frmDLprognose", {"txHscreen=2,5"}, {}},
    {"prognose-height0", "Command5", "frmDLprognose", {"txHraum="}, {}},
    {"prognose-distance", "Command5", "frmDLprognose", {"txR=-8"}, {}},
    {"prognose-nodecay", "Command5", "frmDLprognose", {"txHscreen=-5"}, {}},
    {"prognose-overflow", "Command5", "frmDLprognose", {"txLraum=1E308", "txHraum=1E-10"}, {}},
    {"keypad-start", "Command1", "frmCalculator", {}, {}},
    {"keypad-pending", "Command1", "frmCalculator", {}, {"cmdAllClear", "cmdNumber(5)", "cmdNumber(9)", "cmdOperator(3)", "cmdNumber(5)", "cmdNumber(9)"}},
    {"keypad-equal", "Command1", "frmCalculator", {}, {"cmdAllClear", "cmdNumber(5)", "cmdNumber(9)", "cmdOperator(3)", "cmdNumber(5)", "cmdNumber(9)", "cmdEqual"}},
    {"keypad-times", "Command1", "frmCalculator", {}, {"cmdAllClear", "cmdNumber(5)", "cmdNumber(9)", "cmdPoint", "cmdNumber(4)", "cmdOperator(1)", "cmdNumber(3)", "cmdEqual"}},
    {"keypad-times0", "Command1", "frmCalculator", {}, {"cmdAllClear", "cmdNumber(5)", "cmdNumber(9)", "cmdOperator(1)", "cmdNumber(9)"}},
    {"keypad-times0-equal", "Command1", "frmCalculator", {}, {"cmdAllClear", "cmdNumber(5)", "cmdNumber(9)", "cmdOperator(1)", "cmdNumber(9)", "cmdEqual"}},
};

struct StudyCase {
    const char* name;
    const char* button;
    const char* window;
    int conversion;  // the converter's half; -1 for a calculator of one
};

const StudyCase kStudyCases[] = {
    {"study-schall-l", "Command2", "frmSchall", 0},
    {"study-schall-p", "Command2", "frmSchall", 1},
    {"study-feuchte", "Command3", "frmFeuchte", -1},
    {"study-temperatur", "Command4", "frmTemperatur", -1},
    {"study-prognose", "Command5", "frmDLprognose", -1},
};

void closeWindow(QWidget* window)
{
    click(window, QStringLiteral("cmdUload"));
    processDeferredDeletes();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
    out = QDir(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("."));
    setErrorQuestion([](QWidget*) { return ErrorChoice::Abort; });

    for (const QString& mark : {QStringLiteral("point"), QStringLiteral("comma")}) {
        const LocaleScope locale(localeNamed(mark));
        Shell shell;
        shell.menu().show();
        settle();

        auto* menu = qobject_cast<DesignedWindow*>(shell.menu().window());
        QWidget* overview = openHelpWindow(companionRequest(*menu));
        saveHelp(overview, QStringLiteral("help-overview-") + mark);
        overview->close();
        processDeferredDeletes();

        for (const Case& c : kHelpCases) {
            QWidget* w = openFromMenu(shell.menu(), QString::fromLatin1(c.button), QString::fromLatin1(c.window));
            if (!w) {
                std::fprintf(stderr, "%s did not open\n", c.window);
                return 1;
            }
            for (const QString& edit : c.edits)
                setTextOf(w, edit.section(u'=', 0, 0), edit.section(u'=', 1));
            QWidget* help = helpOf(w);
            for (const QString& button : c.clicks)
                click(w, button);
            saveHelp(help, QStringLiteral("help-%1-%2").arg(QString::fromLatin1(c.name), mark));
            closeWindow(w);
        }

        // Each study twice: the second, of the calculator opened again, is
        // drawn on the chart the first one left (the files "-again" equal
        // the first ones).
        for (const StudyCase& c : kStudyCases)
            for (const QString& again : {QString(), QStringLiteral("-again")}) {
                QWidget* w = openFromMenu(shell.menu(), QString::fromLatin1(c.button), QString::fromLatin1(c.window));
                QWidget* study = openStudyWindow(companionRequest(*qobject_cast<DesignedWindow*>(w)));
                if (c.conversion >= 0)
                    if (auto* box = study ? study->findChild<QComboBox*>(QStringLiteral("conversion")) : nullptr)
                        box->setCurrentIndex(c.conversion);
                saveStudy(study, QStringLiteral("%1%2-%3").arg(QString::fromLatin1(c.name), again, mark));
                closeWindow(w);
            }
    }
    return 0;
}
