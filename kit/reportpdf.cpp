// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportpdf.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDevice>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>

#include <algorithm>

namespace orvella {

namespace {

constexpr int kChartObjectType = QTextFormat::UserObject + 1;

// The chart inside the laid-out report.
class ChartObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ChartObject(const ReportPdf& report) : report_(report) {}

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat&) override
    {
        // As wide as the text: the width of the heading's line, which the
        // layout has placed before the chart, within the page's margins;
        // the document has no page size of its own.
        const QTextLayout* heading = document->firstBlock().layout();
        const qreal text = heading && heading->lineCount() > 0 ? heading->lineAt(0).width() : 0.0;
        const qreal width = std::max(text - 4.0, 1.0);
        return {width, width * report_.chartRatio};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat&) override
    {
        if (report_.drawChart)
            report_.drawChart(painter, rect);
    }

private:
    const ReportPdf& report_;
};

}  // namespace

bool printReportPdf(QIODevice* device, const ReportPdf& report)
{
    QTextDocument document;
    document.setDefaultStyleSheet(report.styleSheet);
    document.setHtml(report.html);
    ChartObject object(report);
    document.documentLayout()->registerHandler(kChartObjectType, &object);
    if (QTextCursor found = document.find(kReportChartMark); !found.isNull()) {
        QTextCharFormat format;
        format.setObjectType(kChartObjectType);
        found.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }

    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));  // the document keeps its own margins of 2 cm
    writer.setResolution(300);
    writer.setTitle(report.title);
    writer.setCreator(report.creator);
    document.print(&writer);
    const auto* file = qobject_cast<const QFileDevice*>(device);
    return !file || file->error() == QFileDevice::NoError;
}

}  // namespace orvella

#include "reportpdf.moc"
