// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help page of an evaluation of a table of rows (the level list, the
// measurement evaluation), written from its description as a calculator's
// page is: what it answers, the worked evaluation of the table's own numbers
// (its rows, the method's lines with the traced values, the results as the
// window writes them and their rating), its quantities and formulas, and the
// handbook's sections.

#include "evaluationmodel.h"

#include <QString>

namespace orvella {

QString evaluationPageHtml(const EvaluationModel& model, const EvaluationInput& input, const QString& decimalMark);

// One section of the description's handbook with its heading (an <h2>),
// its numbers in the user's decimal mark; empty when there is none. A
// report quotes the method from here.
QString evaluationSectionHtml(const EvaluationModel& model, std::string_view heading, const QString& decimalMark);

// The page without its heading (for the printed page, which has its own).
QString evaluationPageBody(const EvaluationModel& model, const EvaluationInput& input, const QString& decimalMark);

}  // namespace orvella
