// SPDX-License-Identifier: GPL-3.0-or-later
#include "handbook.h"

#include "helptext.h"

#include <QStringList>

namespace orvella::help {

QString describedText(const CalculatorModel& model, std::string_view text, const QString& mark,
                      const std::vector<NamedNumber>& coefficients)
{
    static const QRegularExpression named(QStringLiteral(R"(\{c:([^}]+)\})"));
    const QString filled = replaceMatches(
        QString::fromUtf8(text.data(), qsizetype(text.size())), named, [&](const QRegularExpressionMatch& m) {
            const std::string name = m.captured(1).toStdString();
            for (const NamedNumber& c : coefficients)
                if (c.name == name)
                    return namedNumberText(c.value, mark);
            if (const NamedNumber* c = model.constant(name))
                return namedNumberText(c->value, mark);
            return m.captured(0);
        });
    return withMark(filled, mark);
}

QString buttonCaption(const CalculatorModel& model)
{
    return html(plainCaption(model.calculateCaption));
}

QString frameName(const CalculatorModel& model)
{
    return model.part.empty() ? QString() : QStringLiteral("Rahmen „%1“").arg(html(model.part));
}

QString quantitiesTable(const CalculatorModel& model)
{
    QString t = QString::fromLatin1(kTableStart);
    t += QStringLiteral(
        "<tr style=\"background:#eee\"><th>Symbol</th><th>Bedeutung</th><th>Einheit</th>"
        "<th>Rolle</th></tr>");
    for (const InputQuantity& q : model.inputs)
        t += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td>Eingabe</td></tr>")
                 .arg(html(q.symbolHtml), html(q.label),
                      q.unit.empty() ? QStringLiteral("– (ohne Einheit)") : html(q.unit));
    for (const Quantity& q : model.results)
        t += QStringLiteral(
                 "<tr><td>%1</td><td>%2</td><td>%3</td><td>Ergebnis, %4 Nachkommastelle%5</td></tr>")
                 .arg(html(q.symbolHtml), html(q.label), html(q.unit))
                 .arg(q.decimals)
                 .arg(q.decimals == 1 ? QString() : QStringLiteral("n"));
    return t + QStringLiteral("</table>");
}

QString readingRules(const std::vector<const CalculatorModel*>& models, const QString& mark)
{
    QStringList fixed;
    QStringList unfixed;
    bool resultsFixed = false;
    for (const CalculatorModel* m : models) {
        for (const InputQuantity& q : m->inputs)
            if (q.choices.empty())  // a choice is read as its text, not as a number
                (q.commaFix ? fixed : unfixed)
                    << QStringLiteral("%1 (%2)").arg(html(q.label), html(q.symbolHtml));
        resultsFixed = resultsFixed || m->resultsCommaFix;
    }
    fixed.removeDuplicates();
    unfixed.removeDuplicates();
    QString s = QStringLiteral("<ul>");
    if (!fixed.isEmpty())
        s += QStringLiteral(
                 "<li>Vor dem Lesen ersetzt das Fenster in %1 das erste Komma durch einen Punkt, "
                 "sichtbar im Feld selbst: aus 2,5 wird 2.5; nur das erste Komma, aus 1,2,3 wird "
                 "1.2,3.</li>")
                 .arg(fixed.size() == 1 ? QStringLiteral("dem Feld ") + fixed.first()
                                        : QStringLiteral("den Feldern ") + fixed.join(QStringLiteral(", ")));
    if (!unfixed.isEmpty())
        s += QStringLiteral("<li>In %1 beendet ein Komma die Zahl: 2,5 liest sich dort als 2.</li>")
                 .arg(unfixed.join(QStringLiteral(", ")));
    s += QStringLiteral(
        "<li>Gelesen wird die Zahl am Anfang des Textes, mit dem Punkt als Dezimalzeichen, gleich welche "
        "Ländereinstellung gilt: Leerzeichen werden übergangen, eine Hochzahl schreibt man 1.5E3; das Lesen "
        "endet beim ersten Zeichen, das nicht zur Zahl gehört. Ein leeres Feld oder ein Text ohne Zahl am "
        "Anfang zählt als 0. Eine Zahl, die zu groß für den Rechner ist (etwa 1E999), hat keine Antwort.</li>");
    s +=
        withMark(QStringLiteral("<li>Ergebnisse werden erst geschrieben, wenn alle berechnet sind: auf ihre "
                                "Nachkommastellen gerundet, bei genau einer halben Stelle zur geraden Ziffer "
                                "({k:0.125} wird {k:0.12}, {k:0.375} wird {k:0.38}), ohne Nullen am Ende "
                                "und mit dem Dezimalzeichen Ihrer Ländereinstellungen (hier „%1“).%2</li>")
                     .arg(mark, resultsFixed ? QStringLiteral(" Danach ersetzt das Fenster ein Komma im "
                                                              "Ergebnisfeld durch einen Punkt.")
                                             : QString()),
                 mark);
    return s + QStringLiteral("</ul>");
}

}  // namespace orvella::help
