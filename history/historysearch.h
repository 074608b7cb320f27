// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The search of the history: an entry's texts are stored folded, and a
// search text is folded the same way, so that a plain substring test finds
// text in any case and numbers in either decimal mark.

#include "calculationrecord.h"

#include <QString>
#include <QStringList>

namespace orvella {

// The text case-folded (umlauts included), with every comma that has a
// digit on either side turned into a point: "Taupunkt 9,3" and "taupunkt
// 9.3" fold alike. Other commas stay, so "a, b" is not "a. b".
QString foldForSearch(const QString& text);

// The words of a search text, folded; an entry matches when its folded text
// contains every word. Empty for a text of blanks.
QStringList searchWords(const QString& text);

// The folded text of an entry that the search looks through: the
// calculator's name, the keypad's line, each input and result with its
// label, text and unit, and the note.
QString searchTextOf(const CalculationRecord& record);

}  // namespace orvella
