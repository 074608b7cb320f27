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
};

// Adds the command to every window loaded from now on, after those added
// before it. The program adds its commands once at start.
void addWindowCommand(WindowCommand command);

// Removes every command (for tests that build their own set).
void clearWindowCommands();

// The commands in the order they were added.
const std::vector<WindowCommand>& windowCommands();

}  // namespace orvella
