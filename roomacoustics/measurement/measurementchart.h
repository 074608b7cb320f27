// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of a measurement after ISO 3382-3, in two panels over the
// distance r on a logarithmic axis (doublings): above, Lp,A,S with the
// measured points, the regression line (dashed where it is extended beyond
// the positions that entered it), the line at 45 dB with rC and the
// prognosis Lr(R) of the calculator; below, the STI with its regression
// line, the lines at 0.50 and 0.20 with rD and rP. Positions outside the
// range of the regressions are grey.

#include "iso3382eval.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QLineSeries;
class QLogValueAxis;
class QPainter;
class QScatterSeries;
class QValueAxis;
class QXYSeries;
QT_END_NAMESPACE

namespace orvella {

// The calculator's prognosis of the speech level over the distance: the
// points (r in m, level in dB) and the legend's text; no points when the
// calculator's inputs give none, and then `note` says why.
struct PrognosisCurve {
    QString label;
    QList<QPointF> points;
    QString note;
};

// The most points the chart draws of one series of positions. A long
// series is thinned to this many: evenly along the table, and always with
// the positions of the smallest and largest distance and level.
inline constexpr qsizetype kMostChartPoints = 1000;

// `points` thinned to at most `most` (at least 5) as the chart draws them,
// in their order; as they are when there are no more. Linear in their
// number.
QList<QPointF> thinnedPoints(const QList<QPointF>& points, qsizetype most = kMostChartPoints);

// The distances [m] the chart spans for an evaluation: whole doublings
// around the readable positions and the range of the regressions, and the
// distances rC, rD and rP where they lie within reach.
std::pair<double, double> chartDistanceRange(const Iso3382Evaluation& evaluation);

class MeasurementChart : public QWidget {
    Q_OBJECT
public:
    explicit MeasurementChart(QWidget* parent = nullptr);

    // Shows an evaluation, the decimal mark that of its texts, and the
    // prognosis over the range of chartDistanceRange.
    void showEvaluation(const Iso3382Evaluation& evaluation, const PrognosisCurve& prognosis);

    // The points of the series with this object name, as drawn (a series
    // of positions thinned to kMostChartPoints); empty when it shows none. Above: "measured", "outside" (the positions), "levelLine",
    // "levelLineExtended", "comfortLevel" (45 dB), "comfortLine" (the
    // vertical at rC), "comfortMark", "prognosis"; below: "sti",
    // "stiOutside", "stiLine", "stiLineExtended", "distractionLevel",
    // "privacyLevel", "distractionLine", "privacyLine", "distractionMark",
    // "privacyMark".
    QList<QPointF> points(const QString& series) const;
    // The legend's texts of the upper and the lower panel, in order.
    QStringList legendTexts() const;
    std::pair<double, double> distanceAxis() const;

    QChart* levelChart() const { return levelChart_; }
    QChart* stiChart() const { return stiChart_; }

    // Draws both panels into `target` of `painter` (as vectors on a PDF).
    void renderTo(QPainter* painter, const QRectF& target) const;

    // The plot areas of the upper and the lower panel, each in its chart.
    std::pair<QRectF, QRectF> plotAreas() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QXYSeries* series(const QString& name) const;
    void updateTicks();
    void alignPlotAreas();

    QChartView* levelView_ = nullptr;
    QChartView* stiView_ = nullptr;
    QChart* levelChart_ = nullptr;
    QChart* stiChart_ = nullptr;
    QLogValueAxis* levelX_ = nullptr;
    QLogValueAxis* stiX_ = nullptr;
    QValueAxis* levelY_ = nullptr;
    QValueAxis* stiY_ = nullptr;
};

}  // namespace orvella
