// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names for assistive technology. The captions of the designs carry runs of
// blanks that place a unit at the right-hand end of a box; a screen reader
// should announce "Raumtemperatur [C°]", not forty blanks, and a text field
// should be announced by the label in front of it instead of as "edit".

#include <QString>

class QWidget;

namespace orvella {

// The caption of a label, button or frame; empty for other widgets.
QString captionOf(const QWidget* widget);

// The caption as it is spoken: runs of blanks collapsed to one, trimmed.
QString spokenCaption(const QString& caption);

// Gives every control of a built window its accessible name: labels,
// buttons and frames their spoken caption, text fields the spoken caption of
// their label (the label in the same container on the same row, left of the
// field; a button there when the row has no label, as for a result written by
// that button; else the caption of the surrounding frame, else "Anzeige").
// Each label is also made the buddy of its field. The window gets its spoken
// caption as its name.
void nameForAccessibility(QWidget* window);

}  // namespace orvella
