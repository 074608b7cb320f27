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
#include "historyhub.h"
#include "historymodel.h"
#include "texttable.h"
#include "verlaufreport.h"

#include <QPointer>
#include <QTableView>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace orvella {

// The table: Enter and a double click ask for "Übernehmen" (a double click
// on the note edits it, as F2 does), Ctrl+C for a copy.
class VerlaufTableView : public QTableView {
    Q_OBJECT
public:
    explicit VerlaufTableView(QWidget* parent = nullptr);

signals:
    void applyRequested();
    void copyRequested();
    void menuRequested(const QPoint& globalPos);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// Asks for the file to save to: the chosen path, or empty when cancelled.
// `selectedFilter` holds the offered filter on entry and the chosen one on
// return. The program shows Qt's file dialog; tests answer themselves.
using VerlaufFileDialog = std::function<QString(QWidget* parent, const QString& caption,
                                                const QString& suggestedPath, const QString& filters,
                                                QString* selectedFilter)>;
void setVerlaufFileDialog(VerlaufFileDialog dialog);

// Asks a yes-or-no question ("Verlauf löschen?"); true for yes. The program
// shows a message box with "Nein" as the default; tests answer themselves.
using VerlaufQuestion = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
void setVerlaufQuestion(VerlaufQuestion question);

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

private:
    void buildFilter(const CompanionRequest& request);
    void applyFilter();
    void applySearch();
    void updateStatus();
    void updateButtons();
    void showMenu(const QPoint& globalPos);
    QString askFile(const QString& caption, const QString& suggestedName, const QString& filters,
                    QString* selectedFilter);
    // Asks before a report of very many entries; true to go on.
    bool confirmLargeReport(std::size_t count);
    // Asks before a copy or CSV of very many entries; true to go on.
    bool confirmLargeExport(std::size_t count, const QString& title, const QString& verb);
    // Reads the entries of `ids` (and, when `table` is given, makes the
    // copied or saved table of them) in pages behind a progress dialog;
    // false (and nothing read) when the user cancelled.
    bool readEntries(const std::vector<std::int64_t>& ids, std::vector<CalculationRecord>* entries,
                     TextTable* table = nullptr);

    QPointer<QWidget> owner_;
    QPointer<CompanionLink> link_;
    std::vector<const CalculatorModel*> ownerModels_;
    std::vector<const CalculatorModel*> allModels_;
    HistoryHub& hub_;
    HistoryModel* model_ = nullptr;
    VerlaufTableView* table_ = nullptr;
    QComboBox* filter_ = nullptr;
    QLineEdit* search_ = nullptr;
    QTimer* searchTimer_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QCheckBox* enabled_ = nullptr;
};

// Opens the Verlauf for the request, or raises the open one.
QWidget* openVerlaufWindow(const CompanionRequest& request, HistoryHub& hub);

}  // namespace orvella
