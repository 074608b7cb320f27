// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzreport.h"

#include "evaluationpage.h"
#include "raumbilanzchart.h"
#include "raumbilanzdescription.h"
#include "raumbilanztext.h"

#include <QAbstractTextDocumentLayout>
#include <QFileDevice>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextObjectInterface>

#ifndef ORVELLA_VERSION
#error "ORVELLA_VERSION is set by the build from the project's version"
#endif

namespace orvella {

namespace {

const QString kChartMark = QStringLiteral("[[chart]]");
constexpr int kChartType = QTextFormat::UserObject + 2;

// The chart in the laid-out report, drawn by the chart's scene into the
// page, so that the PDF holds it as lines and text, not as pixels: as wide
// as the page's text, in the chart's own proportions.
class ChartInReport : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ChartInReport(BalanceChart& chart) : chart_(chart) {}

    QSizeF intrinsicSize(QTextDocument* document, int, const QTextFormat&) override
    {
        // The page's text width is the width of the title's first line,
        // laid out before the chart; the document has no page size yet.
        const QTextLayout* title = document->firstBlock().layout();
        const qreal width = title && title->lineCount() > 0 ? std::max(title->lineAt(0).width() - 4.0, 1.0) : 400.0;
        return {width, width * chart_.height() / std::max(chart_.width(), 1)};
    }

    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat&) override
    {
        chart_.render(painter, rect, chart_.viewport()->rect());
    }

private:
    BalanceChart& chart_;
};

QString table(TextTable t, bool numbers)
{
    t.alignRight = numbers;
    return QString::fromStdString(htmlTable(t));
}

}  // namespace

BalanceReport balanceReport(const QString& title, const QString& room, TextTable rows,
                            const BalanceEvaluation& evaluation, std::string_view mark)
{
    BalanceReport r;
    r.title = title;
    r.when = QDateTime::currentDateTime();
    r.room = room;
    r.rows = std::move(rows);
    r.rows.caption.clear();
    r.bands = bandTable(evaluation, mark);
    r.summary = summaryTable(evaluation, mark);
    r.bands.caption.clear();
    r.summary.caption.clear();
    r.verdict = QString::fromStdString(balanceVerdict(evaluation, mark));
    r.methodHtml = evaluationSectionHtml(raumbilanzModel(), "Verfahren",
                                         QString::fromUtf8(mark.data(), qsizetype(mark.size())));
    return r;
}

QString balanceReportHtml(const BalanceReport& r)
{
    const QString when =
        QLocale(QLocale::German, QLocale::Germany).toString(r.when, QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"));
    QString out = QStringLiteral("<h1>%1</h1><p>Orvella %2 – %3</p><p>%4</p>")
                      .arg(r.title.toHtmlEscaped(), QStringLiteral(ORVELLA_VERSION), when, r.room.toHtmlEscaped());
    out += QStringLiteral("<h2>Flächen und Objekte</h2>") + table(r.rows, true);
    out += QStringLiteral("<h2>Oktavbänder</h2>") + table(r.bands, true);
    out += QStringLiteral("<p><b>%1</b></p>").arg(r.verdict.toHtmlEscaped());
    out += QStringLiteral("<h2>Ergebnisse</h2>") + table(r.summary, false);
    // The chart begins a page with its heading: it does not fit below the tables.
    out += QStringLiteral("<h2 style=\"page-break-before: always\">Diagramm</h2><p>") + kChartMark +
           QStringLiteral("</p>");
    return out + r.methodHtml;
}

bool writeBalanceReportPdf(QIODevice* device, const BalanceReport& report, const BalanceEvaluation& evaluation)
{
    // Laid out at a fixed size, whatever the window's, never shown on the screen.
    BalanceChart chart;
    chart.setAttribute(Qt::WA_DontShowOnScreen);
    chart.resize(680, 430);  // some 17 cm on paper: the program's font at about 8 points
    chart.showEvaluation(evaluation);
    chart.show();

    QTextDocument document;
    document.setDefaultStyleSheet(QStringLiteral("h1 { font-size: x-large; } h2 { font-size: large; margin-top: 14px; }"
                                                 "th { text-align: left; background-color: #eeeeee; }"));
    document.setHtml(balanceReportHtml(report));
    ChartInReport object(chart);
    document.documentLayout()->registerHandler(kChartType, &object);
    if (QTextCursor found = document.find(kChartMark); !found.isNull()) {
        QTextCharFormat format;
        format.setObjectType(kChartType);
        found.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
    QPdfWriter writer(device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));  // the document keeps its own margins of 2 cm
    writer.setResolution(300);
    writer.setTitle(report.title);
    writer.setCreator(QStringLiteral("Orvella ") + QStringLiteral(ORVELLA_VERSION));
    document.print(&writer);
    const auto* file = qobject_cast<const QFileDevice*>(device);
    return !file || file->error() == QFileDevice::NoError;
}

}  // namespace orvella

#include "raumbilanzreport.moc"
