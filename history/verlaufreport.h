// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Bericht…" of the Verlauf: a document of recorded calculations, each with
// its calculator, date, time and program version, its note, its inputs and
// results as the window showed them, and its worked calculation as the help
// writes it ("Rechenweg"), worked again from the recorded input texts with
// the calculator's description; an evaluation of a list with its rows. One QTextDocument, printed to PDF and
// written as ODF text, so that both files say the same.

#include "calculationrecord.h"

#include <QDateTime>
#include <QString>

#include <cstddef>
#include <vector>

class QIODevice;
class QTextDocument;

namespace orvella {

struct ReportSettings {
    // The descriptions the worked calculations are written from; an entry
    // of a calculator not among them is reported without one.
    std::vector<const CalculatorModel*> models;
    QString decimalMark = QStringLiteral(".");
    QString programVersion;  // of the program that writes the report
    QDateTime created;       // when it is written
};

// An entry's date and time, in the local time zone, in German form:
// "14.03.2025" and "09:05:31".
QString entryDate(const CalculationRecord& record);
QString entryTime(const CalculationRecord& record);

// The window state a calculator that computes from its window's state (the
// keypad) had when it wrote this record: each recorded input and result
// under its key, the result's text also as the display; for the worked
// calculation.
WindowState recordedState(const CalculationRecord& record);

// The worked calculation of one entry, as the help writes it; a short note
// instead when its calculator is not among `models`.
QString entryWorked(const CalculationRecord& record, const ReportSettings& settings);

// The rows of an evaluation's entry (a list of rows), the first kReportRows of
// them, in place of the worked calculation.
inline constexpr std::size_t kReportRows = 200;
QString entryRows(const CalculationRecord& record, const ReportSettings& settings);

// The whole report as HTML: a title, then every entry in the given order.
QString reportHtml(const std::vector<CalculationRecord>& entries, const ReportSettings& settings);

// Fills `document` with the report, in the system's font, with the help's
// styles.
void buildReport(QTextDocument* document, const std::vector<CalculationRecord>& entries,
                 const ReportSettings& settings);

// The document as a PDF (A4, 2 cm margins) or as ODF text into `device`;
// false when it could not be written.
bool writeReportPdf(QTextDocument* document, QIODevice* device, const QString& title);
bool writeReportOdf(QTextDocument* document, QIODevice* device);

}  // namespace orvella
