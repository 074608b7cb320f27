// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The commands of a companion window as QActions: one list from which its
// buttons, its keys and its context-menu entries are made, so that the three
// never disagree.

#include <QAction>
#include <QKeySequence>
#include <QString>
#include <QWidget>

#include <utility>

class QMenu;
class QPushButton;

namespace orvella {

// Adds the command `text` (German, "&" before its accelerator letter) to
// `window`: its key works anywhere in the window, and `run` is called when
// it is triggered by the key, a button or a menu entry.
template <class Window, class Run>
QAction* addCompanionCommand(Window* window, const QString& text, const QKeySequence& key, Run&& run)
{
    auto* action = new QAction(text, window);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, std::forward<Run>(run));
    window->addAction(action);
    return action;
}

// A push button that triggers `action`: its text (without the key), and
// enabled while the action is. It is no default button, so Return stays with
// the field that has the keyboard.
QPushButton* commandButton(QAction* action, const QString& objectName);

// Appends the window's commands that have a text and are visible, in the
// order they were added, with their keys.
void addCommandsToMenu(QMenu& menu, const QWidget* window);

}  // namespace orvella
