// SPDX-License-Identifier: GPL-3.0-or-later
#include "iso3382description.h"

#include "iso3382.h"
#include "iso3382eval.h"

#include <string>

namespace orvella {

namespace {

using namespace iso3382;

constexpr const char* kMinus = "\xE2\x88\x92";  // U+2212

EvaluationOutcome evaluate(const EvaluationInput& input, std::string_view mark)
{
    // The evaluation reads and marks the cells' texts itself.
    std::vector<PositionTexts> rows;
    rows.reserve(input.cells.size());
    for (const auto& row : input.cells) {
        const auto cell = [&row](std::size_t i) { return i < row.size() ? row[i] : std::string(); };
        rows.push_back({cell(0), cell(1), cell(2), cell(3)});
    }
    const Iso3382Evaluation e = evaluateIso3382(rows, mark);
    EvaluationOutcome out;
    if (e.speechLevelLine) {
        out.trace.push_back({"aL", e.speechLevelLine->slope});
        out.trace.push_back({"bL", e.speechLevelLine->intercept});
    }
    if (e.stiLine) {
        out.trace.push_back({"aS", e.stiLine->slope});
        out.trace.push_back({"bS", e.stiLine->intercept});
    }
    for (const ResultValue& r : e.results)
        if (r.value)
            out.trace.push_back({r.quantity.key, *r.value});
    out.results = e.results;
    return out;
}

Quantity quantity(const char* key, const char* symbol, const char* html, const char* label, const char* unit,
                  int decimals)
{
    return {key, symbol, html, label, unit, "", decimals};
}

EvaluationModel makeModel()
{
    const std::string m = kMinus;
    const int d = kResultDecimals;
    EvaluationModel model;
    model.id = kIso3382Id;
    model.title = "Messauswertung ISO 3382-3";
    model.ownerTitle = "Großraumbüro DL2 Prognose";
    model.columns = {quantity("r", "r", "r", "Entfernung zur Quelle", "m", d),
                     quantity("LpAS", "Lp,A,S", "L<sub>p,A,S</sub>", "A-bewerteter Sprachschalldruckpegel", "dB", d),
                     quantity("STI", "STI", "STI", "Sprachübertragungsindex (wahlweise)", "", kStiDecimals),
                     quantity("LpAB", "Lp,A,B", "L<sub>p,A,B</sub>", "Hintergrundgeräuschpegel (wahlweise)", "dB", d)};
    // The results as the evaluation lists them.
    for (const ResultValue& r : evaluateIso3382({}, ".").results)
        model.results.push_back(r.quantity);
    model.evaluate = evaluate;
    model.constants = {{"from", "", kMinDistanceM},       {"to", "", kMaxDistanceM},
                       {"positions", "", double(kMinPositions)}, {"comfort", "", kComfortLevelDb},
                       {"distraction", "", kDistractionSti}, {"privacy", "", kPrivacySti},
                       {"reference", "", kReferenceDistanceM}, {"levelLimit", "", kLevelLimitDb}};
    // The bounds of the propagation levels: "decay1", "level1", ...
    for (const PropagationLevel& p : kPropagationLevels) {
        model.constants.push_back({"decay" + std::to_string(p.level), "", p.minDecayDb});
        model.constants.push_back({"level" + std::to_string(p.level), "", p.maxLevelAt4mDb});
    }
    model.steps = {{"aL", "a<sub>L</sub>", "dB", "Steigung der Ausgleichsgeraden des Pegels über log<sub>2</sub>(r / 1 m)", ""},
                   {"bL", "b<sub>L</sub>", "dB", "ihr Wert bei r = 1 m", ""},
                   {"aS", "a<sub>S</sub>", "1/m", "Steigung der Ausgleichsgeraden des STI über r", ""},
                   {"bS", "b<sub>S</sub>", "", "ihr Wert bei r = 0 m", ""}};
    model.formulas = {
        {"D2S", m + "{s:aL}", {}, "die Pegelabnahme pro Abstandsverdopplung"},
        {"Lp4m", "{s:bL} + {s:aL} · log<sub>2</sub>({c:reference})", {}, "der Wert der Geraden bei {c:reference} m"},
        {"rC", "{c:reference} m · 2<sup>({s:Lp4m} " + m + " {c:comfort}) / {s:D2S}</sup>", {},
         "wo die Gerade {c:comfort} dB erreicht; nur für D<sub>2,S</sub> &gt; 0"},
        {"rD", "({c:distraction} " + m + " {s:bS}) / {s:aS}", {}, "wo der STI {c:distraction} erreicht"},
        {"rP", "({c:privacy} " + m + " {s:bS}) / {s:aS}", {}, "wo der STI {c:privacy} erreicht"},
    };
    model.guidance = {"ISO 3382-3", "für ein gutes Großraumbüro",
                      {{"D2S", kGoodDecayDb, Bound::AtLeast, "D<sub>2,S</sub>", false},
                       {"Lp4m", kGoodLevelAt4mDb, Bound::AtMost, "L<sub>p,A,S,4m</sub>", false},
                       {"rD", kGoodDistractionDistanceM, Bound::AtMost, "r<sub>D</sub>", false}}};
    model.handbook.answers =
        "Die Prognose schätzt, wie Sprache in einem Großraumbüro über die Entfernung abnimmt, bevor es gebaut "
        "ist. Ist das Büro eingerichtet, wird gemessen: ein Lautsprecher mit Sprachspektrum steht an einem "
        "Arbeitsplatz, und an 4 bis 10 Arbeitsplätzen entlang einer Linie werden der A-bewertete "
        "Sprachschalldruckpegel L<sub>p,A,S</sub>, der Sprachübertragungsindex STI und der "
        "Hintergrundgeräuschpegel L<sub>p,A,B</sub> bestimmt. Dieses Fenster wertet solche Messreihen nach "
        "ISO 3382-3 aus und zeigt sie neben der Prognose des Rechners.";
    model.handbook.sections = {
        {"Die Tabelle",
         "<p>Eine Zeile je Position: die Entfernung r zur Quelle in m, L<sub>p,A,S</sub> in dB, STI (0 bis 1) "
         "und L<sub>p,A,B</sub> in dB; STI und L<sub>p,A,B</sub> dürfen leer bleiben. Zahlen werden mit Komma "
         "oder Punkt gelesen.</p>"
         "<ul><li>Tippen ersetzt die Zelle, F2 oder Doppelklick bearbeitet sie, Entf leert die markierten "
         "Zellen. In der letzten, leeren Zeile beginnt eine neue Position.</li>"
         "<li>Strg+Plus fügt eine Zeile ein, Strg+Minus löscht die markierten Zeilen.</li>"
         "<li>Strg+V fügt Zeilen aus einer Tabellenkalkulation ein (Tabulator oder Semikolon zwischen den "
         "Zellen, Dezimalkomma oder -punkt, eine Kopfzeile wird übersprungen), ab der aktuellen Zelle; Strg+C "
         "kopiert die markierten Zellen.</li>"
         "<li>„CSV öffnen…“ (Strg+O) und „CSV speichern…“ (Strg+S) lesen und schreiben die Tabelle; unter "
         "deutschen Einstellungen mit Semikolon und Dezimalkomma, sonst mit Komma und Punkt.</li>"
         "<li>Strg+Umschalt+C kopiert die Ergebnisse und die Bewertung, „Bericht als PDF…“ (Strg+P) schreibt "
         "einen Bericht auf A4.</li></ul>"
         "<p>Eine Zelle, die keine Zahl ist, eine Entfernung r ≤ 0, ein STI außerhalb von 0 bis 1 oder ein "
         "Pegel jenseits von ±{c:levelLimit} dB wird rot markiert; ihre Zeile bleibt stehen, wird aber nicht "
         "ausgewertet, und die Spalte „Hinweis“ sagt, warum.</p>"},
        {"Verfahren",
         "<p><b>Positionen.</b> In die Regressionen gehen die Positionen mit {c:from} m ≤ r ≤ {c:to} m ein; die "
         "übrigen werden grau gezeigt, mit dem Hinweis, warum sie nicht eingehen. Jede Regression braucht "
         "mindestens {c:positions} solcher Positionen; mit weniger zeigt jedes ihrer Ergebnisse „–“ und einen "
         "Satz, warum.</p>"
         "<p><b>D<sub>2,S</sub> und L<sub>p,A,S,4m</sub>.</b> Durch die Wertepaare (log<sub>2</sub>(r / 1 m); "
         "L<sub>p,A,S</sub>) wird die Ausgleichsgerade nach der Methode der kleinsten Quadrate gelegt. "
         "D<sub>2,S</sub> ist ihre Steigung mit umgekehrtem Vorzeichen, die Pegelabnahme pro "
         "Abstandsverdopplung in dB; L<sub>p,A,S,4m</sub> ist ihr Wert bei r = {c:reference} m.</p>"
         "<p><b>Komfortabstand r<sub>C</sub></b> (Ausgabe 2022): der Abstand, in dem die Gerade {c:comfort} dB "
         "erreicht. Für D<sub>2,S</sub> ≤ 0 nimmt der Pegel nicht ab; r<sub>C</sub> ist dann nicht "
         "bestimmbar.</p>"
         "<p><b>Ablenkungsabstand r<sub>D</sub> und Vertraulichkeitsabstand r<sub>P</sub>.</b> Durch die "
         "Wertepaare (r; STI) der Positionen im Bereich, die einen STI haben, wird eine zweite Ausgleichsgerade "
         "gelegt – über r selbst, nicht über seinen Logarithmus. r<sub>D</sub> ist der Abstand, in dem sie "
         "STI = {c:distraction} erreicht, r<sub>P</sub> der, in dem sie STI = {c:privacy} erreicht. Auch diese "
         "Gerade braucht mindestens {c:positions} Positionen; steigt sie oder ist sie waagerecht, sind beide "
         "Abstände nicht bestimmbar.</p>"
         "<p><b>Extrapoliert.</b> Liegt ein Abstand (oder {c:reference} m für L<sub>p,A,S,4m</sub>) außerhalb "
         "der Entfernungen, die in seine Gerade eingingen, steht beim Ergebnis „extrapoliert“.</p>"
         "<p><b>Hintergrundpegel L<sub>p,A,B</sub>:</b> das energetische Mittel der angegebenen Werte, "
         "10 · lg(Mittelwert von 10<sup>L/10</sup>), über alle auswertbaren Zeilen.</p>"
         "<p><b>Rundung.</b> Abstände in m, Pegel und D<sub>2,S</sub> in dB werden mit einer Nachkommastelle "
         "gezeigt, wie die Rechner ihre Ergebnisse schreiben: gerundet (eine genaue Hälfte zur geraden Ziffer) "
         "und ohne Nullen am Ende, der STI mit zwei. Die Bewertung vergleicht den gezeigten Wert mit dem "
         "Richtwert.</p>"},
        {"Ausbreitungsstufe nach VDI 2569",
         "<p>Neben der Bewertung nach ISO 3382-3 steht, welche Ausbreitungsstufe der gemessene Pfad nach " +
             std::string(kPropagationSource) +
             " erreicht: Stufe 1 mit D<sub>2,S</sub> ≥ {c:decay1} dB und L<sub>p,A,S,4m</sub> ≤ {c:level1} dB, "
             "Stufe 2 mit D<sub>2,S</sub> ≥ {c:decay2} dB und L<sub>p,A,S,4m</sub> ≤ {c:level2} dB, Stufe 3 mit "
             "D<sub>2,S</sub> ≥ {c:decay3} dB und L<sub>p,A,S,4m</sub> ≤ {c:level3} dB. Erreicht der Pfad keine, "
             "steht „keine Stufe“; fehlt D<sub>2,S</sub> oder L<sub>p,A,S,4m</sub>, „nicht bestimmbar“. Wie bei "
             "den Richtwerten werden die gezeigten, gerundeten Werte verglichen.</p>"
             "<p>Das ist die Stufe eines einzelnen Messpfads, keine Klasse des Büros: die Büroklasse nach VDI 2569 "
             "braucht mehrere Messpfade, die Nachhallzeit und den Hintergrundgeräuschpegel und wird nicht aus "
             "einem Pfad bewertet.</p>"},
        {"Das Diagramm",
         "<p>Oben L<sub>p,A,S</sub> über der Entfernung (logarithmisch geteilt): die Messpunkte, die "
         "Ausgleichsgerade (gestrichelt, wo sie über die Messpunkte hinaus verlängert ist), die Linie bei "
         "{c:comfort} dB mit r<sub>C</sub> und die Prognose L<sub>r</sub>(R) mit den jetzigen Eingaben des "
         "Rechners. Unten der STI mit seiner Ausgleichsgeraden und den Linien bei {c:distraction} und "
         "{c:privacy} mit r<sub>D</sub> und r<sub>P</sub>. Positionen außerhalb des Bereichs sind grau.</p>"},
    };
    model.handbook.limits =
        "<ul><li>Die Auswertung setzt voraus, dass die Messung der Norm folgt: Quelle mit genormtem "
        "Sprachspektrum, Positionen entlang einer Linie von Arbeitsplätzen, Pegel und STI je Position richtig "
        "bestimmt. Sie prüft nur, ob die Zahlen lesbar und plausibel sind.</li>"
        "<li>Mit wenigen Positionen oder großer Streuung sind die Geraden unsicher; das Fenster gibt kein "
        "Vertrauensintervall an. Extrapolierte Abstände sind mit Vorsicht zu lesen.</li>"
        "<li>Liegen alle Positionen in derselben Entfernung, ist keine Gerade bestimmt.</li>"
        "<li>Die Prognose im Diagramm rechnet mit den Eingaben des Rechners, wie sie gerade in seinen Feldern "
        "stehen; sie ist eine Schätzung, keine zweite Messung.</li></ul>";
    return model;
}

}  // namespace

EvaluationInput iso3382Input(const std::vector<PositionTexts>& rows)
{
    EvaluationInput input;
    input.cells.reserve(rows.size());
    for (const PositionTexts& p : rows)
        input.cells.push_back({p.distance, p.speechLevel, p.sti, p.background});
    return input;
}

std::vector<PositionTexts> positionsOf(const EvaluationInput& input, std::size_t most)
{
    std::vector<PositionTexts> rows;
    for (const std::vector<std::string>& cells : input.cells) {
        if (rows.size() >= most)
            break;
        const auto cell = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string(); };
        rows.push_back({cell(0), cell(1), cell(2), cell(3)});
    }
    return rows;
}

const EvaluationModel& iso3382Model()
{
    static const EvaluationModel model = makeModel();
    return model;
}

}  // namespace orvella
