// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The worked calculation ("Rechenweg") of a help page and the formulas of
// its handbook, written from a calculator's description: its formula lines
// with the numbers of the window's current fields, the results as the window
// writes them, the guidance values they are compared with, the values
// derived from them, and where and why a calculation without a finite
// answer stops.
//
// Every number comes from the Evaluation of the calculator (the inputs as
// read, the traced intermediate values, the results), from a named number of
// the description, or, for a calculator that computes from its window's
// state, from the description's own worked calculation; the help computes no
// formula of its own.

#include "calculation.h"

#include <QString>

#include <functional>

#include <vector>

namespace orvella::help {

// The inputs, the lines of the calculation with the window's numbers, and
// the results as the window writes them (or where and why it stops).
QString workedCalculation(const CalculatorModel& model, const std::vector<QString>& texts, const QString& mark);

// The worked calculation of a calculator that computes from what its window
// keeps outside the fields.
QString stateWorked(const CalculatorModel& model, const WindowState& state, const QString& mark);

// The formula lines of the handbook, every branch.
QString formulasTable(const CalculatorModel& model, const QString& mark);
// The given formula lines of the handbook, named by `model`.
QString formulasTable(const CalculatorModel& model, const std::vector<FormulaLine>& lines, const QString& mark);

// The lines an evaluation reached, with its numbers (its inputs and traced
// values), as the worked calculation shows them.
QString workedLines(const CalculatorModel& model, const Evaluation& evaluation, const std::vector<FormulaLine>& lines,
                    const QString& mark);

// What `write` writes through the help's WorkedWriter, as HTML.
QString writtenWorked(const CalculatorModel& model, const QString& mark,
                      const std::function<void(WorkedWriter&)>& write);

// "Keine endliche Lösung: Die Rechnung bricht ... ab, weil ...."; empty when
// the evaluation succeeded.
QString stoppedSentence(const CalculatorModel& model, const Evaluation& evaluation, const QString& mark);

}  // namespace orvella::help
