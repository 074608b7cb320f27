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

TextTable verlaufTable(const std::vector<CalculationRecord>& entries, std::string_view decimalMark)
{
    TextTable table;
    table.header = {"Datum", "Uhrzeit", "Rechner"};
    const bool single = oneCalculator(entries);

    // One calculator: a column per input and per result key, in the order
    // they first appear (an older entry may lack a later input).
    struct Column {
        bool input;
        std::string key;
    };
    std::vector<Column> columns;
    bool expressions = false;
    if (single) {
        const auto add = [&](bool input, const std::string& key, const std::string& name) {
            for (const Column& c : columns)
                if (c.input == input && c.key == key)
                    return;
            columns.push_back({input, key});
            table.header.push_back(name);
        };
        for (const CalculationRecord& r : entries) {
            expressions = expressions || !r.expression.empty();
            for (const RecordedInput& q : r.inputs)
                add(true, q.key, columnName(q.label, q.unit));
        }
        for (const CalculationRecord& r : entries)
            for (const RecordedResult& q : r.results)
                add(false, q.key, columnName(q.label, q.unit));
        if (expressions)
            table.header.insert(table.header.begin() + 3, "Rechnung");
    } else {
        table.header.insert(table.header.end(), {"Eingaben", "Ergebnisse"});
    }
    table.header.insert(table.header.end(), {"Notiz", "Programmversion"});

    for (const CalculationRecord& r : entries) {
        std::vector<std::string> row = {entryDate(r).toStdString(), entryTime(r).toStdString(),
                                        calculatorDisplayName(r)};
        if (single) {
            if (expressions)
                row.push_back(r.expression);
            for (const Column& c : columns) {
                std::string cell;
                if (c.input) {
                    for (const RecordedInput& q : r.inputs)
                        if (q.key == c.key)
                            cell = numberOrText(q.text, decimalMark);
                } else {
                    for (const RecordedResult& q : r.results)
                        if (q.key == c.key)
                            cell = numberOrText(q.text, decimalMark);
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
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace orvella
