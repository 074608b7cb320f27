// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The report of a room balance as a PDF on A4: the title, the program's
// version, date and time, the room as the calculator gives it, the rows with
// their notes, the octave bands, the summary and the verdict, the chart and
// the method quoted from the description.

#include "raumbilanz.h"
#include "texttable.h"

#include <QDateTime>
#include <QString>

class QIODevice;

namespace orvella {

struct BalanceReport {
    QString title;
    QDateTime when;
    QString room;  // "A3 …, V = 180 m³, h = 3 m"
    TextTable rows;
    TextTable bands;
    TextTable summary;
    QString verdict;
    QString methodHtml;
};

BalanceReport balanceReport(const QString& title, const QString& room, TextTable rows,
                            const BalanceEvaluation& evaluation, std::string_view decimalMark);

// The report as HTML, the chart as an image named "chart".
QString balanceReportHtml(const BalanceReport& report);

// Writes the report with a chart of `evaluation` drawn at a fixed size. False
// when the device takes no more bytes.
bool writeBalanceReportPdf(QIODevice* device, const BalanceReport& report, const BalanceEvaluation& evaluation);

}  // namespace orvella
