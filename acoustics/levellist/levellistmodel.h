// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The level list as a table: a row per level with its optional name and,
// when a background level is given, ΔL, K1, the flag and the corrected
// level; below them an empty row in which a typed level is appended.

#include "companiontable.h"
#include "evaluationrecord.h"
#include "levellist.h"
#include "levellisttext.h"

#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace orvella {

class LevelListModel : public CompanionTableModel {
    Q_OBJECT
public:
    enum Column { Level, Name, Delta, K1, Flag, Corrected, ColumnCount };

    using CompanionTableModel::CompanionTableModel;

    std::span<const double> levels() const { return levels_; }
    const std::vector<QString>& names() const { return names_; }
    int levelCount() const { return int(levels_.size()); }
    // The row in which a typed level is appended.
    int appendRow() const { return levelCount(); }

    // Adds levels after the last one.
    void append(const std::vector<PastedLevel>& levels);
    // Removes the rows, given in any order; the append row stays.
    void removeLevelRows(std::vector<int> rows);
    void clear();

    // The list for the Verlauf (evaluationhistory.h): the levels with their
    // names, and the background level; a copy, nothing formatted.
    EvaluationSnapshot snapshot(std::optional<double> backgroundDb) const;
    // Replaces the levels by those of the snapshot; returns its background
    // level as the field shows it (empty for none).
    QString reopen(const EvaluationSnapshot& snapshot);

    // The per-row columns from the evaluation of the levels as they are now.
    void setEvaluation(const LevelListEvaluation* evaluation);

    // The text of a cell as the table shows it (and copies it).
    QString text(int row, int column) const;
    std::string copyText(const QModelIndex& index) const override
    {
        return text(index.row(), index.column()).toStdString();
    }
    static QString columnTitle(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A level is taken from the edited text when it holds exactly one
    // number, in either decimal mark ("62,5 dB" is 62.5); else the cell
    // keeps its level and rejected() says why. A level typed into the
    // append row is refused when the list holds kMaxLevels.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The levels changed (edited, added or removed).
    void levelsChanged();
    // An edit was not taken: the German sentence why.
    void rejected(const QString& why);

private:
    std::vector<double> levels_;
    std::vector<QString> names_;
    const LevelListEvaluation* evaluation_ = nullptr;
};

// The list: Return after an edit moves down a row, as in a spreadsheet, so
// that levels can be typed one per line; Delete asks to remove the rows of
// the selected cells; Ctrl+V asks to append the clipboard's levels.
class LevelListView : public CompanionTableView {
    Q_OBJECT
public:
    explicit LevelListView(QWidget* parent = nullptr);
    // The rows that hold a selected cell, the append row left out.
    std::vector<int> selectedLevelRows() const { return selectedRows(); }

signals:
    void deleteRequested();
    void pasteRequested(const QString& text);

protected:
    void pasteText(const QString& text) override { emit pasteRequested(text); }
    void deleteSelection() override { emit deleteRequested(); }
};

}  // namespace orvella
