// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Appending pasted levels to the level list: every number of the text, or,
// when its lines are rows of a table, the column the user picks.

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace orvella {

class LevelListModel;

// The question which column of a pasted table holds the levels: `preview`
// holds the first levels of each column as the list would show them, and
// `suggested` the column offered first (from 1). The answer is a column
// from 1, or nothing when the user cancels.
using LevelListColumnDialog = std::function<std::optional<std::size_t>(
    QWidget* parent, const std::vector<QStringList>& preview, std::size_t suggested)>;

// Replaces the column dialog (tests); an empty function restores the own.
void setLevelListColumnDialog(LevelListColumnDialog dialog);

// Appends the levels of `text` (levelsFromText) after the last one of
// `model`: every number, or, when the lines are rows of a table
// (levelColumns), the column the user picks in the column dialog (the last
// one offered first). Returns the status line: how many, from which column,
// and what was left out; the list holds at most kMaxLevels levels, and a
// text longer than kMaxPastedChars is not read at all. A failed allocation
// leaves the list as it was.
QString pasteLevels(QWidget* parent, LevelListModel& model, const QString& text);

}  // namespace orvella
