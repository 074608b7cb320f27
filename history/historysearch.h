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

// A search takes at most this many words, each cut to this many
// characters: enough for any phrase a user types, and far below what makes
// SQLite refuse a query (a pasted paragraph, one word of 50 000 bytes).
inline constexpr int kMaxSearchWords = 24;
inline constexpr int kMaxSearchWordLength = 200;

// The words of a search text, folded; an entry matches when its folded text
// contains every word. Empty for a text of blanks. At most kMaxSearchWords
// of at most kMaxSearchWordLength characters; `cut` (when given) tells
// whether the text had more.
QStringList searchWords(const QString& text, bool* cut = nullptr);

// The folded text of an entry that the search looks through: the
// calculator's name, the keypad's line, each input and result with its
// label, text and unit, and the note.
QString searchTextOf(const CalculationRecord& record);

}  // namespace orvella
