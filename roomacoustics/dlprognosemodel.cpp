// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlprognosemodel.h"

#include "dlprognose.h"
#include "iso3382.h"
#include "iso3382description.h"

namespace orvella {

namespace {

constexpr char kCaption[] = "Berechnung";

std::vector<double> computePrognosis(const std::vector<double>& in, Trace* trace)
{
    const DLprognoseInput input{in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7]};
    const DLprognoseResult r = computeDLprognose(input, trace);
    return {r.dl2, r.l4, r.lr};
}

// From the results DL2 and L4.
double computeComfortDistance(const std::vector<double>& results, Trace* trace)
{
    return comfortDistance(results[0], results[1], trace);
}

Handbook prognosisHandbook()
{
    Handbook h;
    h.answers =
        "Wie weit trägt Sprache in einem Großraumbüro? Aus dem Sprachpegel in 1 m Abstand, Länge, Breite "
        "und Höhe des Raumes, der Höhe der Stellwände und zwei mittleren Absorptionsgraden schätzt der "
        "Rechner DL<sub>2</sub>, die Pegelminderung der Sprache pro Abstandsverdopplung, L<sub>4</sub>, "
        "den Sprachpegel in 4 m Abstand, und L<sub>r</sub>, den Sprachpegel im gewählten Abstand R.";
    h.forWhom =
        "Für Akustik- und Büroplaner in der Entwurfsphase: um abzuschätzen, wie höhere Stellwände, mehr "
        "Absorption oder ein anderer Raumzuschnitt die Ausbreitung der Sprache über die Arbeitsplätze "
        "hinweg verringern.";
    h.assumptions =
        "<ul><li>Drei feste empirische Formeln mit konstanten Koeffizienten; sie liefern Schätzwerte, "
        "keine Messwerte. Jede wird von links nach rechts ohne Zwischenrundung ausgewertet.</li>"
        "<li>L<sub>r</sub> setzt die Abnahme von 4 m aus logarithmisch über den Abstand fort, mit dem "
        "Faktor {c:slope} (nicht 1 / lg 2 = {k:3.32}…): bei R = 8 m liegt L<sub>r</sub> deshalb "
        "{k:0.9934} · DL<sub>2</sub> unter L<sub>4</sub>, nicht genau DL<sub>2</sub>. Für R unter 4 m "
        "liegt L<sub>r</sub> über L<sub>4</sub>.</li>"
        "<li>Kein Eingabewert wird geprüft: Absorptionsgrade außerhalb von 0 bis 1, negative Maße oder "
        "Stellwände, die höher als der Raum sind, werden gerechnet, wie sie eingegeben sind – das "
        "Ergebnis hat dann keine Aussage.</li></ul>";
    h.sections.push_back(
        {"Einordnung nach ISO 3382-3",
         "<p>ISO 3382-3 beschreibt die Messung raumakustischer Größen in Großraumbüros. Die "
         "Pegelabnahme der Sprache pro Abstandsverdopplung heißt dort D<sub>2,S</sub>, der "
         "A-bewertete Schalldruckpegel der Sprache in 4 m Abstand L<sub>p,A,S,4m</sub>; "
         "DL<sub>2</sub> und L<sub>4</sub> dieses Rechners sind Prognosen dieser beiden Größen. Der "
         "informative Anhang der Norm nennt als Richtwerte für gute Großraumbüros "
         "<b>D<sub>2,S</sub> ≥ {c:goodDecay} dB</b> und <b>L<sub>p,A,S,4m</sub> ≤ {c:goodLevel} dB</b>.</p>"
         "<p>ISO 3382-3:2022 führt außerdem den Komfortabstand r<sub>C</sub> ein: den Abstand, ab dem "
         "der Sprachpegel unter {c:comfortLevel} dB fällt. Mit der L<sub>r</sub>-Formel dieses Rechners, "
         "L<sub>r</sub> = {c:comfortLevel} dB nach R aufgelöst, ergibt sich – abgeleitet, das Fenster zeigt "
         "r<sub>C</sub> nicht an –</p>"
         "<p style=\"margin-left:24px\">r<sub>C</sub> = 4 m · 10<sup>(L<sub>4</sub> − {c:comfortLevel} dB) / "
         "({c:slope} · DL<sub>2</sub>)</sup> &nbsp;&nbsp;für DL<sub>2</sub> &gt; 0.</p>"
         "<p>Für DL<sub>2</sub> ≤ 0 nimmt der Pegel mit dem Abstand nicht ab, und es gibt kein "
         "endliches r<sub>C</sub>.</p>"});
    h.limits =
        "<p>Keine endliche Antwort gibt es für die Raumhöhe 0 (die Quotienten in DL<sub>2</sub> sind "
        "nicht definiert), für einen Abstand R ≤ 0 (kein Logarithmus) – ein leeres Feld oder ein Text "
        "ohne Zahl zählt dabei als 0 –, für Zahlen, die zu groß zum Lesen sind, und bei einem Überlauf. "
        "Die Kommakorrektur bleibt in den Feldern, die schon gelesen waren.</p>";
    h.onStop = frameStopBehaviour(kCaption);
    return h;
}

std::vector<FormulaLine> prognosisLines(const Evaluation*)
{
    return {
        {"dl2",
         "{c:dl2Screen} · ({i:hScreen} / {i:hRaum}) + {c:dl2Length} · ({i:lRaum} / {i:hRaum}) + "
         "{c:dl2AlphaCell} · {i:alphaCell} + {c:dl2AlphaHori} · {i:alphaHori}",
         {},
         {}},
        {"l4",
         "{i:l1} − {c:l4Screen} · {i:hScreen} − {c:l4Width} · {i:wRaum} + "
         "{c:l4AlphaHori} · {i:alphaHori} − {c:l4AlphaCell} · {i:alphaCell}",
         {},
         {}},
        {"lg4", "ln 4 / ln 10", {}, {}},
        {"lgR", "ln {i:r} / ln 10", {}, {}},
        {"lr", "{s:l4} − {c:slope} · {s:dl2} · ({s:lgR} − {s:lg4})", {},
         "aus den ungerundeten DL<sub>2</sub> und L<sub>4</sub>"},
    };
}

// The comfort distance, derived from the prognosis' own level formula.
DerivedValue comfortDistanceValue()
{
    DerivedValue d;
    d.intro = "<p><b>Komfortabstand r<sub>C</sub></b> (abgeleitet aus der L<sub>r</sub>-Formel, "
              "vom Fenster nicht angezeigt):</p>";
    d.compute = computeComfortDistance;
    d.lines = {
        {"rcExponent",
         "({s:l4} − {c:level}) / ({c:slope} · {s:dl2})",
         {{"level", literal(kComfortSpeechLevelDb) + " dB", kComfortSpeechLevelDb}},
         {}},
        {"rc", "4 m · 10<sup>{s:rcExponent}</sup>", {}, {}},
    };
    d.decimals = 1;
    d.answer = "<p>r<sub>C</sub> ≈ <b>{value} m</b> (abgeleitet): jenseits dieses Abstands liegt der "
               "Sprachpegel nach der Prognose unter {c:comfortLevel} dB.</p>";
    d.noAnswer = "Kein endlicher Komfortabstand";
    return d;
}

}  // namespace

const CalculatorModel& dlPrognoseModel()
{
    // In the order the window reads them. Every field passes through the
    // comma fix, txL1 and txR included, so that 58,5 dB reads as typed.
    static const CalculatorModel model{
        .id = "frmDLprognose",
        .window = "frmDLprognose",
        .title = "Großraumbüro DL2 Prognose",
        .calculateButton = "cmdRUNDL",
        .calculateCaption = kCaption,
        .inputs =
            {
                makeInput("alphaCell", "αcell", "α<sub>cell</sub>", "Mittlerer Absorptionsgrad", "",
                          "txALPHAcell", {0.0, 1.0, Spacing::Linear}),
                makeInput("alphaHori", "αhori", "α<sub>hori</sub>",
                          "Mittlerer Absorptionsgrad Stellwände + Wände", "", "txALPHAhori",
                          {0.0, 1.0, Spacing::Linear}),
                makeInput("hScreen", "Hscreen", "H<sub>screen</sub>", "Stellwandhöhe", "m", "txHscreen",
                          {0.0, 2.0, Spacing::Linear}),
                makeInput("lRaum", "Lraum", "L<sub>Raum</sub>", "Raumlänge", "m", "txLraum",
                          {10.0, 60.0, Spacing::Linear}),
                makeInput("wRaum", "Wraum", "W<sub>Raum</sub>", "Raumbreite", "m", "txWraum",
                          {5.0, 40.0, Spacing::Linear}),
                makeInput("hRaum", "Hraum", "H<sub>Raum</sub>", "Raumhöhe", "m", "txHraum",
                          {2.5, 6.0, Spacing::Linear}),
                makeInput("l1", "L1", "L<sub>1</sub>", "Schallpegel der Sprache in 1 m Abstand", "dB",
                          "txL1", {50.0, 70.0, Spacing::Linear}),
                makeInput("r", "R", "R", "Abstand", "m", "txR", {1.0, 32.0, Spacing::Logarithmic}),
            },
        .results =
            {
                makeResult("dl2", "DL2", "DL<sub>2</sub>", "Pegelminderung pro Abstandsverdopplung",
                           "dB", "txDL2", 1),
                makeResult("l4", "L4", "L<sub>4</sub>", "Schallpegel in 4 m Abstand", "dB", "txL4", 1),
                makeResult("lr", "Lr", "L<sub>r</sub>", "Schallpegel im Abstand R", "dB", "txLr", 1),
            },
        .compute = computePrognosis,
        .handbook = prognosisHandbook(),
        .constants =
            {
                {"dl2Screen", "", kDl2Screen},
                {"dl2Length", "", kDl2Length},
                {"dl2AlphaCell", "", kDl2AlphaCell},
                {"dl2AlphaHori", "", kDl2AlphaHori},
                {"l4Screen", "", kL4Screen},
                {"l4Width", "", kL4Width},
                {"l4AlphaHori", "", kL4AlphaHori},
                {"l4AlphaCell", "", kL4AlphaCell},
                {"slope", "", kLrSlope},
                {"goodDecay", "", iso3382::kGoodDecayDb},
                {"goodLevel", "", iso3382::kGoodLevelAt4mDb},
                {"comfortLevel", "", kComfortSpeechLevelDb},
            },
        .steps =
            {
                {"dl2", "", "", "", "bei DL<sub>2</sub>"},
                {"l4", "", "", "", "bei L<sub>4</sub>"},
                {"lg4", "lg 4", "", "Logarithmus von 4 m", "beim Logarithmus lg 4"},
                {"lgR", "lg R", "", "Logarithmus des Abstands R", "beim Logarithmus lg R"},
                {"lr", "", "", "", "bei L<sub>r</sub>"},
                {"rcExponent", "x<sub>C</sub>", "", "Exponent des Komfortabstands",
                 "beim Exponenten des Komfortabstands"},
                {"rc", "r<sub>C</sub>", "m", "Komfortabstand (abgeleitet, vom Fenster nicht angezeigt)",
                 "beim Komfortabstand"},
            },
        .formulas = prognosisLines,
        .stopReasons =
            {
                // A room height of 0 divides by it (0 / 0 for screens of 0 m).
                {"dl2",
                 {ArithmeticFault::DivisionByZero, ArithmeticFault::InvalidOperation},
                 "weil die Raumhöhe H<sub>Raum</sub> 0 m ist (so liest sich auch ein leeres "
                 "Feld oder ein Text ohne Zahl) und durch null nicht geteilt werden kann"},
                {"lgR",
                 {ArithmeticFault::InvalidOperation},
                 "weil der Abstand R nicht größer als 0 m ist (auch ein leeres Feld liest sich "
                 "als 0) und der Logarithmus nur für positive Zahlen definiert ist"},
                {"rcExponent",
                 {ArithmeticFault::InvalidOperation},
                 "weil DL<sub>2</sub> nicht größer als 0 dB ist, der Sprachpegel also mit dem "
                 "Abstand nicht abnimmt"},
            },
        .guidance =
            {
                "ISO 3382-3",
                "für gute Großraumbüros",
                {
                    {"dl2", iso3382::kGoodDecayDb, Bound::AtLeast, "D<sub>2,S</sub>", false},
                    {"l4", iso3382::kGoodLevelAt4mDb, Bound::AtMost, "L<sub>p,A,S,4m</sub>", false},
                    {"lr", iso3382::kComfortLevelDb, Bound::Marked,
                     "Komfortabstand r<sub>C</sub> bei L<sub>p,A,S</sub>", true},
                },
            },
        .derived = {comfortDistanceValue()},
        // The measured office beside its prognosis.
        .companions = {{"Messauswertung ISO 3382-3…", "F3", "orvella_measurement", kIso3382Id}},
    };
    return model;
}

}  // namespace orvella
