// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufreport.h"

#include "evaluationrecord.h"
#include "helptext.h"
#include "verlaufapply.h"
#include "worked.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QIODevice>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <charconv>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
QString escaped(const std::string& s) { return qs(s).toHtmlEscaped(); }

// The shortest text that reads back to the same double, with a point.
std::string numberText(double value)
{
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, written.ptr);
}

QString withUnit(const std::string& text, const std::string& unit)
{
    QString s = QStringLiteral("„") + escaped(text) + QStringLiteral("“");
    if (!unit.empty())
        s += QStringLiteral("&nbsp;") + escaped(unit);
    return s;
}

// The inputs and results as the window showed them, in one table.
QString quantitiesTable(const CalculationRecord& r)
{
    QString t = QString::fromLatin1(help::kTableStart);
    const auto section = [&t](const QString& name) {
        t += QStringLiteral("<tr style=\"background:#eee\"><th colspan=\"2\">%1</th></tr>").arg(name);
    };
    if (!r.expression.empty()) {
        section(QStringLiteral("Rechnung"));
        t += QStringLiteral("<tr><td colspan=\"2\">%1</td></tr>").arg(escaped(r.expression));
    }
    if (!r.inputs.empty()) {
        section(QStringLiteral("Eingaben"));
        for (const RecordedInput& q : r.inputs)
            t += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(escaped(q.label), withUnit(q.text, q.unit));
    }
    if (!r.results.empty()) {
        section(QStringLiteral("Ergebnisse"));
        for (const RecordedResult& q : r.results)
            t += QStringLiteral("<tr><td>%1</td><td><b>%2</b></td></tr>")
                     .arg(escaped(q.label), withUnit(q.text, q.unit));
    }
    return t + QStringLiteral("</table>");
}

}  // namespace

QString entryDate(const CalculationRecord& record)
{
    return QDateTime::fromMSecsSinceEpoch(record.timeUtcMs).toLocalTime().toString(QStringLiteral("dd.MM.yyyy"));
}

QString entryTime(const CalculationRecord& record)
{
    return QDateTime::fromMSecsSinceEpoch(record.timeUtcMs).toLocalTime().toString(QStringLiteral("HH:mm:ss"));
}

WindowState recordedState(const CalculationRecord& record)
{
    WindowState state;
    for (const RecordedInput& q : record.inputs)
        state.emplace_back(q.key, numberText(q.number));
    for (const RecordedResult& q : record.results)
        state.emplace_back(q.key, q.text);
    return state;
}

QString entryWorked(const CalculationRecord& record, const ReportSettings& settings)
{
    const CalculatorModel* model = modelOfRecord(record, settings.models);
    if (!model)
        return help::paragraph(QStringLiteral("Den Rechenweg kann diese Version von Orvella nicht zeigen: "
                                              "sie kennt den Rechner „%1“ nicht.")
                                   .arg(escaped(record.calculator)));
    if (model->computes()) {
        std::vector<QString> texts;
        for (const InputQuantity& input : model->inputs) {
            QString text;
            for (const RecordedInput& q : record.inputs)
                if (q.key == input.key)
                    text = qs(q.text);
            texts.push_back(text);
        }
        return help::keepUnits(help::workedCalculation(*model, texts, settings.decimalMark));
    }
    WindowState state = recordedState(record);
    if (model->stateWorked.stateBefore)
        state = model->stateWorked.stateBefore(state, record.expression);
    return help::keepUnits(help::stateWorked(*model, state, settings.decimalMark));
}

QString entryRows(const CalculationRecord& record, const ReportSettings& settings)
{
    const std::size_t count = rowsCount(record);
    QString rows = qs(htmlTable(rowsTable(record, kReportRows, settings.decimalMark.toStdString())));
    if (count > kReportRows)
        rows += help::paragraph(QStringLiteral("Die ersten %1 von %2 Zeilen; alle öffnet „Übernehmen“ im Verlauf.")
                                    .arg(kReportRows)
                                    .arg(QLocale().toString(qulonglong(count))));
    return rows;
}

QString reportHtml(const std::vector<CalculationRecord>& entries, const ReportSettings& settings)
{
    const QString created = settings.created.toString(QStringLiteral("dd.MM.yyyy, HH:mm 'Uhr'"));
    QString page = help::heading(1, QStringLiteral("Verlauf – Orvella"));
    page += help::paragraph(QStringLiteral("Bericht über %1 %2, erstellt am %3 mit Orvella %4.")
                                .arg(entries.size())
                                .arg(entries.size() == 1 ? QStringLiteral("Rechnung") : QStringLiteral("Rechnungen"),
                                     created, settings.programVersion.toHtmlEscaped()));
    for (const CalculationRecord& r : entries) {
        page += help::heading(2, escaped(calculatorDisplayName(r)));
        QString when = QStringLiteral("Gerechnet am %1 um %2 Uhr").arg(entryDate(r), entryTime(r));
        if (!r.programVersion.empty())
            when += QStringLiteral(" mit Orvella ") + escaped(r.programVersion);
        page += help::paragraph(when + u'.');
        if (!r.note.empty())
            page += help::paragraph(QStringLiteral("<b>Notiz:</b> ") + escaped(r.note));
        page += quantitiesTable(r);
        if (!r.evaluationKey.empty()) {
            page += help::heading(3, QStringLiteral("Zeilen"));
            page += entryRows(r, settings);
            continue;
        }
        page += help::heading(3, QStringLiteral("Rechenweg"));
        page += entryWorked(r, settings);
    }
    return page;
}

void buildReport(QTextDocument* document, const std::vector<CalculationRecord>& entries,
                 const ReportSettings& settings)
{
    document->setDefaultStyleSheet(QString::fromLatin1(help::kPageStyleSheet));
    document->setDefaultFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    document->setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Verlauf – Orvella"));
    document->setHtml(reportHtml(entries, settings));
}

namespace {

// Both writers close their device when they end, and the file given is
// committed by the caller; so the document is made in memory first.
bool copyTo(QIODevice* device, const QByteArray& bytes)
{
    return !bytes.isEmpty() && device->write(bytes) == bytes.size();
}

}  // namespace

bool writeReportPdf(QTextDocument* document, QIODevice* device, const QString& title)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Orvella"));
        // Not paginated before: print() lays the document out for the page,
        // with margins of 2 cm and the page number at the foot of each page.
        document->print(&writer);
    }
    return copyTo(device, pdf.data());
}

bool writeReportOdf(QTextDocument* document, QIODevice* device)
{
    QBuffer odf;
    odf.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&odf, "odf");
    return writer.write(document) && copyTo(device, odf.data());
}

}  // namespace orvella
