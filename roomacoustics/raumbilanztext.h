// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results of a room balance as tables of texts: the octave bands (A, T
// after Sabine and after Eyring, the tolerance band, the verdict, ΔA) and
// the summary (S, A_m, A/V, T_soll, ...), ΔA positive where absorption is
// missing and negative where there is too much, written as the window shows them,
// copies them, saves them as CSV and prints them in the report; and the
// verdict in one German sentence.

#include "raumbilanz.h"
#include "texttable.h"

#include <string>
#include <string_view>

namespace orvella {

// The verdict of a band as the table writes it.
std::string bandVerdictText(BandVerdict verdict);

TextTable bandTable(const BalanceEvaluation& evaluation, std::string_view decimalMark);
TextTable summaryTable(const BalanceEvaluation& evaluation, std::string_view decimalMark);

// "Alle Oktavbänder liegen im Toleranzbereich." and the like.
std::string balanceVerdict(const BalanceEvaluation& evaluation, std::string_view decimalMark);

}  // namespace orvella
