// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of measured positions: r, Lp,A,S, STI and Lp,A,B as the user
// typed, pasted or opened them, and a column with the note of each row. The
// texts are kept exactly as entered; the evaluation reads them, and the
// table shows what it made of them: marked cells, greyed rows outside the
// range, the note why. There is always one empty row at the end, where a
// new position is typed.

#include "companiontable.h"
#include "iso3382eval.h"
#include "pastedtext.h"
#include "texttable.h"

#include <QStringList>

#include <vector>

namespace orvella {

// The columns of the table: the four of PositionColumn, then the note.
inline constexpr int kPositionColumns = 4;
inline constexpr int kNoteColumn = 4;

// The most positions the table takes from a paste or a file: a measurement
// has dozens; beyond this many rows the rest is left out with a note, so
// that a pasted text of a million lines is read no further.
inline constexpr int kMaxPositions = 10'000;

// The limits of the table reader for positions.
inline TableLimits positionLimits()
{
    TableLimits limits;
    limits.rows = std::size_t(kMaxPositions);
    return limits;
}

// What pasting or opening a table did, as German sentences.
struct PasteOutcome {
    int rows = 0;  // the rows written
    QStringList notes;
};

class MeasurementTableModel : public CompanionTableModel {
    Q_OBJECT
public:
    explicit MeasurementTableModel(QObject* parent = nullptr);

    // The rows as entered, the empty last row left out.
    std::vector<PositionTexts> positions() const;
    // Replaces every row (opening a file).
    void setPositions(std::vector<PositionTexts> rows);

    // What the evaluation made of the rows (one per row of positions()):
    // the table marks and greys its rows by it.
    void setEvaluated(std::vector<PositionRow> rows);
    const std::vector<PositionRow>& evaluated() const { return evaluated_; }

    // Writes the rows of a pasted table into the cells from (row, column)
    // on, adding rows below as needed, up to kMaxPositions rows. Cells
    // beyond the last column of positions, rows beyond kMaxPositions and
    // what the reader left out are named in a note.
    PasteOutcome paste(int row, int column, const PastedTable& table);

    // An empty row before `row`.
    void insertEmptyRow(int row);
    // Removes the rows (the empty last row stays).
    void removePositions(QList<int> rows);
    // Empties the cells.
    void clearCells(const QModelIndexList& cells);

    // Every position with the four columns and their header, for a CSV
    // file: a cell that is a plain number written with `decimalMark`, any
    // other text as it stands; rows that are wholly empty left out.
    TextTable textTable(std::string_view decimalMark) const;
    // A copied cell: a plain number with the user's decimal mark, any other
    // text as it stands; the note as shown.
    std::string copyText(const QModelIndex& index) const override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The texts changed: by typing, pasting, inserting, removing or opening.
    void edited();

private:
    std::string& cell(int row, int column);
    const std::string& cell(int row, int column) const;
    // Appends an empty row when the last one has something in it.
    void keepEmptyLastRow();
    QString noteOf(int row) const;

    std::vector<PositionTexts> rows_;  // the last one is always empty
    std::vector<PositionRow> evaluated_;
};

// The view of the positions, worked from the keyboard: typing replaces a
// cell, F2 edits it, Delete (or Backspace) empties the selected cells,
// Ctrl+Plus inserts a row, Ctrl+Minus removes the selected rows, Ctrl+V
// pastes from the clipboard at the current cell, Ctrl+C copies the selected
// block. The same commands are in its context menu.
class MeasurementTableView : public CompanionTableView {
    Q_OBJECT
public:
    explicit MeasurementTableView(QWidget* parent = nullptr);
    MeasurementTableModel* positionsModel() const;
    void setModel(QAbstractItemModel* model) override;

    QAction* insertRowAction() const { return insertRow_; }
    QAction* removeRowsAction() const { return removeRows_; }

    void insertRow();
    void removeSelectedRows();
    void clearSelectedCells();

signals:
    // After a paste: what it did, for the window's note.
    void pasted(const PasteOutcome& outcome);

protected:
    void pasteText(const QString& text) override;
    void deleteSelection() override { clearSelectedCells(); }

private:
    QAction* insertRow_ = nullptr;
    QAction* removeRows_ = nullptr;
};

}  // namespace orvella
