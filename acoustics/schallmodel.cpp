// SPDX-License-Identifier: GPL-3.0-or-later
#include "schallmodel.h"

#include "schall.h"

namespace orvella {

namespace {

constexpr StudyRange kDistanceRange{1.0, 32.0, Spacing::Logarithmic};

std::vector<double> computePower(const std::vector<double>& in, Trace* trace)
{
    return {soundPowerLevel(in[0], in[1], trace)};
}

std::vector<double> computePressure(const std::vector<double>& in, Trace* trace)
{
    return {soundPressureLevel(in[0], in[1], trace)};
}

// Both halves share what the help says about the converter.

Handbook converterHandbook()
{
    Handbook h;
    h.answers =
        "Der Rechner rechnet zwischen dem Schallleistungspegel L<sub>W</sub> einer Schallquelle und dem "
        "Schalldruckpegel L<sub>p</sub> im Abstand r von ihr um, in beide Richtungen: links (Rahmen "
        "„Schallleistungspegel“) aus L<sub>p</sub> und r den Schallleistungspegel, rechts (Rahmen "
        "„Schalldruckpegel“) aus L<sub>W</sub> und r den Schalldruckpegel. Die beiden Hälften sind "
        "unabhängig: jeder Knopf liest nur die zwei Felder seines Rahmens und schreibt nur sein eigenes "
        "Ergebnisfeld.";
    h.forWhom =
        "Für Planer und Gutachter, die aus der Schallleistung eines Geräts (etwa einer Herstellerangabe) "
        "den Pegel in einem Abstand abschätzen oder aus einem gemessenen Schalldruckpegel auf die "
        "Schallleistung zurückschließen.";
    h.assumptions =
        "<ul><li>Punktförmige Quelle im freien Schallfeld: die Schallleistung verteilt sich gleichmäßig "
        "über eine Kugel mit der Oberfläche S = 4 · π · r<sup>2</sup>. Daher "
        "L<sub>W</sub> = L<sub>p</sub> + 10 · lg S.</li>"
        "<li>Reflexionen, Richtwirkung, Luftdämpfung und Hindernisse gehen nicht ein. Steht die Quelle "
        "auf einer schallharten Fläche oder in einem Raum, ist der tatsächliche Schalldruckpegel höher "
        "als hier berechnet.</li>"
        "<li>S wird in m² eingesetzt, also auf 1 m² bezogen; lg ist der Zehnerlogarithmus, berechnet "
        "als ln x / ln 10.</li>"
        "<li>π wird, wie seit jeher in diesem Rechner, als {c:pi} gerechnet. Ergebnisse, die genau "
        "auf einer Rundungsgrenze liegen, können daher um {k:0.01} dB von einer Rechnung mit dem "
        "vollen π abweichen.</li></ul>";
    h.limits =
        "<p>Keine endliche Antwort gibt es für den Abstand 0 – auch ein leeres Abstandsfeld oder ein Text "
        "ohne Zahl am Anfang zählt als 0 –, weil der Logarithmus von 0 nicht definiert ist; ebenso für "
        "eine Zahl, die zu groß zum Lesen ist (etwa 1E999), und für so große Abstände oder Pegel, dass "
        "ein Zwischenwert den Zahlenbereich verlässt. Ein negativer Abstand ist kein Fehler: r<sup>2</sup> "
        "zählt ihn wie seinen Betrag.</p>";
    // The message box of frmschall.cpp and what its buttons do.
    h.onStop = std::string("Das Fenster zeigt dann die Meldung „") + kSchallErrorMessage + "“ (Titel „" +
               kSchallErrorTitle +
               "“) mit den Knöpfen Abbrechen, Wiederholen und Ignorieren: "
               "Abbrechen beendet die Rechnung, und das Ergebnisfeld behält seinen Text; Wiederholen "
               "versucht den gescheiterten Schritt noch einmal (und meldet denselben Fehler wieder); "
               "Ignorieren rechnet mit 0 für den fehlenden Wert weiter – bei einem Abstand von 0 steht "
               "danach „0“ im Ergebnisfeld.";
    return h;
}

NamedNumber pi() { return {"pi", "π", kConverterPi}; }

std::vector<StepInfo> converterSteps()
{
    return {
        {"area", "S", "m²", "Kugelfläche im Abstand r (in m², bezogen auf 1 m²)",
         "bei der Kugelfläche S = 4 · π · r<sup>2</sup>"},
        {"spreading", "ΔL", "dB", "Unterschied zwischen Schallleistungs- und Schalldruckpegel",
         "beim Logarithmus ΔL = 10 · lg S"},
        {"Lw", "", "", "", "bei der Summe L<sub>W</sub> = ΔL + L<sub>p</sub>"},
        {"Lp", "", "", "", "bei der Differenz L<sub>p</sub> = L<sub>W</sub> − ΔL"},
    };
}

std::vector<StopReason> converterStops()
{
    return {{"spreading",
             {ArithmeticFault::InvalidOperation},
             "weil der Abstand r 0 m ist (so liest sich auch ein leeres Feld oder ein "
             "Text ohne Zahl am Anfang) und der Logarithmus von 0 nicht definiert ist"}};
}

// 4·π·r² and 10·lg of it, as sphereSpreadingDb computes them.
std::vector<FormulaLine> spreadingLines()
{
    return {
        {"area", "4 · {c:pi} · {i:r}<sup>2</sup>", {pi()}, "mit π = {c:pi}"},
        {"spreading", "10 · lg {s:area}", {}, {}},
    };
}

std::vector<FormulaLine> powerLines(const Evaluation*)
{
    std::vector<FormulaLine> lines = spreadingLines();
    lines.push_back({"Lw", "{s:spreading} + {i:Lp}", {}, {}});
    return lines;
}

std::vector<FormulaLine> pressureLines(const Evaluation*)
{
    std::vector<FormulaLine> lines = spreadingLines();
    lines.push_back({"Lp", "{i:Lw} − {s:spreading}", {}, {}});
    return lines;
}

}  // namespace

const CalculatorModel& schallPowerModel()
{
    static const CalculatorModel model{
        .id = "frmSchall.l",
        .window = "frmSchall",
        .title = "Schallleistung - Schalldruck",
        .part = "Schallleistungspegel",
        .calculateButton = "cmdRun_l",
        .calculateCaption = "Schallleistungspegel" + std::string(8, ' ') + "[dB]",
        .resultsCommaFix = true,
        .inputs =
            {
                makeInput("Lp", "Lp", "L<sub>p</sub>", "Schalldruckpegel", "dB", "txPegel_l",
                          {30.0, 110.0, Spacing::Linear}),
                makeInput("r", "r", "r", "Abstand", "m", "txAbstand_l", kDistanceRange),
            },
        .results = {makeResult("Lw", "Lw", "L<sub>W</sub>", "Schallleistungspegel", "dB", "txLeistug_l", 2)},
        .compute = computePower,
        .handbook = converterHandbook(),
        .constants = {pi()},
        .steps = converterSteps(),
        .formulas = powerLines,
        .stopReasons = converterStops(),
    };
    return model;
}

const CalculatorModel& schallPressureModel()
{
    static const CalculatorModel model{
        .id = "frmSchall.p",
        .window = "frmSchall",
        .title = "Schallleistung - Schalldruck",
        .part = "Schalldruckpegel",
        .calculateButton = "cmdRun_p",
        .calculateCaption = "Schalldruckpegel" + std::string(17, ' ') + "[dB]",
        .resultsCommaFix = true,
        .inputs =
            {
                makeInput("Lw", "Lw", "L<sub>W</sub>", "Schallleistungspegel", "dB", "txLeistug_p",
                          {40.0, 120.0, Spacing::Linear}),
                makeInput("r", "r", "r", "Abstand", "m", "txAbstand_p", kDistanceRange),
            },
        .results = {makeResult("Lp", "Lp", "L<sub>p</sub>", "Schalldruckpegel", "dB", "txPegel_p", 2)},
        .compute = computePressure,
        .handbook = converterHandbook(),
        .constants = {pi()},
        .steps = converterSteps(),
        .formulas = pressureLines,
        .stopReasons = converterStops(),
    };
    return model;
}

}  // namespace orvella
