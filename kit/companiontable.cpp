// SPDX-License-Identifier: GPL-3.0-or-later
#include "companiontable.h"

#include "pastedtext.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMimeData>

#include <algorithm>
#include <new>
#include <set>

namespace orvella {

std::string CompanionTableModel::copyText(const QModelIndex& index) const
{
    return index.data().toString().toStdString();
}

TextTable CompanionTableModel::blockOf(const QModelIndexList& cells, const std::function<bool(int)>& shown) const
{
    TextTable block;
    if (cells.isEmpty())
        return block;
    int top = rowCount(), bottom = -1, left = columnCount(), right = -1;
    for (const QModelIndex& i : cells) {
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
        left = std::min(left, i.column());
        right = std::max(right, i.column());
    }
    std::vector<int> columns;
    for (int c = left; c <= right; ++c)
        if (!shown || shown(c)) {
            columns.push_back(c);
            block.header.push_back(headerData(c, Qt::Horizontal).toString().toStdString());
        }
    for (int r = top; r <= bottom; ++r) {
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (int c : columns)
            row.push_back(copyText(index(r, c)));
        block.rows.push_back(std::move(row));
    }
    return block;
}

QString pasteLengthRefusal(qsizetype chars, const QString& what, const QString& unchanged)
{
    if (std::size_t(chars) <= kMaxPastedChars)
        return {};
    const QLocale locale;
    return QStringLiteral("%1 ist mit %2 Zeichen zu lang (höchstens %3); %4.")
        .arg(what, locale.toString(chars), locale.toString(qlonglong(kMaxPastedChars)), unchanged);
}

CompanionTableView::CompanionTableView(const QString& unchanged, QWidget* parent)
    : QTableView(parent), unchanged_(unchanged)
{
    const auto command = [this](const QString& text, const QKeySequence& key, auto run) {
        auto* action = new QAction(text, this);
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, run);
        addAction(action);
        return action;
    };
    delete_ = command(QStringLiteral("Zellen &leeren"), QKeySequence(Qt::Key_Delete),
                      [this] { deleteSelection(); });
    copy_ = command(QStringLiteral("&Kopieren"), QKeySequence::Copy, &CompanionTableView::copySelection);
    paste_ = command(QStringLiteral("E&infügen"), QKeySequence::Paste, &CompanionTableView::pasteClipboard);
    selectAll_ = command(QStringLiteral("&Alles auswählen"), QKeySequence::SelectAll, &QTableView::selectAll);
}

CompanionTableModel* CompanionTableView::tableModel() const
{
    return qobject_cast<CompanionTableModel*>(model());
}

QAction* CompanionTableView::addTableCommand(const QString& text, const QList<QKeySequence>& keys,
                                             std::function<void()> run)
{
    auto* action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    connect(action, &QAction::triggered, this, std::move(run));
    insertAction(delete_, action);
    return action;
}

void CompanionTableView::pasteClipboard()
{
    try {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        const QString text = mime ? mime->text() : QString();
        const QString refusal =
            pasteLengthRefusal(text.size(), QStringLiteral("Der Text der Zwischenablage"), unchanged_);
        if (!refusal.isEmpty()) {
            emit message(refusal);
            return;
        }
        pasteText(text);
    } catch (const std::bad_alloc&) {
        emit message(QStringLiteral("Für den Text der Zwischenablage reicht der Speicher nicht; %1.").arg(unchanged_));
    }
}

void CompanionTableView::copySelection()
{
    CompanionTableModel* m = tableModel();
    if (!m)
        return;
    QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty() && currentIndex().isValid())
        cells << currentIndex();
    const TextTable block = m->blockOf(cells, [this](int c) { return !isColumnHidden(c); });
    if (block.rows.empty())
        return;
    auto* mime = new QMimeData;
    mime->setText(QString::fromStdString(tabSeparatedText(block)));
    mime->setHtml(QString::fromStdString(htmlTable(block)));
    QApplication::clipboard()->setMimeData(mime);
}

std::vector<int> CompanionTableView::selectedRows() const
{
    std::set<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows.insert(i.row());
    const int last = model() ? model()->rowCount() - 1 : 0;
    std::vector<int> out;
    for (int r : rows)
        if (r < last)
            out.push_back(r);
    return out;
}

void CompanionTableView::moveDown()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const QModelIndex below = model()->index(current.row() + 1, current.column());
    if (below.isValid()) {
        setCurrentIndex(below);
        scrollTo(below);
    }
}

void CompanionTableView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        // Return moves down, as in a spreadsheet.
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            event->modifiers() == Qt::NoModifier) {
            moveDown();
            return;
        }
        // A command's key sent to the table without its shortcut having
        // been matched (the table not the focus widget of the active window).
        const QKeySequence pressed(event->keyCombination());
        for (QAction* action : actions())
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                action->trigger();
                return;
            }
    }
    QTableView::keyPressEvent(event);
}

void CompanionTableView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    // Return in a cell being edited (the delegate submits) takes the text
    // and goes on to the row below.
    if (hint == QAbstractItemDelegate::SubmitModelCache)
        moveDown();
}

void CompanionTableView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    for (QAction* action : actions()) {
        if (action == copy_ && !menu.isEmpty())
            menu.addSeparator();
        menu.addAction(action);
    }
    menu.exec(event->globalPos());
}

}  // namespace orvella
