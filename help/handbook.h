// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The handbook texts of the help, in German: what each calculator answers,
// for whom and under which assumptions, where it has no finite answer and
// what its window then does, and how the windows read and write numbers.
// Numbers in the texts are written with the user's decimal mark; the
// constants of the formulas come from the formula code.

#include "calculation.h"

#include <QString>

#include <vector>

namespace orvella::help {

struct Handbook {
    QString answers;  // what the calculator answers
    QString forWhom;
    QString assumptions;  // HTML
    QString limits;       // HTML: which inputs have no finite answer
};

Handbook handbookOf(const CalculatorModel& model, const QString& mark);

bool isConverter(const CalculatorModel& model);

// The caption of the button that calculates, as the window shows it.
QString buttonCaption(const CalculatorModel& model);

// What the window does when its inputs have no finite answer.
QString windowOnStop(const CalculatorModel& model);

// How the windows of these calculators read their fields and write their results.
QString readingRules(const std::vector<const CalculatorModel*>& models, const QString& mark);

// ISO 3382-3 and the comfort distance, for the open-plan office.
QString isoSection(int level, const QString& mark);

// What the keypad's keys mean, and its limits.
QString keypadHandbook(int level, const QString& mark);

}  // namespace orvella::help
