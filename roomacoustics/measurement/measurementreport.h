// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a measurement as a PDF on A4: the title, the program's
// version, date and time, the measured positions with their notes, the
// results, the rating with the path's VDI 2569 level, the chart (drawn as
// vectors) and the method.

#include "measurementchart.h"
#include "measurementtexts.h"

#include <QDateTime>
#include <QString>

class QIODevice;

namespace orvella {

struct MeasurementReport {
    QString title;
    QDateTime when;
    TextTable positions;  // as the table shows them, with the note column
    TextTable results;
    std::vector<RatingLine> rating;
    std::optional<int> propagationLevel;  // of VDI 2569, as in the evaluation
    QString prognosis;   // what the chart's prognosis is computed from; may be empty
    QString methodHtml;  // the method, with its own heading
};

// The report of `evaluation` at this moment: `positions` is the table's
// text table, to which the note of each position is added.
MeasurementReport measurementReport(const QString& title, TextTable positions, const Iso3382Evaluation& evaluation,
                                    const QString& prognosis, std::string_view decimalMark);

// The program's version as the build names it.
QString programVersion();

// The report as HTML, with the chart as "[[chart]]" on a line of its own.
QString reportHtml(const MeasurementReport& report);

// Writes the report as a PDF to `device`, the chart drawn from `chart`
// as it is shown. False when the device takes no more bytes.
bool writeReportPdf(QIODevice* device, const MeasurementReport& report, const MeasurementChart& chart);

// The same with a chart of its own drawn for the report at a fixed size,
// whatever the size of the window: its labels and legend come out the same
// on paper every time.
bool writeReportPdf(QIODevice* device, const MeasurementReport& report, const Iso3382Evaluation& evaluation,
                    const PrognosisCurve& prognosis);

}  // namespace orvella
