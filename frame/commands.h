// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Commands beyond the designed windows: copying, help, the parameter study,
// the about box. Each is an entry of a window's context menu and, with the
// same key, a window shortcut that works wherever the focus is in it. The
// designed controls themselves are not touched: labels, frames and buttons
// pass a right click on to their window, text fields keep Qt's own menu.

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

namespace orvella {

class DesignedWindow;

struct WindowCommand {
    QString text;           // the menu entry, German: "Hilfe und Rechenweg"
    QKeySequence shortcut;  // may be empty
    // Which windows offer the command; every window when empty.
    std::function<bool(const DesignedWindow&)> offeredBy;
    std::function<void(DesignedWindow&)> run;
    bool separatorBefore = false;
    // When set, the entry stands for the commands this gives for the window
    // (none, one or several), in its place: commands that differ from
    // window to window, such as the companions its calculators declare.
    std::function<std::vector<WindowCommand>(const DesignedWindow&)> commandsFor{};
};

// Adds the command to every window loaded from now on, after those added
// before it. A key that an earlier command of the window has taken already
// is not given to a later one, which is then offered in the menu only. The
// program adds its commands once at start.
void addWindowCommand(WindowCommand command);

// Removes every command (for tests that build their own set).
void clearWindowCommands();

// The commands in the order they were added.
const std::vector<WindowCommand>& windowCommands();

}  // namespace orvella
