// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pages of the help: this program's own handbook for each calculator,
// written from the descriptions the windows compute with, and the worked
// calculation ("Rechenweg") with the numbers of the window's current fields.
//
// Every number of a worked calculation comes from the Evaluation of the
// calculator (the inputs as read, the traced intermediate values, the
// results), from a constant that the formula code exports, or, for the
// keypad, from the keypad's own functions; the help computes no formula of
// its own. Numbers are written with FormatResult and the user's decimal mark.
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
        Calculator,  // a formula calculator (frmSchall: both of its halves)
        Keypad,      // the dB Calculator
        Overview,    // the menu's handbook of all calculators, without numbers
    };
    Kind kind = Kind::Calculator;
    QString title;  // the calculator's name as the menu shows it
    std::vector<const CalculatorModel*> models;
    // For each model, its field texts in the order of its inputs, as they
    // stand in the window now.
    std::vector<std::vector<QString>> fieldTexts;
    WindowState keypadState;  // display, operand1, operand2, pendingOperator, newEntry, result
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
