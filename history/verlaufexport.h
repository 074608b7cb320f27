// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the Verlauf hands out: its entries copied as a table, saved as CSV or
// written as a report with their worked calculations. Large exports are
// made only after a question, and read in pages behind a progress dialog
// that answers (its "Abbrechen" too) between the pages.

#include "calculationrecord.h"
#include "historyhub.h"
#include "texttable.h"
#include "verlaufreport.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class QTableView;
class QWidget;

namespace orvella {

class HistoryModel;

// Asks a yes-or-no question ("Verlauf löschen?"); true for yes. The program
// shows a message box with "Nein" as the default; tests answer themselves.
using VerlaufQuestion = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
void setVerlaufQuestion(VerlaufQuestion question);
bool askVerlaufQuestion(QWidget* parent, const QString& title, const QString& text);

// The entries an export takes: the selected rows, or, when none or every
// row read so far is selected, every entry the filter and the search find.
// Newest first.
std::vector<std::int64_t> exportedIds(const QTableView& table, HistoryModel& model);

class VerlaufExport {
public:
    // Exports of the entries in `hub`, with `window` as the dialogs' parent;
    // `models` are the calculators the report knows.
    VerlaufExport(QWidget* window, HistoryHub& hub, std::vector<const CalculatorModel*> models);

    ReportSettings reportSettings() const;
    // The entries of `ids`, read in pages; empty when cancelled.
    std::vector<CalculationRecord> entries(const std::vector<std::int64_t>& ids);

    // The entries as tab-separated text and as an HTML table on the clipboard.
    void copy(const std::vector<std::int64_t>& ids);
    // Ask for a file and write the entries of `ids()` as CSV / as a report
    // (PDF or ODF text, by the chosen name's suffix). The ids are taken after
    // the file is chosen. False when cancelled or failed; a failure is
    // reported in a message box.
    bool saveCsv(const std::function<std::vector<std::int64_t>()>& ids);
    bool saveReport(const std::function<std::vector<std::int64_t>()>& ids);

private:
    bool confirmLargeExport(std::size_t count, const QString& title, const QString& verb);
    bool confirmLargeReport(std::size_t count);
    // Reads the entries of `ids` (and, when `table` is given, makes the
    // copied or saved table of them) in pages behind a progress dialog;
    // false (and nothing read) when the user cancelled.
    bool readEntries(const std::vector<std::int64_t>& ids, std::vector<CalculationRecord>* entries,
                     TextTable* table = nullptr);

    QWidget* window_;
    HistoryHub& hub_;
    std::vector<const CalculatorModel*> models_;
};

}  // namespace orvella
