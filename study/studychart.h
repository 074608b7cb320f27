// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of a parameter study: one curve per result over the variable,
// the results of each unit on an axis of their own (left and right), a
// logarithmic x axis for logarithmic spacing, the calculator's current input
// marked, and the guidance values the description gives, labelled with
// their source.
// Points without an answer leave a gap: a curve is drawn as one line per run
// of answered points. The legend is a widget of its own below the chart
// (StudyLegend), which wraps its entries instead of cutting them short.

#include "studycore.h"

#include <QChartView>
#include <QFont>
#include <QList>
#include <QLocale>
#include <QPen>
#include <QPointF>
#include <QString>

#include <string>
#include <vector>

QT_BEGIN_NAMESPACE
class QGraphicsTextItem;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;
class QAbstractAxis;
QT_END_NAMESPACE

namespace orvella {

// An entry of the legend: the text and how its line is drawn.
struct LegendEntry {
    QString text;
    QPen pen;
    bool marker = false;  // the current input: a line with a point on it
    bool operator==(const LegendEntry&) const = default;
};

class StudyChart : public QChartView {
    Q_OBJECT
public:
    explicit StudyChart(QWidget* parent = nullptr);
    ~StudyChart() override;

    // Builds the curves and axes for a calculator's results; `xSpacing` is
    // the spacing the first study is expected to have. A chart already built
    // for them and unchanged since is left as it is.
    void setCalculator(const CalculatorModel& model, Spacing xSpacing = Spacing::Linear);

    // A closed study's chart for the next study of the same calculator,
    // taken out of the charts kept by keep(); null when none fits. Building
    // the axes, curves and guidance lines and laying the chart out is the
    // larger part of a new study window. A kept chart is one still as
    // setCalculator built it (no other calculator, x axis or gap since) under
    // the locale and font that are in force now: it draws what a new one
    // draws once showStudy has shown the new study.
    static StudyChart* takeKept(const CalculatorModel& model, Spacing xSpacing);
    // Takes `chart` out of its window and keeps it for takeKept, one per
    // calculator; a chart that could not serve as a new one is deleted.
    static void keep(StudyChart* chart);

    // Shows a computed study over input `variable` of the calculator set last.
    void showStudy(int variable, const StudyOutcome& outcome);

    // The entries of the legend for the calculator and study shown.
    const QList<LegendEntry>& legendEntries() const { return legend_; }

    // The drawn runs of result `result`'s curve (the gaps lie between them).
    QList<QList<QPointF>> curveRuns(int result) const;
    // The guidance lines' labels as shown (plain text), in the order of drawing.
    QStringList guidanceLabels() const;
    bool logarithmicX() const;
    // The x of the current-input marker; NaN when it is not shown.
    double markerX() const;

signals:
    void legendChanged();

private:
    struct Curve {
        std::vector<QLineSeries*> runs;
        int axis = 0;  // index into yAxes_
    };
    struct Guide {
        int result = 0;
        double value = 0.0;
        bool labelBelow = false;
        QLineSeries* line = nullptr;
        QGraphicsTextItem* label = nullptr;
    };

    QLineSeries* addLine(int axis, const QPen& pen);
    void attach(QAbstractSeries* series, int axis);
    void useXAxis(QAbstractAxis* axis);
    void setXRange(double from, double to, bool logarithmic);
    void placeGuideLabels();
    // The segments of the curves on y axis `axis` that meet `box` (in the
    // chart's coordinates; `onAxesOf` is a series on the same axes).
    int curveSegmentsIn(const QRectF& box, QLineSeries* onAxesOf, int axis) const;
    void clearCalculator();
    // Shows `legend`, telling the legend widget when it differs from the shown one.
    void setLegend(const QList<LegendEntry>& legend);

    const CalculatorModel* model_ = nullptr;
    // Whether the chart is as setCalculator first built it for model_ (whose
    // id is builtId_) and builtSpacing_, under builtLocale_ and builtFont_.
    bool pristine_ = false;
    bool built_ = false;
    std::string builtId_;
    Spacing builtSpacing_ = Spacing::Linear;
    QLocale builtLocale_;
    QFont builtFont_;
    QChart* chart_ = nullptr;
    QValueAxis* xLinear_ = nullptr;
    QLogValueAxis* xLog_ = nullptr;
    QAbstractAxis* xAxis_ = nullptr;  // the one in the chart
    std::vector<QValueAxis*> yAxes_;
    std::vector<std::string> axisUnits_;
    std::vector<Curve> curves_;
    QLineSeries* markerLine_ = nullptr;
    std::vector<QScatterSeries*> markerPoints_;  // one per y axis
    std::vector<Guide> guides_;
    double markerX_ = 0.0;
    bool markerShown_ = false;
    QList<LegendEntry> curveEntries_;  // one per result of the calculator
    QList<LegendEntry> legend_;        // as shown: the curves, then the marker
};

// The legend below the chart: its entries in two columns, in one where two
// do not fit its width, so that a narrow window cuts none of them short.
class StudyLegend : public QWidget {
    Q_OBJECT
public:
    explicit StudyLegend(StudyChart* chart, QWidget* parent = nullptr);
    QStringList texts() const;
    int columns() const { return columns_; }
    // As narrow as one column, as high as the columns shown.
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void arrange(int columns);
    int widthFor(int columns) const;
    StudyChart* chart_;
    QList<LegendEntry> shown_;
    QList<QWidget*> parts_;  // per entry its line, then its text
    int columns_ = 2;
};

}  // namespace orvella
