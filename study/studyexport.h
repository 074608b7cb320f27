// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a study: its table as CSV, its chart as PNG or SVG, each to a file
// the user chooses in a save dialog and written whole or not at all.

#include "companionfiles.h"
#include "studycore.h"

#include <QString>

#include <functional>

QT_BEGIN_NAMESPACE
class QWidget;
QT_END_NAMESPACE

namespace orvella {

// The save dialog (companionfiles.h).
using StudyFileDialog = FileDialog;

// Replaces the file dialog (tests); an empty function restores Qt's own.
void setStudyFileDialog(StudyFileDialog dialog);

// Asks for a file name, offering `name` in the folder saved to last, and
// writes the study's table as CSV. False when cancelled or failed; a failure
// is reported in a message box over `parent`.
bool saveStudyCsv(QWidget* parent, const QString& name, const CalculatorModel& model, int variable,
                  const StudyOutcome& outcome);

// Asks for a file name, offering `name`, and writes `figure` as it is drawn
// now, as PNG or SVG (by the chosen name's suffix, else by the chosen
// filter); `title` is the SVG's title. False when cancelled or failed.
bool saveStudyFigure(QWidget* parent, const QString& name, QWidget* figure, const QString& title);

}  // namespace orvella
