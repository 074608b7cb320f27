// SPDX-License-Identifier: GPL-3.0-or-later
#include "nachhallmodel.h"

#include "nachhall.h"
#include "raumbilanzdescription.h"

#include <cmath>

namespace orvella {

namespace {

constexpr char kCaption[] = "Berechnen";

// An input with the text its window starts with.
InputQuantity startingWith(InputQuantity q, std::string text)
{
    q.initial = std::move(text);
    return q;
}

std::vector<double> computeNachhall(const std::vector<double>& in, Trace* trace)
{
    const ReverberationResult r = computeReverberation({in[0], in[1], in[2], in[3]}, trace);
    return {r.tSoll, r.avSoll, r.aErf, r.t, r.deltaA, double(static_cast<int>(r.verdict))};
}

Handbook nachhallHandbook()
{
    Handbook h;
    h.answers =
        "Wie lang darf ein Raum nachhallen, und wie viel Absorption braucht er dafür? Für Räume der "
        "Gruppe A (A1 Musik bis A5 Sport) nennt der Rechner die Soll-Nachhallzeit T<sub>soll</sub> "
        "nach DIN 18041:2016, für Räume der Gruppe B (B2 bis B5) das geforderte Verhältnis A/V der "
        "äquivalenten Absorptionsfläche zum Raumvolumen. Daraus folgen nach Sabine die erforderliche "
        "Absorptionsfläche A<sub>erf</sub>, die Nachhallzeit T mit der vorhandenen Absorptionsfläche A, "
        "die Fläche ΔA, die noch fehlt, und das Urteil. Die Anforderung steht in beiden Formen da: "
        "für Gruppe A auch als A/V = {c:sabine} s/m / T<sub>soll</sub>, für Gruppe B auch als längste "
        "Nachhallzeit T<sub>soll</sub> = {c:sabine} s/m / (A/V).";
    h.forWhom =
        "Für Planer von Klassenräumen, Besprechungsräumen, Büros und Sporthallen: um zu sehen, ob ein "
        "Raum die Anforderung im mittleren Frequenzbereich erfüllt und wie viel Absorption noch fehlt.";
    h.assumptions =
        "<ul><li>Alle Werte gelten für die mittleren Frequenzen (Mittel der Oktaven {k:500} Hz und "
        "{k:1000} Hz); den Toleranzbereich über die Frequenz prüft die Raumbilanz in Oktavbändern (F3).</li>"
        "<li>Nachhallzeit nach Sabine: T = {c:sabine} s/m · V / A, im diffusen Schallfeld.</li>"
        "<li>Gruppe A: T<sub>soll</sub> = m · lg(V/m³) + b, je Gruppe in ihrem Volumenbereich; A5 "
        "ab {c:sportFrom} m³ konstant {c:sportTime} s. A<sub>erf</sub> = {c:sabine} s/m · V / "
        "T<sub>soll</sub>.</li>"
        "<li>Gruppe B: A/V ≥ fester Wert bis h = {c:lowHeight} m, darüber A/V ≥ 1 / (a + "
        "{c:heightSlope} · lg(h/m)); beide Äste treffen sich bei {c:lowHeight} m. A<sub>erf</sub> = "
        "A/V · V. B1 stellt keine Anforderung. Die Raumhöhe h wird nur für Gruppe B gebraucht.</li>"
        "<li>ΔA = A<sub>erf</sub> − A, wenn A kleiner ist, sonst 0; das Urteil lautet „erfüllt“, wenn "
        "nichts fehlt.</li></ul>";
    h.sections.push_back(
        {"Raumgruppen",
         "<table cellpadding=\"2\"><tr><th align=\"left\">Gruppe</th><th align=\"left\">Anforderung</th>"
         "<th align=\"left\">gilt für</th></tr>"
         "<tr><td>A1 Musik</td><td>{k:0.45} · lg V + {k:0.07} s</td><td>{k:30} ≤ V &lt; {k:1000} m³</td></tr>"
         "<tr><td>A2 Sprache/Vortrag</td><td>{k:0.37} · lg V − {k:0.14} s</td><td>{k:50} ≤ V &lt; {k:5000} m³</td></tr>"
         "<tr><td>A3 Unterricht/Kommunikation</td><td>{k:0.32} · lg V − {k:0.17} s</td><td>{k:30} ≤ V &lt; {k:5000} m³</td></tr>"
         "<tr><td>A4 Unterricht/Kommunikation inklusiv</td><td>{k:0.26} · lg V − {k:0.14} s</td><td>{k:30} ≤ V &lt; {k:500} m³</td></tr>"
         "<tr><td>A5 Sport</td><td>{k:0.75} · lg V − {k:1} s; ab {k:10000} m³ {k:2} s</td><td>V ≥ {k:200} m³</td></tr>"
         "<tr><td>B1</td><td>keine Anforderung</td><td></td></tr>"
         "<tr><td>B2</td><td>A/V ≥ {k:0.15} m⁻¹ bzw. 1 / ({k:4.8} + {k:4.69} · lg h)</td><td rowspan=\"4\">h ≤ {k:2.5} m bzw. h &gt; {k:2.5} m</td></tr>"
         "<tr><td>B3</td><td>A/V ≥ {k:0.2} m⁻¹ bzw. 1 / ({k:3.13} + {k:4.69} · lg h)</td></tr>"
         "<tr><td>B4</td><td>A/V ≥ {k:0.25} m⁻¹ bzw. 1 / ({k:2.13} + {k:4.69} · lg h)</td></tr>"
         "<tr><td>B5</td><td>A/V ≥ {k:0.3} m⁻¹ bzw. 1 / ({k:1.47} + {k:4.69} · lg h)</td></tr></table>"});
    h.limits =
        "<p>Keinen Wert gibt es, wenn das Raumvolumen außerhalb des Bereichs der gewählten Gruppe liegt "
        "(die Norm nennt dort keinen Sollwert), wenn ein Raum der Gruppe B kein Volumen oder keine Höhe "
        "größer als 0 hat, und wenn die vorhandene Absorptionsfläche A nicht größer als 0 m² ist (die "
        "Nachhallzeit wäre unendlich). Ein leeres Feld oder ein Text ohne Zahl zählt als 0. B1 stellt "
        "keine Anforderung: A/V ist 0, und T<sub>soll</sub> zeigt „–“.</p>";
    h.onStop = frameStopBehaviour(kCaption);
    return h;
}

int groupOf(const Evaluation* e)
{
    if (!e || e->inputs.empty())
        return 0;
    const double g = std::round(e->inputs[0]);
    return g >= 1.0 && g <= kRoomGroupCount ? int(g) : 0;
}

std::vector<FormulaLine> nachhallLines(const Evaluation* evaluation)
{
    const int group = groupOf(evaluation);
    const double volume = evaluation && evaluation->inputs.size() > 1 ? evaluation->inputs[1] : 0.0;
    const double height = evaluation && evaluation->inputs.size() > 2 ? evaluation->inputs[2] : 0.0;
    std::vector<FormulaLine> lines;
    const bool all = group == 0;
    if (all || group <= static_cast<int>(RoomGroup::A5)) {
        lines.push_back({"lgV", "ln {i:v} / ln 10", {}, {}});
        if (!all && group == static_cast<int>(RoomGroup::A5) && volume >= kSportConstantFrom) {
            lines.push_back({"tSoll", "{c:sportTime}", {}, "A5 ab {c:sportFrom} m³"});
        } else {
            const TargetLine line = all ? TargetLine{0, 0, 0, 0} : kTargetLines[std::size_t(group - 1)];
            const bool minus = line.offset < 0.0;
            lines.push_back({"tSoll",
                             minus ? "{c:slope} · {s:lgV} − {c:offset}" : "{c:slope} · {s:lgV} + {c:offset}",
                             {{"slope", all ? "m" : "", line.slope}, {"offset", all ? "b" : "", std::fabs(line.offset)}},
                             all ? "m und b nach der Raumgruppe (Abschnitt „Raumgruppen“)" : ""});
        }
        lines.push_back({"avSoll", "{c:sabine} / {s:tSoll}", {}, "das A/V, das T<sub>soll</sub> ergibt"});
        lines.push_back({"aErf", "{c:sabine} · {i:v} / {s:tSoll}", {}, {}});
    }
    if (all || group > static_cast<int>(RoomGroup::B1)) {
        const AbsorptionRatio ratio =
            all ? AbsorptionRatio{0, 0} : kAbsorptionRatios[std::size_t(group - static_cast<int>(RoomGroup::B2))];
        if (all || height <= kLowRoomHeight)
            lines.push_back({"avSoll", "{c:low}", {{"low", all ? "(A/V)<sub>0</sub>" : "", ratio.low}},
                             "für h ≤ {c:lowHeight} m"});
        if (all || height > kLowRoomHeight) {
            lines.push_back({"lgH", "ln {i:h} / ln 10", {}, {}});
            lines.push_back({"avSoll", "1 / ({c:a} + {c:heightSlope} · {s:lgH})", {{"a", all ? "a" : "", ratio.a}},
                             "für h &gt; {c:lowHeight} m"});
        }
        lines.push_back({"tSoll", "{c:sabine} / {s:avSoll}", {}, "die längste Nachhallzeit, die A/V erlaubt"});
        lines.push_back({"aErf", "{s:avSoll} · {i:v}", {}, {}});
    }
    lines.push_back({"t", "{c:sabine} · {i:v} / {i:a}", {}, "nach Sabine"});
    const bool met = evaluation && evaluation->ok && evaluation->results.size() > 4 && evaluation->results[4] == 0.0;
    if (met)
        lines.push_back({"deltaA", "0", {}, "A ≥ A<sub>erf</sub>: es fehlt nichts"});
    else
        lines.push_back({"deltaA", "{s:aErf} − {i:a}", {}, "0, wenn A ≥ A<sub>erf</sub>"});
    return lines;
}

}  // namespace

const CalculatorModel& nachhallModel()
{
    static const CalculatorModel model{
        .id = "frmNachhall",
        .window = "frmNachhall",
        .title = "Nachhallzeit DIN 18041",
        .calculateButton = "cmdRunNachhall",
        .calculateCaption = kCaption,
        .inputs =
            {
                startingWith(makeChoice("group", "", "Raumgruppe", "txGruppe",
                           {"A1 Musik", "A2 Sprache/Vortrag", "A3 Unterricht/Kommunikation",
                            "A4 Unterricht/Kommunikation inklusiv", "A5 Sport", "B1 ohne Anforderung",
                            "B2 kurzzeitiger Aufenthalt", "B3 längerfristiger Aufenthalt",
                            "B4 Lärmminderung und Raumkomfort", "B5 besonderer Bedarf an Lärmminderung"}),
                             "A3 Unterricht/Kommunikation"),
                startingWith(makeInput("v", "V", "V", "Raumvolumen", "m³", "txVolumen",
                                       {30.0, 5000.0, Spacing::Logarithmic}),
                             "180"),
                startingWith(makeInput("h", "h", "h", "Lichte Raumhöhe", "m", "txHoehe", {2.0, 8.0, Spacing::Linear}),
                             "3"),
                startingWith(makeInput("a", "A", "A", "Vorhandene Absorptionsfläche (500–1000 Hz)", "m²",
                                       "txAbsorption", {5.0, 200.0, Spacing::Linear}),
                             "40"),
            },
        .results =
            {
                makeResult("tSoll", "Tsoll", "T<sub>soll</sub>", "Soll-Nachhallzeit", "s", "txTsoll", 3),
                makeResult("avSoll", "A/V", "A/V", "Gefordertes Verhältnis A/V", "m⁻¹", "txAV", 4),
                makeResult("aErf", "Aerf", "A<sub>erf</sub>", "Erforderliche Absorptionsfläche", "m²", "txAerf", 1),
                makeResult("t", "T", "T", "Vorhandene Nachhallzeit", "s", "txT", 3),
                makeResult("deltaA", "ΔA", "ΔA", "Fehlende Absorptionsfläche", "m²", "txDeltaA", 1),
                [] {
                    Quantity q = makeResult("verdict", "Urteil", "", "Urteil", "", "txUrteil", 0);
                    q.choices = {"erfüllt", "nicht erfüllt", "keine Anforderung"};
                    return q;
                }(),
            },
        .compute = computeNachhall,
        .handbook = nachhallHandbook(),
        .constants =
            {
                {"sabine", "", kSabine},
                {"sportFrom", "", kSportConstantFrom},
                {"sportTime", "", kSportConstantTime},
                {"lowHeight", "", kLowRoomHeight},
                {"heightSlope", "", kHeightSlope},
            },
        .steps =
            {
                {"group", "", "", "Raumgruppe", "beim Lesen der Raumgruppe"},
                {"volume", "", "", "Volumenbereich der Gruppe", "bei der Prüfung des Raumvolumens"},
                {"lgV", "lg V", "", "Logarithmus des Raumvolumens", "beim Logarithmus lg V"},
                {"tSoll", "", "", "", "bei T<sub>soll</sub>"},
                {"lgH", "lg h", "", "Logarithmus der Raumhöhe", "beim Logarithmus lg h"},
                {"avSoll", "", "", "", "bei A/V"},
                {"aErf", "", "", "", "bei A<sub>erf</sub>"},
                {"t", "", "", "", "bei der Nachhallzeit T"},
                {"deltaA", "", "", "", "bei ΔA"},
            },
        .formulas = nachhallLines,
        .stopReasons =
            {
                {"group", {}, "weil das Feld keine der Raumgruppen A1 bis A5 oder B1 bis B5 nennt"},
                {"volume", {},
                 "weil das Raumvolumen V außerhalb des Bereichs liegt, für den DIN 18041 der gewählten "
                 "Raumgruppe einen Wert nennt (A1 und A3: {k:30} bis unter {k:1000} bzw. {k:5000} m³, A2: "
                 "{k:50} bis unter {k:5000} m³, A4: {k:30} bis unter {k:500} m³, A5: ab {k:200} m³; "
                 "Gruppe B: V und h größer als 0)"},
                {"t", {},
                 "weil die vorhandene Absorptionsfläche A nicht größer als 0 m² ist (so liest sich auch ein "
                 "leeres Feld) und die Nachhallzeit unendlich wäre"},
            },
        .guidance = {"DIN 18041:2016", "im mittleren Frequenzbereich", {{"deltaA", 0.0, Bound::AtMost, "ΔA", false}}},
        // The room's surfaces and objects per octave band beside the mid-frequency check.
        .companions = {{"Raumbilanz in Oktavbändern…", "F3", "orvella_raumbilanz", kRaumbilanzId}},
    };
    return model;
}

}  // namespace orvella
