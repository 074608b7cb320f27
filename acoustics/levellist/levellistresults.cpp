// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistresults.h"

#include "keypadentry.h"
#include "levellistmodel.h"
#include "levellisttext.h"
#include "resultvalue.h"

#include <QLocale>
#include <QTableWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }
std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// Results that only grow with every level: of corrected levels of which one
// is an upper bound, they are upper bounds too.
bool growsWithLevels(const std::string& key) { return key != "n" && key != "stddev" && key != "sumMinusMax"; }

}  // namespace

QStringList levelListResultTitles()
{
    return {QStringLiteral("Größe"), QStringLiteral("Bedeutung"), QStringLiteral("Wert"), QStringLiteral("korrigiert"),
            QStringLiteral("Einheit")};
}

QString levelListResultText(const LevelListEvaluation& evaluation, const std::string& key, bool corrected)
{
    const std::vector<ResultValue>& results = corrected ? evaluation.correctedResults : evaluation.results;
    const ResultValue* r = findResult(results, key);
    if (!r)
        return {};
    QString text = qs(valueText(*r, decimalMark()));
    const bool bound = corrected && r->value && growsWithLevels(r->quantity.key) &&
                       std::any_of(evaluation.corrections.begin(), evaluation.corrections.end(),
                                   [](const BackgroundCorrection& c) { return c.upperBound(); });
    return bound ? QStringLiteral("≤ ") + text : text;
}

void showLevelListResults(QTableWidget& table, const LevelListEvaluation& evaluation)
{
    const std::vector<ResultValue>& results = evaluation.results;
    const bool corrected = !evaluation.correctedResults.empty();
    table.setRowCount(int(results.size()));
    table.setColumnHidden(CorrectedColumn, !corrected);
    const auto set = [&table](int row, int column, const QString& text, Qt::Alignment align) {
        QTableWidgetItem* item = table.item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            table.setItem(row, column, item);
        }
        item->setText(text);
        item->setTextAlignment(align | Qt::AlignVCenter);
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        const ResultValue& r = results[i];
        const int row = int(i);
        set(row, SymbolColumn, qs(r.quantity.symbol), Qt::AlignLeft);
        set(row, MeaningColumn, qs(r.quantity.label), Qt::AlignLeft);
        set(row, ValueColumn, levelListResultText(evaluation, r.quantity.key, false), Qt::AlignRight);
        set(row, CorrectedColumn, corrected ? levelListResultText(evaluation, r.quantity.key, true) : QString(),
            Qt::AlignRight);
        set(row, UnitColumn, qs(r.quantity.unit), Qt::AlignLeft);
    }
}

QStringList levelListNotes(const LevelListEvaluation& evaluation, const QString& backgroundProblem)
{
    // Each sentence once, with the results it belongs to.
    std::vector<std::pair<std::string, QStringList>> notes;
    const auto note = [&notes](const std::string& text, const QString& symbol) {
        if (text.empty())
            return;
        for (auto& [t, symbols] : notes)
            if (t == text) {
                symbols << symbol;
                return;
            }
        notes.push_back({text, {symbol}});
    };
    const bool corrected = !evaluation.correctedResults.empty();
    for (std::size_t i = 0; i < evaluation.results.size(); ++i) {
        const ResultValue& r = evaluation.results[i];
        note(r.note, qs(r.quantity.symbol));
        if (corrected)
            note(evaluation.correctedResults[i].note, qs(r.quantity.symbol) + QStringLiteral(" korrigiert"));
    }
    QStringList lines;
    if (!backgroundProblem.isEmpty())
        lines << QStringLiteral("LB: ") + backgroundProblem;
    if (!evaluation.backgroundNote.empty())
        lines << QStringLiteral("LB: ") + qs(evaluation.backgroundNote);
    for (const auto& [text, symbols] : notes)
        lines << symbols.join(QStringLiteral(", ")) + QStringLiteral(": ") + qs(text);
    return lines;
}

TextTable levelListResultsTable(const LevelListEvaluation& evaluation, const std::string& caption,
                                const QStringList& notes)
{
    TextTable t;
    t.caption = caption;
    const bool corrected = !evaluation.correctedResults.empty();
    const QStringList titles = levelListResultTitles();
    for (int c = 0; c < ResultColumns; ++c)
        if (c != CorrectedColumn || corrected)
            t.header.push_back(titles[c].toStdString());
    for (const ResultValue& r : evaluation.results) {
        std::vector<std::string> row{r.quantity.symbol, r.quantity.label,
                                     levelListResultText(evaluation, r.quantity.key, false).toStdString()};
        if (corrected)
            row.push_back(levelListResultText(evaluation, r.quantity.key, true).toStdString());
        row.push_back(r.quantity.unit);
        t.rows.push_back(std::move(row));
    }
    for (const QString& line : notes)
        t.rows.push_back({"Hinweis", line.toStdString()});
    return t;
}

TextTable levelListLevelsTable(const LevelListModel& model, const LevelListEvaluation& evaluation,
                               const std::function<bool(int)>& shown)
{
    TextTable t;
    t.caption = "Pegel";
    if (!evaluation.corrections.empty())
        t.caption += ", Fremdgeräusch LB = " + levelText(*evaluation.backgroundDb, decimalMark()) + " dB";
    std::vector<int> columns;
    for (int c = 0; c < LevelListModel::ColumnCount; ++c)
        if (shown(c)) {
            columns.push_back(c);
            t.header.push_back(LevelListModel::columnTitle(c).toStdString());
        }
    t.rows.reserve(std::size_t(model.levelCount()));
    for (int r = 0; r < model.levelCount(); ++r) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (int c : columns)
            row.push_back(model.text(r, c).toStdString());
        t.rows.push_back(std::move(row));
    }
    return t;
}

LevelListTyping keysOfResult(const LevelListEvaluation& evaluation, std::size_t row, bool corrected,
                             const KeypadState& state)
{
    LevelListTyping typing;
    const ResultValue& r = (corrected ? evaluation.correctedResults : evaluation.results)[row];
    const QString name = qs(r.quantity.symbol) + (corrected ? QStringLiteral(" korrigiert") : QString());
    if (!shownValue(r)) {
        typing.status = QStringLiteral("%1 hat keinen Wert; nichts getippt.").arg(name);
        return typing;
    }
    const KeypadEntry entry = keypadEntry(valueText(r, "."), state);
    if (!entry.refusal.empty()) {
        typing.status = qs(entry.refusal);
        return typing;
    }
    typing.typed = true;
    typing.keys = qs(entry.keys);
    const QString unit = r.quantity.unit.empty() ? QString() : u' ' + qs(r.quantity.unit);
    typing.status =
        QStringLiteral("%1 = %2%3 in den dB Calculator getippt.").arg(name, qs(valueText(r, decimalMark())), unit);
    return typing;
}

}  // namespace orvella
