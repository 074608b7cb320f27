// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// frmSchall: sound power level from sound pressure level and distance (left
// half), and sound pressure level from sound power level and distance (right
// half). The only window with an error path of its own: when a step of a
// calculation fails, a message box asks whether to abort, retry the step or
// ignore it.

#include "form.h"
#include "steps.h"

#include <functional>
#include <memory>

namespace orvella {

std::unique_ptr<CalculatorForm> makeSchallForm(std::function<void()> showMenu);

// The question asked when a step fails. The default shows the message box;
// tests put their own answer here. An empty function restores the default.
using ErrorQuestion = std::function<ErrorChoice(QWidget* parent)>;
void setErrorQuestion(ErrorQuestion question);

// The message box itself: " Tessaly Service", exclamation icon, Abort (the
// default button), Retry and Ignore.
ErrorChoice askAbortRetryIgnore(QWidget* parent);

}  // namespace orvella
