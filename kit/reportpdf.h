// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A companion's report as PDF: its HTML laid out on A4 pages (the
// document's own margins of 2 cm, the page number at the foot, 300 dpi),
// with one chart where the HTML holds kReportChartMark, as wide as the
// text and drawn by the chart itself, so that the PDF holds it as lines
// and text, not as pixels.

#include <QRectF>
#include <QString>

#include <functional>

class QIODevice;
class QPainter;

namespace orvella {

inline const QString kReportChartMark = QStringLiteral("[[chart]]");

struct ReportPdf {
    QString html;
    QString styleSheet;
    QString title;    // the PDF's title
    QString creator;  // "Orvella 1.2.0"
    // The chart's height over its width on paper.
    qreal chartRatio = 0.75;
    // Draws the chart into `rect` on the page; nothing when empty.
    std::function<void(QPainter* painter, const QRectF& rect)> drawChart;
};

// Writes the report to `device`; false when the device reports a write error.
bool printReportPdf(QIODevice* device, const ReportPdf& report);

}  // namespace orvella
