// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Verlauf's table of entries: rows of one height, so that 100 000 of
// them need no measuring; the window's commands give its keys and menu.

#include <QList>
#include <QTableView>

class QAction;

namespace orvella {

// The table: a double click asks for "Übernehmen" (on the note it edits
// the note, as F2 does); the window's commands give its keys and its menu.
class VerlaufTableView : public QTableView {
    Q_OBJECT
public:
    explicit VerlaufTableView(QWidget* parent = nullptr);

    // The commands whose keys belong to the table (Enter, F2, Ctrl+C,
    // Ctrl+A): triggered when the table receives their key outside
    // editing; a disabled one beeps.
    void setKeyCommands(QList<QAction*> commands) { keyCommands_ = std::move(commands); }

signals:
    void applyRequested();
    void menuRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QList<QAction*> keyCommands_;
};

}  // namespace orvella
