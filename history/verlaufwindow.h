// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Verlauf – Orvella": the recorded calculations, newest first, in a table
// of time, calculator, inputs, results and the user's note, with a filter
// by calculator and a search for texts and numbers in either decimal mark.
// A companion like the help and the study: it belongs to the window it was
// opened from and closes with it. Opened from a calculator it shows that
// calculator's entries first, and "Übernehmen" (Enter, double click) puts
// one of them back into the calculator's fields and calculates; opened from
// the menu it shows every entry. The selected entries (none selected: every
// entry the filter and the search find) are copied (Ctrl+C), saved as CSV
// or written as a report (PDF or ODF text) with their worked calculations.

#include "companion.h"
#include "companionfiles.h"
#include "historyhub.h"
#include "historymodel.h"
#include "verlaufexport.h"
#include "verlaufreport.h"
#include "verlaufview.h"

#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace orvella {

// The save dialog of the Verlauf's exports: the one of every companion
// (companionfiles.h).
using VerlaufFileDialog = FileDialog;
void setVerlaufFileDialog(VerlaufFileDialog dialog);

class VerlaufWindow : public QWidget {
    Q_OBJECT
public:
    VerlaufWindow(const CompanionRequest& request, HistoryHub& hub);

    HistoryModel* model() const { return model_; }
    VerlaufTableView* table() const { return table_; }
    QComboBox* calculatorFilter() const { return filter_; }
    QLineEdit* searchField() const { return search_; }
    QLabel* statusLabel() const { return status_; }

    // Whether "Übernehmen" can put the entry of `row` back: an entry of one
    // of the owner's calculators.
    bool canApply(int row) const;
    // "Übernehmen" of the current row; false (with a beep) when it cannot.
    bool apply();

    // The entries the exports take: the selected rows, or, when none or
    // every row read so far is selected, every entry the filter and the
    // search find. Newest first; read in pages behind a progress dialog
    // (empty when cancelled).
    std::vector<CalculationRecord> exportedEntries();
    std::vector<std::int64_t> exportedIds();
    ReportSettings reportSettings() const;

    // Ctrl+C: the exported entries as tab-separated text and as an HTML table.
    void copyEntries();
    // Asks for a file and writes the exported entries as CSV / as a report
    // (PDF or ODF text, by the chosen name's suffix). False when cancelled
    // or failed; a failure is reported in a message box.
    bool saveCsv();
    bool saveReport();
    // "Verlauf löschen…": asks, then removes every entry. False when the
    // user said no or it failed.
    bool clearHistory();

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildFilter(const CompanionRequest& request);
    void applyFilter();
    void applySearch();
    void updateStatus();
    void updateButtons();
    // The window's commands; those of the buttons that are not members.
    struct ButtonCommands {
        QAction* csv;
        QAction* report;
        QAction* clear;
        QAction* close;
    };
    ButtonCommands addCommands();
    void showMenu(const QPoint& globalPos);

    QPointer<QWidget> owner_;
    QPointer<CompanionLink> link_;
    CompanionRequest request_;  // what the owner's companions are opened with
    std::vector<const CalculatorModel*> ownerModels_;
    std::vector<const CalculatorModel*> allModels_;
    HistoryHub& hub_;
    HistoryModel* model_ = nullptr;
    VerlaufTableView* table_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTimer* searchTimer_ = nullptr;
    QLabel* status_ = nullptr;
    VerlaufExport export_;
    QAction* applyCommand_ = nullptr;
    QAction* noteCommand_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QCheckBox* enabled_ = nullptr;
};

// Opens the Verlauf for the request, or raises the open one.
QWidget* openVerlaufWindow(const CompanionRequest& request, HistoryHub& hub);

}  // namespace orvella
