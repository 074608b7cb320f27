// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help page of the level list (F1 in its window): what it computes and
// with which formulas, why two decimals, the rule of the background
// correction, and the calculation worked with the user's own levels. German
// HTML in UTF-8, numbers with the user's decimal mark. Qt-free.

#include "levellist.h"

#include <span>
#include <string>
#include <string_view>

namespace orvella {

// The levels shown one by one in the worked calculation; a longer list is
// worked with its first ones and "…".
inline constexpr std::size_t kWorkedLevels = 8;

// The page for `levels` and their evaluation (evaluateLevelList of the same
// levels and background level).
std::string levelListHelpPage(std::span<const double> levels, const LevelListEvaluation& evaluation,
                              std::string_view decimalMark);

}  // namespace orvella
