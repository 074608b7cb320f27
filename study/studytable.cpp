// SPDX-License-Identifier: GPL-3.0-or-later
#include "studytable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <set>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void StudyTableModel::setTable(const TextTable& table, const QStringList& headerTips)
{
    headerTips_ = headerTips;
    const bool sameShape = table.header == table_.header && table.rows.size() == table_.rows.size();
    if (sameShape) {
        table_ = table;
        if (!table_.rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
        return;
    }
    beginResetModel();
    table_ = table;
    endResetModel();
}

int StudyTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.rows.size());
}

int StudyTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(table_.header.size());
}

QVariant StudyTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return qs(table_.rows[std::size_t(index.row())][std::size_t(index.column())]);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant StudyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal)
        return headerTips_.value(section);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < columnCount() ? qs(table_.header[std::size_t(section)]) : QVariant();
    return section + 1;
}

StudyTableView::StudyTableView(QWidget* parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("table"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void StudyTableView::copySelection()
{
    auto* m = qobject_cast<StudyTableModel*>(model());
    if (!m)
        return;
    const TextTable& all = m->table();
    std::set<int> rows, columns;
    for (const QModelIndex& i : selectionModel()->selectedIndexes()) {
        rows.insert(i.row());
        columns.insert(i.column());
    }
    TextTable copy;
    copy.alignRight = all.alignRight;
    if (rows.empty()) {
        copy = all;
    } else {
        // The block that spans the selection, as spreadsheets copy it.
        for (int c = *columns.begin(); c <= *columns.rbegin(); ++c)
            copy.header.push_back(all.header[std::size_t(c)]);
        for (int r = *rows.begin(); r <= *rows.rbegin(); ++r) {
            std::vector<std::string> row;
            for (int c = *columns.begin(); c <= *columns.rbegin(); ++c)
                row.push_back(all.rows[std::size_t(r)][std::size_t(c)]);
            copy.rows.push_back(std::move(row));
        }
    }
    auto* mime = new QMimeData;
    mime->setText(qs(tabSeparatedText(copy)));
    mime->setHtml(qs(htmlTable(copy)));
    QApplication::clipboard()->setMimeData(mime);
}

void StudyTableView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void StudyTableView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Kopieren"), this, &StudyTableView::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    QAction* all = menu.addAction(QStringLiteral("&Alles auswählen"), this, &QTableView::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}

}  // namespace orvella
