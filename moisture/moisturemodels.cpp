// SPDX-License-Identifier: GPL-3.0-or-later
#include "moisturemodels.h"

#include "moisture.h"

#include <optional>

namespace orvella {

namespace {

std::vector<double> computeHumidity(const std::vector<double>& in, Trace* trace)
{
    const HumidityLimits l = criticalHumidity(in[0], in[1], trace);
    return {l.condensation, l.mould, l.corrosion};
}

std::vector<double> computeTemperature(const std::vector<double>& in, Trace* trace)
{
    const TemperatureLimits l = criticalTemperature(in[0], trace);
    return {l.roomHumidity, l.condensation, l.mould};
}

// The captions of the calculate buttons; the window designs take them from
// the descriptions.
constexpr char kFeuchteCaption[] = "Grenzfeuchte";
constexpr char kTemperaturCaption[] = " Grenztemperatur";

// The numbers both moisture calculators name in their texts, from the
// constants of moisture.h.
std::vector<NamedNumber> moistureConstants()
{
    return {
        {"waterA", "", kOverWater.a},
        {"waterB", "", kOverWater.b},
        {"waterN", "", kOverWater.n},
        {"iceA", "", kOverIce.a},
        {"iceB", "", kOverIce.b},
        {"iceN", "", kOverIce.n},
        // Where the ice form's base b + θ/100 reaches 0.
        {"iceLimit", "", -100.0 * kOverIce.b},
        {"threshold", "", kIceWaterThresholdPa},
        {"magnusReference", "", kMagnusReferenceHpa},
        {"magnusCoefficient", "", kMagnusCoefficient},
        {"magnusTemperature", "", kMagnusTemperature},
        {"mould", "", kMouldSurfaceHumidity},
        {"mouldPercent", "", 100.0 * kMouldSurfaceHumidity},
        {"corrosion", "", kCorrosionSurfaceHumidity},
        {"corrosionPercent", "", 100.0 * kCorrosionSurfaceHumidity},
        {"roomTemperature", "", kAssessedRoomTemperature},
        {"band", "", kRoomHumidityBand},
        {"bandTop", "", kRoomHumidityBandTop},
        // The outdoor temperatures at which the assumed humidity reaches 0 % and 100 %.
        {"dryOutdoor", "", -kRoomHumidityBand},
        {"saturatedOutdoor", "", kRoomHumidityBandTop + (100.0 - kRoomHumidityBand)},
    };
}

std::vector<NamedNumber> powerLaw(const PowerLaw& form)
{
    return {{"a", "a", form.a}, {"b", "b", form.b}, {"n", "n", form.n}};
}

std::optional<double> inputOf(const Evaluation* e, std::size_t index)
{
    if (e && index < e->inputs.size())
        return e->inputs[index];
    return std::nullopt;
}

std::optional<double> stepOf(const Evaluation* e, std::string_view key)
{
    if (e)
        for (const TraceEntry& step : e->steps)
            if (step.key == key)
                return step.value;
    return std::nullopt;
}

// --- critical humidity ----------------------------------------------------

Handbook feuchteHandbook()
{
    Handbook h;
    h.answers =
        "Bis zu welcher relativen Feuchte der Raumluft bleibt eine Oberfläche mit gegebener Temperatur "
        "unkritisch? Aus der Raumlufttemperatur θ<sub>r</sub> und der Oberflächentemperatur "
        "θ<sub>s</sub> ergeben sich drei Grenzwerte der relativen Raumluftfeuchte: bei φ<sub>K</sub> "
        "erreicht die Luft unmittelbar an der Oberfläche 100 % relative Feuchte (Tauwasser), bei "
        "φ<sub>S</sub> {c:mouldPercent} % (Schimmelpilzbildung), bei φ<sub>C</sub> {c:corrosionPercent} % "
        "(Korrosion).";
    h.forWhom =
        "Für Bauphysiker, Planer und Sachverständige, die Wärmebrücken, Anschlüsse oder Außenwandecken "
        "beurteilen: Liegt die tatsächliche Raumluftfeuchte unter dem Grenzwert, bleibt die Oberfläche "
        "unter der jeweiligen Schwelle.";
    h.assumptions =
        "<ul><li>Die Luft an der Oberfläche hat denselben Wasserdampfdruck wie die Raumluft; sie kühlt "
        "nur ab. Ihre relative Feuchte ist daher der Dampfdruck der Raumluft, geteilt durch den "
        "Sättigungsdampfdruck bei θ<sub>s</sub>.</li>"
        "<li>Den Sättigungsdampfdruck rechnet das Programm mit dem Potenzgesetz "
        "p<sub>sat</sub> = a · (b + θ / 100)<sup>n</sup>: über Wasser für θ &gt; 0 °C "
        "(a = {c:waterA} Pa, b = {c:waterB}, n = {c:waterN}), über Eis für θ ≤ 0 °C (a = {c:iceA} Pa, "
        "b = {c:iceB}, n = {c:iceN}). Die beiden "
        "Formen treffen sich bei 0 °C nicht genau; nichts glättet diese Naht.</li>"
        "<li>Schimmelkriterium {c:mouldPercent} %, Korrosionskriterium {c:corrosionPercent} % relative "
        "Feuchte an der Oberfläche; "
        "φ<sub>S</sub> und φ<sub>C</sub> werden aus dem ungerundeten φ<sub>K</sub> gebildet.</li>"
        "<li>Nichts wird begrenzt: eine Oberfläche, die wärmer als die Raumluft ist, ergibt Grenzwerte "
        "über 100 %.</li></ul>";
    h.limits =
        "<p>Keine endliche Antwort gibt es für Temperaturen unter {c:iceLimit} °C (dort hat die Eisform "
        "keinen Wert), für eine Raumtemperatur von genau {c:iceLimit} °C (der Sättigungsdampfdruck der "
        "Raumluft ist 0 Pa, φ<sub>K</sub> wäre eine Division durch null), für Zahlen, die zu groß zum "
        "Lesen sind, und bei einem Überlauf. Eine Oberflächentemperatur von genau {c:iceLimit} °C ergibt "
        "0 %.</p>";
    h.onStop = frameStopBehaviour(kFeuchteCaption);
    return h;
}

std::vector<FormulaLine> feuchteLines(const Evaluation* e)
{
    // The power law over water above 0 °C, over ice at 0 °C and below.
    const auto pressure = [&](const char* step, std::size_t input) {
        const InputQuantity& q = feuchteModel().inputs[input];
        const std::string formula = "{c:a} · ({c:b} + {i:" + q.key + "} / 100)<sup>{c:n}</sup>";
        const std::optional<double> t = inputOf(e, input);
        if (!t)
            return FormulaLine{step, formula, powerLaw(kOverWater),
                               "a, b, n über Wasser oder über Eis (siehe Annahmen)"};
        if (*t > 0.0)
            return FormulaLine{step, formula, powerLaw(kOverWater), "über Wasser, da " + q.symbolHtml + " &gt; 0 °C"};
        return FormulaLine{step, formula, powerLaw(kOverIce), "über Eis, da " + q.symbolHtml + " ≤ 0 °C"};
    };
    return {
        pressure("pr", 0),
        pressure("ps", 1),
        {"phiK", "(100 · {s:ps}) / {s:pr}", {}, "Oberfläche bei 100 %"},
        {"phiS", "{s:phiK} · {c:mould}", {}, "Oberfläche bei {c:mouldPercent} %"},
        {"phiC", "{s:phiK} · {c:corrosion}", {}, "Oberfläche bei {c:corrosionPercent} %"},
    };
}

// --- critical temperature ---------------------------------------------------

Handbook temperaturHandbook()
{
    Handbook h;
    h.answers =
        "Wie warm müssen die Innenoberflächen eines Raumes bei einer gegebenen Außentemperatur mindestens "
        "sein, damit sich kein Tauwasser bildet und kein Schimmel wächst? Aus der Außentemperatur "
        "θ<sub>e</sub> folgen die angenommene relative Raumluftfeuchte φ, die Tauwassergrenze "
        "θ<sub>K</sub> (der Taupunkt der Raumluft) und die Schimmelgrenze θ<sub>M</sub> (die "
        "Oberflächentemperatur, bei der die Oberfläche {c:mouldPercent} % relative Feuchte erreicht).";
    h.forWhom =
        "Für die Beurteilung von Wärmebrücken und Bauteilanschlüssen: Liegt die Oberflächentemperatur "
        "über θ<sub>M</sub>, ist bei dem angenommenen Raumklima kein Schimmel zu erwarten, liegt sie "
        "über θ<sub>K</sub>, kein Tauwasser.";
    h.assumptions =
        "<ul><li>Raumluft mit {c:roomTemperature} °C; ihre relative Feuchte hängt von der Außentemperatur "
        "ab: {c:band} % für "
        "0 °C &lt; θ<sub>e</sub> ≤ {c:bandTop} °C, darunter ein Prozentpunkt weniger je Grad, darüber ein "
        "Punkt "
        "mehr je Grad. Die Regel hat keine obere und keine untere Grenze.</li>"
        "<li>Sättigungsdampfdruck nach dem Potenzgesetz p<sub>sat</sub> = a · (b + θ / 100)<sup>n</sup> "
        "über Wasser (a = {c:waterA} Pa, b = {c:waterB}, n = {c:waterN}); die Schimmelgrenze kehrt es um, "
        "unterhalb von "
        "{c:threshold} Pa mit der Eisform (a = {c:iceA} Pa, b = {c:iceB}, n = {c:iceN}).</li>"
        "<li>Der Taupunkt folgt der Magnus-Formel über Wasser mit {c:magnusReference} hPa, "
        "{c:magnusCoefficient} und {c:magnusTemperature} °C. Magnus ist "
        "nicht genau die Umkehrung des Potenzgesetzes: der Taupunkt von Luft mit dem Sättigungsdampfdruck "
        "von 20 °C ergibt {k:20.0007} °C. Beide werden so verwendet, wie sie sind.</li>"
        "<li>Schimmelkriterium: {c:mouldPercent} % relative Feuchte an der Oberfläche (Faktor "
        "{c:mould}).</li></ul>";
    h.limits =
        "<p>Ab einer Außentemperatur von {c:dryOutdoor} °C abwärts ist die angenommene Raumluftfeuchte 0 % "
        "oder "
        "weniger; die Luft enthält keinen Dampf, und der Taupunkt ist nicht definiert. Dann gibt es – wie "
        "bei Zahlen, die zu groß zum Lesen sind – keine endliche Antwort, und auch φ wird nicht "
        "geschrieben. Oberhalb von {c:saturatedOutdoor} °C liegt φ über 100 % und wird so angezeigt.</p>";
    h.onStop = frameStopBehaviour(kTemperaturCaption);
    return h;
}

std::vector<FormulaLine> temperaturLines(const Evaluation* e)
{
    std::vector<FormulaLine> lines;
    // The room-climate rule: the branch of the outdoor temperature, or all three.
    const std::optional<double> te = inputOf(e, 0);
    if (!te || *te > kRoomHumidityBandTop)
        lines.push_back({"phi", "{c:band} + |{c:bandTop} − {i:thetaE}|", {}, "für θ<sub>e</sub> &gt; {c:bandTop} °C"});
    if (!te || (*te > 0.0 && *te <= kRoomHumidityBandTop))
        lines.push_back({"phi", "{c:band}", {}, "für 0 °C &lt; θ<sub>e</sub> ≤ {c:bandTop} °C"});
    if (!te || *te <= 0.0)
        lines.push_back({"phi", "{c:band} + {i:thetaE}", {}, "für θ<sub>e</sub> ≤ 0 °C"});
    std::vector<NamedNumber> room = powerLaw(kAssessedRoomTemperature > 0.0 ? kOverWater : kOverIce);
    room.push_back({"t", "", kAssessedRoomTemperature});
    lines.push_back({"pr", "{c:a} · ({c:b} + {c:t} / 100)<sup>{c:n}</sup>", room, "Potenzgesetz über Wasser"});
    lines.push_back({"pw", "({s:pr} · {s:phi}) / 100", {}, {}});
    lines.push_back({"dewY", "({s:pw} / 100) / {c:magnusReference}", {}, {}});
    lines.push_back({"dewX", "ln {s:dewY} / ln 10", {}, {}});
    lines.push_back({"thetaK", "({s:dewX} · {c:magnusTemperature}) / ({c:magnusCoefficient} − {s:dewX})", {},
                     "Taupunkt nach Magnus"});
    lines.push_back({"pw80", "{s:pw} / {c:mould}", {}, {}});
    // The inverse takes the ice form below the threshold pressure.
    const std::optional<double> p80 = stepOf(e, "pw80");
    const std::string inverse = "100 · (({s:pw80} / {c:a})<sup>1 / {c:n}</sup> − {c:b})";
    if (!p80)
        lines.push_back({"thetaM", inverse, powerLaw(kOverWater),
                         "Umkehrung des Potenzgesetzes, über Eis unter {c:threshold} Pa"});
    else if (*p80 < kIceWaterThresholdPa)
        lines.push_back({"thetaM", inverse, powerLaw(kOverIce),
                         "Umkehrung des Potenzgesetzes über Eis, da p<sub>80</sub> &lt; {c:threshold} Pa"});
    else
        lines.push_back({"thetaM", inverse, powerLaw(kOverWater),
                         "Umkehrung des Potenzgesetzes über Wasser, da p<sub>80</sub> ≥ {c:threshold} Pa"});
    return lines;
}

}  // namespace

const CalculatorModel& feuchteModel()
{
    static const CalculatorModel model{
        .id = "frmFeuchte",
        .window = "frmFeuchte",
        .title = "Kritische Feuchte Calculator",
        .calculateButton = "cmdRun_Feuchte",
        .calculateCaption = kFeuchteCaption,
        .inputs =
            {
                makeInput("thetaR", "θr", "θ<sub>r</sub>", "Raumtemperatur", "°C", "txRaum",
                          {10.0, 30.0, Spacing::Linear}),
                makeInput("thetaS", "θs", "θ<sub>s</sub>", "Oberflächentemperatur", "°C",
                          "txOberflaeche", {-10.0, 20.0, Spacing::Linear}),
            },
        .results =
            {
                makeResult("phiK", "φK", "φ<sub>K</sub>", "Oberflächenkondensation", "%", "txKondens", 2),
                makeResult("phiS", "φS", "φ<sub>S</sub>", "Schimmelpilzbildungsgefahr", "%", "txSchimel", 2),
                makeResult("phiC", "φC", "φ<sub>C</sub>", "Korrosionsgefahr", "%", "txKorrosion", 2),
            },
        .compute = computeHumidity,
        .handbook = feuchteHandbook(),
        .constants = moistureConstants(),
        .steps =
            {
                {"pr", "p<sub>r</sub>", "Pa", "Sättigungsdampfdruck der Raumluft",
                 "beim Sättigungsdampfdruck der Raumluft p<sub>r</sub>"},
                {"ps", "p<sub>s</sub>", "Pa", "Sättigungsdampfdruck an der Oberfläche",
                 "beim Sättigungsdampfdruck an der Oberfläche p<sub>s</sub>"},
                {"phiK", "", "", "", "bei der Tauwassergrenze φ<sub>K</sub> = 100 · p<sub>s</sub> / p<sub>r</sub>"},
                {"phiS", "", "", "", "bei der Schimmelgrenze φ<sub>S</sub>"},
                {"phiC", "", "", "", "bei der Korrosionsgrenze φ<sub>C</sub>"},
            },
        .formulas = feuchteLines,
        .stopReasons =
            {
                {"pr",
                 {ArithmeticFault::InvalidOperation},
                 "weil die Temperatur unter {c:iceLimit} °C liegt, wo die Eisform des Potenzgesetzes keinen "
                 "Wert hat (eine negative Zahl unter einer gebrochenen Potenz)"},
                {"ps",
                 {ArithmeticFault::InvalidOperation},
                 "weil die Temperatur unter {c:iceLimit} °C liegt, wo die Eisform des Potenzgesetzes keinen "
                 "Wert hat (eine negative Zahl unter einer gebrochenen Potenz)"},
                {"phiK",
                 {ArithmeticFault::InvalidOperation, ArithmeticFault::DivisionByZero},
                 "weil der Sättigungsdampfdruck der Raumluft p<sub>r</sub> 0 Pa ist und "
                 "durch null nicht geteilt werden kann"},
            },
    };
    return model;
}

const CalculatorModel& temperaturModel()
{
    static const CalculatorModel model{
        .id = "frmTemperatur",
        .window = "frmTemperatur",
        .title = "KritischeTemperatur Calculator",
        .calculateButton = "cmdRun_Grenzen",
        .calculateCaption = kTemperaturCaption,
        .inputs =
            {
                makeInput("thetaE", "θe", "θ<sub>e</sub>", "Außentemperatur", "°C", "txAussen",
                          {-20.0, 20.0, Spacing::Linear}),
            },
        .results =
            {
                makeResult("phi", "φ", "φ", "Relative Feuchte", "%", "txFeuchte1", 1),
                makeResult("thetaK", "θK", "θ<sub>K</sub>", "Oberflächenkondensation", "°C", "txKondens", 1),
                makeResult("thetaM", "θM", "θ<sub>M</sub>", "Schimmelpilzbildungsgefahr", "°C", "txSchimel", 1),
            },
        .compute = computeTemperature,
        .handbook = temperaturHandbook(),
        .constants = moistureConstants(),
        .steps =
            {
                {"phi", "", "", "", "bei der angenommenen Raumluftfeuchte φ"},
                {"pr", "p<sub>r</sub>", "Pa", "Sättigungsdampfdruck der Raumluft bei {c:roomTemperature} °C",
                 "beim Sättigungsdampfdruck der Raumluft"},
                {"pw", "p<sub>w</sub>", "Pa", "Wasserdampfdruck der Raumluft", "beim Wasserdampfdruck p<sub>w</sub>"},
                {"dewY", "y", "", "Dampfdruck in hPa, bezogen auf {c:magnusReference} hPa (Magnus)",
                 "beim Verhältnis y der Magnus-Formel"},
                {"dewX", "x", "", "Logarithmus von y", "beim Logarithmus x = lg y der Magnus-Formel"},
                {"thetaK", "", "", "", "beim Taupunkt θ<sub>K</sub> der Magnus-Formel"},
                {"pw80", "p<sub>80</sub>", "Pa",
                 "Sättigungsdampfdruck, bei dem die Oberfläche {c:mouldPercent} % relative Feuchte hat",
                 "beim Dampfdruck p<sub>80</sub> = p<sub>w</sub> / {c:mould}"},
                {"thetaM", "", "", "", "bei der Schimmelgrenze θ<sub>M</sub> (Umkehrung des Potenzgesetzes)"},
            },
        .formulas = temperaturLines,
        .stopReasons =
            {
                {"dewX",
                 {ArithmeticFault::InvalidOperation},
                 "weil die angenommene Raumluftfeuchte φ bei dieser Außentemperatur 0 % oder "
                 "weniger beträgt, die Luft also keinen Wasserdampf enthält, und der "
                 "Logarithmus von y ≤ 0 nicht definiert ist"},
                {"thetaK",
                 {ArithmeticFault::InvalidOperation, ArithmeticFault::DivisionByZero},
                 "weil x den Wert der Magnus-Konstante erreicht und die Formel durch null "
                 "teilen müsste"},
            },
    };
    return model;
}

}  // namespace orvella
