// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementprognosis.h"

#include "studycore.h"

#include <QLocale>
#include <QStringList>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

const CalculatorModel* prognosisModelOf(const std::vector<const CalculatorModel*>& models)
{
    for (const CalculatorModel* m : models)
        if (m->computes() && m->inputIndex("r") >= 0 && m->resultIndex("lr") >= 0)
            return m;
    return nullptr;
}

PrognosisCurve prognosisCurve(const CalculatorModel* model, const std::vector<QString>& texts, const QString& title,
                              double from, double to)
{
    PrognosisCurve curve;
    if (!model)
        return curve;
    const CalculatorModel& m = *model;
    const int r = m.inputIndex("r");
    const int lr = m.resultIndex("lr");
    curve.label = QStringLiteral("Prognose %1(%2)").arg(qs(m.results[std::size_t(lr)].symbol),
                                                         qs(m.inputs[std::size_t(r)].symbol));
    StudyRequest request;
    request.model = &m;
    for (std::size_t i = 0; i < m.inputs.size(); ++i)
        request.texts.push_back(i < texts.size() ? texts[i].toStdString() : std::string());
    request.variable = r;
    request.range = {from, to, kPrognosisPoints, Spacing::Logarithmic};
    const StudyOutcome outcome = runStudy(request);
    int unreadable = outcome.unreadableInput;
    if (unreadable < 0 && !outcome.inputs[std::size_t(r)])
        unreadable = r;
    if (unreadable >= 0) {
        curve.note = QStringLiteral("Keine Prognose: %1 im Rechner ist zu groß, um gelesen zu werden.")
                         .arg(qs(m.inputs[std::size_t(unreadable)].label));
        return curve;
    }
    // What the prognosis is computed from: its results at the calculator's
    // own inputs, except the level that the curve shows.
    if (!outcome.currentResults.empty()) {
        const std::string mark = QLocale().decimalPoint().toStdString();
        QStringList values;
        for (std::size_t i = 0; i < m.results.size(); ++i)
            if (int(i) != lr)
                values << QStringLiteral("%1 = %2 %3")
                              .arg(qs(m.results[i].symbol),
                                   qs(cellText(outcome.currentResults[i], m.results[i].decimals, mark, "")),
                                   qs(m.results[i].unit));
        curve.note = QStringLiteral("%1 mit den Eingaben des Rechners „%2“: %3.")
                         .arg(curve.label, title, values.join(QStringLiteral(", ")));
    }
    for (std::size_t p = 0; p < outcome.xs.size(); ++p)
        if (!outcome.results[p].empty())
            curve.points << QPointF(outcome.xs[p], outcome.results[p][std::size_t(lr)]);
    if (curve.points.isEmpty())
        curve.note = QStringLiteral("Keine Prognose: mit den Eingaben des Rechners „%1“ hat die Berechnung kein "
                                    "Ergebnis.")
                         .arg(title);
    return curve;
}

}  // namespace orvella
