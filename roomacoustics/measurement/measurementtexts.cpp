// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementtexts.h"

namespace orvella {

TextTable resultsTable(const std::vector<ResultValue>& results, std::string_view decimalMark)
{
    TextTable table;
    table.header = {"Größe", "Bezeichnung", "Wert", "Einheit", "Hinweis"};
    for (const ResultValue& r : results)
        table.rows.push_back({r.quantity.symbol, r.quantity.label, valueText(r, decimalMark), r.quantity.unit, r.note});
    return table;
}

std::vector<RatingLine> ratingLines(const Iso3382Evaluation& evaluation, std::string_view decimalMark)
{
    std::vector<RatingLine> lines;
    for (const TargetRating& t : evaluation.rating) {
        const ResultValue* r = findResult(evaluation.results, t.key);
        RatingLine line;
        line.requirement = QString::fromStdString(t.requirement);
        const QString symbol = QString::fromStdString(r->quantity.symbol);
        line.value = r->value ? QStringLiteral("%1 = %2 %3")
                                    .arg(symbol, QString::fromStdString(valueText(*r, decimalMark)),
                                         QString::fromStdString(r->quantity.unit))
                              : symbol + QStringLiteral(": –");
        line.met = t.met;
        lines.push_back(line);
    }
    return lines;
}

QString verdictText(std::optional<bool> met)
{
    if (!met)
        return QStringLiteral("nicht bestimmbar");
    return *met ? QStringLiteral("erfüllt") : QStringLiteral("nicht erfüllt");
}

QColor verdictColor(std::optional<bool> met)
{
    if (!met)
        return {0x60, 0x60, 0x60};
    return *met ? QColor(0x1a, 0x7f, 0x37) : QColor(0xc0, 0x1c, 0x1c);
}

QString ratingHeading()
{
    return QStringLiteral("Bewertung nach ISO 3382-3 (Richtwerte für ein gutes Großraumbüro)");
}

QString propagationHeading() { return QStringLiteral("Ausbreitungsstufe nach VDI 2569 (ein Messpfad)"); }

QString propagationText(std::optional<int> level)
{
    if (!level)
        return QStringLiteral("nicht bestimmbar");
    return *level > 0 ? QStringLiteral("Stufe %1").arg(*level) : QStringLiteral("keine Stufe");
}

QColor propagationColor(std::optional<int> level)
{
    return verdictColor(level ? std::optional<bool>(*level > 0) : std::nullopt);
}

}  // namespace orvella
