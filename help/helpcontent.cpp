// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpcontent.h"

#include "evaluationpage.h"
#include "handbook.h"
#include "helptext.h"
#include "worked.h"

#include <QStringList>

#include <iterator>

namespace orvella {

using namespace help;

namespace {

QString inputSymbols(const CalculatorModel& model)
{
    QStringList in;
    for (const InputQuantity& q : model.inputs)
        in << html(q.symbolHtml);
    return in.join(QStringLiteral(" und "));
}

// The worked calculation of the window's calculators.
QString workedSections(const HelpSubject& subject, int level)
{
    const QString& mark = subject.decimalMark;
    const CalculatorModel& first = *subject.models.front();
    if (first.stateWorked.write)
        return heading(level, html(first.stateWorked.heading), QStringLiteral("rechenweg")) +
               stateWorked(first, subject.windowState, mark);
    QString s = heading(level, QStringLiteral("Rechenweg mit den Zahlen des Fensters"), QStringLiteral("rechenweg"));
    s += paragraph(
        QStringLiteral("Die Rechnung geht von den Texten aus, die jetzt in den Feldern stehen, und "
                       "liest sie so, wie das Fenster es tut, ohne sie zu ändern. Sie folgt jedem "
                       "Klick auf den Rechenknopf des Fensters und „Aktualisieren“."));
    for (std::size_t i = 0; i < subject.models.size(); ++i) {
        const CalculatorModel& m = *subject.models[i];
        if (subject.models.size() > 1)
            s += heading(level + 1, QStringLiteral("%1: %2 aus %3")
                                        .arg(frameName(m), html(m.results.front().label), inputSymbols(m)));
        s += workedCalculation(m, i < subject.fieldTexts.size() ? subject.fieldTexts[i] : std::vector<QString>{},
                               mark);
    }
    return s;
}

QString calculatorSections(const HelpSubject& subject, int level, bool worked)
{
    const QString& mark = subject.decimalMark;
    const CalculatorModel& first = *subject.models.front();
    const Handbook& h = first.handbook;
    const auto text = [&](const std::string& t) { return describedText(first, t, mark); };
    QString s = paragraph(text(h.answers));
    if (!h.forWhom.empty())
        s += paragraph(text(h.forWhom));
    if (worked)
        s += workedSections(subject, level);
    if (first.computes()) {
        s += heading(level, QStringLiteral("Eingaben und Ergebnisse"), QStringLiteral("groessen"));
        for (const CalculatorModel* m : subject.models) {
            if (subject.models.size() > 1)
                s += paragraph(QStringLiteral("<b>%1</b> (Knopf „%2“)").arg(frameName(*m), buttonCaption(*m)));
            s += quantitiesTable(*m);
        }
        s += heading(level, QStringLiteral("Formeln"), QStringLiteral("formeln"));
        for (const CalculatorModel* m : subject.models) {
            if (subject.models.size() > 1)
                s += paragraph(QStringLiteral("<b>%1</b>").arg(frameName(*m)));
            s += formulasTable(*m, mark);
        }
    }
    if (!h.assumptions.empty())
        s += heading(level, QStringLiteral("Annahmen")) + text(h.assumptions);
    for (const HandbookSection& section : h.sections)
        s += heading(level, html(section.heading)) + text(section.text);
    if (!h.limits.empty()) {
        s += heading(level, QStringLiteral("Grenzen"), QStringLiteral("grenzen")) + text(h.limits);
        if (!h.onStop.empty())
            s += paragraph(text(h.onStop));
    }
    if (first.computes())
        s += heading(level, QStringLiteral("Zahlen lesen und schreiben")) + readingRules(subject.models, mark);
    return s;
}

// A count as German text writes it: words up to twelve, then digits.
QString countWord(std::size_t n)
{
    static const char* const kWords[] = {"null", "ein",  "zwei", "drei", "vier", "fünf",  "sechs",
                                         "sieben", "acht", "neun", "zehn", "elf", "zwölf"};
    return n < std::size(kWords) ? QString::fromUtf8(kWords[n]) : QString::number(n);
}

QString overview(const HelpSubject& subject)
{
    const QString& mark = subject.decimalMark;
    // The halves of one window are one entry.
    struct Entry {
        QString title;
        QString anchor;
        std::vector<const CalculatorModel*> models;
    };
    std::vector<Entry> entries;
    for (const CalculatorModel* m : subject.models) {
        const QString title = html(m->title);
        if (!entries.empty() && entries.back().title == title)
            entries.back().models.push_back(m);
        else
            entries.push_back({title, html(m->window), {m}});
    }
    const QString count = countWord(entries.size());
    QString s = paragraph(
        QStringLiteral("Orvella ist eine Sammlung bauphysikalischer Rechner. Das Hauptmenü öffnet %1 Rechner; "
                       "jeder rechnet mit festen Formeln aus den Zahlen seiner Felder. Diese Übersicht beschreibt "
                       "alle %1. Im Fenster eines Rechners zeigt F1 (oder „Hilfe und Rechenweg“ im Kontextmenü, "
                       "rechte Maustaste) dieselbe Beschreibung mit dem Rechenweg Ihrer eigenen Zahlen.")
            .arg(count));
    s += QStringLiteral("<ul>");
    for (const Entry& e : entries)
        s += QStringLiteral("<li><a href=\"#%1\">%2</a></li>").arg(e.anchor, e.title);
    s += QStringLiteral("</ul>");
    for (const Entry& e : entries) {
        s += heading(2, e.title, e.anchor);
        HelpSubject part;
        part.title = e.title;
        part.models = e.models;
        part.decimalMark = mark;
        s += calculatorSections(part, 3, false);
    }
    return s;
}

}  // namespace

QString stoppedSentence(const CalculatorModel& model, const Evaluation& evaluation,
                        const QString& decimalMark)
{
    return help::stoppedSentence(model, evaluation, decimalMark);
}

QString helpPageBody(const HelpSubject& subject)
{
    if (subject.kind == HelpSubject::Kind::Evaluation)
        return subject.evaluation ? evaluationPageBody(*subject.evaluation, subject.evaluationInput, subject.decimalMark)
                                  : QString();
    if (subject.kind == HelpSubject::Kind::Overview)
        return keepUnits(overview(subject));
    if (subject.models.empty())
        return {};
    return keepUnits(calculatorSections(subject, 2, true));
}

QString helpPageHtml(const HelpSubject& subject)
{
    if (subject.kind == HelpSubject::Kind::Evaluation)
        return subject.evaluation ? evaluationPageHtml(*subject.evaluation, subject.evaluationInput, subject.decimalMark)
                                  : QString();
    const QString title = subject.kind == HelpSubject::Kind::Overview ? QStringLiteral("Orvella – Handbuch")
                                                                      : subject.title.toHtmlEscaped();
    return heading(1, title) + helpPageBody(subject);
}

}  // namespace orvella
