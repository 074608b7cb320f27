// SPDX-License-Identifier: GPL-3.0-or-later
// Orvella: starts into the main menu and runs until no window is left.

#include "about.h"
#include "clipboard.h"
#include "companions.h"
#include "historyrecording.h"
#include "shell.h"

#include <QApplication>
#include <QFont>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
#if defined(Q_OS_LINUX)
    // Without a display Qt would print a page of plugin errors; one line says it.
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fputs("orvella: no display found (DISPLAY is not set); start it in a desktop session.\n",
                   stderr);
        return 1;
    }
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    QApplication::setDesktopFileName(QStringLiteral("orvella"));
    orvella::installDesignFonts();
    orvella::installQtTranslations();
    orvella::installProgramIcon();

    // The context menu lists the commands in this order.
    orvella::installCopyCommand();
    orvella::installCompanionCommands();
    orvella::installHistoryCommand();
    orvella::installAboutCommand();
    // Every completed calculation into the Verlauf, loaded at the first one.
    orvella::installHistoryRecording();

    orvella::Shell shell;
    shell.menu().show();
    return app.exec();
}
