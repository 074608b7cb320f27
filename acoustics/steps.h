// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running a calculation step by step under one error path, as the converter
// does: a step that throws is reported to `ask`, and the answer decides how
// the calculation goes on. Qt-free.

#include <functional>
#include <vector>

namespace orvella {

enum class ErrorChoice { Abort, Retry, Ignore };

// Runs the steps in order. When a step throws, `ask` is called: Abort ends the
// run (what earlier steps did stays), Retry runs the failed step again (the
// steps before it are not repeated), Ignore goes on with the next step, so a
// value the failed step should have set keeps what it had. Returns true when
// the run reached its end.
bool runSteps(const std::vector<std::function<void()>>& steps,
              const std::function<ErrorChoice()>& ask);

}  // namespace orvella
