// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlauftable.h"

#include "clipboardtext.h"
#include "verlaufreport.h"

#include <algorithm>

namespace orvella {

namespace {

std::string columnName(const std::string& label, const std::string& unit)
{
    return unit.empty() ? label : label + " [" + unit + "]";
}

std::string quantityText(const std::string& label, const std::string& text, const std::string& unit)
{
    std::string s = label + ": " + text;
    if (!unit.empty())
        s += " " + unit;
    return s;
}

bool oneCalculator(const std::vector<CalculationRecord>& entries)
{
    return !entries.empty() && std::all_of(entries.begin(), entries.end(), [&](const CalculationRecord& r) {
        return r.calculatorId == entries.front().calculatorId;
    });
}

}  // namespace

VerlaufTableBuilder::VerlaufTableBuilder(const std::vector<CalculationRecord>& entries,
                                         std::string_view decimalMark)
    : entries_(entries), decimalMark_(decimalMark), single_(oneCalculator(entries))
{
    table_.header = {"Datum", "Uhrzeit", "Rechner"};
    // One calculator: a column per input and per result key, in the order
    // they first appear (an older entry may lack a later input).
    if (single_) {
        const auto add = [&](bool input, const std::string& key, const std::string& name) {
            for (const Column& c : columns_)
                if (c.input == input && c.key == key)
                    return;
            columns_.push_back({input, key});
            table_.header.push_back(name);
        };
        for (const CalculationRecord& r : entries) {
            expressions_ = expressions_ || !r.expression.empty();
            for (const RecordedInput& q : r.inputs)
                add(true, q.key, columnName(q.label, q.unit));
        }
        for (const CalculationRecord& r : entries)
            for (const RecordedResult& q : r.results)
                add(false, q.key, columnName(q.label, q.unit));
        if (expressions_)
            table_.header.insert(table_.header.begin() + 3, "Rechnung");
    } else {
        table_.header.insert(table_.header.end(), {"Eingaben", "Ergebnisse"});
    }
    table_.header.insert(table_.header.end(), {"Notiz", "Programmversion"});
    table_.rows.reserve(entries.size());
}

void VerlaufTableBuilder::addRows(std::size_t first, std::size_t end)
{
    for (std::size_t i = first; i < std::min(end, entries_.size()); ++i) {
        const CalculationRecord& r = entries_[i];
        std::vector<std::string> row = {entryDate(r).toStdString(), entryTime(r).toStdString(),
                                        calculatorDisplayName(r)};
        if (single_) {
            if (expressions_)
                row.push_back(r.expression);
            for (const Column& c : columns_) {
                std::string cell;
                if (c.input) {
                    for (const RecordedInput& q : r.inputs)
                        if (q.key == c.key)
                            cell = numberOrText(q.text, decimalMark_);
                } else {
                    for (const RecordedResult& q : r.results)
                        if (q.key == c.key)
                            cell = numberOrText(q.text, decimalMark_);
                }
                row.push_back(cell);
            }
        } else {
            std::string inputs = r.expression;
            if (inputs.empty())
                for (const RecordedInput& q : r.inputs)
                    inputs += (inputs.empty() ? "" : "; ") + quantityText(q.label, q.text, q.unit);
            std::string results;
            for (const RecordedResult& q : r.results)
                results += (results.empty() ? "" : "; ") + quantityText(q.label, q.text, q.unit);
            row.push_back(inputs);
            row.push_back(results);
        }
        row.push_back(r.note);
        row.push_back(r.programVersion);
        table_.rows.push_back(std::move(row));
    }
}

TextTable verlaufTable(const std::vector<CalculationRecord>& entries, std::string_view decimalMark)
{
    VerlaufTableBuilder builder(entries, decimalMark);
    builder.addRows(0, entries.size());
    return builder.take();
}

}  // namespace orvella
