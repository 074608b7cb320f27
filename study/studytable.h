// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The study's table of points: the model that holds the texts and the view
// that shows and copies them.

#include "texttable.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

namespace orvella {

// The study's table: a row per point, a column for the variable and one per
// result, each cell as the calculator writes it ("–" without an answer).
class StudyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The table, and the full name of each column for its header's tooltip.
    void setTable(const TextTable& table, const QStringList& headerTips = {});
    const TextTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TextTable table_;
    QStringList headerTips_;
};

// The table view: Ctrl+C copies the selected block (the whole table after
// Ctrl+A) with its header row, as tab-separated text and as an HTML table.
class StudyTableView : public QTableView {
    Q_OBJECT
public:
    explicit StudyTableView(QWidget* parent = nullptr);
    void copySelection();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace orvella
