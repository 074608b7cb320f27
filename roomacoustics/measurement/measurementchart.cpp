// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementchart.h"

#include "iso3382.h"
#include "numbers.h"
#include "studycore.h"

#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <QVBoxLayout>

#include <QtMath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvella {

namespace {

using namespace iso3382;

const QColor kMeasured(0x1f, 0x5f, 0xb4);
const QColor kPrognosis(0xd9, 0x5f, 0x02);
const QColor kGuide(0x60, 0x60, 0x60);
const QColor kMark(0x1b, 0x9e, 0x77);
const QColor kOutside(0xa8, 0xa8, 0xa8);

// How far the axis reaches at most: a position at 1 mm or 100 km is in the
// table, but would squeeze the others into a corner.
constexpr double kNearestM = 1.0 / 64.0;
constexpr double kFarthestM = 65536.0;
const QMargins kChartMargins(4, 4, 4, 0);
// Samples of the STI line, straight over r, curved on the logarithmic axis.
constexpr int kCurveSamples = 64;

std::string mark() { return QLocale().decimalPoint().toStdString(); }

QString number(double value, int decimals)
{
    try {
        return QString::fromStdString(FormatResult(value, decimals, mark()));
    } catch (const ArithmeticError&) {
        return QStringLiteral("–");
    }
}

QString withNote(const QString& text, const ResultValue& r)
{
    return r.note.empty() ? text : text + QStringLiteral(" (%1)").arg(QString::fromStdString(r.note));
}

QPen pen(const QColor& color, qreal width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(color, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

// Distances from `from` to `to` with an even ratio.
double nearestDoubling(double r, bool up)
{
    return std::exp2(up ? std::ceil(std::log2(r)) : std::floor(std::log2(r)));
}

}  // namespace

QList<QPointF> thinnedPoints(const QList<QPointF>& points, qsizetype most)
{
    const qsizetype n = points.size();
    most = std::max<qsizetype>(most, 5);
    if (n <= most)
        return points;
    // The four extremes, then evenly spread indexes for the rest.
    qsizetype extremes[4] = {0, 0, 0, 0};
    for (qsizetype i = 1; i < n; ++i) {
        const QPointF& p = points[i];
        if (p.x() < points[extremes[0]].x())
            extremes[0] = i;
        if (p.x() > points[extremes[1]].x())
            extremes[1] = i;
        if (p.y() < points[extremes[2]].y())
            extremes[2] = i;
        if (p.y() > points[extremes[3]].y())
            extremes[3] = i;
    }
    std::vector<bool> kept(std::size_t(n), false);
    qsizetype distinct = 0;
    for (const qsizetype e : extremes)
        if (!kept[std::size_t(e)]) {
            kept[std::size_t(e)] = true;
            ++distinct;
        }
    // The others evenly from the points that are not extremes, so that
    // exactly `most` are drawn.
    std::vector<qsizetype> others;
    others.reserve(std::size_t(n - distinct));
    for (qsizetype i = 0; i < n; ++i)
        if (!kept[std::size_t(i)])
            others.push_back(i);
    const qsizetype room = most - distinct;
    const auto count = qsizetype(others.size());
    for (qsizetype k = 0; k < room; ++k)
        kept[std::size_t(others[std::size_t(k * count / room)])] = true;
    QList<QPointF> out;
    out.reserve(most);
    for (qsizetype i = 0; i < n; ++i)
        if (kept[std::size_t(i)])
            out << points[i];
    return out;
}

std::pair<double, double> chartDistanceRange(const Iso3382Evaluation& e)
{
    double lo = kMinDistanceM, hi = kMaxDistanceM;
    const auto take = [&](double r) {
        if (r >= kNearestM && r <= kFarthestM) {
            lo = std::min(lo, r);
            hi = std::max(hi, r);
        }
    };
    for (const PositionRow& p : e.positions)
        if (p.distanceM)
            take(*p.distanceM);
    // The distances where they lie within a few doublings of the positions.
    for (const char* key : {"rC", "rD", "rP"})
        if (const std::optional<double> r = findResult(e.results, key)->value; r && *r <= 8.0 * hi && *r >= lo / 8.0)
            take(*r);
    // A little room around the outermost points, out to whole doublings.
    return {std::max(kNearestM, nearestDoubling(lo / 1.15, false)),
            std::min(kFarthestM, nearestDoubling(hi * 1.15, true))};
}

namespace {

template <class Series>
Series* addSeries(QChart* chart, const QString& name, QAbstractAxis* x, QAbstractAxis* y)
{
    auto* s = new Series;
    s->setObjectName(name);
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
    return s;
}

QLineSeries* addLine(QChart* chart, const QString& name, QAbstractAxis* x, QAbstractAxis* y, const QPen& p)
{
    auto* s = addSeries<QLineSeries>(chart, name, x, y);
    s->setPen(p);
    return s;
}

// The marker of a point: a filled shape of `size` with a darker border
// around it, as large as a scatter series draws it.
QImage markerImage(const QColor& color, qreal size, QScatterSeries::MarkerShape shape)
{
    constexpr qreal kBorder = 1.5;
    const int side = qCeil(size + 2 * kBorder);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color.darker(130), kBorder));
    p.setBrush(color);
    const QRectF r(kBorder, kBorder, side - 2 * kBorder, side - 2 * kBorder);
    switch (shape) {
    case QScatterSeries::MarkerShapeRectangle: p.drawRect(r); break;
    case QScatterSeries::MarkerShapeTriangle:
        p.drawPolygon(QPolygonF({QPointF(r.center().x(), r.top()), r.bottomRight(), r.bottomLeft()}));
        break;
    default: p.drawEllipse(r); break;
    }
    return image;
}

// Points without a line between them. A line series with a light marker
// draws all its points as one item, in time linear in their number; a
// scatter series makes a graphics item of each point.
QLineSeries* addPoints(QChart* chart, const QString& name, QAbstractAxis* x, QAbstractAxis* y,
                       const QColor& color, qreal size,
                       QScatterSeries::MarkerShape shape = QScatterSeries::MarkerShapeCircle)
{
    auto* s = addSeries<QLineSeries>(chart, name, x, y);
    QPen none(color);
    none.setStyle(Qt::NoPen);
    s->setPen(none);
    // The series scales its marker to its marker size.
    const QImage marker = markerImage(color, size, shape);
    s->setMarkerSize(marker.width());
    s->setLightMarker(marker);
    for (QLegendMarker* m : chart->legend()->markers(s))
        m->setShape(QLegend::MarkerShapeFromSeries);
    return s;
}

QChart* newChart(QChartView* view)
{
    auto* chart = new QChart;
    // setChart() releases the view's own first chart without deleting it.
    QChart* first = view->chart();
    view->setChart(chart);
    delete first;
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    chart->setBackgroundRoundness(0);
    chart->setMargins(kChartMargins);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setShowToolTips(true);
    return chart;
}

QLogValueAxis* newDistanceAxis(QChart* chart, const QFont& font)
{
    auto* axis = new QLogValueAxis;
    axis->setBase(2.0);
    axis->setLabelFormat(QStringLiteral("%.6g"));
    axis->setMinorTickCount(-1);
    axis->setTitleText(QStringLiteral("r [m]"));
    axis->setTitleFont(font);
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

QValueAxis* valueAxis(QChart* chart, const QString& title, const QFont& font)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(font);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}

void showInLegend(QChart* chart, QAbstractSeries* series, bool shown)
{
    for (QLegendMarker* m : chart->legend()->markers(series))
        m->setVisible(shown);
}

}  // namespace

MeasurementChart::MeasurementChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chart"));
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    levelView_ = new QChartView;
    levelView_->setObjectName(QStringLiteral("levelChart"));
    levelView_->setAccessibleName(QStringLiteral("Diagramm: Sprachschalldruckpegel über der Entfernung"));
    stiView_ = new QChartView;
    stiView_->setObjectName(QStringLiteral("stiChart"));
    stiView_->setAccessibleName(QStringLiteral("Diagramm: STI über der Entfernung"));
    levelChart_ = newChart(levelView_);
    stiChart_ = newChart(stiView_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(levelView_, 3);
    layout->addWidget(stiView_, 2);
    levelView_->setMinimumHeight(190);
    stiView_->setMinimumHeight(150);

    levelX_ = newDistanceAxis(levelChart_, font());
    levelY_ = valueAxis(levelChart_, QStringLiteral("Lp,A,S [dB]"), font());
    levelY_->setLabelFormat(QStringLiteral("%.6g"));
    stiX_ = newDistanceAxis(stiChart_, font());
    stiY_ = valueAxis(stiChart_, QStringLiteral("STI"), font());
    stiY_->setLabelFormat(QStringLiteral("%.1f"));
    stiY_->setRange(0.0, 1.0);

    // In the order of the legends. Points are drawn above lines whatever the
    // order; among the lines the later ones are drawn on top.
    QChart* c = levelChart_;
    addPoints(c, "measured", levelX_, levelY_, kMeasured, 9.0);
    addPoints(c, "outside", levelX_, levelY_, kOutside, 8.0);
    addLine(c, "levelLine", levelX_, levelY_, pen(kMeasured, 2.0));
    addLine(c, "levelLineExtended", levelX_, levelY_, pen(kMeasured, 1.2, Qt::DashLine));
    addLine(c, "comfortLevel", levelX_, levelY_, pen(kGuide, 1.2, Qt::DashLine));
    addLine(c, "comfortLine", levelX_, levelY_, pen(kMark, 1.2, Qt::DotLine));
    addPoints(c, "comfortMark", levelX_, levelY_, kMark, 10.0, QScatterSeries::MarkerShapeRectangle);
    addLine(c, "prognosis", levelX_, levelY_, pen(kPrognosis, 2.0));

    c = stiChart_;
    addPoints(c, "sti", stiX_, stiY_, kMeasured, 9.0);
    addPoints(c, "stiOutside", stiX_, stiY_, kOutside, 8.0);
    addLine(c, "stiLine", stiX_, stiY_, pen(kMeasured, 2.0));
    addLine(c, "stiLineExtended", stiX_, stiY_, pen(kMeasured, 1.2, Qt::DashLine));
    addLine(c, "distractionLevel", stiX_, stiY_, pen(kGuide, 1.2, Qt::DashLine));
    addLine(c, "distractionLine", stiX_, stiY_, pen(kMark, 1.2, Qt::DotLine));
    addPoints(c, "distractionMark", stiX_, stiY_, kMark, 10.0, QScatterSeries::MarkerShapeRectangle);
    addLine(c, "privacyLevel", stiX_, stiY_, pen(kGuide, 1.2, Qt::DashDotLine));
    addLine(c, "privacyLine", stiX_, stiY_, pen(kMark, 1.2, Qt::DotLine));
    addPoints(c, "privacyMark", stiX_, stiY_, kMark, 10.0, QScatterSeries::MarkerShapeTriangle);

    for (QChart* chart : {levelChart_, stiChart_})
        connect(chart, &QChart::plotAreaChanged, this, &MeasurementChart::alignPlotAreas);
    for (QChart* chart : {levelChart_, stiChart_})
        for (const char* helper : {"levelLineExtended", "comfortLine", "stiLineExtended", "distractionLine",
                                   "privacyLine"})
            if (QXYSeries* s = series(QString::fromLatin1(helper)); s && s->chart() == chart)
                showInLegend(chart, s, false);
}

QXYSeries* MeasurementChart::series(const QString& name) const
{
    for (QChart* chart : {levelChart_, stiChart_})
        for (QAbstractSeries* s : chart->series())
            if (s->objectName() == name)
                return static_cast<QXYSeries*>(s);
    return nullptr;
}

QList<QPointF> MeasurementChart::points(const QString& name) const
{
    const QXYSeries* s = series(name);
    return s ? s->points() : QList<QPointF>();
}

QStringList MeasurementChart::legendTexts() const
{
    QStringList texts;
    for (QChart* chart : {levelChart_, stiChart_})
        for (QLegendMarker* m : chart->legend()->markers())
            if (m->isVisible())
                texts << m->label();
    return texts;
}

std::pair<QRectF, QRectF> MeasurementChart::plotAreas() const
{
    return {levelChart_->plotArea(), stiChart_->plotArea()};
}

std::pair<double, double> MeasurementChart::distanceAxis() const { return {levelX_->min(), levelX_->max()}; }

void MeasurementChart::showEvaluation(const Iso3382Evaluation& e, const PrognosisCurve& prognosis)
{
    const auto [from, to] = chartDistanceRange(e);
    const QString rangeText =
        QStringLiteral("außerhalb %1–%2 m").arg(number(kMinDistanceM, 2), number(kMaxDistanceM, 2));
    const auto set = [this](const char* name, const QList<QPointF>& points, const QString& label = {}) {
        QXYSeries* s = series(QString::fromLatin1(name));
        s->replace(points);
        if (!label.isEmpty())
            s->setName(label);
        showInLegend(s->chart(), s, !points.isEmpty() && !label.isEmpty());
    };

    // The positions.
    QList<QPointF> used, outside, sti, stiOutside;
    double lowLevel = kComfortLevelDb, highLevel = kComfortLevelDb;
    for (const PositionRow& p : e.positions) {
        if (p.use != PositionUse::Used && p.use != PositionUse::OutsideRange)
            continue;
        const double r = *p.distanceM;
        const double level = *p.speechLevelDb;
        (p.use == PositionUse::Used ? used : outside) << QPointF(r, level);
        if (p.sti)
            (p.use == PositionUse::Used ? sti : stiOutside) << QPointF(r, *p.sti);
        if (r >= from && r <= to) {
            lowLevel = std::min(lowLevel, level);
            highLevel = std::max(highLevel, level);
        }
    }
    set("measured", thinnedPoints(used), QStringLiteral("Messwerte"));
    set("outside", thinnedPoints(outside), rangeText);
    // The lower panel draws its points and line as the upper one does; its
    // legend leaves them out, to keep room for the distances.
    set("sti", thinnedPoints(sti));
    set("stiOutside", thinnedPoints(stiOutside));

    // The level's line: solid over the positions that entered it, dashed
    // across the chart.
    if (e.speechLevelLine) {
        const RegressionLine& line = *e.speechLevelLine;
        set("levelLine", {{line.fromM, line.at(line.fromM)}, {line.toM, line.at(line.toM)}},
            QStringLiteral("Ausgleichsgerade"));
        set("levelLineExtended", {{from, line.at(from)}, {to, line.at(to)}});
    } else {
        set("levelLine", {});
        set("levelLineExtended", {});
    }
    set("comfortLevel", {{from, kComfortLevelDb}, {to, kComfortLevelDb}},
        QStringLiteral("%1 dB").arg(number(kComfortLevelDb, kResultDecimals)));

    // The prognosis, where it stays within the range of measured levels.
    QList<QPointF> curve;
    for (const QPointF& p : prognosis.points)
        if (std::isfinite(p.y()) && std::fabs(p.y()) <= kLevelLimitDb) {
            curve << p;
            lowLevel = std::min(lowLevel, p.y());
            highLevel = std::max(highLevel, p.y());
        }
    set("prognosis", curve, prognosis.label);

    const double bottom = 5.0 * std::floor((lowLevel - 2.0) / 5.0);
    const double top = 5.0 * std::ceil((highLevel + 2.0) / 5.0);
    levelY_->setRange(bottom, top);
    updateTicks();
    for (QLogValueAxis* x : {levelX_, stiX_})
        x->setRange(from, to);

    const ResultValue& comfort = *findResult(e.results, "rC");
    if (comfort.value && *comfort.value >= from && *comfort.value <= to) {
        const double r = *comfort.value;
        set("comfortLine", {{r, bottom}, {r, kComfortLevelDb}});
        set("comfortMark", {{r, kComfortLevelDb}},
            withNote(QStringLiteral("rC = %1 m").arg(number(r, kResultDecimals)), comfort));
    } else {
        set("comfortLine", {});
        set("comfortMark", {});
    }

    // The STI's line is straight over r: on the logarithmic axis a curve.
    if (e.stiLine) {
        const RegressionLine& line = *e.stiLine;
        QList<QPointF> solid, extended;
        for (double r : logSpacedPoints(line.fromM, line.toM, kCurveSamples))
            solid << QPointF(r, line.at(r));
        for (double r : logSpacedPoints(from, to, kCurveSamples))
            extended << QPointF(r, line.at(r));
        set("stiLine", solid);
        set("stiLineExtended", extended);
    } else {
        set("stiLine", {});
        set("stiLineExtended", {});
    }
    set("distractionLevel", {{from, kDistractionSti}, {to, kDistractionSti}},
        QStringLiteral("STI = %1").arg(number(kDistractionSti, kStiDecimals)));
    set("privacyLevel", {{from, kPrivacySti}, {to, kPrivacySti}},
        QStringLiteral("STI = %1").arg(number(kPrivacySti, kStiDecimals)));
    const struct {
        const char* key;
        const char* line;
        const char* markName;
        double sti;
    } distances[] = {{"rD", "distractionLine", "distractionMark", kDistractionSti},
                     {"rP", "privacyLine", "privacyMark", kPrivacySti}};
    for (const auto& d : distances) {
        const ResultValue& r = *findResult(e.results, d.key);
        if (r.value && *r.value >= from && *r.value <= to) {
            set(d.line, {{*r.value, 0.0}, {*r.value, d.sti}});
            set(d.markName, {{*r.value, d.sti}},
                withNote(QStringLiteral("%1 = %2 m").arg(QString::fromStdString(r.quantity.symbol),
                                                         number(*r.value, kResultDecimals)),
                         r));
        } else {
            set(d.line, {});
            set(d.markName, {});
        }
    }
}

namespace {

// The step between the labels of a value axis: the smallest of `steps` that
// leaves at least `pixelsPerLabel` for each label over `pixels`.
double labelStep(double range, double pixels, std::initializer_list<double> steps)
{
    constexpr double kPixelsPerLabel = 22.0;
    for (double step : steps)
        if ((range / step + 1.0) * kPixelsPerLabel <= pixels)
            return step;
    return *(steps.end() - 1);
}

}  // namespace

void MeasurementChart::updateTicks()
{
    // Roughly the height of each plot area: the view less the distance
    // axis with its title.
    const double axis = 2.5 * fontMetrics().height() + 16.0;
    levelY_->setTickInterval(
        labelStep(levelY_->max() - levelY_->min(), levelView_->height() - axis, {5.0, 10.0, 20.0, 50.0}));
    stiY_->setTickInterval(labelStep(1.0, stiView_->height() - axis, {0.1, 0.2, 0.5, 1.0}));
}

void MeasurementChart::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateTicks();
}

void MeasurementChart::alignPlotAreas()
{
    // Both panels share the distance axis: their plot areas stand one above
    // the other, so that a distance reads the same in both. Each chart's plot
    // area without the extra margin is what its axes and legend leave; the
    // narrower one gets margins that bring its edges to the other's.
    if (levelChart_->plotArea().isEmpty() || stiChart_->plotArea().isEmpty())
        return;
    const QMargins base = kChartMargins;
    qreal left[2], right[2];
    QChart* charts[2] = {levelChart_, stiChart_};
    for (int i = 0; i < 2; ++i) {
        const QMargins m = charts[i]->margins();
        left[i] = charts[i]->plotArea().left() - (m.left() - base.left());
        right[i] = charts[i]->plotArea().right() + (m.right() - base.right());
    }
    const qreal l = std::max(left[0], left[1]);
    const qreal r = std::min(right[0], right[1]);
    for (int i = 0; i < 2; ++i) {
        const QMargins wanted(base.left() + qRound(l - left[i]), base.top(), base.right() + qRound(right[i] - r),
                              base.bottom());
        if (charts[i]->margins() != wanted)
            charts[i]->setMargins(wanted);
    }
}

void MeasurementChart::renderTo(QPainter* painter, const QRectF& target) const
{
    const qreal total = levelView_->height() + stiView_->height();
    const qreal upper = total > 0 ? target.height() * levelView_->height() / total : target.height() * 0.6;
    const QRectF top(target.topLeft(), QSizeF(target.width(), upper));
    const QRectF below(QPointF(target.left(), target.top() + upper), QSizeF(target.width(), target.height() - upper));
    levelView_->render(painter, top, levelView_->viewport()->rect());
    stiView_->render(painter, below, stiView_->viewport()->rect());
}

}  // namespace orvella
