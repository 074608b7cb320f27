// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzreport.h"

#include "evaluationpage.h"
#include "raumbilanzchart.h"
#include "raumbilanzdescription.h"
#include "raumbilanztext.h"
#include "reportpdf.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>

#ifndef ORVELLA_VERSION
#error "ORVELLA_VERSION is set by the build from the project's version"
#endif

namespace orvella {

namespace {

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
    out += QStringLiteral("<h2 style=\"page-break-before: always\">Diagramm</h2><p>") + kReportChartMark +
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

    return printReportPdf(
        device, {.html = balanceReportHtml(report),
                 .styleSheet = QStringLiteral("h1 { font-size: x-large; } h2 { font-size: large; margin-top: 14px; }"
                                              "th { text-align: left; background-color: #eeeeee; }"),
                 .title = report.title,
                 .creator = QStringLiteral("Orvella ") + QStringLiteral(ORVELLA_VERSION),
                 .chartRatio = qreal(chart.height()) / std::max(chart.width(), 1),
                 .drawChart = [&chart](QPainter* painter, const QRectF& rect) {
                     chart.render(painter, rect, chart.viewport()->rect());
                 }});
}

}  // namespace orvella

