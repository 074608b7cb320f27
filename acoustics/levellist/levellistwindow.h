// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Pegelliste – dB Calculator": a column of levels, typed or pasted, summed
// and averaged energetically and arithmetically, and corrected for the
// background noise; a result can be typed into the dB Calculator's display
// through its own keys. A companion of the calculator: it closes with it.

#include "companion.h"
#include "levellist.h"

#include <QPointer>
#include <QTableView>
#include <QTextBrowser>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;
QT_END_NAMESPACE

namespace orvella {

class LevelListModel;

// The list: Return after an edit moves down a row, as in a spreadsheet, so
// that levels can be typed one per line; Delete asks to remove the rows of
// the selected cells.
class LevelListView : public QTableView {
    Q_OBJECT
public:
    explicit LevelListView(QWidget* parent = nullptr);
    // The rows that hold a selected cell, the append row left out.
    std::vector<int> selectedLevelRows() const;

signals:
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
};

class LevelListWindow : public QWidget {
    Q_OBJECT
public:
    explicit LevelListWindow(const CompanionRequest& request);

    LevelListModel* model() const { return model_; }
    LevelListView* listView() const { return list_; }
    QTableWidget* resultsView() const { return results_; }
    QLineEdit* backgroundEdit() const { return background_; }
    QPushButton* typeButton() const { return typeButton_; }
    const LevelListEvaluation& evaluation() const { return evaluation_; }
    // The result as the table shows it, of the levels or of the corrected ones.
    QString resultText(const QString& key, bool corrected = false) const;
    // The notes under the results, and the status line.
    QString notes() const;
    QString status() const;
    // The open help page; null when it is not open.
    QTextBrowser* help() const { return help_; }

    // Ctrl+V: appends every number of the clipboard's text, as pasteText.
    void paste();
    // Appends every number of `text` as a level (levelsFromText) after the
    // last one; the status line says how many, or that there was none.
    void pasteText(const QString& text);
    // Delete: removes the rows of the selected cells.
    void deleteSelectedRows();
    void clearList();
    // "In den Rechner": types the current result (at first the energetic
    // sum; the corrected one when the current cell is in the corrected
    // column) into the calculator's display through its keys. False, with
    // the reason in the status line, when it cannot.
    bool typeIntoCalculator();
    // F1: the help page, worked with the levels now in the list.
    void showHelp();

signals:
    // The results were computed again.
    void evaluated();

private:
    void recompute();
    void showResults();
    void refreshHelp();
    std::optional<double> backgroundLevel(QString* problem) const;
    void setStatus(const QString& text);

    QPointer<QWidget> owner_;
    CompanionRequest request_;
    LevelListModel* model_ = nullptr;
    LevelListView* list_ = nullptr;
    QLineEdit* background_ = nullptr;
    QTableWidget* results_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* typeButton_ = nullptr;
    QStatusBar* status_ = nullptr;
    QPointer<QTextBrowser> help_;
    LevelListEvaluation evaluation_;
    QString backgroundProblem_;
};

// Opens the level list for the request's calculator, or raises the open one.
QWidget* openLevelListWindow(const CompanionRequest& request);

}  // namespace orvella
