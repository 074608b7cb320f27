// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistdescription.h"

#include "keypad.h"
#include "levellist.h"
#include "levellisttext.h"

#include <algorithm>

namespace orvella {

namespace {

constexpr const char* kMinus = "\xE2\x88\x92";  // U+2212

std::vector<double> levelsOf(const EvaluationInput& input)
{
    std::vector<double> levels;
    levels.reserve(input.rows.size());
    for (const auto& row : input.rows)
        if (!row.empty() && row.front())
            levels.push_back(*row.front());
    return levels;
}

std::optional<double> backgroundOf(const EvaluationInput& input)
{
    return input.parameters.empty() ? std::nullopt : input.parameters.front();
}

// The corrected levels' results under their own keys ("sum" → "sumB"), after
// the results of the levels as given.
constexpr const char* kCorrected[] = {"sum", "mean", "arithmetic", "min", "max"};

EvaluationOutcome evaluate(const EvaluationInput& input, std::string_view)
{
    const std::vector<double> levels = levelsOf(input);
    LevelListEvaluation e = evaluateLevelList(levels, backgroundOf(input));
    EvaluationOutcome out;
    out.trace = std::move(e.trace);
    for (const ResultValue& r : e.results)
        if (r.value)
            out.trace.push_back({r.quantity.key, *r.value});
    out.results = std::move(e.results);
    for (const char* key : kCorrected) {
        ResultValue r;
        r.quantity = levelListModel().results[std::size_t(levelListModel().resultIndex(std::string(key) + "B"))];
        if (const ResultValue* c = findResult(e.correctedResults, key)) {
            r.value = c->value;
            r.note = c->note;
        } else if (!e.backgroundNote.empty()) {
            r.note = e.backgroundNote;
        }
        out.results.push_back(std::move(r));
    }
    return out;
}

// The levels of the list, then with a background level each one's
// correction, for the first kWorkedLevels rows.
void workedRows(const EvaluationInput& input, const EvaluationOutcome&, WorkedWriter& out)
{
    const std::vector<double> levels = levelsOf(input);
    if (levels.empty()) {
        out.paragraph("Die Liste ist leer, alle Ergebnisse stehen als „" + std::string(kNoValue) +
                      "“. Sobald sie Pegel enthält, steht hier die Rechnung mit ihnen.");
        return;
    }
    const std::size_t shown = std::min(levels.size(), kWorkedLevels);
    std::string list;
    for (std::size_t i = 0; i < shown; ++i)
        list += (i ? "; " : "") + out.exact(levels[i]);
    if (levels.size() > shown)
        list += "; …";
    out.paragraph("Die Liste enthält n = " + std::to_string(levels.size()) + " Pegel: " + list + " dB.");
    const std::optional<double> background = backgroundOf(input);
    if (!background)
        return;
    out.paragraph("Fremdgeräusch L<sub>B</sub> = " + out.exact(*background) + " dB.");
    std::vector<std::pair<std::string, std::string>> rows;
    rows.emplace_back("L<sub>i</sub>", std::string("ΔL = L<sub>i</sub> ") + kMinus + " L<sub>B</sub> · Regel · K<sub>1</sub> · L<sub>i</sub>′");
    for (std::size_t i = 0; i < shown; ++i) {
        // The list's own correction of the level, as the window applies it.
        const BackgroundCorrection c = correctForBackground(levels[i], *background);
        if (c.flag == BackgroundFlag::NotCorrected) {
            rows.emplace_back(out.exact(c.levelDb) + " dB", backgroundFlagText(c.flag));
            continue;
        }
        std::string corrected = out.rounded(c.correctedDb) + " dB";
        if (c.upperBound())
            corrected = "≤ " + corrected;
        rows.emplace_back(out.exact(c.levelDb) + " dB",
                          "ΔL = " + out.rounded(c.deltaDb) + " dB · " + backgroundFlagText(c.flag) +
                              " · K<sub>1</sub> = " + out.rounded(c.k1Db) + " dB · " + corrected);
    }
    if (levels.size() > shown)
        rows.emplace_back("…", "insgesamt " + std::to_string(levels.size()) + " Pegel");
    out.table(rows);
}

Quantity level(const char* key, const char* symbol, const char* html, const char* label)
{
    return {key, symbol, html, label, "dB", "", kLevelListDecimals};
}

EvaluationModel makeModel()
{
    const std::string m = kMinus;
    EvaluationModel d;
    d.id = kLevelListId;
    d.title = "Pegelliste";
    d.ownerTitle = "dB Calculator";
    // A row's name is shown and copied, not evaluated.
    d.columns = {level("L", "Li", "L<sub>i</sub>", "Pegel")};
    d.parameters = {level("LB", "LB", "L<sub>B</sub>", "Fremdgeräusch (wahlweise)")};
    // The results as the evaluation lists them, then those of the corrected
    // levels under their own keys.
    for (const ResultValue& r : evaluateLevelList({}).results)
        d.results.push_back(r.quantity);
    for (const char* key : kCorrected) {
        Quantity q = d.results[std::size_t(d.resultIndex(key))];
        q.key += "B";
        q.symbol += "′";
        q.symbolHtml += "′";
        q.label += " (korrigiert)";
        d.results.push_back(q);
    }
    d.evaluate = evaluate;
    d.workedRows = workedRows;
    d.constants = {{"tenth", "", kEnergyExponentPerDb},
                   {"noCorrection", "", kNoCorrectionAboveDb},
                   {"limit", "", kMeasurementLimitDb},
                   {"limitK1", "", kLimitCorrectionDb},
                   {"range", "", kLevelListLimitDb},
                   {"maxLevels", "", double(kMaxLevels)}};
    d.steps = {{"S", "S", "", "Summe der Energieverhältnisse zum größten Pegel", ""},
               {"total", "Σ L<sub>i</sub>", "dB", "Summe der Pegel", ""},
               {"squares", "Q", "dB²", "Summe der Abweichungsquadrate", ""}};
    d.formulas = {
        {"S", "Σ 10<sup>{c:tenth} · (L<sub>i</sub> " + m + " {s:max})</sup>", {},
         "jeder Summand zwischen 0 und 1"},
        {"sum", "{s:max} + 10 · lg {s:S}", {}, "der Pegel aller Quellen zusammen (inkohärent)"},
        {"mean", "{s:max} + 10 · lg({s:S} / {s:n})", {},
         "der Pegel eines gleichmäßigen Geräuschs mit derselben Energie"},
        {"sumMinusMax", "{s:sum} " + m + " {s:max}", {}, "wie viel die übrigen Pegel zum größten beitragen"},
        {"total", "L<sub>1</sub> + … + L<sub>n</sub>", {}, ""},
        {"arithmetic", "{s:total} / {s:n}", {}, ""},
        {"squares", "Σ (L<sub>i</sub> " + m + " {s:arithmetic})²", {}, ""},
        {"stddev", "√({s:squares} / ({s:n} " + m + " 1))", {}, "als Stichprobe, ab zwei Pegeln"},
    };
    d.handbook.answers =
        "Die Pegelliste fasst eine ganze Spalte von Schallpegeln zusammen, etwa die Pegel an mehreren "
        "Messpunkten oder die Pegel mehrerer Maschinen: energetische Summe und energetischer Mittelwert, "
        "arithmetischer Mittelwert und Streuung, kleinster und größter Pegel, und wahlweise die Korrektur "
        "jedes Pegels um das Fremdgeräusch. Sie gehört zum dB Calculator, schließt mit ihm und kann ein "
        "Ergebnis in seine Anzeige tippen.";
    d.handbook.sections = {
        {"Eingabe",
         "<p>Je Zeile ein Pegel in dB, mit Dezimalkomma oder Dezimalpunkt, dazu wahlweise ein Name. Ein Pegel "
         "in der leeren letzten Zeile wird angefügt; Entf löscht die markierten Zeilen. <b>Strg+V</b> fügt "
         "jede Zahl des eingefügten Textes am Ende der Liste an, in beiden Schreibweisen, Einheiten und Wörter "
         "werden übergangen (aus „60,5 dB; 62.5 dBA“ werden {k:60.5} und {k:62.5}). Steht in einer Zeile genau "
         "eine Zahl, wird der Text davor ihr Name („Lüfter: 65 dB“). Enthalten die meisten Zeilen gleich "
         "viele, mindestens zwei Zahlen („Pos 3: 61,05 dB(A)“), ist der Text eine Tabelle: Sie wählen die "
         "Spalte mit den Pegeln (vorgeschlagen ist die letzte), und nur sie wird angefügt, jeder Pegel mit dem "
         "Text davor als Name; Zeilen mit anderer Anzahl Zahlen werden übersprungen. Die Liste fasst höchstens "
         "{c:maxLevels} Pegel. Die Ergebnisse werden nach jeder Änderung neu berechnet. "
         "<b>Strg+Umschalt+C</b> („Kopieren“) legt Ergebnisse und Liste, wie sie zu sehen sind, als Tabelle "
         "in die Zwischenablage; „CSV speichern…“ schreibt sie in eine Datei, unter deutschen Einstellungen "
         "mit Semikolon und Dezimalkomma.</p>"},
        {"Energetisch gerechnet",
         "<p>lg ist der Zehnerlogarithmus; die Potenz ist 10 hoch dem Produkt aus {c:tenth} und dem Pegel, "
         "wie beim „+“ des dB Calculators. Gerechnet wird mit dem größten Pegel vor der Klammer, "
         "L<sub>Σ</sub> = L<sub>max</sub> + 10 · lg Σ 10<sup>{c:tenth} · (L<sub>i</sub> " + m +
             " L<sub>max</sub>)</sup>: jeder Summand liegt dann zwischen 0 und 1, so bleibt die Summe auch "
             "für sehr viele oder sehr hohe Pegel im Zahlenbereich, und das Ergebnis ist dasselbe.</p>"},
        {"Zwei Nachkommastellen",
         "<p>Die Regeln des dB Calculators geben für eine Liste keine Stellen vor (seine Taste „=“ rundet auf "
         "eine Stelle). Die Pegelliste schreibt jedes Ergebnis mit zwei Nachkommastellen, bei genau halber "
         "Stelle zur geraden Ziffer gerundet, ohne Nullen am Ende und mit dem Dezimalzeichen Ihrer "
         "Ländereinstellungen. Gerechnet wird mit den ungerundeten Werten; „In den Rechner“ tippt ein "
         "Ergebnis so, wie es hier steht.</p>"},
        {"Fremdgeräusch",
         "<p>Ist das Fremdgeräusch L<sub>B</sub> eingetragen (der Pegel bei abgeschalteter Quelle), wird jeder "
         "Pegel nach der üblichen Regel von ISO 3744 und ISO 10140-4 korrigiert:</p>"
         "<p style=\"margin-left:24px\">ΔL = L<sub>i</sub> " + m + " L<sub>B</sub>, &nbsp; K<sub>1</sub> = " + m +
             "10 · lg(1 " + m + " 10<sup>" + m + "{c:tenth} · ΔL</sup>) dB, &nbsp; L<sub>i</sub>′ = "
             "L<sub>i</sub> " + m + " K<sub>1</sub></p>"
             "<ul><li>ΔL &gt; {c:noCorrection} dB: „keine Korrektur nötig“, K<sub>1</sub> = 0.</li>"
             "<li>{c:limit} dB &lt; ΔL ≤ {c:noCorrection} dB: „korrigiert“ mit K<sub>1</sub> nach der "
             "Formel.</li><li>ΔL ≤ {c:limit} dB: „Grenze der Messung“: K<sub>1</sub> = {c:limitK1} dB, der "
             "korrigierte Pegel ist nur eine obere Grenze des Pegels der Quelle.</li></ul>"
             "<p>Die Grenzen vergleichen das ungerundete ΔL. Mit L<sub>B</sub> stehen alle Ergebnisse auch für "
             "die korrigierten Pegel da; ist ein Pegel nur eine obere Grenze, sind es Summe, Mittelwerte und "
             "Extremwerte auch.</p>"},
    };
    d.handbook.limits =
        "<p>Pegel über ±{c:range} dB gehen in die energetischen Ergebnisse nicht ein und werden nicht "
        "korrigiert: ihre Energien liegen weit außerhalb alles Messbaren. Ein Ergebnis, das sich nicht "
        "bestimmen lässt, steht als „" + std::string(kNoValue) + "“, mit einem Satz, warum; die anderen "
        "bleiben. Eine leere Liste hat keine Ergebnisse.</p>";
    return d;
}

}  // namespace

const EvaluationModel& levelListModel()
{
    static const EvaluationModel model = makeModel();
    return model;
}

}  // namespace orvella
