// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pages of the help: this program's own handbook for each calculator,
// written from the descriptions the windows compute with, and the worked
// calculation ("Rechenweg") with the numbers of the window's current fields
// or, for a calculator that computes from what its window keeps outside the
// fields, with that state. The help knows no calculator by name: everything
// it says about one comes from its description.
//
// No widgets here: the window (helpwindow.h) collects what a page needs and
// shows the HTML.

#include "calculation.h"
#include "companion.h"

#include <QString>

#include <vector>

namespace orvella {

// What a help page describes, and with which numbers.
struct HelpSubject {
    enum class Kind {
        Calculator,  // the calculators of one window (both halves of a window of two)
        Overview,    // the menu's handbook of all calculators, without numbers
        Evaluation,  // an evaluation of a table of rows, with the table's numbers
    };
    Kind kind = Kind::Calculator;
    QString title;  // the calculator's name as the menu shows it
    std::vector<const CalculatorModel*> models;
    // For each model, its field texts in the order of its inputs, as they
    // stand in the window now.
    std::vector<std::vector<QString>> fieldTexts;
    WindowState windowState;  // what the window keeps outside its fields
    const EvaluationModel* evaluation = nullptr;  // for Kind::Evaluation
    EvaluationInput evaluationInput;             // the rows it evaluates now
    QString decimalMark = QStringLiteral(".");
};

// The page as HTML for a QTextDocument, starting with its heading.
QString helpPageHtml(const HelpSubject& subject);

// The page without its heading (for the printed page, which has its own).
QString helpPageBody(const HelpSubject& subject);

// One German sentence: at which step and why a calculation without a finite
// answer stopped, with numbers in `decimalMark`. Empty when the evaluation
// succeeded.
QString stoppedSentence(const CalculatorModel& model, const Evaluation& evaluation,
                        const QString& decimalMark);

}  // namespace orvella
