// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter study of a formula calculator: one of its inputs varies over
// a range while the others keep the texts of the calculator's fields; every
// point is computed with the calculator's own description and shown in a
// table and a chart, which can be copied and saved.

#include "companion.h"
#include "studycore.h"
#include "studyexport.h"
#include "studytable.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

QT_BEGIN_NAMESPACE
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
QT_END_NAMESPACE

namespace orvella {

class StudyChart;
class StudyLegend;

class StudyWindow : public QWidget {
    Q_OBJECT
public:
    explicit StudyWindow(const CompanionRequest& request);
    ~StudyWindow() override;

    // The calculator (of the request's models) that is studied.
    const CalculatorModel& model() const { return *models_[std::size_t(modelIndex_)]; }
    const StudyOutcome& outcome() const { return outcome_; }
    StudyChart* chart() const { return chart_; }
    StudyLegend* legend() const { return legend_; }
    StudyTableView* tableView() const { return table_; }
    // The note under the range ("linear geteilt", "vertauscht", ...); empty when none.
    QString note() const;

    // Asks for a file name and writes the table as CSV / the chart as PNG or
    // SVG (by the chosen name's suffix). False when cancelled or failed; a
    // failure is reported in a message box.
    bool saveCsv();
    bool saveChart();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void chooseModel(int index);
    void chooseVariable(int index);
    void recompute();
    void rangeEdited();
    void updateInputList();
    // The calculator's input texts as its window holds them.
    std::vector<std::string> fieldTexts() const;
    // The name offered in the save dialogs, without its suffix.
    QString fileName() const;

    QPointer<CompanionLink> link_;
    QString title_;
    std::vector<const CalculatorModel*> models_;
    int modelIndex_ = 0;
    int variable_ = 0;
    std::string preferredKey_;  // the input studied first: the one with the focus
    double from_ = 0.0;
    double to_ = 1.0;
    QString rangeProblem_;
    StudyOutcome outcome_;

    QComboBox* conversion_ = nullptr;
    QComboBox* variableBox_ = nullptr;
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    QLabel* fromUnit_ = nullptr;
    QLabel* toUnit_ = nullptr;
    QSpinBox* points_ = nullptr;
    QCheckBox* logarithmic_ = nullptr;
    QLabel* note_ = nullptr;
    int controlsWidth_ = 0;  // the fixed width of the panel on the left
    QGridLayout* inputList_ = nullptr;
    QList<QLabel*> inputLabels_;
    QWidget* figure_ = nullptr;  // the chart and its legend
    StudyChart* chart_ = nullptr;
    StudyLegend* legend_ = nullptr;
    StudyTableView* table_ = nullptr;
    StudyTableModel* tableModel_ = nullptr;
    bool updating_ = false;
    bool stale_ = false;  // the calculator's fields changed while the study was closed
};

// Opens the study window for the request, or raises the open one.
QWidget* openStudyWindow(const CompanionRequest& request);

}  // namespace orvella
