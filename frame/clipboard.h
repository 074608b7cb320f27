// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Eingaben und Ergebnisse kopieren": what a calculator window shows, onto
// the clipboard in one keystroke, so that it pastes as a table into a word
// processor and as cells into a spreadsheet. The fields are only read.

#include "clipboardtext.h"

#include <QString>

class QMimeData;

namespace orvella {

class CalculatorWindow;

// The window's fields as a table: the calculator's name as the menu shows
// it, then each field from top to bottom with its label and its number in
// the user's decimal mark (numberOrText). The label is the field's
// accessible name: the caption of the label on its row, or of the button
// that writes it, with runs of blanks reduced to one. A window whose fields
// lie in several frames (the two halves of frmSchall) lists them frame by
// frame, from left to right, each under its frame's caption.
CopyTable copyTableOf(const CalculatorWindow& window);

// text/plain and text/html of the table in one object, for the clipboard.
QMimeData* mimeDataOf(const CopyTable& table);

// A field text as copied: its number in the user's decimal mark without
// surrounding blanks (the keypad's " 63" is "63"), or the text as it stands
// when it is not a plain number.
QString numberForCopy(const QString& text);

// The number of a field text alone, as text/plain, onto the clipboard.
void copyNumber(const QString& text);

// The table of the window onto the clipboard. The keypad, which has no
// formula description and one field, its display, copies the display's
// number alone, as its Ctrl+C does.
void copyInputsAndResults(const CalculatorWindow& window);

// Registers "Eingaben und Ergebnisse kopieren" (Ctrl+Shift+C) for every
// calculator window, not for the menu. Call it before the other commands:
// it is the first entry of the context menu.
void installCopyCommand();

}  // namespace orvella
