// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number rules applied to text boxes and to the user's regional settings.

#include "numbers.h"

#include <QString>

class QLineEdit;

namespace orvella {

// Rewrites the box's text with its first "," replaced by "." (written back
// even when nothing changed).
void KillKomma(QLineEdit* box);

// ReadNumber on a field text (throws ArithmeticError on overflow).
double ReadNumber(const QString& text);

// FormatResult with the decimal mark of the default QLocale, i.e. of the
// user's regional settings.
QString FormatResult(double value, int decimals);

}  // namespace orvella
