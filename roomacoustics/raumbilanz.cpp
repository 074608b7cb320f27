// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanz.h"

#include "checked.h"
#include "nachhall.h"
#include "numbers.h"
#include "pastedtext.h"

#include <cmath>

namespace orvella {

namespace {

using namespace raumbilanz;

std::string number(double value, int decimals, std::string_view mark)
{
    try {
        return FormatResult(value, decimals, mark);
    } catch (const ArithmeticError&) {
        return std::string(kNoValue);
    }
}

std::string bandName(int band) { return std::to_string(kBandHz[std::size_t(band)]); }

ResultValue bandValue(const char* key, const char* symbol, const char* html, const char* label, const char* unit,
                      int band, int decimals)
{
    const std::string hz = bandName(band);
    // The band joins a subscript the symbol has: T<sub>max,500</sub>.
    std::string h = html;
    const std::size_t sub = h.rfind("</sub>");
    h = sub == std::string::npos ? h + "<sub>" + hz + "</sub>" : h.insert(sub, "," + hz);
    return makeResultValue(key + hz, std::string(symbol) + hz, h, std::string(label) + " bei " + hz + " Hz", unit,
                           decimals);
}

bool isGroupA(int group) { return group >= static_cast<int>(RoomGroup::A1) && group <= static_cast<int>(RoomGroup::A5); }

}  // namespace

BandTolerance raumbilanz::toleranceOf(int group, int band)
{
    if (!isGroupA(group) || band < 0 || band >= kBands)
        return {false, 0.0, 0.0};
    const auto& table = group == static_cast<int>(RoomGroup::A5) ? kTolerance.sport : kTolerance.groupsA1toA4;
    return table[std::size_t(band)];
}

BalanceRow readBalanceRow(const BalanceRowTexts& texts)
{
    BalanceRow row;
    const TableCell area = readCell(texts.area);
    const TableCell count = readCell(texts.count);
    std::array<TableCell, kBands> bands;
    bool anyNumber = area.number || count.number || area.problem != CellProblem::None ||
                     count.problem != CellProblem::None;
    for (int b = 0; b < kBands; ++b) {
        bands[std::size_t(b)] = readCell(texts.bands[std::size_t(b)]);
        anyNumber = anyNumber || !bands[std::size_t(b)].text.empty();
    }
    if (!anyNumber)
        return row;

    std::vector<std::string> reasons;
    const auto fault = [&](int column, std::string reason) {
        row.marked[std::size_t(column)] = true;
        for (const std::string& r : reasons)
            if (r == reason)
                return;
        reasons.push_back(std::move(reason));
    };
    const auto amountOf = [&](const TableCell& cell, int column, const char* what) -> std::optional<double> {
        if (cell.problem != CellProblem::None) {
            fault(column, what + std::string(": ") + cell.reason);
            return std::nullopt;
        }
        if (cell.number && !(*cell.number >= 0.0 && *cell.number <= kMaxAmount)) {
            fault(column, what + std::string(" liegt nicht zwischen 0 und 1 Million."));
            return std::nullopt;
        }
        return cell.number;
    };
    const std::optional<double> s = amountOf(area, kAreaColumn, "Die Fläche");
    const std::optional<double> n = amountOf(count, kCountColumn, "Die Anzahl");
    const bool surface = !area.text.empty() && count.text.empty();
    if (!area.text.empty() && !count.text.empty()) {
        fault(kAreaColumn, "Eine Zeile hat entweder eine Fläche oder eine Anzahl, nicht beides.");
        fault(kCountColumn, "Eine Zeile hat entweder eine Fläche oder eine Anzahl, nicht beides.");
    } else if (area.text.empty() && count.text.empty()) {
        fault(kAreaColumn, "Es fehlt die Fläche S oder die Anzahl n.");
        fault(kCountColumn, "Es fehlt die Fläche S oder die Anzahl n.");
    }
    for (int b = 0; b < kBands; ++b) {
        const TableCell& cell = bands[std::size_t(b)];
        const int column = kFirstBandColumn + b;
        if (cell.problem != CellProblem::None)
            fault(column, "Bei " + bandName(b) + " Hz: " + cell.reason);
        else if (!cell.number)
            fault(column, "Es fehlt der Wert bei " + bandName(b) + " Hz.");
        else if (surface && !(*cell.number >= 0.0 && *cell.number <= 1.0))
            fault(column, "Ein Absorptionsgrad α liegt zwischen 0 und 1.");
        else if (!surface && !(*cell.number >= 0.0 && *cell.number <= kMaxObjectArea))
            fault(column, "Die Absorptionsfläche eines Objekts liegt zwischen 0 und 1000 m².");
        else
            row.values[std::size_t(b)] = *cell.number;
    }
    if (!reasons.empty()) {
        row.use = BalanceUse::LeftOut;
        for (const std::string& r : reasons)
            row.note += (row.note.empty() ? "" : " ") + r;
        return row;
    }
    row.use = surface ? BalanceUse::Surface : BalanceUse::Object;
    row.amount = surface ? *s : *n;
    return row;
}

BalanceEvaluation evaluateBalance(const std::vector<BalanceRowTexts>& texts, const BalanceParameters& parameters,
                                  std::string_view mark)
{
    BalanceEvaluation e;
    e.rows.reserve(texts.size());
    std::array<double, kBands> area{};
    double surfaces = 0.0;
    int summed = 0;
    for (const BalanceRowTexts& t : texts) {
        e.rows.push_back(readBalanceRow(t));
        const BalanceRow& row = e.rows.back();
        if (row.use != BalanceUse::Surface && row.use != BalanceUse::Object)
            continue;
        ++summed;
        if (row.use == BalanceUse::Surface)
            surfaces += row.amount;
        for (int b = 0; b < kBands; ++b)
            area[std::size_t(b)] += row.amount * row.values[std::size_t(b)];
    }

    // The room's requirement as the calculator computes it.
    const int group = parameters.group ? int(std::lround(*parameters.group)) : 0;
    const std::optional<double> volume = parameters.volume && *parameters.volume > 0.0 ? parameters.volume : std::nullopt;
    std::optional<ReverberationResult> requirement;
    std::string requirementNote;
    if (group < 1 || group > kRoomGroupCount) {
        requirementNote = "Der Rechner nennt keine Raumgruppe.";
    } else if (!volume) {
        requirementNote = "Der Rechner nennt kein Raumvolumen V größer als 0.";
    } else {
        try {
            requirement = computeReverberation({double(group), *volume, parameters.height.value_or(0.0), 1.0});
        } catch (const ArithmeticError&) {
            requirementNote = isGroupA(group)
                                  ? "Für das Raumvolumen nennt DIN 18041 der gewählten Gruppe keine Soll-Nachhallzeit."
                                  : "Für Gruppe B braucht der Rechner eine Raumhöhe h größer als 0.";
        }
    }
    e.groupA = requirement && isGroupA(group);

    ResultValue sTotal = makeResultValue("S", "S", "S", "Summe der Flächen", "m²", kAreaDecimals);
    sTotal.value = surfaces;
    ResultValue mid = makeResultValue("Am", "Am", "A<sub>m</sub>", "Absorptionsfläche, Mittel 500/1000 Hz", "m²",
                                      kAreaDecimals);
    ResultValue ratio = makeResultValue("avm", "A/V", "A<sub>m</sub>/V", "Verhältnis A/V, Mittel 500/1000 Hz",
                                        "m⁻¹", kRatioDecimals);
    ResultValue tSoll = makeResultValue("tSoll", "Tsoll", "T<sub>soll</sub>", "Soll-Nachhallzeit", "s", kTargetDecimals);
    ResultValue avSoll = makeResultValue("avSoll", "A/V soll", "(A/V)<sub>soll</sub>", "Gefordertes Verhältnis A/V",
                                         "m⁻¹", kRatioDecimals);
    ResultValue dMid = makeResultValue("dAm", "ΔAm", "ΔA<sub>m</sub>", "Fehlende Absorptionsfläche (Gruppe B)",
                                       "m²", kAreaDecimals);
    ResultValue outside = makeResultValue("outside", "n außen", "n<sub>außen</sub>",
                                          "Oktavbänder außerhalb des Toleranzbereichs", "", 0);
    const std::string noRows = "Die Tabelle hat keine auswertbare Zeile.";
    if (summed == 0) {
        mid.note = noRows;
    } else {
        mid.value = (area[kMidLow] + area[kMidHigh]) / 2.0;
    }
    if (mid.value && volume)
        ratio.value = *mid.value / *volume;
    else
        ratio.note = summed == 0 ? noRows : requirementNote;

    if (requirement && e.groupA) {
        tSoll.value = requirement->tSoll;
        avSoll.note = dMid.note = "Räume der Gruppe A werden nach dem Toleranzbereich der Nachhallzeit bewertet.";
    } else if (requirement) {
        tSoll.note = "Räume der Gruppe B haben keine Soll-Nachhallzeit; sie werden nach A/V bewertet.";
        avSoll.value = requirement->avSoll;
        if (requirement->verdict == Verdict::NoRequirement)
            avSoll.note = dMid.note = "B1 stellt keine Anforderung.";
        else if (mid.value)
            dMid.value = std::max(0.0, requirement->avSoll * *volume - *mid.value);
        else
            dMid.note = noRows;
        outside.note = tSoll.note;
    } else {
        tSoll.note = avSoll.note = dMid.note = outside.note = requirementNote;
    }
    if (!e.groupA)
        e.groupNote = requirement ? tSoll.note : requirementNote;

    // Bounds and comparisons use T_soll as the calculator shows it.
    const std::optional<double> tSollShown = shownValue(tSoll);
    int bandsOutside = 0;
    for (int b = 0; b < kBands; ++b) {
        BandResult& r = e.bands[std::size_t(b)];
        r.hz = kBandHz[std::size_t(b)];
        r.area = bandValue("A", "A", "A", "Äquivalente Absorptionsfläche", "m²", b, kAreaDecimals);
        r.sabine = bandValue("TS", "T", "T", "Nachhallzeit nach Sabine", "s", b, kTimeDecimals);
        r.eyring = bandValue("TE", "T Eyring ", "T<sub>E</sub>", "Nachhallzeit nach Eyring", "s", b, kTimeDecimals);
        r.lower = bandValue("Tmin", "Tmin", "T<sub>min</sub>", "Untere Grenze", "s", b, kTimeDecimals);
        r.upper = bandValue("Tmax", "Tmax", "T<sub>max</sub>", "Obere Grenze", "s", b, kTimeDecimals);
        r.delta = bandValue("dA", "ΔA", "ΔA", "Fehlende (+) oder überzählige (−) Absorptionsfläche", "m²", b,
                            kAreaDecimals);
        const double a = area[std::size_t(b)];
        if (summed == 0) {
            r.area.note = r.sabine.note = r.eyring.note = noRows;
        } else {
            r.area.value = a;
            if (!volume) {
                r.sabine.note = r.eyring.note = "Der Rechner nennt kein Raumvolumen V größer als 0.";
            } else if (!(a > 0.0)) {
                r.sabine.note = r.eyring.note = "Ohne Absorptionsfläche ist die Nachhallzeit unendlich.";
            } else {
                r.sabine.value = kSabine * *volume / a;
                if (!(surfaces > 0.0)) {
                    r.eyring.note = "Eyring braucht Flächen S, nicht nur Objekte.";
                } else {
                    r.meanAlpha = a / surfaces;
                    if (r.meanAlpha >= 1.0)
                        r.eyring.note = "Der mittlere Absorptionsgrad ᾱ = A/S ist " +
                                        number(r.meanAlpha, 2, mark) + ", nicht kleiner als 1.";
                    else
                        r.eyring.value = kSabine * *volume / (-surfaces * std::log1p(-r.meanAlpha));
                }
            }
        }
        const BandTolerance tol = toleranceOf(group, b);
        if (!e.groupA || !tSollShown) {
            r.lower.note = r.upper.note = r.delta.note = e.groupNote;
            continue;
        }
        if (!tol.rated) {
            r.lower.note = r.upper.note = r.delta.note =
                "DIN 18041 stellt für Sport in diesem Oktavband keine Anforderung.";
            continue;
        }
        r.lower.value = tol.lower * *tSollShown;
        r.upper.value = tol.upper * *tSollShown;
        const std::optional<double> shown = shownValue(r.sabine);
        if (!shown && (summed == 0 || a > 0.0)) {
            r.delta.note = r.sabine.note;
            continue;
        }
        const double lower = *shownValue(r.lower);
        const double upper = *shownValue(r.upper);
        // No absorption at all: T is endless, above any bound.
        if (!shown || *shown > upper) {
            r.verdict = BandVerdict::Above;
            r.delta.value = kSabine * *volume / upper - a;
            r.delta.note = "zu lang: Absorptionsfläche fehlt";
        } else if (*shown < lower) {
            r.verdict = BandVerdict::Below;
            r.delta.value = kSabine * *volume / lower - a;
            r.delta.note = "zu kurz: Absorptionsfläche zu viel";
        } else {
            r.verdict = BandVerdict::Within;
            r.delta.value = 0.0;
        }
        bandsOutside += r.verdict != BandVerdict::Within;
    }
    if (e.groupA)
        outside.value = bandsOutside;
    e.summary = {sTotal, mid, ratio, tSoll, avSoll, dMid, outside};
    dropUnwritable(e.summary);
    for (BandResult& r : e.bands) {
        std::vector<ResultValue> values{r.area, r.sabine, r.eyring, r.lower, r.upper, r.delta};
        dropUnwritable(values);
        r.area = values[0], r.sabine = values[1], r.eyring = values[2];
        r.lower = values[3], r.upper = values[4], r.delta = values[5];
    }
    return e;
}

}  // namespace orvella
