// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellisthelp.h"

#include "checked.h"
#include "keypad.h"
#include "levellisttext.h"
#include "numbers.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

constexpr std::string_view kMinus = "\xE2\x88\x92";  // U+2212

class Writer {
public:
    explicit Writer(std::string_view mark) : mark_(mark) {}

    // A number with `decimals` as the window writes it, a minus sign for "-".
    std::string fixed(double v, int decimals) const
    {
        try {
            return minus(FormatResult(v, decimals, mark_));
        } catch (const ArithmeticError&) {
            return std::string(kNoValue);
        }
    }
    // An intermediate value: six significant digits.
    std::string value(double v) const
    {
        if (v == 0.0 || !std::isfinite(v))
            return fixed(v, 0);
        const int magnitude = int(std::floor(std::log10(std::fabs(v))));
        return fixed(v, std::clamp(5 - magnitude, 0, 12));
    }
    // A level of the list with every digit it has.
    std::string level(double v) const { return minus(levelText(v, mark_)); }
    // A level as a term of a sum: negative ones in parentheses.
    std::string term(double v) const { return v < 0 ? "(" + level(v) + ")" : level(v); }
    // The factor of the exponent, 0.1.
    std::string tenth() const { return fixed(kEnergyExponentPerDb, 1); }
    std::string result(const ResultValue& r) const { return minus(valueText(r, mark_)); }

private:
    static std::string minus(std::string s)
    {
        if (!s.empty() && s.front() == '-')
            s.replace(0, 1, kMinus);
        return s;
    }
    std::string mark_;
};

std::string p(const std::string& html) { return "<p>" + html + "</p>"; }
std::string formula(const std::string& html) { return "<p style=\"margin-left:24px\">" + html + "</p>"; }
std::string h2(const std::string& text) { return "<h2>" + text + "</h2>"; }

const ResultValue& resultOf(const std::vector<ResultValue>& results, std::string_view key)
{
    return *findResult(results, key);
}

// "60, 62,5, … dB": the first levels, then how many there are.
std::string levelsShown(std::span<const double> levels, const Writer& w)
{
    std::string s;
    const std::size_t shown = std::min(levels.size(), kWorkedLevels);
    for (std::size_t i = 0; i < shown; ++i)
        s += (i ? "; " : "") + w.level(levels[i]);
    if (levels.size() > shown)
        s += "; …";
    return s + " dB";
}

// Σ over the first levels of `term`, "+ …" for the rest.
template <class Term>
std::string sumOf(std::span<const double> levels, Term&& term)
{
    std::string s;
    const std::size_t shown = std::min(levels.size(), kWorkedLevels);
    for (std::size_t i = 0; i < shown; ++i)
        s += (i ? " + " : "") + term(levels[i]);
    if (levels.size() > shown)
        s += " + …";
    return s;
}

std::string intro(const Writer& w)
{
    return "<h1>Pegelliste – dB Calculator</h1>" +
           p("Die Pegelliste fasst eine ganze Spalte von Schallpegeln zusammen, etwa die Pegel an "
             "mehreren Messpunkten oder die Pegel mehrerer Maschinen: energetische Summe und "
             "energetischer Mittelwert, arithmetischer Mittelwert und Streuung, kleinster und größter "
             "Pegel, und wahlweise die Korrektur jedes Pegels um das Fremdgeräusch. Sie gehört zum "
             "dB Calculator, schließt mit ihm und kann ein Ergebnis in seine Anzeige tippen.") +
           h2("Eingabe") +
           p("Je Zeile ein Pegel in dB, mit Dezimalkomma oder Dezimalpunkt, dazu wahlweise ein Name. "
             "Ein Pegel in der leeren letzten Zeile wird angefügt; Entf löscht die markierten "
             "Zeilen. <b>Strg+V</b> fügt jede Zahl des eingefügten Textes am Ende der Liste an, in "
             "beiden Schreibweisen, Einheiten und Wörter werden übergangen (aus „60,5 dB; 62.5 dBA“ "
             "werden " + w.level(60.5) + " und " + w.level(62.5) + "). Steht in einer Zeile genau eine Zahl, wird der Text davor ihr "
             "Name („Lüfter: 65 dB“). Enthalten die meisten Zeilen gleich viele, mindestens zwei Zahlen "
             "(„Pos 3: 61,05 dB(A)“), ist der Text eine Tabelle: Sie wählen die Spalte mit den Pegeln "
             "(vorgeschlagen ist die letzte), und nur sie wird angefügt, jeder Pegel mit dem Text davor "
             "als Name; Zeilen mit anderer Anzahl Zahlen werden übersprungen. Die Liste fasst höchstens " +
             w.fixed(double(kMaxLevels), 0) + " Pegel. Die Ergebnisse werden nach jeder Änderung neu berechnet. "
             "<b>Strg+Umschalt+C</b> („Kopieren“) legt Ergebnisse und Liste, wie sie zu sehen sind, "
             "als Tabelle in die Zwischenablage; „CSV speichern…“ schreibt sie in eine Datei, unter "
             "deutschen Einstellungen mit Semikolon und Dezimalkomma.");
}

std::string formulas(const Writer& w)
{
    const auto row = [](const std::string& symbol, const std::string& f, const std::string& meaning) {
        return "<tr><td>" + symbol + "</td><td>" + f + "</td><td>" + meaning + "</td></tr>";
    };
    const std::string energy = "10<sup>" + w.tenth() + " · L<sub>i</sub></sup>";
    std::string s = h2("Formeln") +
                    "<table cellspacing=\"0\" cellpadding=\"4\" border=\"1\" style=\"border-color:#c0c0c0; "
                    "border-collapse:collapse\">"
                    "<tr><th>Größe</th><th>Formel</th><th>Bedeutung</th></tr>" +
                    row("n", "", "Anzahl der Pegel L<sub>1</sub> … L<sub>n</sub>") +
                    row("L<sub>Σ</sub>", "10 · lg Σ " + energy + " dB",
                        "energetische Summe: der Pegel aller Quellen zusammen (inkohärent)") +
                    row("L<sub>m</sub>", "10 · lg((1/n) · Σ " + energy + ") = L<sub>Σ</sub> " +
                                             std::string(kMinus) + " 10 · lg n",
                        "energetischer Mittelwert: der Pegel eines gleichmäßigen Geräuschs mit derselben "
                        "Energie") +
                    row("L<sub>arith</sub>", "(1/n) · Σ L<sub>i</sub>", "arithmetischer Mittelwert") +
                    row("s", "√(Σ (L<sub>i</sub> " + std::string(kMinus) + " L<sub>arith</sub>)² / (n " +
                                 std::string(kMinus) + " 1))",
                        "Standardabweichung der Pegel als Stichprobe, ab zwei Pegeln") +
                    row("L<sub>min</sub>, L<sub>max</sub>", "", "kleinster und größter Pegel") +
                    row("L<sub>Σ</sub> " + std::string(kMinus) + " L<sub>max</sub>", "",
                        "wie viel die übrigen Pegel zum größten beitragen") +
                    "</table>";
    s += p("lg ist der Zehnerlogarithmus; die Potenz ist 10 hoch dem Produkt aus " + w.tenth() +
           " und dem Pegel, wie beim „+“ des dB Calculators. Gerechnet wird mit dem größten Pegel vor der "
           "Klammer, L<sub>Σ</sub> = L<sub>max</sub> + 10 · lg Σ 10<sup>" + w.tenth() + " · (L<sub>i</sub> " +
           std::string(kMinus) +
           " L<sub>max</sub>)</sup>: jeder Summand liegt dann zwischen 0 und 1, so bleibt die Summe "
           "auch für sehr viele oder sehr hohe Pegel im Zahlenbereich, und das Ergebnis ist dasselbe.");
    s += h2("Zwei Nachkommastellen") +
         p("Die Regeln des dB Calculators geben für eine Liste keine Stellen vor (seine Taste „=“ rundet "
           "auf eine Stelle). Die Pegelliste schreibt jedes Ergebnis mit zwei Nachkommastellen, bei "
           "genau halber Stelle zur geraden Ziffer gerundet, ohne Nullen am Ende und mit dem "
           "Dezimalzeichen Ihrer Ländereinstellungen. Gerechnet wird mit den ungerundeten Werten; "
           "„In den Rechner“ tippt ein Ergebnis so, wie es hier steht.");
    return s;
}

std::string backgroundRule(const Writer& w)
{
    const std::string m(kMinus);
    return h2("Fremdgeräusch") +
           p("Ist das Fremdgeräusch L<sub>B</sub> eingetragen (der Pegel bei abgeschalteter Quelle), "
             "wird jeder Pegel nach der üblichen Regel von ISO 3744 und ISO 10140-4 korrigiert:") +
           formula("ΔL = L<sub>i</sub> " + m + " L<sub>B</sub>, &nbsp; K<sub>1</sub> = " + m +
                   "10 · lg(1 " + m + " 10<sup>" + m + w.tenth() + " · ΔL</sup>) dB, &nbsp; L<sub>i</sub>′ = L<sub>i</sub> " + m +
                   " K<sub>1</sub>") +
           "<ul><li>ΔL &gt; " + w.fixed(kNoCorrectionAboveDb, 1) +
           " dB: „keine Korrektur nötig“, K<sub>1</sub> = 0.</li>"
           "<li>" + w.fixed(kMeasurementLimitDb, 1) + " dB &lt; ΔL ≤ " + w.fixed(kNoCorrectionAboveDb, 1) +
           " dB: „korrigiert“ mit K<sub>1</sub> nach der Formel.</li>"
           "<li>ΔL ≤ " + w.fixed(kMeasurementLimitDb, 1) + " dB: „Grenze der Messung“: K<sub>1</sub> = " +
           w.fixed(kLimitCorrectionDb, 1) +
           " dB, der korrigierte Pegel ist nur eine obere Grenze des Pegels der Quelle.</li></ul>" +
           p("Die Grenzen vergleichen das ungerundete ΔL. Mit L<sub>B</sub> stehen alle Ergebnisse auch "
             "für die korrigierten Pegel da; ist ein Pegel nur eine obere Grenze, sind es Summe, "
             "Mittelwerte und Extremwerte auch.") +
           h2("Grenzen") +
           p("Pegel über ±" + w.fixed(kLevelListLimitDb, 0) +
             " dB gehen in die energetischen Ergebnisse nicht ein und werden nicht korrigiert: ihre "
             "Energien liegen weit außerhalb alles Messbaren. Ein Ergebnis, das sich nicht bestimmen "
             "lässt, steht als „" + std::string(kNoValue) +
             "“, mit einem Satz, warum; die anderen bleiben. Eine leere Liste hat keine Ergebnisse.");
}

std::string workedStatistics(std::span<const double> levels, const std::vector<ResultValue>& results,
                             const Writer& w)
{
    const std::string m(kMinus);
    const ResultValue& sum = resultOf(results, "sum");
    const ResultValue& mean = resultOf(results, "mean");
    const ResultValue& arithmetic = resultOf(results, "arithmetic");
    const ResultValue& stddev = resultOf(results, "stddev");
    const ResultValue& min = resultOf(results, "min");
    const ResultValue& max = resultOf(results, "max");
    const ResultValue& others = resultOf(results, "sumMinusMax");
    const std::string n = std::to_string(levels.size());
    const auto why = [](const ResultValue& r) { return r.note.empty() ? std::string() : " – " + r.note; };

    std::string s;
    if (sum.value && mean.value && max.value) {
        const double lmax = *max.value;
        double factor = 0.0;
        for (const double l : levels)
            factor += std::pow(10.0, kEnergyPerDb * (l - lmax));
        s += formula("S = Σ 10<sup>" + w.tenth() + " · (L<sub>i</sub> " + m + " L<sub>max</sub>)</sup> = " +
                     sumOf(levels,
                           [&](double l) {
                               return "10<sup>" + w.tenth() + " · (" + w.level(l) + " " + m + " " + w.term(lmax) + ")</sup>";
                           }) +
                     " = " + w.value(factor));
        s += formula("L<sub>Σ</sub> = L<sub>max</sub> + 10 · lg S = " + w.level(lmax) + " + 10 · lg " +
                     w.value(factor) + " = " + w.value(*sum.value) + " dB → <b>" + w.result(sum) + " dB</b>");
        s += formula("L<sub>m</sub> = L<sub>max</sub> + 10 · lg(S / n) = " + w.level(lmax) + " + 10 · lg(" +
                     w.value(factor) + " / " + n + ") = " + w.value(*mean.value) + " dB → <b>" + w.result(mean) +
                     " dB</b>");
        if (others.value)
            s += formula("L<sub>Σ</sub> " + m + " L<sub>max</sub> = " + w.value(*sum.value) + " " + m + " " +
                         w.term(lmax) + " = " + w.value(*others.value) + " dB → <b>" + w.result(others) +
                         " dB</b>");
    } else {
        s += p("L<sub>Σ</sub> und L<sub>m</sub>: " + std::string(kNoValue) + why(sum));
    }
    if (arithmetic.value) {
        double total = 0.0;
        for (const double l : levels)
            total += l;
        s += formula("L<sub>arith</sub> = (" + sumOf(levels, [&](double l) { return w.term(l); }) + ") / " + n +
                     " = " + w.value(total) + " / " + n + " = " + w.value(*arithmetic.value) + " dB → <b>" +
                     w.result(arithmetic) + " dB</b>");
    } else {
        s += p("L<sub>arith</sub>: " + std::string(kNoValue) + why(arithmetic));
    }
    if (stddev.value && arithmetic.value) {
        double squares = 0.0;
        for (const double l : levels)
            squares += (l - *arithmetic.value) * (l - *arithmetic.value);
        s += formula("s = √(Σ (L<sub>i</sub> " + m + " " + w.value(*arithmetic.value) + ")² / (" + n + " " + m +
                     " 1)) = √(" + w.value(squares) + " / " + std::to_string(levels.size() - 1) +
                     ") = " + w.value(*stddev.value) + " dB → <b>" + w.result(stddev) + " dB</b>");
    } else {
        s += p("s: " + std::string(kNoValue) + why(stddev));
    }
    if (min.value && max.value)
        s += formula("L<sub>min</sub> = <b>" + w.result(min) + " dB</b>, &nbsp; L<sub>max</sub> = <b>" +
                     w.result(max) + " dB</b>");
    return s;
}

std::string workedBackground(const LevelListEvaluation& e, const Writer& w)
{
    const std::string m(kMinus);
    std::string s = p("Fremdgeräusch L<sub>B</sub> = " + w.level(*e.backgroundDb) + " dB.");
    if (!e.backgroundNote.empty())
        return s + p(e.backgroundNote);
    s += "<table cellspacing=\"0\" cellpadding=\"4\" border=\"1\" style=\"border-color:#c0c0c0; "
         "border-collapse:collapse\"><tr><th>L<sub>i</sub></th><th>ΔL = L<sub>i</sub> " +
         m + " L<sub>B</sub></th><th>Regel</th><th>K<sub>1</sub></th><th>L<sub>i</sub>′</th></tr>";
    const std::size_t shown = std::min(e.corrections.size(), kWorkedLevels);
    for (std::size_t i = 0; i < shown; ++i) {
        const BackgroundCorrection& c = e.corrections[i];
        std::string k1 = w.fixed(c.k1Db, kLevelListDecimals) + " dB";
        if (c.flag == BackgroundFlag::Corrected)
            k1 = m + "10 · lg(1 " + m + " 10<sup>" + m + w.tenth() + " · " + w.value(c.deltaDb) + "</sup>) = " +
                 w.value(c.k1Db) + " dB";
        const std::string delta =
            c.flag == BackgroundFlag::NotCorrected
                ? std::string(kNoValue)
                : w.level(c.levelDb) + " " + m + " " + w.term(*e.backgroundDb) + " = " + w.value(c.deltaDb) + " dB";
        std::string corrected = w.fixed(c.correctedDb, kLevelListDecimals) + " dB";
        if (c.upperBound())
            corrected = "≤ " + corrected;
        s += "<tr><td>" + w.level(c.levelDb) + " dB</td><td>" + delta + "</td><td>" + backgroundFlagText(c.flag) +
             "</td><td>" + k1 + "</td><td>" + corrected + "</td></tr>";
    }
    if (e.corrections.size() > shown)
        s += "<tr><td colspan=\"5\">… (insgesamt " + std::to_string(e.corrections.size()) + " Pegel)</td></tr>";
    s += "</table>";
    if (e.correctedResults.empty())
        return s;
    std::string list;
    for (const char* key : {"sum", "mean", "arithmetic", "min", "max"}) {
        const ResultValue& r = resultOf(e.correctedResults, key);
        list += (list.empty() ? "" : ", ") + r.quantity.symbolHtml + "′ = " + w.result(r) + " dB";
    }
    s += p("Mit den korrigierten Pegeln L<sub>i</sub>′ gerechnet wie oben: " + list + ".");
    const ResultValue& sum = resultOf(e.correctedResults, "sum");
    if (!sum.note.empty())
        s += p(sum.note);
    return s;
}

}  // namespace

std::string levelListHelpPage(std::span<const double> levels, const LevelListEvaluation& evaluation,
                              std::string_view decimalMark)
{
    const Writer w(decimalMark);
    std::string page = intro(w) + formulas(w) + backgroundRule(w) + h2("Rechenweg mit Ihren Zahlen");
    if (levels.empty())
        return page + p("Die Liste ist leer, alle Ergebnisse stehen als „" + std::string(kNoValue) +
                        "“. Sobald sie Pegel enthält, steht hier die Rechnung mit ihnen.");
    page += p("Die Liste enthält n = " + std::to_string(levels.size()) + " Pegel: " + levelsShown(levels, w) + ".");
    page += workedStatistics(levels, evaluation.results, w);
    if (evaluation.backgroundDb)
        page += workedBackground(evaluation, w);
    return page;
}

}  // namespace orvella
