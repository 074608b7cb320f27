// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Pegelliste – dB Calculator": a column of levels, typed or pasted, summed
// and averaged energetically and arithmetically, and corrected for the
// background noise; a result can be typed into the dB Calculator's display
// through its own keys. A companion of the calculator: it closes with it.

#include "companion.h"
#include "levellist.h"
#include "levellistmodel.h"
#include "levellistpaste.h"
#include "texttable.h"

#include <QPointer>
#include <QTextBrowser>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

QT_BEGIN_NAMESPACE
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;
QT_END_NAMESPACE

namespace orvella {

// The save dialog of "CSV speichern…": the chosen path, or an empty string
// when the user cancels.
using LevelListFileDialog = std::function<QString(QWidget* parent, const QString& suggestedPath)>;

// Replaces the file dialog (tests), as setFileDialog does for every
// companion; an empty function restores Qt's own.
void setLevelListFileDialog(LevelListFileDialog dialog);

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
    // The page of the open help window; null when it is not open.
    QTextBrowser* help() const;

    // Ctrl+V: appends the levels of the clipboard's text, as pasteText.
    void paste();
    // Appends the levels of `text` (levelsFromText) after the last one:
    // every number, or, when the lines are rows of a table (levelColumns),
    // the column the user picks in the column dialog (the last one offered
    // first). The status line says how many, from which column, and what
    // was left out: the list holds at most kMaxLevels levels, and a text
    // longer than kMaxPastedChars is not read at all.
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

    // The results and the list as the window shows them, in the user's
    // decimal mark: the results (with the corrected ones and the notes), and
    // the levels with their names (and ΔL, K1, flag and corrected level when
    // they are corrected).
    TextTable resultsTable() const;
    TextTable levelsTable() const;
    // Ctrl+Shift+C: both tables to the clipboard, as tab-separated text and
    // as HTML.
    void copyAll();
    // "CSV speichern…": both tables to a file the user chooses, with
    // semicolons between the cells under a decimal comma. False when the
    // user cancels or the file cannot be written (the user is told why).
    bool saveCsv();

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
    EvaluationLink* helpLink_ = nullptr;  // tells the open help that the list changed
    LevelListEvaluation evaluation_;
    QString backgroundProblem_;
    QStringList noteLines_;  // the notes under the results
};

// Opens the level list for the request's calculator, or raises the open one.
QWidget* openLevelListWindow(const CompanionRequest& request);

}  // namespace orvella
