// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The results of the level list as its window shows, copies and saves them,
// made from the evaluation and the list's model (never read back from the
// window's widgets).

#include "keypadmodel.h"
#include "levellist.h"
#include "texttable.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QTableWidget;

namespace orvella {

class LevelListModel;

// The columns of the results table.
enum LevelListResultColumn { SymbolColumn, MeaningColumn, ValueColumn, CorrectedColumn, UnitColumn, ResultColumns };

// The titles of the results table's columns.
QStringList levelListResultTitles();

// A result as the table shows it, of the levels or of the corrected ones;
// "≤ " before a corrected result that only grows with every level when a
// corrected level is an upper bound. Empty when there is no such result.
QString levelListResultText(const LevelListEvaluation& evaluation, const std::string& key, bool corrected);

// Shows the results in the table of the window's results (the corrected
// column hidden when there are none).
void showLevelListResults(QTableWidget& table, const LevelListEvaluation& evaluation);

// The notes under the results: the background's problem and note, then
// each note of the results once with the symbols it belongs to.
QStringList levelListNotes(const LevelListEvaluation& evaluation, const QString& backgroundProblem);

// The results (with the corrected ones when there are, and the notes).
TextTable levelListResultsTable(const LevelListEvaluation& evaluation, const std::string& caption,
                                const QStringList& notes);

// The levels with their names (and the columns for which `shown` is true).
TextTable levelListLevelsTable(const LevelListModel& model, const LevelListEvaluation& evaluation,
                               const std::function<bool(int column)>& shown);

// A result typed into the dB Calculator's display through its keys.
struct LevelListTyping {
    bool typed = false;
    QString keys;    // the keys to type
    QString status;  // what was typed, or why nothing is
};

// The keys that type the result at `row` (of the corrected ones when
// `corrected`) into a keypad in `state`; nothing to type when the result
// has no value or the keypad cannot take it.
LevelListTyping keysOfResult(const LevelListEvaluation& evaluation, std::size_t row, bool corrected,
                             const KeypadState& state);

}  // namespace orvella
