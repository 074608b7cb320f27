// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Messauswertung ISO 3382-3": a measurement of speech propagation along a
// line of work stations, evaluated after ISO 3382-3 on every edit and shown
// beside the prognosis of its calculator. A companion of the prognosis
// window: it belongs to it and closes with it; closing it only hides it, so
// that F3 shows the same table again.

#include "companion.h"
#include "iso3382eval.h"
#include "measurementchart.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>

QT_BEGIN_NAMESPACE
class QGridLayout;
class QLabel;
class QScrollArea;
class QSplitter;
QT_END_NAMESPACE

namespace orvella {

class MeasurementTableModel;
class MeasurementTableView;
struct MeasurementReport;

// The file dialog: the chosen path, or an empty string when the user
// cancels. `save` asks for a file to write, otherwise for one to read.
// Replacing it replaces every companion's (setFileDialog).
using MeasurementFileDialog = std::function<QString(QWidget* parent, const QString& caption,
                                                    const QString& suggestedPath, const QString& filter, bool save)>;
// Replaces the file dialog (tests); an empty function restores Qt's own.
void setMeasurementFileDialog(MeasurementFileDialog dialog);

class MeasurementWindow : public QWidget {
    Q_OBJECT
public:
    explicit MeasurementWindow(const CompanionRequest& request);

    const Iso3382Evaluation& evaluation() const { return evaluation_; }
    MeasurementTableView* tableView() const { return table_; }
    MeasurementTableModel* tableModel() const { return model_; }
    MeasurementChart* chart() const { return chart_; }
    // The text shown in the results at (row, column): a row per result in
    // the order of the evaluation, the columns "Größe", "Bezeichnung",
    // "Wert", "Einheit", "Hinweis".
    QString resultText(int row, int column) const;
    // The note under the table; empty when none is shown.
    QString note() const;
    // What the prognosis in the chart is computed from, or why there is none.
    QString prognosisText() const;

    // Asks for a file and reads it into the table / writes the table as CSV /
    // writes the report as PDF. False when cancelled or failed.
    bool openCsv();
    bool saveCsv();
    bool saveReport();
    // Reads a CSV file into the table; false (with a note) when it holds no
    // positions or cannot be read, and then the table is left as it was.
    // Only a regular file of at most 20 MiB is read, and at most
    // kMaxPositions rows of it; a failed allocation is reported.
    bool openCsvFile(const QString& path);
    // The results and the rating onto the clipboard, as "label<TAB>value"
    // lines and as an HTML table.
    void copyResults();
    // The window's help page.
    QWidget* showHelp();

    MeasurementReport report() const;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void recompute();
    void edited();
    void showNotes(const QStringList& notes);
    void fitNote();
    void fitResultsPane();

    QPointer<CompanionLink> link_;  // the prognosis whose inputs the chart follows
    QString title_;
    const CalculatorModel* prognosisModel_ = nullptr;
    Iso3382Evaluation evaluation_;
    QStringList actionNotes_;  // what the last paste or file did
    QString prognosisText_;
    PrognosisCurve curve_;  // the prognosis the chart shows

    MeasurementTableModel* model_ = nullptr;
    MeasurementTableView* table_ = nullptr;
    QLabel* note_ = nullptr;
    MeasurementChart* chart_ = nullptr;
    QLabel* prognosisLabel_ = nullptr;
    QGridLayout* results_ = nullptr;
    QGridLayout* rating_ = nullptr;
    QSplitter* rightSplitter_ = nullptr;
    QWidget* lower_ = nullptr;
    QScrollArea* resultsArea_ = nullptr;
    bool fitted_ = false;
    EvaluationLink* helpLink_ = nullptr;  // tells the open help that the table changed
};

// Opens the window for the request, or shows the open one.
QWidget* openMeasurementWindow(const CompanionRequest& request);

}  // namespace orvella
