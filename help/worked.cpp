// SPDX-License-Identifier: GPL-3.0-or-later
#include "worked.h"

#include "handbook.h"
#include "helptext.h"

#include "evaluationmodel.h"
#include "numbers.h"

#include <QRegularExpression>

#include <optional>

namespace orvella::help {

namespace {

// Formulas and worked lines of one calculation.
class Sheet {
public:
    Sheet(const CalculatorModel& model, const Evaluation* evaluation, QString mark)
        : model_(model), evaluation_(evaluation), mark_(std::move(mark))
    {
        if (evaluation_)
            values_ = evaluation_->steps;
    }

    // Values traced outside the model's own calculation (a derived value).
    void addValues(const std::vector<TraceEntry>& entries)
    {
        values_.insert(values_.end(), entries.begin(), entries.end());
    }

    const CalculatorModel& model() const { return model_; }

    std::optional<double> value(std::string_view key) const
    {
        for (const TraceEntry& e : values_)
            if (e.key == key)
                return e.value;
        return std::nullopt;
    }

    // The step's own name, when the description gives it one.
    const StepInfo* named(std::string_view key) const
    {
        for (const StepInfo& s : model_.steps)
            if (s.key == key && !s.symbol.empty())
                return &s;
        return nullptr;
    }

    QString symbolOf(std::string_view key) const
    {
        if (const StepInfo* s = named(key))
            return html(s->symbol);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].symbolHtml);
        if (const int i = model_.inputIndex(key); i >= 0)
            return html(model_.inputs[std::size_t(i)].symbolHtml);
        return QString::fromUtf8(key.data(), qsizetype(key.size()));
    }

    QString unitOf(std::string_view key) const
    {
        if (const StepInfo* s = named(key))
            return html(s->unit);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].unit);
        return {};
    }

    QString meaningOf(std::string_view key) const
    {
        if (const StepInfo* s = named(key))
            return describedText(model_, s->meaning, mark_);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].label);
        return {};
    }

    QString whereOf(std::string_view key) const
    {
        for (const StepInfo& s : model_.steps)
            if (s.key == key)
                return describedText(model_, s.where, mark_);
        return QStringLiteral("bei einem Zwischenschritt");
    }

    QString symbols(const FormulaLine& line) const { return fill(line, false); }
    QString numbers(const FormulaLine& line) const { return fill(line, true); }

    bool reached(const FormulaLine& line) const { return value(line.step).has_value() || isFailing(line.step); }

    bool isFailing(std::string_view key) const
    {
        return evaluation_ && !evaluation_->ok && evaluation_->failedStep == key;
    }

    // The rows of a worked line: what it is, the formula, the formula with
    // the numbers, the value.
    QString workedRows(const FormulaLine& line, bool isResult) const
    {
        QString rows = caption(line);
        const QString lhs = symbolOf(line.step);
        const QString formula = symbols(line);
        const QString numbers = this->numbers(line);
        rows += row(lhs, formula);
        if (numbers != formula)
            rows += row({}, numbers);
        if (const std::optional<double> v = value(line.step)) {
            const QString text = QStringLiteral("<b>") + valueText(*v, mark_) + QStringLiteral("</b>") +
                                 unitSuffix(unitOf(line.step));
            rows +=
                row({}, isResult ? text + QStringLiteral(" <span style=\"color:#555\">(ungerundet)</span>")
                                 : text);
        } else {
            rows += row({}, QStringLiteral("<span style=\"color:#a00000\"><b>keine endliche Lösung</b> – "
                                           "hier bricht die Rechnung ab</span>"));
        }
        return rows;
    }

    // The rows of a formula of the handbook.
    QString formulaRows(const FormulaLine& line) const
    {
        return caption(line) + row(symbolOf(line.step), symbols(line));
    }

private:
    QString caption(const FormulaLine& line) const
    {
        QString text = meaningOf(line.step);
        if (!line.note.empty())
            text += (text.isEmpty() ? QString() : QStringLiteral(", ")) +
                    describedText(model_, line.note, mark_, line.coefficients);
        return QStringLiteral(
                   "<tr><td colspan=\"3\" style=\"padding-top:6px; color:#444\"><i>%1</i></td></tr>")
            .arg(text);
    }

    static QString row(const QString& lhs, const QString& rhs)
    {
        return QStringLiteral(
                   "<tr><td width=\"70\" align=\"right\">%1</td>"
                   "<td width=\"22\" align=\"center\">=</td><td>%2</td></tr>")
            .arg(lhs, rhs);
    }

    // The formula with its symbols, or with the numbers of the calculation
    // ("?" for a number not known).
    QString fill(const FormulaLine& line, bool numbers) const
    {
        static const QRegularExpression placeholder(QStringLiteral(R"(\{([isc]):([^}]+)\})"));
        const QString out =
            replaceMatches(QString::fromStdString(line.formula), placeholder, [&](const QRegularExpressionMatch& m) {
                const QChar kind = m.captured(1).at(0);
                const std::string key = m.captured(2).toStdString();
                std::optional<double> number;
                QString symbol;
                if (kind == u'i') {
                    symbol = symbolOf(key);
                    const int i = model_.inputIndex(key);
                    if (evaluation_ && i >= 0 && std::size_t(i) < evaluation_->inputs.size())
                        number = evaluation_->inputs[std::size_t(i)];
                } else if (kind == u's') {
                    symbol = symbolOf(key);
                    number = value(key);
                } else if (const NamedNumber* c = coefficient(line, key)) {
                    symbol = c->symbol.empty() ? exactText(c->value, mark_) : html(c->symbol);
                    number = c->value;
                }
                if (!numbers)
                    return symbol;
                QString n = number ? (kind == u's' ? valueText(*number, mark_) : exactText(*number, mark_))
                                   : QStringLiteral("?");
                if (m.capturedStart() > 0 && n.startsWith(u'-'))
                    n = u'(' + n + u')';
                return n;
            });
        return withMark(out, mark_);
    }

    // A coefficient of the line, else a named number of the description.
    const NamedNumber* coefficient(const FormulaLine& line, std::string_view name) const
    {
        for (const NamedNumber& c : line.coefficients)
            if (c.name == name)
                return &c;
        return model_.constant(name);
    }

    const CalculatorModel& model_;
    const Evaluation* evaluation_;
    QString mark_;
    std::vector<TraceEntry> values_;
};

// --- where and why a calculation stops ------------------------------------------

// Why a step stopped: the description's reason where it gives one for the
// step and its fault, else what the fault means.
QString reasonOf(const CalculatorModel& model, const Evaluation& e, const QString& mark)
{
    const std::string& step = e.failedStep;
    if (step.rfind("read:", 0) == 0)
        return QStringLiteral("weil sein Text eine Zahl ist, die zu groß ist, um gelesen zu werden");
    if (const StopReason* reason = model.stopReason(step, e.fault))
        return describedText(model, reason->reason, mark);
    switch (e.fault) {
        case ArithmeticFault::Overflow:
            return QStringLiteral("weil ein Wert den Zahlenbereich des Rechners übersteigt (Überlauf)");
        case ArithmeticFault::DivisionByZero:
            return QStringLiteral("weil durch null geteilt werden müsste");
        case ArithmeticFault::InvalidOperation:
            break;
    }
    return QStringLiteral("weil die Rechenoperation für diese Werte nicht definiert ist");
}

QString stoppedWhere(const Sheet& sheet, const Evaluation& e)
{
    const std::string& step = e.failedStep;
    if (step.rfind("read:", 0) == 0) {
        const int i = sheet.model().inputIndex(std::string_view(step).substr(5));
        if (i >= 0) {
            const InputQuantity& q = sheet.model().inputs[std::size_t(i)];
            return QStringLiteral("schon beim Lesen des Feldes „%1“ (%2)")
                .arg(html(q.label), html(q.symbolHtml));
        }
        return QStringLiteral("schon beim Lesen eines Feldes");
    }
    return sheet.whereOf(step);
}

// --- the worked calculation ----------------------------------------------------------

QString inputsTable(const CalculatorModel& model, const std::vector<QString>& texts, const Evaluation& e,
                    const QString& mark)
{
    QString t = QString::fromLatin1(kTableStart);
    t += QStringLiteral(
        "<tr style=\"background:#eee\"><th>Eingabe</th><th>Feldtext</th><th>gelesen als</th></tr>");
    for (std::size_t i = 0; i < model.inputs.size(); ++i) {
        const InputQuantity& q = model.inputs[i];
        const QString text = i < texts.size() ? texts[i] : QString();
        QString read;
        if (i < e.inputs.size()) {
            read = exactText(e.inputs[i], mark) + unitSuffix(html(q.unit));
            const bool comma = text.contains(u',');
            if (comma && q.commaFix)
                read += QStringLiteral(" <span style=\"color:#555\">(das Fenster macht daraus „%1“)</span>")
                            .arg(QString::fromStdString(KillKomma(text.toStdString())).toHtmlEscaped());
            else if (comma)
                read += QStringLiteral(" <span style=\"color:#555\">(das Komma beendet die Zahl)</span>");
            else if (text.trimmed().isEmpty())
                read += QStringLiteral(" <span style=\"color:#555\">(leeres Feld)</span>");
        } else if (i == e.inputs.size() && !e.ok) {
            read = QStringLiteral("<span style=\"color:#a00000\">zu groß zum Lesen</span>");
        } else {
            read = QStringLiteral("–");
        }
        t += QStringLiteral("<tr><td>%1 %2</td><td>%3</td><td>%4</td></tr>")
                 .arg(html(q.label), html(q.symbolHtml),
                      text.isEmpty() ? QStringLiteral("<i>(leer)</i>")
                                     : QStringLiteral("„") + text.toHtmlEscaped() + QStringLiteral("“"),
                      read);
    }
    return t + QStringLiteral("</table>");
}

// The guidance values against the results as the window shows them.
QString guidanceCheck(const CalculatorModel& model, const Evaluation& e, const QString& mark)
{
    const GuidanceSet& set = model.guidance;
    QStringList items;
    try {
        for (const Guidance& g : set.values) {
            const int r = model.resultIndex(g.result);
            if (g.bound == Bound::Marked || r < 0)
                continue;
            const Quantity& q = model.results[std::size_t(r)];
            const double value = e.results[std::size_t(r)];
            const double shown = roundHalfEven(value, q.decimals);
            const bool atLeast = g.bound == Bound::AtLeast;
            const bool met = guidanceMet(g, shown).value_or(false);
            const QString unit = unitSuffix(html(q.unit));
            items << QStringLiteral("%1 = %2%3 %4%5 %6 %7%3")
                         .arg(html(q.symbolHtml), formatted(value, q.decimals, mark), unit,
                              met ? QStringLiteral("erfüllt ")
                                  : atLeast ? QStringLiteral("liegt unter ") : QStringLiteral("liegt über "),
                              html(g.name), atLeast ? QStringLiteral("≥") : QStringLiteral("≤"),
                              namedNumberText(g.value, mark));
        }
    } catch (const ArithmeticError&) {
        return {};
    }
    if (items.isEmpty())
        return {};
    const QString last = items.takeLast();
    const QString list = items.isEmpty() ? last : items.join(QStringLiteral(", ")) + QStringLiteral(" und ") + last;
    return QStringLiteral("<p>Richtwerte nach %1%2: %3.</p>")
        .arg(html(set.source), set.purpose.empty() ? QString() : u' ' + html(set.purpose), list);
}

// A value derived from the results, worked after them.
QString derivedWorked(const CalculatorModel& model, const DerivedValue& derivedValue, const Evaluation& e,
                      const QString& mark)
{
    Sheet sheet(model, &e, mark);
    Trace trace;
    Evaluation derived;
    derived.ok = true;
    double value = 0.0;
    try {
        value = derivedValue.compute(e.results, &trace);
    } catch (const ArithmeticError& error) {
        derived.ok = false;
        derived.failedStep = trace.running();
        derived.fault = error.fault();
    }
    sheet.addValues(trace.entries());
    QString s = describedText(model, derivedValue.intro, mark) +
                QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const FormulaLine& line : derivedValue.lines) {
        if (!sheet.value(line.step) && !(!derived.ok && derived.failedStep == line.step))
            continue;
        s += sheet.workedRows(line, false);
    }
    s += QStringLiteral("</table>");
    if (derived.ok) {
        s += describedText(model, derivedValue.answer, mark)
                 .replace(QStringLiteral("{value}"), formatted(value, derivedValue.decimals, mark));
    } else {
        derived.inputs = e.inputs;
        s += paragraph(QStringLiteral("%1: die Ableitung bricht %2 ab, %3.")
                           .arg(html(derivedValue.noAnswer), sheet.whereOf(derived.failedStep),
                                reasonOf(model, derived, mark)));
    }
    return s;
}

// The worked calculation of a window's state, as the description writes it.
class HtmlWriter : public WorkedWriter {
public:
    HtmlWriter(const CalculatorModel& model, const QString& mark) : model_(model), mark_(mark) {}

    std::string exact(double value) const override { return exactText(value, mark_).toStdString(); }
    std::string rounded(double value) const override { return valueText(value, mark_).toStdString(); }
    std::string text(std::string_view html) const override
    {
        return describedText(model_, html, mark_).toStdString();
    }
    std::string shown(std::string_view windowText) const override
    {
        return (QStringLiteral("„") +
                QString::fromUtf8(windowText.data(), qsizetype(windowText.size()))
                    .toHtmlEscaped()
                    .replace(u' ', QStringLiteral("&nbsp;")) +
                QStringLiteral("“"))
            .toStdString();
    }
    std::string stop(std::string_view html) const override
    {
        return "<span style=\"color:#a00000\">" + std::string(html) + "</span>";
    }
    void table(const std::vector<std::pair<std::string, std::string>>& rows) override
    {
        html_ += QString::fromLatin1(kTableStart);
        for (const auto& [label, value] : rows)
            html_ += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(html(label), html(value));
        html_ += QStringLiteral("</table>");
    }
    void paragraph(std::string_view text) override { html_ += help::paragraph(qs(text)); }
    void formula(std::string_view text) override
    {
        html_ += QStringLiteral("<p style=\"margin-left:24px\">%1</p>").arg(qs(text));
    }

    const QString& page() const { return html_; }

private:
    static QString qs(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

    const CalculatorModel& model_;
    QString mark_;
    QString html_;
};

}  // namespace

QString stoppedSentence(const CalculatorModel& model, const Evaluation& evaluation, const QString& mark)
{
    if (evaluation.ok)
        return {};
    const Sheet sheet(model, &evaluation, mark);
    return QStringLiteral("Keine endliche Lösung: Die Rechnung bricht %1 ab, %2.")
        .arg(stoppedWhere(sheet, evaluation), reasonOf(model, evaluation, mark));
}

QString formulasTable(const CalculatorModel& model, const QString& mark)
{
    return formulasTable(model, model.formulaLines(nullptr), mark);
}

QString formulasTable(const CalculatorModel& model, const std::vector<FormulaLine>& lines, const QString& mark)
{
    const Sheet sheet(model, nullptr, mark);
    QString t = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const FormulaLine& line : lines)
        t += sheet.formulaRows(line);
    return t + QStringLiteral("</table>");
}

QString workedLines(const CalculatorModel& model, const Evaluation& evaluation, const std::vector<FormulaLine>& lines,
                    const QString& mark)
{
    const Sheet sheet(model, &evaluation, mark);
    QString rows;
    for (const FormulaLine& line : lines)
        if (sheet.reached(line))
            rows += sheet.workedRows(line, model.resultIndex(line.step) >= 0);
    if (rows.isEmpty())
        return {};
    return QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" style=\"margin-top:6px\">") +
           rows + QStringLiteral("</table>");
}

QString writtenWorked(const CalculatorModel& model, const QString& mark, const std::function<void(WorkedWriter&)>& write)
{
    HtmlWriter writer(model, mark);
    write(writer);
    return writer.page();
}

QString workedCalculation(const CalculatorModel& model, const std::vector<QString>& texts, const QString& mark)
{
    std::vector<std::string> strings;
    for (const QString& t : texts)
        strings.push_back(t.toStdString());
    const Evaluation e = evaluateTexts(model, strings);
    const Sheet sheet(model, &e, mark);

    QString s = inputsTable(model, texts, e, mark);
    QString rows;
    for (const FormulaLine& line : model.formulaLines(&e))
        if (sheet.reached(line))
            rows += sheet.workedRows(line, model.resultIndex(line.step) >= 0);
    if (!rows.isEmpty())
        s += QStringLiteral(
                 "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" style=\"margin-top:6px\">") +
             rows + QStringLiteral("</table>");

    if (!e.ok) {
        s += QStringLiteral("<p style=\"color:#a00000\"><b>%1</b></p>").arg(stoppedSentence(model, e, mark));
        if (!model.handbook.onStop.empty())
            s += paragraph(describedText(model, model.handbook.onStop, mark));
        return s;
    }
    QString results;
    for (std::size_t i = 0; i < model.results.size(); ++i) {
        const Quantity& q = model.results[i];
        if (writtenAsText(q, e.results[i])) {
            // Words, or "–" where the inputs give this result no value: written as they stand.
            results += QStringLiteral("<p style=\"margin-left:12px\"><b>Ergebnis:</b> %1 %2 = <b>%3</b></p>")
                           .arg(html(q.label), html(q.symbolHtml),
                                html(resultText(q, e.results[i], mark.toStdString())));
            continue;
        }
        const QString written = formatted(e.results[i], q.decimals, mark);
        QString shown = written;
        if (model.resultsCommaFix)
            shown = QString::fromStdString(KillKomma(written.toStdString()));
        results +=
            QStringLiteral(
                "<p style=\"margin-left:12px\"><b>Ergebnis:</b> %1 %2 = <b>%3</b>%4 "
                "<span style=\"color:#555\">(auf %5 Nachkommastelle%6 gerundet%7)</span></p>")
                .arg(html(q.label), html(q.symbolHtml), shown, unitSuffix(html(q.unit)))
                .arg(q.decimals)
                .arg(q.decimals == 1 ? QString() : QStringLiteral("n"))
                .arg(shown != written
                         ? QStringLiteral("; geschrieben als %1, das Komma wird zum Punkt").arg(written)
                         : QString());
    }
    s += QStringLiteral("<p>So schreibt das Fenster die Ergebnisse, sobald „%1“ gedrückt wird:</p>")
             .arg(buttonCaption(model)) +
         results;
    s += guidanceCheck(model, e, mark);
    for (const DerivedValue& d : model.derived)
        s += derivedWorked(model, d, e, mark);
    return s;
}

QString stateWorked(const CalculatorModel& model, const WindowState& state, const QString& mark)
{
    if (!model.stateWorked.write)
        return {};
    HtmlWriter writer(model, mark);
    model.stateWorked.write(state, writer);
    return writer.page();
}

}  // namespace orvella::help
