// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Über Orvella": the entry at the end of every window's context menu that
// names the program, its version, its licence, the Qt version it runs on,
// the history file and its web site, in a box like QMessageBox::about.

#include <QString>

class QMessageBox;
class QWidget;

namespace orvella {

// The version of this build ("1.1.0"), the one the project and its package carry.
QString programVersion();

// The box's text (rich text): name, version, licence, Qt version, the
// history file with its folder, web address.
QString aboutText();

// Opens the box over `owner`, modal to that window only, and returns it; it
// deletes itself when closed. The event loop keeps running, so the box
// belongs to its window like any other: it closes when the window does.
QMessageBox* showAbout(QWidget* owner);

// Adds "Über Orvella" to every window loaded from now on, after a separator.
void installAboutCommand();

}  // namespace orvella
