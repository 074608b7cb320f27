// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An evaluation of a table (a list of levels, a measurement) as the Verlauf
// keeps it: one entry per list, replaced by each later state of the same
// list. The companion window takes a snapshot of its rows (a copy of its
// numbers or texts, cheap enough for the GUI thread); the history turns it
// into an entry on its own thread: the evaluation's parameters as inputs,
// its results as the window writes them, the rows as one text. Qt-free.

#include "calculationrecord.h"
#include "evaluationmodel.h"
#include "texttable.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

struct EvaluationSnapshot {
    const EvaluationModel* model = nullptr;
    // Stays the same for every state of one list: the entry it replaces.
    std::string key;
    std::string ownerId;      // the calculator whose companion it is: "frmCalculator"
    std::string ownerWindow;  // its window's object name
    EvaluationInput input;    // the rows (as numbers or as texts) and the parameters
    // A name per row, written after its cells; empty when the rows have none.
    std::vector<std::string> labels;
    std::string decimalMark = ".";  // of the results' texts
    // When the list last changed; 0 is stamped by the history.
    std::int64_t timeUtcMs = 0;
    std::int32_t utcOffsetSeconds = 0;
    // Where making `input` and `labels` costs more than a share of a frame
    // (100 000 levels): a copy of the window's own rows, made into them on
    // the history's thread, and how many rows it holds; null when they are
    // made already.
    std::function<void(EvaluationSnapshot&)> fill;
    std::size_t fillRows = 0;

    bool empty() const { return fill ? fillRows == 0 : input.rows.empty() && input.cells.empty(); }
    std::size_t rowCount() const { return input.rows.empty() ? input.cells.size() : input.rows.size(); }
};

// The key of the input an entry counts its rows under.
inline constexpr std::string_view kRowCountKey = "rows";

// A number as it reads back exactly (std::to_chars), with `decimalMark`:
// how an entry writes its parameters, and a companion puts them back.
std::string shortestText(double value, std::string_view decimalMark);

// The entry of the snapshot: evaluates it with its description (for 100 000
// rows a few milliseconds: the history does it on its own thread).
CalculationRecord recordOf(const EvaluationSnapshot& snapshot);

// The rows of an entry written by recordOf, and its parameters, as `model`
// evaluates them; the key and the owner of the entry. Nothing of the rows
// for a calculation's record.
EvaluationSnapshot snapshotOf(const CalculationRecord& record, const EvaluationModel& model);

// The rows of an entry as a table for a report: the columns' titles, the
// first `maxRows` rows with their numbers in `decimalMark` (written to read
// back exactly), the name last. Empty for a calculation's record.
TextTable rowsTable(const CalculationRecord& record, std::size_t maxRows, std::string_view decimalMark);
// How many rows the entry holds.
std::size_t rowsCount(const CalculationRecord& record);

}  // namespace orvella
