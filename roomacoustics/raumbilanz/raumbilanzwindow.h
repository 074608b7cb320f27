// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Raumbilanz in Oktavbändern": the room's surfaces and objects per octave
// band, evaluated on every edit with the room group, V and h of its
// calculator (followed as the user edits them there), with a chart of T over
// the bands and the tolerance band of DIN 18041. A companion of the
// reverberation calculator: it closes with it; closing it only hides it, so
// that F3 shows the same table again.

#include "companion.h"
#include "raumbilanz.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QLabel;
class QTableWidget;
QT_END_NAMESPACE

namespace orvella {

class BalanceChart;
class BalanceTableModel;
class BalanceTableView;

class RaumbilanzWindow : public QWidget {
    Q_OBJECT
public:
    explicit RaumbilanzWindow(const CompanionRequest& request);

    const BalanceEvaluation& evaluation() const { return evaluation_; }
    BalanceTableView* tableView() const { return table_; }
    BalanceTableModel* tableModel() const { return model_; }
    BalanceChart* chart() const { return chart_; }
    // The room as read from the calculator, and the verdict, as shown.
    QString roomText() const;
    QString verdictText() const;
    QString note() const;
    // The text of the bands' table at (band, column) as shown.
    QString bandText(int band, int column) const;

    // The rows and the calculator's values as the description's input: what
    // the help shows, and what a Verlauf entry keeps.
    EvaluationInput evaluationInput() const;

    // The commands.
    bool openCsv();
    // Replaces the rows by those of the CSV file at `path`; false, with a
    // note and the table unchanged, when it holds none.
    bool openCsvFile(const QString& path);
    bool saveCsv();
    bool saveReport();
    void copyResults();
    // Puts the mean of A at 500 and 1000 Hz into the calculator's present
    // absorption area and calculates; false, with a note, when there is no
    // value or the calculator cannot take it.
    bool applyToCalculator();
    QWidget* showHelp();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void readRoom();
    void reopen(const EvaluationInput& input);
    void recompute();
    void showNotes(const QStringList& notes);

    QPointer<CompanionLink> link_;
    const CalculatorModel* calculator_ = nullptr;
    BalanceParameters room_;
    QString roomText_;
    BalanceEvaluation evaluation_;
    QStringList notes_;

    BalanceTableModel* model_ = nullptr;
    BalanceTableView* table_ = nullptr;
    QLabel* roomLabel_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* verdict_ = nullptr;
    BalanceChart* chart_ = nullptr;
    QTableWidget* bands_ = nullptr;
    QTableWidget* summary_ = nullptr;
    EvaluationLink* helpLink_ = nullptr;
};

// Opens the window for the request, or shows the open one.
QWidget* openRaumbilanzWindow(const CompanionRequest& request);

}  // namespace orvella
