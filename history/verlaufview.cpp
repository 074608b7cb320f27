// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufview.h"

#include "historymodel.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orvella {

VerlaufTableView::VerlaufTableView(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setTextElideMode(Qt::ElideRight);
    // Rows of one height: the view need not measure 100 000 of them.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void VerlaufTableView::keyPressEvent(QKeyEvent* event)
{
    if (state() != QAbstractItemView::EditingState) {
        const QKeySequence key(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
        for (QAction* command : keyCommands_)
            if (command->isVisible() && command->shortcuts().contains(key)) {
                if (command->isEnabled())
                    command->trigger();
                else
                    QApplication::beep();
                event->accept();
                return;
            }
    }
    QTableView::keyPressEvent(event);
}

void VerlaufTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    if (index.column() == HistoryModel::NoteColumn) {
        edit(index);
    } else {
        setCurrentIndex(index);
        emit applyRequested();
    }
    event->accept();
}

void VerlaufTableView::contextMenuEvent(QContextMenuEvent* event)
{
    emit menuRequested(event->globalPos());
    event->accept();
}

}  // namespace orvella
