// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter study of a formula calculator: one of its inputs varies over
// a range while the others keep the texts of the calculator's fields; every
// point is computed with the calculator's own description and shown in a
// table and a chart, which can be copied and saved.

#include "companion.h"
#include "studycore.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QWidget>

#include <functional>

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

// The study's table: a row per point, a column for the variable and one per
// result, each cell as the calculator writes it ("–" without an answer).
class StudyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The table, and the full name of each column for its header's tooltip.
    void setTable(const TextTable& table, const QStringList& headerTips = {});
    const TextTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TextTable table_;
    QStringList headerTips_;
};

// The table view: Ctrl+C copies the selected block (the whole table after
// Ctrl+A) with its header row, as tab-separated text and as an HTML table.
class StudyTableView : public QTableView {
    Q_OBJECT
public:
    explicit StudyTableView(QWidget* parent = nullptr);
    void copySelection();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// The save dialog: returns the chosen path, or an empty string when the user
// cancels. `selectedFilter` holds the offered filter on entry and the chosen
// one on return.
using StudyFileDialog = std::function<QString(QWidget* parent, const QString& caption,
                                              const QString& suggestedPath, const QString& filters,
                                              QString* selectedFilter)>;

// Replaces the file dialog (tests); an empty function restores Qt's own.
void setStudyFileDialog(StudyFileDialog dialog);

class StudyWindow : public QWidget {
    Q_OBJECT
public:
    explicit StudyWindow(const CompanionRequest& request);

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
    std::vector<std::string> fieldTexts() const;
    QString fieldText(const std::string& field) const;
    QString suggestedName(const QString& suffix) const;
    QString askFile(const QString& caption, const QString& suffix, const QString& filters,
                    QString* selectedFilter);

    QPointer<QWidget> owner_;
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
