// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluationpage.h"

#include "handbook.h"
#include "helptext.h"
#include "worked.h"

#include <cmath>
#include <limits>

namespace orvella {

using namespace help;

namespace {

// The evaluation as the help's writers read a description: the values beside
// the rows stand where a calculator's inputs stand, the rows' cells are
// named in the quantities table.
CalculatorModel asSheet(const EvaluationModel& e, bool withColumns)
{
    CalculatorModel m;
    m.id = e.id;
    m.title = e.title;
    const auto input = [](const Quantity& q) {
        InputQuantity i;
        static_cast<Quantity&>(i) = q;
        return i;
    };
    if (withColumns)
        for (const Quantity& q : e.columns)
            m.inputs.push_back(input(q));
    for (const Quantity& q : e.parameters)
        m.inputs.push_back(input(q));
    m.results = e.results;
    m.handbook = e.handbook;
    m.constants = e.constants;
    m.steps = e.steps;
    m.guidance = e.guidance;
    return m;
}

QString resultLine(const ResultValue& r, const QString& mark)
{
    const QString unit = unitSuffix(html(r.quantity.unit));
    const QString value = QString::fromStdString(valueText(r, mark.toStdString()));
    QString line = QStringLiteral("<p style=\"margin-left:12px\"><b>Ergebnis:</b> %1 %2 = <b>%3</b>%4")
                       .arg(html(r.quantity.label), html(r.quantity.symbolHtml), value, r.value ? unit : QString());
    if (!r.note.empty())
        line += QStringLiteral(" <span style=\"color:#555\">– %1</span>").arg(html(r.note));
    return line + QStringLiteral("</p>");
}

// The results against the target values, by the program's one rating rule.
QString rating(const EvaluationModel& model, const EvaluationOutcome& outcome, const QString& mark)
{
    QStringList items;
    for (const Guidance& g : model.guidance.values) {
        const ResultValue* r = findResult(outcome.results, g.result);
        const std::optional<double> shown = r ? shownValue(*r) : std::nullopt;
        const std::optional<bool> met = shown ? guidanceMet(g, *shown) : std::nullopt;
        if (!r || g.bound == Bound::Marked)
            continue;
        const QString requirement = QStringLiteral("%1 %2 %3%4").arg(
            html(g.name), g.bound == Bound::AtLeast ? QStringLiteral("≥") : QStringLiteral("≤"),
            namedNumberText(g.value, mark), unitSuffix(html(r->quantity.unit)));
        items << (met ? QStringLiteral("%1: %2").arg(requirement, *met ? QStringLiteral("erfüllt")
                                                                        : QStringLiteral("nicht erfüllt"))
                      : QStringLiteral("%1: nicht zu beurteilen").arg(requirement));
    }
    if (items.isEmpty())
        return {};
    return QStringLiteral("<p>Richtwerte nach %1%2: %3.</p>")
        .arg(html(model.guidance.source),
             model.guidance.purpose.empty() ? QString() : u' ' + html(model.guidance.purpose),
             items.join(QStringLiteral("; ")));
}

}  // namespace

QString evaluationSectionHtml(const EvaluationModel& model, std::string_view name, const QString& mark)
{
    for (const HandbookSection& section : model.handbook.sections)
        if (section.heading == name)
            return keepUnits(heading(2, html(section.heading)) + describedText(asSheet(model, false), section.text, mark));
    return {};
}

QString evaluationPageHtml(const EvaluationModel& model, const EvaluationInput& input, const QString& mark)
{
    return heading(1, html(model.title) + QStringLiteral(" – ") + html(model.ownerTitle)) +
           evaluationPageBody(model, input, mark);
}

QString evaluationPageBody(const EvaluationModel& model, const EvaluationInput& input, const QString& mark)
{
    const CalculatorModel sheet = asSheet(model, false);
    const Handbook& h = model.handbook;
    const auto text = [&](const std::string& t) { return describedText(sheet, t, mark); };
    const EvaluationOutcome outcome = model.evaluate ? model.evaluate(input, mark.toStdString()) : EvaluationOutcome{};

    QString s = paragraph(text(h.answers));
    if (!h.forWhom.empty())
        s += paragraph(text(h.forWhom));

    s += heading(2, QStringLiteral("Rechenweg mit Ihren Zahlen"), QStringLiteral("rechenweg"));
    if (model.workedRows)
        s += writtenWorked(sheet, mark, [&](WorkedWriter& out) { model.workedRows(input, outcome, out); });
    Evaluation e;
    e.ok = true;
    for (const std::optional<double>& p : input.parameters)
        e.inputs.push_back(p.value_or(std::numeric_limits<double>::quiet_NaN()));
    e.steps = outcome.trace;
    s += workedLines(sheet, e, model.formulas, mark);
    for (const ResultValue& r : outcome.results)
        if (r.value || !r.note.empty())
            s += resultLine(r, mark);
    s += rating(model, outcome, mark);

    s += heading(2, QStringLiteral("Eingaben und Ergebnisse"), QStringLiteral("groessen"));
    s += quantitiesTable(asSheet(model, true));
    s += heading(2, QStringLiteral("Formeln"), QStringLiteral("formeln")) + formulasTable(sheet, model.formulas, mark);
    if (!h.assumptions.empty())
        s += heading(2, QStringLiteral("Annahmen")) + text(h.assumptions);
    for (const HandbookSection& section : h.sections)
        s += heading(2, html(section.heading)) + text(section.text);
    if (!h.limits.empty())
        s += heading(2, QStringLiteral("Grenzen"), QStringLiteral("grenzen")) + text(h.limits);
    return keepUnits(s);
}

}  // namespace orvella
