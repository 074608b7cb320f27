// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a measurement as a PDF on A4: the title, the program's
// version, date and time, the measured positions with their notes, the
// results, the rating, the chart (drawn as vectors) and the method.

#include "measurementtexts.h"

#include <QDateTime>
#include <QString>

class QIODevice;

namespace orvella {

class MeasurementChart;

struct MeasurementReport {
    QString title;
    QDateTime when;
    TextTable positions;  // as the table shows them, with the note column
    TextTable results;
    std::vector<RatingLine> rating;
    QString prognosis;   // what the chart's prognosis is computed from; may be empty
    QString methodHtml;  // the method, with its own heading
};

// The program's version as the build names it.
QString programVersion();

// The report as HTML, with the chart as "[[chart]]" on a line of its own.
QString reportHtml(const MeasurementReport& report);

// Writes the report as a PDF to `device`, the chart drawn from `chart`
// as it is shown. False when the device takes no more bytes.
bool writeReportPdf(QIODevice* device, const MeasurementReport& report, const MeasurementChart& chart);

}  // namespace orvella
