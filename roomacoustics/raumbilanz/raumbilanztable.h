// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of the room's surfaces and objects: name, S or n, and the six
// octave bands as the user typed or pasted them, with a column of the note
// of each row. The texts are kept as entered; the evaluation reads them, and
// the table marks the cells it could not use. One empty row stays at the end,
// where a new row is typed.

#include "companiontable.h"
#include "pastedtext.h"
#include "raumbilanz.h"

#include <QStringList>

#include <array>
#include <vector>

namespace orvella {

inline constexpr int kBalanceNoteColumn = kBalanceColumns;

class BalanceTableModel : public CompanionTableModel {
    Q_OBJECT
public:
    explicit BalanceTableModel(QObject* parent = nullptr);

    // The rows as entered, the empty last row left out.
    std::vector<BalanceRowTexts> balanceRows() const;
    // Replaces every row.
    void setBalanceRows(const std::vector<BalanceRowTexts>& rows);
    // What the evaluation made of the rows, for the marks and notes.
    void setEvaluated(std::vector<BalanceRow> rows);

    // Writes a pasted table into the cells from (row, column) on, adding
    // rows as needed up to raumbilanz::kMaxRows; returns the rows written
    // and German notes on what was left out. Pasted from the name on, leading
    // rows with a word for S or n are headings and skipped.
    int paste(int row, int column, PastedTable table, QStringList* notes);
    // Empties the cells; removes rows that are then empty.
    void clearCells(const QModelIndexList& cells);

    // The rows with their headers for a CSV file or the report: a number
    // written with `decimalMark`, a text as it stands; with the notes when
    // `withNotes`.
    TextTable textTable(std::string_view decimalMark, bool withNotes) const;
    std::string copyText(const QModelIndex& index) const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void edited();

private:
    using Cells = std::array<std::string, kBalanceColumns>;
    void keepOneEmptyRow();
    QString noteOf(int row) const;

    std::vector<Cells> rows_;  // the last one is always empty
    std::vector<BalanceRow> evaluated_;
};

// The rows of a table read from a file, up to the first empty line after
// them: a CSV saved by the window holds the rows, then a blank line, the
// bands and the results, which are no rows of the table.
PastedTable firstTableOf(PastedTable table);

// The view: Return moves down, Delete empties the selected cells, Ctrl+V
// pastes at the current cell, Ctrl+C copies the selected block.
class BalanceTableView : public CompanionTableView {
    Q_OBJECT
public:
    explicit BalanceTableView(QWidget* parent = nullptr);
    BalanceTableModel* balanceModel() const;
    void setModel(QAbstractItemModel* model) override;

signals:
    void pasted(const QStringList& notes);

protected:
    void pasteText(const QString& text) override;
    void deleteSelection() override;
};

}  // namespace orvella
