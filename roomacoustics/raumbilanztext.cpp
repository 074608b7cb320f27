// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanztext.h"

namespace orvella {

namespace {

std::string withUnit(const ResultValue& r, std::string_view label)
{
    return std::string(label) + (r.quantity.unit.empty() ? "" : " [" + r.quantity.unit + "]");
}

}  // namespace

std::string bandVerdictText(BandVerdict verdict)
{
    switch (verdict) {
    case BandVerdict::Within: return "im Toleranzbereich";
    case BandVerdict::Above: return "zu lang";
    case BandVerdict::Below: return "zu kurz";
    case BandVerdict::NotRated: break;
    }
    return std::string(kNoValue);
}

TextTable bandTable(const BalanceEvaluation& e, std::string_view mark)
{
    const BandResult& first = e.bands.front();
    TextTable t;
    t.caption = "Oktavbänder";
    t.header = {"f [Hz]", withUnit(first.area, "A"), withUnit(first.sabine, "T Sabine"),
                withUnit(first.eyring, "T Eyring"), withUnit(first.lower, "Tmin"), withUnit(first.upper, "Tmax"),
                "Urteil", withUnit(first.delta, "ΔA")};
    for (const BandResult& b : e.bands)
        t.rows.push_back({std::to_string(b.hz), valueText(b.area, mark), valueText(b.sabine, mark),
                          valueText(b.eyring, mark), valueText(b.lower, mark), valueText(b.upper, mark),
                          bandVerdictText(b.verdict), valueText(b.delta, mark)});
    return t;
}

TextTable summaryTable(const BalanceEvaluation& e, std::string_view mark)
{
    TextTable t;
    t.caption = "Ergebnisse";
    t.header = {"Größe", "Bezeichnung", "Wert", "Einheit", "Hinweis"};
    for (const ResultValue& r : e.summary)
        t.rows.push_back({r.quantity.symbol, r.quantity.label, valueText(r, mark), r.value ? r.quantity.unit : "",
                          r.note});
    return t;
}

std::string balanceVerdict(const BalanceEvaluation& e, std::string_view mark)
{
    if (e.groupA) {
        std::string list;
        for (const BandResult& b : e.bands)
            if (b.verdict == BandVerdict::Above || b.verdict == BandVerdict::Below)
                list += (list.empty() ? "" : ", ") + std::to_string(b.hz) + " Hz " + bandVerdictText(b.verdict);
        if (!findResult(e.summary, "Am")->value)
            return "Ohne auswertbare Zeile ist nichts zu bewerten.";
        return list.empty() ? "Alle bewerteten Oktavbänder liegen im Toleranzbereich."
                            : "Außerhalb des Toleranzbereichs: " + list + ".";
    }
    const ResultValue* missing = findResult(e.summary, "dAm");
    if (!missing->value)
        return missing->note;
    const std::string ratio = valueText(*findResult(e.summary, "avm"), mark) + " m⁻¹, gefordert " +
                              valueText(*findResult(e.summary, "avSoll"), mark) + " m⁻¹";
    const std::optional<double> shown = shownValue(*missing);
    if (shown && *shown > 0.0)
        return "Gruppe B nach A/V: " + ratio + "; nicht erfüllt, es fehlen " + valueText(*missing, mark) + " m².";
    return "Gruppe B nach A/V: " + ratio + "; erfüllt.";
}

}  // namespace orvella
