// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The description of the level list ("Pegelliste", F2 on the dB Calculator):
// a column of levels with a name each, the background level beside them,
// the statistics and corrections of evaluateLevelList, the handbook and the
// method's formula lines; the list's window evaluates with it and the help
// renders its page from it. Qt-free.

#include "evaluationmodel.h"

#include <cstddef>

namespace orvella {

// The levels listed one by one in the worked calculation; a longer list is
// worked with its first ones and "…".
inline constexpr std::size_t kWorkedLevels = 8;

const EvaluationModel& levelListModel();
// Its id, which the calculator's companion entry names too: the calculator's
// description is made at start, this one only when the list is evaluated.
inline constexpr const char* kLevelListId = "pegelliste";

}  // namespace orvella
