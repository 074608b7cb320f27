// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzdescription.h"

#include "nachhall.h"
#include "nachhallmodel.h"

#include <cmath>
#include <limits>

namespace orvella {

namespace {

using namespace raumbilanz;

// The rows listed one by one in the worked evaluation.
constexpr std::size_t kWorkedRows = 8;

std::string hz(int band) { return std::to_string(kBandHz[std::size_t(band)]); }

EvaluationOutcome evaluate(const EvaluationInput& input, std::string_view mark)
{
    const BalanceEvaluation e = evaluateBalance(balanceRowsOf(input), balanceParametersOf(input), mark);
    EvaluationOutcome out;
    out.results = balanceResults(e);
    for (const BandResult& b : e.bands)
        if (b.meanAlpha > 0.0)
            out.trace.push_back({"alpha" + std::to_string(b.hz), b.meanAlpha});
    for (const ResultValue& r : out.results)
        if (r.value)
            out.trace.push_back({r.quantity.key, *r.value});
    // The bounds are worked from T_soll as shown.
    if (const ResultValue* t = findResult(out.results, "tSoll"))
        if (const std::optional<double> shown = shownValue(*t))
            out.trace.push_back({"tSollShown", *shown});
    return out;
}

// The first rows with what each adds to A at 500 Hz.
void workedRows(const EvaluationInput& input, const EvaluationOutcome&, WorkedWriter& out)
{
    const std::vector<BalanceRowTexts> texts = balanceRowsOf(input);
    std::vector<std::pair<std::string, std::string>> rows;
    std::size_t summed = 0;
    for (const BalanceRowTexts& t : texts) {
        const BalanceRow row = readBalanceRow(t);
        if (row.use != BalanceUse::Surface && row.use != BalanceUse::Object)
            continue;
        if (++summed > kWorkedRows)
            continue;
        const double value = row.values[kMidLow];
        const std::string name = t.name.empty() ? "Zeile " + std::to_string(summed) : t.name;
        rows.emplace_back(out.shown(name),
                          row.use == BalanceUse::Surface
                              ? "S = " + out.exact(row.amount) + " m² · α<sub>500</sub> = " + out.exact(value) +
                                    " → " + out.rounded(row.amount * value) + " m²"
                              : "n = " + out.exact(row.amount) + " · A<sub>500</sub> = " + out.exact(value) +
                                    " m² → " + out.rounded(row.amount * value) + " m²");
    }
    if (summed == 0) {
        out.paragraph("Die Tabelle hat keine auswertbare Zeile; die Ergebnisse stehen als „" + std::string(kNoValue) +
                      "“. Sobald sie Flächen oder Objekte enthält, steht hier die Rechnung mit ihnen.");
        return;
    }
    out.paragraph("Was jede Zeile bei 500 Hz zur äquivalenten Absorptionsfläche beiträgt:");
    if (summed > kWorkedRows)
        rows.emplace_back("…", "insgesamt " + std::to_string(summed) + " Zeilen");
    out.table(rows);
}

Quantity quantity(std::string key, std::string symbol, std::string html, std::string label, std::string unit,
                  int decimals)
{
    return {std::move(key), std::move(symbol), std::move(html), std::move(label), std::move(unit), "", decimals};
}

EvaluationModel makeModel()
{
    EvaluationModel model;
    model.id = kRaumbilanzId;
    model.title = "Raumbilanz in Oktavbändern";
    model.ownerTitle = "Nachhallzeit DIN 18041";
    model.columns = {quantity("name", "Name", "Name", "Fläche oder Objekt", "", 0),
                     quantity("S", "S", "S", "Fläche (bei Flächen)", "m²", 2),
                     quantity("n", "n", "n", "Anzahl (bei Objekten)", "", 0)};
    for (int b = 0; b < kBands; ++b)
        model.columns.push_back(quantity("v" + hz(b), hz(b), hz(b) + " Hz",
                                         "α (Fläche) oder A je Stück in m² (Objekt) bei " + hz(b) + " Hz", "", 2));
    // The room as the calculator describes it.
    const CalculatorModel& calculator = nachhallModel();
    for (const char* key : {"group", "v", "h"})
        model.parameters.push_back(calculator.inputs[std::size_t(calculator.inputIndex(key))]);
    model.results = [] {
        std::vector<Quantity> q;
        for (const ResultValue& r : balanceResults(evaluateBalance({}, {}, ".")))
            q.push_back(r.quantity);
        return q;
    }();
    model.evaluate = evaluate;
    model.workedRows = workedRows;
    model.constants = {{"sabine", "", kSabine}, {"maxObject", "", kMaxObjectArea}};
    // The tolerance ratios by band: "lower125", "upper125", ...
    for (int b = 0; b < kBands; ++b) {
        model.constants.push_back({"lower" + hz(b), "", kTolerance.groupsA1toA4[std::size_t(b)].lower});
        model.constants.push_back({"upper" + hz(b), "", kTolerance.groupsA1toA4[std::size_t(b)].upper});
        model.constants.push_back({"sportLower" + hz(b), "", kTolerance.sport[std::size_t(b)].lower});
        model.constants.push_back({"sportUpper" + hz(b), "", kTolerance.sport[std::size_t(b)].upper});
    }
    model.steps.push_back({"tSollShown", "T<sub>soll</sub>", "s", "Soll-Nachhallzeit, wie gezeigt gerundet", ""});
    for (int b : {kMidLow, kMidHigh})
        model.steps.push_back({"alpha" + hz(b), "ᾱ<sub>" + hz(b) + "</sub>", "",
                               "mittlerer Absorptionsgrad A/S bei " + hz(b) + " Hz", ""});
    for (int b : {kMidLow, kMidHigh}) {
        const std::string f = hz(b);
        model.formulas.push_back({"A" + f, "Σ S<sub>i</sub> · α<sub>i," + f + "</sub> + Σ n<sub>j</sub> · A<sub>j," + f +
                                               "</sub>", {}, "Flächen und Objekte"});
        model.formulas.push_back({"TS" + f, "{c:sabine} · {i:v} / {s:A" + f + "}", {}, {}});
        model.formulas.push_back({"alpha" + f, "{s:A" + f + "} / {s:S}", {}, {}});
        model.formulas.push_back({"TE" + f, "{c:sabine} · {i:v} / (−{s:S} · ln(1 − {s:alpha" + f + "}))", {}, {}});
        model.formulas.push_back({"Tmax" + f, "{c:upper" + f + "} · {s:tSollShown}", {}, "Gruppe A"});
        model.formulas.push_back({"Tmin" + f, "{c:lower" + f + "} · {s:tSollShown}", {}, "Gruppe A"});
    }
    model.formulas.push_back({"Am", "({s:A500} + {s:A1000}) / 2", {}, "wie im Rechner"});
    model.formulas.push_back({"avm", "{s:Am} / {i:v}", {}, {}});
    model.formulas.push_back({"dAm", "{s:avSoll} · {i:v} − {s:Am}", {}, "Gruppe B; 0, wenn nichts fehlt"});
    model.guidance = {kTolerance.source, "",
                      {{"outside", 0.0, Bound::AtMost, "Oktavbänder außerhalb des Toleranzbereichs", false},
                       {"dAm", 0.0, Bound::AtMost, "ΔA<sub>m</sub> (Gruppe B)", false}}};

    model.handbook.answers =
        "Der Rechner prüft die Nachhallzeit nur im mittleren Frequenzbereich. Die Raumbilanz rechnet die "
        "äquivalente Absorptionsfläche A des Raums aus seinen Flächen und Objekten in den sechs Oktavbändern "
        "von 125 Hz bis 4000 Hz zusammen, daraus die Nachhallzeit nach Sabine und nach Eyring, und prüft sie "
        "gegen den Toleranzbereich nach " + std::string(kTolerance.source) +
        " um T<sub>soll</sub>: je Band das Urteil und die Absorptionsfläche, die fehlt oder zu viel ist. "
        "Raumgruppe, Raumvolumen V und Raumhöhe h kommen aus dem Rechner; „In den Rechner“ trägt das Mittel "
        "von A bei 500 und 1000 Hz als vorhandene Absorptionsfläche dort ein.";
    model.handbook.assumptions =
        "<ul><li>Sabine: T = {c:sabine} s/m · V / A. Eyring: T = {c:sabine} s/m · V / (−S · ln(1 − ᾱ)) mit "
        "ᾱ = A / S, S die Summe der Flächen; die Absorption der Objekte zählt in A mit, ihre Fläche nicht. "
        "Eyring gilt nur für ᾱ &lt; 1.</li>"
        "<li>Die Luftabsorption ist nicht berücksichtigt; in großen Räumen verkürzt sie T bei 2000 und "
        "4000 Hz.</li>"
        "<li>Bewertet wird die Nachhallzeit nach Sabine, wie im Rechner; Eyring steht zum Vergleich da.</li>"
        "<li>T<sub>soll</sub> und das geforderte A/V rechnet der Rechner aus Raumgruppe, V und h.</li></ul>";
    model.handbook.sections = {
        {"Die Tabelle",
         "<p>Eine Zeile je Fläche oder Objekt: ein Name, dann <b>entweder</b> die Fläche S in m² und je "
         "Oktavband der Absorptionsgrad α (0 bis 1), <b>oder</b> die Anzahl n und je Oktavband die äquivalente "
         "Absorptionsfläche eines Stücks in m² (0 bis {c:maxObject} m²), etwa für Stühle oder Personen. Zahlen "
         "werden mit Komma oder Punkt gelesen.</p>"
         "<ul><li>Tippen ersetzt die Zelle, F2 oder Doppelklick bearbeitet sie, Eingabe geht eine Zeile "
         "tiefer, Entf leert die markierten Zellen. In der letzten, leeren Zeile beginnt eine neue.</li>"
         "<li>Strg+V fügt Zeilen aus einer Tabellenkalkulation ein (Tabulator oder Semikolon zwischen den "
         "Zellen, Dezimalkomma oder -punkt, eine Kopfzeile wird übersprungen), ab der aktuellen Zelle; Strg+C "
         "kopiert die markierten Zellen.</li>"
         "<li>„CSV speichern…“ (Strg+S) schreibt Tabelle und Ergebnisse; „CSV öffnen…“ (Strg+O) liest die "
         "Zeilen aus einer hier gespeicherten oder einer von einer Tabellenkalkulation geschriebenen CSV-Datei "
         "und ersetzt mit ihnen die Tabelle.</li>"
         "<li>Strg+Umschalt+C kopiert die Ergebnisse, „Bericht als PDF…“ (Strg+P) schreibt einen Bericht auf "
         "A4.</li></ul>"
         "<p>Eine Zelle, die keine Zahl ist oder außerhalb ihres Bereichs liegt, eine fehlende Zahl oder eine "
         "Zeile mit Fläche und Anzahl zugleich wird rot markiert; die Zeile bleibt stehen, wird aber nicht "
         "gezählt, und die Spalte „Hinweis“ sagt, warum. Eine Zeile mit nur einem Namen ist ein Kommentar.</p>"},
        {"Verfahren",
         "<p><b>Je Oktavband</b> A = Σ S · α + Σ n · A<sub>Stück</sub>, daraus T nach Sabine und nach "
         "Eyring.</p>"
         "<p><b>Gruppe A1 bis A4:</b> T nach Sabine muss je Band zwischen den Grenzen T/T<sub>soll</sub> "
         "liegen: bei 125 Hz {c:lower125} bis {c:upper125}, von 250 bis 2000 Hz {c:lower500} bis "
         "{c:upper500}, bei 4000 Hz {c:lower4000} bis {c:upper4000}. <b>A5 (Sport):</b> {c:sportLower500} bis "
         "{c:sportUpper500} von 250 bis 2000 Hz; 125 und 4000 Hz ohne Anforderung. Die Grenzen werden aus "
         "T<sub>soll</sub> gerechnet, wie der Rechner es zeigt, und wie T mit zwei Nachkommastellen "
         "verglichen.</p>"
         "<p><b>Fehlend oder zu viel:</b> liegt T über der oberen Grenze T<sub>max</sub>, fehlt "
         "ΔA = {c:sabine} s/m · V / T<sub>max</sub> − A; liegt es unter der unteren T<sub>min</sub>, ist "
         "{c:sabine} s/m · V / T<sub>min</sub> − A negativ: so viel Absorptionsfläche ist zu viel. Im "
         "Toleranzbereich ist ΔA = 0.</p>"
         "<p><b>Gruppe B</b> hat keine Soll-Nachhallzeit: T steht je Band da, bewertet wird wie im Rechner "
         "das Verhältnis A/V mit A<sub>m</sub>, dem Mittel von A bei 500 und 1000 Hz; fehlt Absorption, steht "
         "sie als ΔA<sub>m</sub> da.</p>"},
        {"Das Diagramm",
         "<p>T nach Sabine und nach Eyring über der Frequenz (logarithmisch geteilt), für Gruppe A dazu "
         "T<sub>soll</sub> und der Toleranzbereich; Bänder außerhalb sind rot markiert.</p>"},
    };
    model.handbook.limits =
        "<p>Ohne Raumgruppe, ohne Raumvolumen V &gt; 0 oder mit einem Volumen außerhalb des Bereichs der "
        "Gruppe gibt es keine Bewertung; die Nachhallzeiten stehen da, sobald V bekannt ist. Ein Band ohne "
        "Absorptionsfläche hat keine endliche Nachhallzeit. Eyring braucht Flächen und ᾱ &lt; 1. Ein "
        "Ergebnis ohne Wert steht als „" + std::string(kNoValue) + "“, mit einem Satz, warum.</p>";
    return model;
}

}  // namespace

std::vector<ResultValue> balanceResults(const BalanceEvaluation& evaluation)
{
    std::vector<ResultValue> results = evaluation.summary;
    for (const BandResult& b : evaluation.bands)
        for (const ResultValue* r : {&b.area, &b.sabine, &b.eyring, &b.lower, &b.upper, &b.delta})
            results.push_back(*r);
    return results;
}

EvaluationInput raumbilanzInput(const std::vector<BalanceRowTexts>& rows, const BalanceParameters& parameters)
{
    EvaluationInput input;
    input.cells.reserve(rows.size());
    for (const BalanceRowTexts& r : rows) {
        std::vector<std::string> cells{r.name, r.area, r.count};
        cells.insert(cells.end(), r.bands.begin(), r.bands.end());
        input.cells.push_back(std::move(cells));
    }
    input.parameters = {parameters.group, parameters.volume, parameters.height};
    return input;
}

std::vector<BalanceRowTexts> balanceRowsOf(const EvaluationInput& input)
{
    std::vector<BalanceRowTexts> rows;
    rows.reserve(input.cells.size());
    for (const auto& cells : input.cells) {
        const auto cell = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string(); };
        BalanceRowTexts r{cell(kNameColumn), cell(kAreaColumn), cell(kCountColumn), {}};
        for (int b = 0; b < kBands; ++b)
            r.bands[std::size_t(b)] = cell(std::size_t(kFirstBandColumn + b));
        rows.push_back(std::move(r));
    }
    return rows;
}

BalanceParameters balanceParametersOf(const EvaluationInput& input)
{
    const auto p = [&input](std::size_t i) { return i < input.parameters.size() ? input.parameters[i] : std::nullopt; };
    return {p(0), p(1), p(2)};
}

const EvaluationModel& raumbilanzModel()
{
    static const EvaluationModel model = makeModel();
    return model;
}

}  // namespace orvella
