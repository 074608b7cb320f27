// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editable table of numbers of a companion window (the Pegelliste's
// levels, the Messauswertung's positions), worked from the keyboard as a
// spreadsheet: Return after an edit moves down a row, Delete clears the
// selection (each table says what that means for it), Ctrl+V pastes the
// clipboard's text within the bounds of a paste, Ctrl+C copies the selected
// block as it is in the model. The same commands are its context menu.

#include "texttable.h"

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

#include <functional>
#include <string>
#include <vector>

class QAction;

namespace orvella {

// The model of such a table.
class CompanionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The text of a cell in a copy: by default the text the cell shows.
    virtual std::string copyText(const QModelIndex& index) const;

    // The block of cells that spans `cells`, with the header of its
    // columns; a column for which `shown` is false is left out.
    TextTable blockOf(const QModelIndexList& cells, const std::function<bool(int column)>& shown = {}) const;
};

// Why a text of `chars` characters is not pasted ("Der Text der
// Zwischenablage ist mit … Zeichen zu lang …; " + `unchanged` + "."), or an
// empty text when it is short enough to be read. `what` names the text.
QString pasteLengthRefusal(qsizetype chars, const QString& what, const QString& unchanged);

// The view of such a table.
class CompanionTableView : public QTableView {
    Q_OBJECT
public:
    // `unchanged` ends a sentence that says a paste did nothing ("die Liste
    // ist unverändert").
    explicit CompanionTableView(const QString& unchanged, QWidget* parent = nullptr);
    CompanionTableModel* tableModel() const;

    // The commands, each with its key while the table has the keyboard
    // (a cell being edited keeps its own keys), in the order of the context
    // menu: Delete, Ctrl+C, Ctrl+V, Ctrl+A. A table adds its own before
    // them with addTableCommand.
    QAction* deleteAction() const { return delete_; }
    QAction* copyAction() const { return copy_; }
    QAction* pasteAction() const { return paste_; }

    // Ctrl+V: the clipboard's text to pasteText, unless it is too long or
    // there is no memory to read it (then `message` says so).
    void pasteClipboard();
    // Ctrl+C: the selected block (else the current cell) from the model, as
    // tab-separated text and as HTML.
    void copySelection();
    // The rows that hold a selected cell, in order, the empty last row left
    // out.
    std::vector<int> selectedRows() const;

signals:
    // What a command did or why it did nothing, as a German sentence.
    void message(const QString& text);

protected:
    // Pastes the clipboard's text (at most kMaxPastedChars characters).
    virtual void pasteText(const QString& text) = 0;
    // Delete: empties the selected cells or removes their rows.
    virtual void deleteSelection() = 0;
    // Adds a command of the table before the common ones.
    QAction* addTableCommand(const QString& text, const QList<QKeySequence>& keys, std::function<void()> run);
    // The current cell a row down, if there is one.
    void moveDown();

    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    QString unchanged_;
    QAction* delete_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* selectAll_ = nullptr;
};

}  // namespace orvella
