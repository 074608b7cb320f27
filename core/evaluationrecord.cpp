// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluationrecord.h"

#include "resultvalue.h"

#include <algorithm>
#include <charconv>

namespace orvella {

namespace {

// The rows' text: a first line "numbers" or "texts" (followed by "\tlabels"
// when each row ends with its name), a line of the columns' titles, then a
// line per row with its cells apart by tabs; a number is written as
// std::to_chars writes it, so that it reads back exactly, and an empty cell
// stands for no number.
constexpr std::string_view kNumbers = "numbers";
constexpr std::string_view kTexts = "texts";
constexpr std::string_view kLabels = "\tlabels";

std::string plainNumber(double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::optional<double> readNumber(std::string_view text)
{
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A cell on one line of the text: tabs and line breaks become blanks.
void appendCell(std::string& out, std::string_view cell)
{
    for (const char c : cell)
        out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

std::string rowsText(const EvaluationSnapshot& s)
{
    const bool texts = s.input.rows.empty() && !s.input.cells.empty();
    std::string out(texts ? kTexts : kNumbers);
    if (!s.labels.empty())
        out += kLabels;
    out += '\n';
    for (std::size_t c = 0; c < s.model->columns.size(); ++c) {
        const Quantity& q = s.model->columns[c];
        if (c > 0)
            out += '\t';
        appendCell(out, q.unit.empty() ? q.label : q.label + " [" + q.unit + "]");
    }
    if (!s.labels.empty())
        out += "\tName";
    for (std::size_t i = 0; i < s.rowCount(); ++i) {
        out += '\n';
        std::size_t cells = 0;
        if (texts)
            for (const std::string& cell : s.input.cells[i]) {
                if (cells++ > 0)
                    out += '\t';
                appendCell(out, cell);
            }
        else
            for (const std::optional<double>& value : s.input.rows[i]) {
                if (cells++ > 0)
                    out += '\t';
                if (value)
                    out += plainNumber(*value);
            }
        if (!s.labels.empty()) {
            out += '\t';
            appendCell(out, i < s.labels.size() ? s.labels[i] : std::string());
        }
    }
    return out;
}

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

}  // namespace

std::string shortestText(double value, std::string_view decimalMark)
{
    std::string text = plainNumber(value);
    if (const std::size_t dot = text.find('.'); dot != std::string::npos)
        text.replace(dot, 1, decimalMark);
    return text;
}

CalculationRecord recordOf(const EvaluationSnapshot& s)
{
    const EvaluationModel& m = *s.model;
    CalculationRecord r;
    r.timeUtcMs = s.timeUtcMs;
    r.utcOffsetSeconds = s.utcOffsetSeconds;
    r.calculatorId = m.id;
    r.window = s.ownerWindow;
    r.calculator = m.title;
    r.part = m.ownerTitle;
    r.evaluationKey = s.key;
    r.ownerId = s.ownerId;
    const std::size_t rows = s.rowCount();
    r.inputs.push_back({std::string(kRowCountKey), "Zeilen", "", "", std::to_string(rows), double(rows)});
    // A parameter left empty (no background level) is no input.
    for (std::size_t i = 0; i < m.parameters.size() && i < s.input.parameters.size(); ++i)
        if (const std::optional<double> value = s.input.parameters[i]) {
            const Quantity& q = m.parameters[i];
            r.inputs.push_back({q.key, q.label, q.unit, "", shortestText(*value, s.decimalMark), *value});
        }
    if (m.evaluate)
        for (const ResultValue& result : m.evaluate(s.input, s.decimalMark).results)
            r.results.push_back({result.quantity.key, result.quantity.label, result.quantity.unit, "",
                                 valueText(result, s.decimalMark)});
    r.rows = rowsText(s);
    return r;
}

EvaluationSnapshot snapshotOf(const CalculationRecord& record, const EvaluationModel& model)
{
    EvaluationSnapshot s;
    s.model = &model;
    s.key = record.evaluationKey;
    s.ownerId = record.ownerId;
    s.ownerWindow = record.window;
    s.timeUtcMs = record.timeUtcMs;
    s.utcOffsetSeconds = record.utcOffsetSeconds;
    for (const Quantity& q : model.parameters) {
        std::optional<double> value;
        for (const RecordedInput& input : record.inputs)
            if (input.key == q.key)
                value = input.number;
        s.input.parameters.push_back(value);
    }
    std::vector<std::string_view> lines = split(record.rows, '\n');
    const std::string_view header = lines.front();
    const bool texts = header.starts_with(kTexts);
    const bool labelled = header.ends_with(kLabels);
    if (!texts && !header.starts_with(kNumbers))
        return s;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        std::vector<std::string_view> cells = split(lines[i], '\t');
        if (labelled) {
            s.labels.emplace_back(cells.back());
            cells.pop_back();
        }
        if (texts) {
            s.input.cells.emplace_back(cells.begin(), cells.end());
        } else {
            std::vector<std::optional<double>> row;
            for (const std::string_view cell : cells)
                row.push_back(readNumber(cell));
            s.input.rows.push_back(std::move(row));
        }
    }
    return s;
}

TextTable rowsTable(const CalculationRecord& record, std::size_t maxRows, std::string_view decimalMark)
{
    TextTable table;
    const std::vector<std::string_view> lines = split(record.rows, '\n');
    if (lines.size() < 2)
        return table;
    const bool numbers = lines.front().starts_with(kNumbers);
    const bool labelled = lines.front().ends_with(kLabels);
    const std::vector<std::string_view> header = split(lines[1], '\t');
    table.header.assign(header.begin(), header.end());
    for (std::size_t i = 2; i < lines.size() && table.rows.size() < maxRows; ++i) {
        const std::vector<std::string_view> cells = split(lines[i], '\t');
        std::vector<std::string> row(cells.begin(), cells.end());
        for (std::size_t c = 0; numbers && c + (labelled ? 1 : 0) < row.size(); ++c)
            if (const std::size_t dot = row[c].find('.'); dot != std::string::npos)
                row[c].replace(dot, 1, decimalMark);
        table.rows.push_back(std::move(row));
    }
    table.alignRight = numbers;
    return table;
}

std::size_t rowsCount(const CalculationRecord& record)
{
    const std::size_t lines = std::size_t(std::count(record.rows.begin(), record.rows.end(), '\n'));
    return lines > 0 ? lines - 1 : 0;
}

}  // namespace orvella
