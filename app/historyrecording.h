// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every completed calculation goes into the Verlauf: the windows hand the
// record of each calculation to the calculation observer, and the program
// passes it on to the history plugin. The plugin, and Qt SQL with it, is
// loaded at the first calculation (or the first opening of the Verlauf),
// never at start; while "Verlauf führen" is off it is not loaded for a
// calculation at all. The entry is written on the history's own thread; the
// calculation waits for its commit, never for another program holding the
// file. A notice of the history (a damaged file moved aside, no writable
// folder, a full disk, a file another program holds for a while) is shown
// once, in a box that does not stop the calculator; it may come after the
// calculation that caused it.

//
// The companions that evaluate a table (evaluationhistory.h) hand the states
// of their lists the same way, through their CompanionRequest; they never
// wait for the history.

#include "evaluationrecord.h"

#include <functional>
#include <memory>

class QWidget;

namespace orvella {

// Makes the history the calculation observer of the windows, and the
// recorder of the companions' evaluations.
void installHistoryRecording();

// What the companions' requests record their evaluations with: empty until
// installHistoryRecording().
std::function<void(std::shared_ptr<const EvaluationSnapshot>)> evaluationRecorder();

// The open notice of the history, or null.
QWidget* historyNotice();

}  // namespace orvella
