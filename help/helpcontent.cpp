// SPDX-License-Identifier: GPL-3.0-or-later
#include "helpcontent.h"

#include "handbook.h"
#include "helptext.h"

#include "dlprognose.h"
#include "keypad.h"
#include "moisture.h"
#include "numbers.h"
#include "schall.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>

namespace orvella {

using namespace help;

namespace {

// --- the steps of each calculation --------------------------------------------

// An intermediate value of a calculation as the help names it.
struct StepInfo {
    const char* key;
    const char* symbol;  // HTML; empty: a result of the model, named by the model
    const char* unit;
    const char* meaning;  // German, may hold {k:...} numbers
    const char* where;    // "bei ...": where a calculation stops in this step
};

const std::vector<StepInfo>& stepsOf(const std::string& id)
{
    static const std::vector<StepInfo> schall{
        {"area", "S", "m²", "Kugelfläche im Abstand r (in m², bezogen auf 1 m²)",
         "bei der Kugelfläche S = 4 · π · r<sup>2</sup>"},
        {"spreading", "ΔL", "dB", "Unterschied zwischen Schallleistungs- und Schalldruckpegel",
         "beim Logarithmus ΔL = 10 · lg S"},
        {"Lw", "", "", "", "bei der Summe L<sub>W</sub> = ΔL + L<sub>p</sub>"},
        {"Lp", "", "", "", "bei der Differenz L<sub>p</sub> = L<sub>W</sub> − ΔL"},
    };
    static const std::vector<StepInfo> feuchte{
        {"pr", "p<sub>r</sub>", "Pa", "Sättigungsdampfdruck der Raumluft",
         "beim Sättigungsdampfdruck der Raumluft p<sub>r</sub>"},
        {"ps", "p<sub>s</sub>", "Pa", "Sättigungsdampfdruck an der Oberfläche",
         "beim Sättigungsdampfdruck an der Oberfläche p<sub>s</sub>"},
        {"phiK", "", "", "", "bei der Tauwassergrenze φ<sub>K</sub> = 100 · p<sub>s</sub> / p<sub>r</sub>"},
        {"phiS", "", "", "", "bei der Schimmelgrenze φ<sub>S</sub>"},
        {"phiC", "", "", "", "bei der Korrosionsgrenze φ<sub>C</sub>"},
    };
    static const std::vector<StepInfo> temperatur{
        {"phi", "", "", "", "bei der angenommenen Raumluftfeuchte φ"},
        {"pr", "p<sub>r</sub>", "Pa", "Sättigungsdampfdruck der Raumluft bei 20 °C",
         "beim Sättigungsdampfdruck der Raumluft"},
        {"pw", "p<sub>w</sub>", "Pa", "Wasserdampfdruck der Raumluft", "beim Wasserdampfdruck p<sub>w</sub>"},
        {"dewY", "y", "", "Dampfdruck in hPa, bezogen auf {k:6.1078} hPa (Magnus)",
         "beim Verhältnis y der Magnus-Formel"},
        {"dewX", "x", "", "Logarithmus von y", "beim Logarithmus x = lg y der Magnus-Formel"},
        {"thetaK", "", "", "", "beim Taupunkt θ<sub>K</sub> der Magnus-Formel"},
        {"pw80", "p<sub>80</sub>", "Pa",
         "Sättigungsdampfdruck, bei dem die Oberfläche 80 % relative Feuchte hat",
         "beim Dampfdruck p<sub>80</sub> = p<sub>w</sub> / {k:0.8}"},
        {"thetaM", "", "", "", "bei der Schimmelgrenze θ<sub>M</sub> (Umkehrung des Potenzgesetzes)"},
    };
    static const std::vector<StepInfo> prognose{
        {"dl2", "", "", "", "bei DL<sub>2</sub>"},
        {"l4", "", "", "", "bei L<sub>4</sub>"},
        {"lg4", "lg 4", "", "Logarithmus von 4 m", "beim Logarithmus lg 4"},
        {"lgR", "lg R", "", "Logarithmus des Abstands R", "beim Logarithmus lg R"},
        {"lr", "", "", "", "bei L<sub>r</sub>"},
        {"rcExponent", "x<sub>C</sub>", "", "Exponent des Komfortabstands",
         "beim Exponenten des Komfortabstands"},
        {"rc", "r<sub>C</sub>", "m", "Komfortabstand (abgeleitet, vom Fenster nicht angezeigt)",
         "beim Komfortabstand"},
    };
    static const std::vector<StepInfo> none;
    if (id.rfind("frmSchall", 0) == 0)
        return schall;
    if (id == "frmFeuchte")
        return feuchte;
    if (id == "frmTemperatur")
        return temperatur;
    if (id == "frmDLprognose")
        return prognose;
    return none;
}

// A named number of a formula: shown as `symbol` in the formula (the number
// itself when the symbol is empty) and as `value` in the worked line.
struct Constant {
    QString name;
    QString symbol;
    double value;
};

std::vector<Constant> powerLaw(const PowerLaw& form)
{
    return {{QStringLiteral("a"), QStringLiteral("a"), form.a},
            {QStringLiteral("b"), QStringLiteral("b"), form.b},
            {QStringLiteral("n"), QStringLiteral("n"), form.n}};
}

// One line of a calculation: the step it computes, its formula as a
// template, the constants the template names and a note on the line.
//   {i:key} an input, {s:key} a traced value, {c:name} a constant,
//   {k:0.17} a number written with the user's decimal mark.
struct Line {
    const char* step;
    QString formula;
    std::vector<Constant> constants;
    QString note;
};

// Formulas and worked lines of one calculation.
class Sheet {
public:
    Sheet(const CalculatorModel& model, const Evaluation* evaluation, QString mark)
        : model_(model), steps_(stepsOf(model.id)), evaluation_(evaluation), mark_(std::move(mark))
    {
        if (evaluation_)
            values_ = evaluation_->steps;
    }

    // Values traced outside the model's own calculation (the comfort distance).
    void addValues(const std::vector<TraceEntry>& entries)
    {
        values_.insert(values_.end(), entries.begin(), entries.end());
    }

    const CalculatorModel& model() const { return model_; }
    const QString& mark() const { return mark_; }

    std::optional<double> value(std::string_view key) const
    {
        for (const TraceEntry& e : values_)
            if (e.key == key)
                return e.value;
        return std::nullopt;
    }

    QString symbolOf(std::string_view key) const
    {
        for (const StepInfo& s : steps_)
            if (s.key == key && *s.symbol)
                return QString::fromUtf8(s.symbol);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].symbolHtml);
        if (const int i = model_.inputIndex(key); i >= 0)
            return html(model_.inputs[std::size_t(i)].symbolHtml);
        return QString::fromUtf8(key.data(), qsizetype(key.size()));
    }

    QString unitOf(std::string_view key) const
    {
        for (const StepInfo& s : steps_)
            if (s.key == key && *s.symbol)
                return QString::fromUtf8(s.unit);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].unit);
        return {};
    }

    QString meaningOf(std::string_view key) const
    {
        for (const StepInfo& s : steps_)
            if (s.key == key && *s.symbol)
                return withMark(QString::fromUtf8(s.meaning), mark_);
        if (const int r = model_.resultIndex(key); r >= 0)
            return html(model_.results[std::size_t(r)].label);
        return {};
    }

    QString whereOf(std::string_view key) const
    {
        for (const StepInfo& s : steps_)
            if (s.key == key)
                return withMark(QString::fromUtf8(s.where), mark_);
        return QStringLiteral("bei einem Zwischenschritt");
    }

    QString symbols(const Line& line) const { return fill(line, false); }
    QString numbers(const Line& line) const { return fill(line, true); }

    bool reached(const Line& line) const { return value(line.step).has_value() || isFailing(line.step); }

    bool isFailing(std::string_view key) const
    {
        return evaluation_ && !evaluation_->ok && evaluation_->failedStep == key;
    }

    // The rows of a worked line: what it is, the formula, the formula with
    // the numbers, the value.
    QString workedRows(const Line& line, bool isResult) const
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
    QString formulaRows(const Line& line) const
    {
        return caption(line) + row(symbolOf(line.step), symbols(line));
    }

private:
    QString caption(const Line& line) const
    {
        QString text = meaningOf(line.step);
        if (!line.note.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(", ")) + withMark(line.note, mark_);
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

    QString fill(const Line& line, bool numbers) const
    {
        static const QRegularExpression placeholder(QStringLiteral(R"(\{([isc]):([^}]+)\})"));
        const QString out = replaceMatches(line.formula, placeholder, [&](const QRegularExpressionMatch& m) {
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
            } else {
                for (const Constant& c : line.constants)
                    if (c.name == m.captured(2)) {
                        symbol = c.symbol.isEmpty() ? exactText(c.value, mark_) : c.symbol;
                        number = c.value;
                    }
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

    const CalculatorModel& model_;
    const std::vector<StepInfo>& steps_;
    const Evaluation* evaluation_;
    QString mark_;
    std::vector<TraceEntry> values_;
};

// The lines of each calculation, in the order they are computed. With an
// evaluation, the branch the numbers took (water or ice, the range of the
// outdoor temperature); without, every branch.
std::vector<Line> linesOf(const CalculatorModel& model, const Evaluation* e)
{
    const auto input = [&](const char* key) -> std::optional<double> {
        const int i = model.inputIndex(key);
        if (e && i >= 0 && std::size_t(i) < e->inputs.size())
            return e->inputs[std::size_t(i)];
        return std::nullopt;
    };
    const std::string& id = model.id;
    if (id == "frmSchall.l" || id == "frmSchall.p") {
        std::vector<Line> lines{
            {"area",
             QStringLiteral("4 · {c:pi} · {i:r}<sup>2</sup>"),
             {{QStringLiteral("pi"), QStringLiteral("π"), kConverterPi}},
             QStringLiteral("mit π = {k:%1}").arg(QString::number(kConverterPi, 'g', 15))},
            {"spreading", QStringLiteral("10 · lg {s:area}"), {}, {}},
        };
        if (id == "frmSchall.l")
            lines.push_back({"Lw", QStringLiteral("{s:spreading} + {i:Lp}"), {}, {}});
        else
            lines.push_back({"Lp", QStringLiteral("{i:Lw} − {s:spreading}"), {}, {}});
        return lines;
    }
    if (id == "frmFeuchte") {
        // The power law over water above 0 °C, over ice at 0 °C and below.
        const auto pressure = [&](const char* step, const char* in) {
            const QString formula = QStringLiteral("{c:a} · ({c:b} + {i:%1} / 100)<sup>{c:n}</sup>").arg(in);
            const QString symbol = html(model.inputs[std::size_t(model.inputIndex(in))].symbolHtml);
            const std::optional<double> t = input(in);
            if (!t)
                return Line{step, formula, powerLaw(kOverWater),
                            QStringLiteral("a, b, n über Wasser oder über Eis (siehe Annahmen)")};
            if (*t > 0.0)
                return Line{step, formula, powerLaw(kOverWater),
                            QStringLiteral("über Wasser, da %1 &gt; 0 °C").arg(symbol)};
            return Line{step, formula, powerLaw(kOverIce),
                        QStringLiteral("über Eis, da %1 ≤ 0 °C").arg(symbol)};
        };
        return {
            pressure("pr", "thetaR"),
            pressure("ps", "thetaS"),
            {"phiK", QStringLiteral("(100 · {s:ps}) / {s:pr}"), {}, QStringLiteral("Oberfläche bei 100 %")},
            {"phiS", QStringLiteral("{s:phiK} · {k:0.8}"), {}, QStringLiteral("Oberfläche bei 80 %")},
            {"phiC", QStringLiteral("{s:phiK} · {k:0.6}"), {}, QStringLiteral("Oberfläche bei 60 %")},
        };
    }
    if (id == "frmTemperatur") {
        std::vector<Line> lines;
        const std::optional<double> te = input("thetaE");
        if (!te || *te > 10.0)
            lines.push_back({"phi",
                             QStringLiteral("65 + |10 − {i:thetaE}|"),
                             {},
                             QStringLiteral("für θ<sub>e</sub> &gt; 10 °C")});
        if (!te || (*te > 0.0 && *te <= 10.0))
            lines.push_back(
                {"phi", QStringLiteral("65"), {}, QStringLiteral("für 0 °C &lt; θ<sub>e</sub> ≤ 10 °C")});
        if (!te || *te <= 0.0)
            lines.push_back(
                {"phi", QStringLiteral("65 + {i:thetaE}"), {}, QStringLiteral("für θ<sub>e</sub> ≤ 0 °C")});
        std::vector<Constant> room = powerLaw(kAssessedRoomTemperature > 0.0 ? kOverWater : kOverIce);
        room.push_back({QStringLiteral("t"), QString(), kAssessedRoomTemperature});
        lines.push_back({"pr", QStringLiteral("{c:a} · ({c:b} + {c:t} / 100)<sup>{c:n}</sup>"), room,
                         QStringLiteral("Potenzgesetz über Wasser")});
        lines.push_back({"pw", QStringLiteral("({s:pr} · {s:phi}) / 100"), {}, {}});
        lines.push_back({"dewY",
                         QStringLiteral("({s:pw} / 100) / {c:ref}"),
                         {{QStringLiteral("ref"), QString(), kMagnusReferenceHpa}},
                         {}});
        lines.push_back({"dewX", QStringLiteral("ln {s:dewY} / ln 10"), {}, {}});
        lines.push_back({"thetaK",
                         QStringLiteral("({s:dewX} · {c:t}) / ({c:c} − {s:dewX})"),
                         {{QStringLiteral("t"), QString(), kMagnusTemperature},
                          {QStringLiteral("c"), QString(), kMagnusCoefficient}},
                         QStringLiteral("Taupunkt nach Magnus")});
        lines.push_back({"pw80",
                         QStringLiteral("{s:pw} / {c:f}"),
                         {{QStringLiteral("f"), QString(), kMouldSurfaceHumidity}},
                         {}});
        // The inverse takes the ice form below the threshold pressure.
        std::optional<double> p80;
        if (e)
            for (const TraceEntry& step : e->steps)
                if (step.key == "pw80")
                    p80 = step.value;
        const QString inverse = QStringLiteral("100 · (({s:pw80} / {c:a})<sup>1 / {c:n}</sup> − {c:b})");
        if (!p80)
            lines.push_back({"thetaM", inverse, powerLaw(kOverWater),
                             QStringLiteral("Umkehrung des Potenzgesetzes, über Eis unter {k:%1} Pa")
                                 .arg(QString::number(kIceWaterThresholdPa, 'g', 15))});
        else if (*p80 < kIceWaterThresholdPa)
            lines.push_back(
                {"thetaM", inverse, powerLaw(kOverIce),
                 QStringLiteral("Umkehrung des Potenzgesetzes über Eis, da p<sub>80</sub> &lt; {k:%1} Pa")
                     .arg(QString::number(kIceWaterThresholdPa, 'g', 15))});
        else
            lines.push_back(
                {"thetaM", inverse, powerLaw(kOverWater),
                 QStringLiteral("Umkehrung des Potenzgesetzes über Wasser, da p<sub>80</sub> ≥ {k:%1} Pa")
                     .arg(QString::number(kIceWaterThresholdPa, 'g', 15))});
        return lines;
    }
    if (id == "frmDLprognose") {
        return {
            {"dl2",
             QStringLiteral("7 · ({i:hScreen} / {i:hRaum}) + {k:0.17} · ({i:lRaum} / {i:hRaum}) + "
                            "{k:4.28} · {i:alphaCell} + {k:1.52} · {i:alphaHori}"),
             {},
             {}},
            {"l4",
             QStringLiteral("{i:l1} − {k:3.23} · {i:hScreen} − {k:0.09} · {i:wRaum} + "
                            "{k:0.44} · {i:alphaHori} − {k:5.75} · {i:alphaCell}"),
             {},
             {}},
            {"lg4", QStringLiteral("ln 4 / ln 10"), {}, {}},
            {"lgR", QStringLiteral("ln {i:r} / ln 10"), {}, {}},
            {"lr",
             QStringLiteral("{s:l4} − {k:3.3} · {s:dl2} · ({s:lgR} − {s:lg4})"),
             {},
             QStringLiteral("aus den ungerundeten DL<sub>2</sub> und L<sub>4</sub>")},
        };
    }
    return {};
}

// The comfort distance, derived from the prognosis' own level formula.
std::vector<Line> comfortLines()
{
    return {
        {"rcExponent",
         QStringLiteral("({s:l4} − {c:L}) / ({k:3.3} · {s:dl2})"),
         {{QStringLiteral("L"), QStringLiteral("45 dB"), kComfortSpeechLevelDb}},
         {}},
        {"rc", QStringLiteral("4 m · 10<sup>{s:rcExponent}</sup>"), {}, {}},
    };
}

// --- where and why a calculation stops ------------------------------------------

// Why a step stopped: the specific reason where the step and its inputs tell
// it, else what the fault means.
QString reasonOf(const CalculatorModel& model, const Evaluation& e, const QString& mark)
{
    const std::string& step = e.failedStep;
    const auto in = [&](const char* key) -> std::optional<double> {
        const int i = model.inputIndex(key);
        if (i >= 0 && std::size_t(i) < e.inputs.size())
            return e.inputs[std::size_t(i)];
        return std::nullopt;
    };
    const bool invalid = e.fault == ArithmeticFault::InvalidOperation;
    const bool byZero = e.fault == ArithmeticFault::DivisionByZero;
    if (step.rfind("read:", 0) == 0)
        return QStringLiteral("weil sein Text eine Zahl ist, die zu groß ist, um gelesen zu werden");
    if (isConverter(model) && step == "spreading" && invalid)
        return QStringLiteral(
            "weil der Abstand r 0 m ist (so liest sich auch ein leeres Feld oder ein "
            "Text ohne Zahl am Anfang) und der Logarithmus von 0 nicht definiert ist");
    if (model.id == "frmFeuchte" && (step == "pr" || step == "ps") && invalid)
        return withMark(QStringLiteral("weil die Temperatur unter {k:-148.6} °C liegt, wo die Eisform des "
                                       "Potenzgesetzes keinen Wert hat (eine negative Zahl unter einer "
                                       "gebrochenen Potenz)"),
                        mark);
    if (model.id == "frmFeuchte" && step == "phiK" && (invalid || byZero))
        return QStringLiteral(
            "weil der Sättigungsdampfdruck der Raumluft p<sub>r</sub> 0 Pa ist und "
            "durch null nicht geteilt werden kann");
    if (model.id == "frmTemperatur" && step == "dewX" && invalid)
        return QStringLiteral(
            "weil die angenommene Raumluftfeuchte φ bei dieser Außentemperatur 0 % oder "
            "weniger beträgt, die Luft also keinen Wasserdampf enthält, und der "
            "Logarithmus von y ≤ 0 nicht definiert ist");
    if (model.id == "frmTemperatur" && step == "thetaK" && (invalid || byZero))
        return QStringLiteral(
            "weil x den Wert der Magnus-Konstante erreicht und die Formel durch null "
            "teilen müsste");
    if (model.id == "frmDLprognose" && step == "dl2" && in("hRaum") == 0.0)
        return QStringLiteral(
            "weil die Raumhöhe H<sub>Raum</sub> 0 m ist (so liest sich auch ein leeres "
            "Feld oder ein Text ohne Zahl) und durch null nicht geteilt werden kann");
    if (model.id == "frmDLprognose" && step == "lgR" && invalid)
        return QStringLiteral(
            "weil der Abstand R nicht größer als 0 m ist (auch ein leeres Feld liest sich "
            "als 0) und der Logarithmus nur für positive Zahlen definiert ist");
    if (model.id == "frmDLprognose" && step == "rcExponent" && invalid)
        return QStringLiteral(
            "weil DL<sub>2</sub> nicht größer als 0 dB ist, der Sprachpegel also mit dem "
            "Abstand nicht abnimmt");
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

// --- page parts ---------------------------------------------------------------

// Inputs and results with symbol, meaning and unit.
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

QString formulasTable(const CalculatorModel& model, const QString& mark)
{
    const Sheet sheet(model, nullptr, mark);
    QString t = QStringLiteral("<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const Line& line : linesOf(model, nullptr))
        t += sheet.formulaRows(line);
    return t + QStringLiteral("</table>");
}

QString frameName(const CalculatorModel& model)
{
    return model.part.empty() ? QString() : QStringLiteral("Rahmen „%1“").arg(html(model.part));
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

// ISO 3382-3 guidance values against the results as the window shows them.
QString guidance(const CalculatorModel& model, const Evaluation& e, const QString& mark)
{
    const auto shown = [&](const char* key) {
        const std::size_t i = std::size_t(model.resultIndex(key));
        return roundHalfEven(e.results[i], model.results[i].decimals);
    };
    const auto text = [&](const char* key) {
        const std::size_t i = std::size_t(model.resultIndex(key));
        return formatted(e.results[i], model.results[i].decimals, mark);
    };
    try {
        const bool decayOk = shown("dl2") >= 7.0;
        const bool levelOk = shown("l4") <= 48.0;
        return QStringLiteral(
                   "<p>Richtwerte nach ISO 3382-3 für gute Großraumbüros: DL<sub>2</sub> = %1 dB "
                   "%2 und L<sub>4</sub> = %3 dB %4.</p>")
            .arg(text("dl2"),
                 decayOk ? QStringLiteral("erfüllt D<sub>2,S</sub> ≥ 7 dB")
                         : QStringLiteral("liegt unter D<sub>2,S</sub> ≥ 7 dB"),
                 text("l4"),
                 levelOk ? QStringLiteral("erfüllt L<sub>p,A,S,4m</sub> ≤ 48 dB")
                         : QStringLiteral("liegt über L<sub>p,A,S,4m</sub> ≤ 48 dB"));
    } catch (const ArithmeticError&) {
        return {};
    }
}

QString comfortDistanceWorked(const CalculatorModel& model, const Evaluation& e, const QString& mark)
{
    Sheet sheet(model, &e, mark);
    Trace trace;
    Evaluation derived;
    derived.ok = true;
    try {
        comfortDistance(e.results[std::size_t(model.resultIndex("dl2"))],
                        e.results[std::size_t(model.resultIndex("l4"))], &trace);
    } catch (const ArithmeticError& error) {
        derived.ok = false;
        derived.failedStep = trace.running();
        derived.fault = error.fault();
    }
    sheet.addValues(trace.entries());
    QString s = QStringLiteral(
        "<p><b>Komfortabstand r<sub>C</sub></b> (abgeleitet aus der L<sub>r</sub>-Formel, "
        "vom Fenster nicht angezeigt):</p><table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\">");
    for (const Line& line : comfortLines()) {
        if (!sheet.value(line.step) && !(!derived.ok && derived.failedStep == line.step))
            continue;
        s += sheet.workedRows(line, false);
    }
    s += QStringLiteral("</table>");
    if (derived.ok) {
        s += QStringLiteral(
                 "<p>r<sub>C</sub> ≈ <b>%1 m</b> (abgeleitet): jenseits dieses Abstands liegt der "
                 "Sprachpegel nach der Prognose unter 45 dB.</p>")
                 .arg(formatted(*sheet.value("rc"), 1, mark));
    } else {
        derived.inputs = e.inputs;
        s += paragraph(QStringLiteral("Kein endlicher Komfortabstand: die Ableitung bricht %1 ab, %2.")
                           .arg(sheet.whereOf(derived.failedStep), reasonOf(model, derived, mark)));
    }
    return s;
}

QString workedCalculation(const CalculatorModel& model, const std::vector<QString>& texts,
                          const QString& mark)
{
    std::vector<std::string> strings;
    for (const QString& t : texts)
        strings.push_back(t.toStdString());
    const Evaluation e = evaluateTexts(model, strings);
    const Sheet sheet(model, &e, mark);

    QString s = inputsTable(model, texts, e, mark);
    QString rows;
    for (const Line& line : linesOf(model, &e))
        if (sheet.reached(line))
            rows += sheet.workedRows(line, model.resultIndex(line.step) >= 0);
    if (!rows.isEmpty())
        s += QStringLiteral(
                 "<table width=\"100%\" cellspacing=\"0\" cellpadding=\"2\" style=\"margin-top:6px\">") +
             rows + QStringLiteral("</table>");

    if (!e.ok) {
        s += QStringLiteral("<p style=\"color:#a00000\"><b>%1</b></p>").arg(stoppedSentence(model, e, mark));
        s += paragraph(windowOnStop(model));
        return s;
    }
    QString results;
    for (std::size_t i = 0; i < model.results.size(); ++i) {
        const Quantity& q = model.results[i];
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
    if (model.id == "frmDLprognose") {
        s += guidance(model, e, mark);
        s += comfortDistanceWorked(model, e, mark);
    }
    return s;
}

// --- the keypad ----------------------------------------------------------------

QString stateValue(const WindowState& state, const char* key)
{
    for (const auto& [k, v] : state)
        if (k == key)
            return QString::fromStdString(v);
    return {};
}

// One operation of the keypad with the given operands, worked with the
// keypad's own functions.
QString keypadOperation(const QString& op, double level, double second, const QString& mark)
{
    const QString a = exactText(level, mark);
    QString b = exactText(second, mark);
    const QString bp = second < 0 ? u'(' + b + u')' : b;
    QString s;
    if (op == QLatin1String("+"))
        s = QStringLiteral("L = 10 · lg(10<sup>%3 · %1</sup> + 10<sup>%3 · %2</sup>)")
                .arg(a, bp, withMark(QStringLiteral("{k:0.1}"), mark));
    else
        s = QStringLiteral("L = 10 · lg(10<sup>%3 · %1</sup> · %2)")
                .arg(a, bp, withMark(QStringLiteral("{k:0.1}"), mark));
    try {
        const double value =
            op == QLatin1String("+") ? addLevels(level, second) : multiplyLevel(level, second);
        const double rounded = roundHalfEven(value, 1);
        s += QStringLiteral(" = %1 dB → Anzeige „%2“")
                 .arg(valueText(value, mark),
                      QString::fromStdString(displayText(rounded)).replace(u' ', QStringLiteral("&nbsp;")));
    } catch (const ArithmeticError& error) {
        s +=
            QStringLiteral(" – <span style=\"color:#a00000\"><b>keine endliche Lösung</b>: %1</span>")
                .arg(op == QLatin1String("x") && !(second > 0.0)
                         ? QStringLiteral("die Anzahl n = %1 ist nicht größer als 0, und der Logarithmus ist "
                                          "nur für positive Zahlen definiert.")
                               .arg(b)
                     : error.fault() == ArithmeticFault::Overflow
                         ? QStringLiteral(
                               "die Schallenergie übersteigt den Zahlenbereich des Rechners (Überlauf).")
                         : QStringLiteral("die Rechnung ist für diese Werte nicht definiert."));
    }
    return s;
}

QString keypadWorked(const WindowState& state, const QString& mark)
{
    const QString display = stateValue(state, "display");
    const double operand1 = stateValue(state, "operand1").toDouble();
    const double operand2 = stateValue(state, "operand2").toDouble();
    const double result = stateValue(state, "result").toDouble();
    const QString pending = stateValue(state, "pendingOperator");
    const bool newEntry = stateValue(state, "newEntry") == QLatin1String("1");

    QString t = QString::fromLatin1(kTableStart);
    const auto row = [&](const QString& a, const QString& b) {
        t += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(a, b);
    };
    row(QStringLiteral("Anzeige"), QStringLiteral("„") +
                                       display.toHtmlEscaped().replace(u' ', QStringLiteral("&nbsp;")) +
                                       QStringLiteral("“"));
    row(QStringLiteral("Operand 1"), exactText(operand1, mark));
    row(QStringLiteral("Operand 2"), exactText(operand2, mark));
    row(QStringLiteral("offene Rechnung"),
        pending.isEmpty() ? QStringLiteral("keine") : QStringLiteral("„") + pending + QStringLiteral("“"));
    row(QStringLiteral("nächste Ziffer"),
        newEntry ? QStringLiteral("beginnt eine neue Zahl") : QStringLiteral("wird angehängt"));
    row(QStringLiteral("letztes Ergebnis"), exactText(result, mark));
    t += QStringLiteral("</table>");

    QString s = t;
    if (!pending.isEmpty()) {
        double second = 0.0;
        try {
            second = ReadNumber(display.toStdString());
        } catch (const ArithmeticError&) {
            return s + paragraph(QStringLiteral("<span style=\"color:#a00000\"><b>Keine endliche Lösung:</b> "
                                                "„=“ bricht schon beim Lesen der Anzeige ab, weil sie eine "
                                                "Zahl ist, die zu groß ist, um gelesen zu werden.</span>"));
        }
        s += paragraph(QStringLiteral("Offen ist „%1“ mit Operand 1 = %2 dB. „=“ nimmt die Anzeige als "
                                      "Operand 2 (%3) und rechnet:")
                           .arg(pending, exactText(operand1, mark), exactText(second, mark)));
        s += QStringLiteral("<p style=\"margin-left:24px\">%1</p>")
                 .arg(keypadOperation(
                     pending == QLatin1String("x") ? QStringLiteral("x") : QStringLiteral("+"), operand1,
                     second, mark));
        s += paragraph(pending == QLatin1String("x")
                           ? QStringLiteral("Das ist der Pegel von %1 gleich lauten Quellen mit je %2 dB.")
                                 .arg(exactText(second, mark), exactText(operand1, mark))
                           : QStringLiteral("Das ist der Gesamtpegel zweier unabhängiger Quellen mit %1 dB "
                                            "und %2 dB.")
                                 .arg(exactText(operand1, mark), exactText(second, mark)));
        return s;
    }
    if (operand1 == 0.0 && operand2 == 0.0 && result == 0.0) {
        s +=
            paragraph(QStringLiteral("Noch keine Rechnung: Pegel eingeben, „+“ oder „x“ drücken, den zweiten "
                                     "Pegel oder die Anzahl eingeben und „=“ drücken."));
        return s;
    }
    s +=
        paragraph(QStringLiteral("Keine Rechnung offen. Die beiden Rechenarten mit den Operanden der letzten "
                                 "Rechnung, Operand 1 = %1 und Operand 2 = %2:")
                      .arg(exactText(operand1, mark), exactText(operand2, mark)));
    s += QStringLiteral(
             "<p style=\"margin-left:24px\">„+“ (zwei Quellen mit %1 dB und %2 dB): %3</p>"
             "<p style=\"margin-left:24px\">„x“ (%2 Quellen mit je %1 dB): %4</p>")
             .arg(exactText(operand1, mark), exactText(operand2, mark),
                  keypadOperation(QStringLiteral("+"), operand1, operand2, mark),
                  keypadOperation(QStringLiteral("x"), operand1, operand2, mark));
    return s;
}

// --- whole pages -----------------------------------------------------------------

QString calculatorSections(const HelpSubject& subject, int level, bool worked)
{
    const QString& mark = subject.decimalMark;
    const CalculatorModel& first = *subject.models.front();
    const Handbook h = handbookOf(first, mark);
    QString s = paragraph(h.answers) + paragraph(h.forWhom);
    if (worked) {
        s += heading(level, QStringLiteral("Rechenweg mit den Zahlen des Fensters"),
                     QStringLiteral("rechenweg"));
        s += paragraph(
            QStringLiteral("Die Rechnung geht von den Texten aus, die jetzt in den Feldern stehen, und "
                           "liest sie so, wie das Fenster es tut, ohne sie zu ändern. Sie folgt jedem "
                           "Klick auf den Rechenknopf des Fensters und „Aktualisieren“."));
        for (std::size_t i = 0; i < subject.models.size(); ++i) {
            const CalculatorModel& m = *subject.models[i];
            if (subject.models.size() > 1)
                s += heading(
                    level + 1,
                    QStringLiteral("%1: %2 aus %3").arg(frameName(m), html(m.results.front().label), [&] {
                        QStringList in;
                        for (const InputQuantity& q : m.inputs)
                            in << html(q.symbolHtml);
                        return in.join(QStringLiteral(" und "));
                    }()));
            s += workedCalculation(
                m, i < subject.fieldTexts.size() ? subject.fieldTexts[i] : std::vector<QString>{}, mark);
        }
    }
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
    s += heading(level, QStringLiteral("Annahmen")) + h.assumptions;
    if (first.id == "frmDLprognose")
        s += isoSection(level, mark);
    s += heading(level, QStringLiteral("Grenzen"), QStringLiteral("grenzen")) + h.limits;
    s += paragraph(windowOnStop(first));
    s += heading(level, QStringLiteral("Zahlen lesen und schreiben")) + readingRules(subject.models, mark);
    return s;
}

QString keypadSections(const HelpSubject& subject, int level, bool worked)
{
    QString s = paragraph(QStringLiteral(
        "Ein Taschenrechner für Schallpegel mit den beiden Rechenarten der Dezibel-Rechnung: „+“ für den "
        "Gesamtpegel zweier Quellen, „x“ für den Pegel mehrerer gleich lauter Quellen. Für alle, die "
        "schnell Pegel zusammenfassen wollen, etwa mehrere Geräte in einem Raum."));
    if (worked) {
        s += heading(level, QStringLiteral("Rechenweg mit den aktuellen Operanden"),
                     QStringLiteral("rechenweg"));
        s += keypadWorked(subject.keypadState, subject.decimalMark);
    }
    return s + keypadHandbook(level, subject.decimalMark);
}

QString overview(const HelpSubject& subject)
{
    const QString& mark = subject.decimalMark;
    QString s = paragraph(QStringLiteral(
        "Orvella ist eine Sammlung bauphysikalischer Rechner. Das Hauptmenü öffnet fünf Rechner; jeder rechnet "
        "mit festen Formeln aus den Zahlen seiner Felder. Diese Übersicht beschreibt alle fünf. Im Fenster "
        "eines Rechners zeigt F1 (oder „Hilfe und Rechenweg“ im Kontextmenü, rechte Maustaste) dieselbe "
        "Beschreibung mit dem Rechenweg Ihrer eigenen Zahlen."));
    struct Entry {
        QString title;
        QString anchor;
        std::vector<const CalculatorModel*> models;
    };
    std::vector<Entry> entries{{QStringLiteral("dB Calculator"), QStringLiteral("keypad"), {}}};
    for (const CalculatorModel* m : subject.models) {
        const QString title = html(m->title);
        if (!entries.empty() && entries.back().title == title)
            entries.back().models.push_back(m);
        else
            entries.push_back({title, html(m->window), {m}});
    }
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
        s += e.models.empty() ? keypadSections(part, 3, false) : calculatorSections(part, 3, false);
    }
    return s;
}

}  // namespace

QString stoppedSentence(const CalculatorModel& model, const Evaluation& evaluation,
                        const QString& decimalMark)
{
    if (evaluation.ok)
        return {};
    const Sheet sheet(model, &evaluation, decimalMark);
    return QStringLiteral("Keine endliche Lösung: Die Rechnung bricht %1 ab, %2.")
        .arg(stoppedWhere(sheet, evaluation), reasonOf(model, evaluation, decimalMark));
}

QString helpPageBody(const HelpSubject& subject)
{
    switch (subject.kind) {
        case HelpSubject::Kind::Overview:
            return keepUnits(overview(subject));
        case HelpSubject::Kind::Keypad:
            return keepUnits(keypadSections(subject, 2, true));
        case HelpSubject::Kind::Calculator:
            break;
    }
    if (subject.models.empty())
        return {};
    return keepUnits(calculatorSections(subject, 2, true));
}

QString helpPageHtml(const HelpSubject& subject)
{
    const QString title = subject.kind == HelpSubject::Kind::Overview ? QStringLiteral("Orvella – Handbuch")
                                                                      : subject.title.toHtmlEscaped();
    return heading(1, title) + helpPageBody(subject);
}

}  // namespace orvella
