// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementreport.h"

#include "evaluationpage.h"
#include "iso3382description.h"
#include "measurementchart.h"
#include "reportpdf.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPainter>

#include <algorithm>

#ifndef ORVELLA_VERSION
#error "ORVELLA_VERSION is set by the build from the project's version"
#endif

namespace orvella {

namespace {

const QString kStyleSheet = QStringLiteral(
    "h1 { font-size: x-large; margin-bottom: 4px; }"
    "h2 { font-size: large; margin-top: 14px; margin-bottom: 4px; }"
    "th { text-align: left; background-color: #eeeeee; }"
    "td { vertical-align: top; }");

// A table of the report, written as the program writes every HTML table.
QString htmlOf(TextTable table, bool numbers)
{
    table.alignRight = numbers;
    return QString::fromStdString(htmlTable(table));
}

}  // namespace

QString programVersion() { return QStringLiteral(ORVELLA_VERSION); }

QString reportHtml(const MeasurementReport& report)
{
    const QString when = QLocale(QLocale::German, QLocale::Germany)
                             .toString(report.when, QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"));
    QString out = QStringLiteral("<h1>%1</h1><p>Orvella %2 – %3</p>")
                      .arg(report.title.toHtmlEscaped(), programVersion(), when);
    out += QStringLiteral("<h2>Messwerte</h2>") + htmlOf(report.positions, true);
    out += QStringLiteral("<h2>Ergebnisse</h2>") + htmlOf(report.results, false);
    out += QStringLiteral("<h2>%1</h2><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">")
               .arg(ratingHeading().toHtmlEscaped());
    out += QStringLiteral("<tr><th>Richtwert</th><th>Messung</th><th>Bewertung</th></tr>");
    for (const RatingLine& line : report.rating)
        out += QStringLiteral("<tr><td>%1</td><td>%2</td><td><b><font color=\"%3\">%4</font></b></td></tr>")
                   .arg(line.requirement.toHtmlEscaped(), line.value.toHtmlEscaped(),
                        verdictColor(line.met).name(), verdictText(line.met));
    out += QStringLiteral("</table>");
    out += QStringLiteral("<p>%1: <b><font color=\"%2\">%3</font></b></p>")
               .arg(propagationHeading().toHtmlEscaped(), propagationColor(report.propagationLevel).name(),
                    propagationText(report.propagationLevel));
    // The chart begins a page with its heading: it does not fit below the
    // tables, and a heading alone at the foot of a page helps nobody.
    out += QStringLiteral("<h2 style=\"page-break-before: always\">Diagramm</h2>");
    if (!report.prognosis.isEmpty())
        out += QStringLiteral("<p>%1</p>").arg(report.prognosis.toHtmlEscaped());
    out += QStringLiteral("<p>%1</p>").arg(kReportChartMark);
    return out + report.methodHtml;
}

bool writeReportPdf(QIODevice* device, const MeasurementReport& report, const MeasurementChart& chart)
{
    const qreal ratio = chart.width() > 0 ? qreal(chart.height()) / chart.width() : 0.75;
    return printReportPdf(device, {.html = reportHtml(report),
                                   .styleSheet = kStyleSheet,
                                   .title = report.title,
                                   .creator = QStringLiteral("Orvella ") + programVersion(),
                                   .chartRatio = std::clamp(ratio, 0.55, 0.9),
                                   .drawChart = [&chart](QPainter* painter, const QRectF& rect) {
                                       chart.renderTo(painter, rect);
                                   }});
}

MeasurementReport measurementReport(const QString& title, TextTable positions, const Iso3382Evaluation& evaluation,
                                    const QString& prognosis, std::string_view decimalMark)
{
    MeasurementReport r;
    r.title = title;
    r.when = QDateTime::currentDateTime();
    r.positions = std::move(positions);
    r.positions.header.emplace_back("Hinweis");
    std::size_t row = 0;
    for (const PositionRow& p : evaluation.positions) {
        if (p.use == PositionUse::Empty)
            continue;
        if (row < r.positions.rows.size())
            r.positions.rows[row++].push_back(p.note);
    }
    r.results = resultsTable(evaluation.results, decimalMark);
    r.rating = ratingLines(evaluation, decimalMark);
    r.propagationLevel = evaluation.propagationLevel;
    r.prognosis = prognosis;
    r.methodHtml = evaluationSectionHtml(iso3382Model(), "Verfahren",
                                         QString::fromUtf8(decimalMark.data(), qsizetype(decimalMark.size())));
    return r;
}

bool writeReportPdf(QIODevice* device, const MeasurementReport& report, const Iso3382Evaluation& evaluation,
                    const PrognosisCurve& prognosis)
{
    // About 17 cm wide on paper, where the program's font comes out at
    // some 8 points. Laid out, never shown on the screen.
    MeasurementChart printed;
    printed.setAttribute(Qt::WA_DontShowOnScreen);
    printed.resize(680, 560);
    printed.showEvaluation(evaluation, prognosis);
    printed.show();
    // Aligning the two panels lays them out again; a few rounds settle it.
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return writeReportPdf(device, report, printed);
}

}  // namespace orvella

