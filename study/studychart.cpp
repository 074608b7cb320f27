// SPDX-License-Identifier: GPL-3.0-or-later
#include "studychart.h"

#include "studylabel.h"

#include <QApplication>
#include <QChart>
#include <QGraphicsTextItem>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QPen>
#include <QScatterSeries>
#include <QTextDocument>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orvella {

namespace {

// Well distinguishable on screen and in print, also for colour-blind readers.
const QColor kCurveColors[] = {QColor(0x1f, 0x5f, 0xb4), QColor(0xd9, 0x5f, 0x02),
                               QColor(0x1b, 0x9e, 0x77), QColor(0x75, 0x70, 0xb3)};
const QColor kMarkerColor(0x40, 0x40, 0x40);

QColor curveColor(std::size_t i) { return kCurveColors[i % std::size(kCurveColors)]; }

QString qs(const std::string& s) { return QString::fromStdString(s); }

QString unitSuffix(const std::string& unit) { return QStringLiteral(" [%1]").arg(unit.empty() ? "-" : qs(unit)); }

// A tick interval of 1, 2 or 5 times a power of ten that gives at most
// about eight intervals over `span`.
double niceInterval(double span)
{
    if (!(span > 0.0) || !std::isfinite(span))
        return 1.0;
    const double raw = span / 8.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw)
            return m * power;
    return 10.0 * power;
}

// A guidance label on a light background, readable where it crosses a curve.
class GuideLabel : public QGraphicsTextItem {
public:
    using QGraphicsTextItem::QGraphicsTextItem;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override
    {
        painter->fillRect(boundingRect().adjusted(2, 3, -2, -3), QColor(255, 255, 255, 200));
        QGraphicsTextItem::paint(painter, option, widget);
    }
};

QString currentText(double x)
{
    return qs(cellText(x, exactDecimals(x), QLocale().decimalPoint().toStdString(), "–"));
}

}  // namespace

// Built with its chart: QChartView's default chart would be left to the
// caller to delete when replaced.
StudyChart::StudyChart(QWidget* parent) : QChartView(new QChart, parent), builtFont_(QApplication::font(this))
{
    setObjectName(QStringLiteral("chart"));
    setRenderHint(QPainter::Antialiasing);
    chart_ = chart();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setLocalizeNumbers(true);
    chart_->setLocale(QLocale());
    chart_->legend()->hide();
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 8, 4, 0));
    setFrameShape(QFrame::NoFrame);

    xLinear_ = new QValueAxis(this);
    xLinear_->setLabelFormat(QStringLiteral("%.6g"));
    xLinear_->setTickType(QValueAxis::TicksDynamic);
    xLinear_->setTickAnchor(0.0);
    xLog_ = new QLogValueAxis(this);
    xLog_->setLabelFormat(QStringLiteral("%.6g"));
    for (QAbstractAxis* axis : {static_cast<QAbstractAxis*>(xLinear_), static_cast<QAbstractAxis*>(xLog_)})
        axis->setTitleFont(font());
    connect(chart_, &QChart::plotAreaChanged, this, [this] { placeGuideLabels(); });
}

StudyChart::~StudyChart() = default;

StudyLegend::StudyLegend(StudyChart* chart, QWidget* parent) : QWidget(parent), chart_(chart)
{
    setObjectName(QStringLiteral("legend"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(12, 0, 12, 8);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    connect(chart, &StudyChart::legendChanged, this, &StudyLegend::rebuild);
    rebuild();
}

void StudyLegend::rebuild()
{
    auto* grid = static_cast<QGridLayout*>(layout());
    while (QLayoutItem* item = grid->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    parts_.clear();
    shown_ = chart_->legendEntries();
    for (int i = 0; i < shown_.size(); ++i) {
        const LegendEntry& e = shown_[i];
        const int h = fontMetrics().height();
        QPixmap icon(QSize(28, h) * devicePixelRatioF());
        icon.setDevicePixelRatio(devicePixelRatioF());
        icon.fill(Qt::transparent);
        {
            QPainter p(&icon);
            p.setRenderHint(QPainter::Antialiasing);
            QPen pen = e.pen;
            pen.setWidthF(std::max(pen.widthF(), 1.5));
            p.setPen(pen);
            p.drawLine(QPointF(1, h / 2.0), QPointF(27, h / 2.0));
            if (e.marker) {
                p.setBrush(Qt::white);
                p.drawEllipse(QPointF(14, h / 2.0), 4, 4);
            }
        }
        auto* swatch = new QLabel;
        swatch->setPixmap(icon);
        auto* text = new StudyLabel(e.text);
        text->setTextFormat(Qt::PlainText);
        parts_ << swatch << text;
    }
    arrange(width() >= widthFor(2) ? 2 : 1);
}

void StudyLegend::arrange(int columns)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    while (QLayoutItem* item = grid->takeAt(0))
        delete item;
    for (int i = 0; i < parts_.size() / 2; ++i) {
        grid->addWidget(parts_[2 * i], i / columns, (i % columns) * 2);
        grid->addWidget(parts_[2 * i + 1], i / columns, (i % columns) * 2 + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, columns > 1 ? 1 : 0);
    columns_ = columns;
    updateGeometry();
}

int StudyLegend::widthFor(int columns) const
{
    const auto* grid = static_cast<const QGridLayout*>(layout());
    const QMargins margins = grid->contentsMargins();
    const int spacing = grid->horizontalSpacing();
    int width = margins.left() + margins.right() + (columns - 1) * spacing;
    for (int c = 0; c < columns; ++c) {
        int line = 0, text = 0;
        for (int i = c; i < parts_.size() / 2; i += columns) {
            line = std::max(line, parts_[2 * i]->sizeHint().width());
            text = std::max(text, parts_[2 * i + 1]->sizeHint().width());
        }
        width += line + spacing + text;
    }
    return width;
}

QSize StudyLegend::minimumSizeHint() const
{
    return {widthFor(1), layout()->minimumSize().height()};
}

void StudyLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int columns = width() >= widthFor(2) ? 2 : 1;
    if (columns != columns_)
        arrange(columns);
}

QStringList StudyLegend::texts() const
{
    QStringList list;
    for (const LegendEntry& e : shown_)
        list << e.text;
    return list;
}

void StudyChart::clearCalculator()
{
    for (Guide& g : guides_)
        delete g.label;
    guides_.clear();
    chart_->removeAllSeries();
    curves_.clear();
    markerLine_ = nullptr;
    markerPoints_.clear();
    for (QValueAxis* axis : yAxes_) {
        chart_->removeAxis(axis);
        delete axis;
    }
    yAxes_.clear();
    axisUnits_.clear();
}

void StudyChart::attach(QAbstractSeries* series, int axis)
{
    chart_->addSeries(series);
    if (xAxis_)
        series->attachAxis(xAxis_);
    series->attachAxis(yAxes_[static_cast<std::size_t>(axis)]);
}

QLineSeries* StudyChart::addLine(int axis, const QPen& pen)
{
    auto* series = new QLineSeries;
    series->setPen(pen);
    attach(series, axis);
    return series;
}

namespace {

// The kept charts, one per calculator: parentless and hidden. They stay until
// a study takes them or the process ends; the list is never destroyed, so
// that a chart still kept then is not deleted after the application.
std::vector<StudyChart*>& keptCharts()
{
    static auto* kept = new std::vector<StudyChart*>;
    return *kept;
}

}  // namespace

StudyChart* StudyChart::takeKept(const CalculatorModel& model, Spacing xSpacing)
{
    auto& kept = keptCharts();
    // The descriptions live as long as the program; the id guards against
    // another description at the address of one that is gone.
    const auto it = std::find_if(kept.begin(), kept.end(), [&](const StudyChart* c) {
        return c->model_ == &model && c->builtId_ == model.id;
    });
    if (it == kept.end())
        return nullptr;
    StudyChart* chart = *it;
    kept.erase(it);
    if (chart->builtSpacing_ == xSpacing && chart->builtLocale_ == QLocale() &&
        chart->builtFont_ == QApplication::font(chart))
        return chart;
    delete chart;
    return nullptr;
}

void StudyChart::keep(StudyChart* chart)
{
    if (!chart->pristine_) {
        delete chart;
        return;
    }
    chart->setParent(nullptr);
    // The next window's legend is built by its first study, as with a new chart.
    chart->legend_.clear();
    auto& kept = keptCharts();
    const auto it = std::find_if(kept.begin(), kept.end(), [&](const StudyChart* c) { return c->model_ == chart->model_; });
    if (it != kept.end()) {
        delete *it;
        *it = chart;
    } else {
        kept.push_back(chart);
    }
}

void StudyChart::setCalculator(const CalculatorModel& model, Spacing xSpacing)
{
    if (pristine_ && model_ == &model && builtSpacing_ == xSpacing)
        return;
    pristine_ = !built_ && chart_->locale() == QLocale();
    built_ = true;
    builtSpacing_ = xSpacing;
    builtLocale_ = QLocale();
    builtId_ = model.id;
    clearCalculator();
    curveEntries_.clear();
    model_ = &model;
    // The x axis the first study is expected to need joins the chart before
    // the series, which are attached to it first and then to their y axis: a
    // series attached to a logarithmic axis after a linear one has its domain
    // built twice. A linear x axis comes before the y axes, a logarithmic one
    // after them, as the study has always drawn them: the order of the axes
    // decides which of their lines are drawn over which.
    const bool firstX = !xAxis_;
    if (firstX && xSpacing == Spacing::Linear)
        useXAxis(xLinear_);

    // One y axis per unit, in the order the units first appear among the
    // results: left, then right.
    for (const Quantity& r : model.results) {
        if (std::find(axisUnits_.begin(), axisUnits_.end(), r.unit) != axisUnits_.end())
            continue;
        auto* axis = new QValueAxis;
        axis->setLabelFormat(QStringLiteral("%.6g"));
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTitleFont(font());
        const bool left = axisUnits_.empty();
        chart_->addAxis(axis, left ? Qt::AlignLeft : Qt::AlignRight);
        yAxes_.push_back(axis);
        axisUnits_.push_back(r.unit);
    }
    if (firstX && xSpacing == Spacing::Logarithmic)
        useXAxis(xLog_);
    for (std::size_t a = 0; a < yAxes_.size(); ++a) {
        QStringList symbols;
        QString single;
        for (const Quantity& r : model.results)
            if (r.unit == axisUnits_[a]) {
                symbols << qs(r.symbol);
                single = qs(r.label) + u' ' + qs(r.symbol);
            }
        yAxes_[a]->setTitleText((symbols.size() == 1 ? single : symbols.join(QStringLiteral(", "))) +
                                unitSuffix(axisUnits_[a]));
    }

    for (std::size_t i = 0; i < model.results.size(); ++i) {
        const Quantity& r = model.results[i];
        Curve curve;
        curve.axis = int(std::find(axisUnits_.begin(), axisUnits_.end(), r.unit) - axisUnits_.begin());
        QLineSeries* first = addLine(curve.axis, QPen(curveColor(i), 2.0));
        first->setName(qs(r.symbol) + QStringLiteral(" – ") + qs(r.label));
        curve.runs.push_back(first);
        // With two y axes the legend tells which curves belong to the right one.
        const bool right = curve.axis > 0;
        curves_.push_back(std::move(curve));
        curveEntries_.append({first->name() + (right ? QStringLiteral(" (rechte Achse)") : QString()),
                              first->pen(), false});
    }
    // The legend is shown by showStudy, which follows: with the marker when
    // the calculator's input lies in the range.

    // The guidance values of the description, each a dashed line in the
    // colour of its result's curve, labelled with its source.
    for (const Guidance& g : model.guidance.values) {
        const int result = model.resultIndex(g.result);
        if (result < 0)
            continue;
        QPen pen(curveColor(std::size_t(result)), 1.5, Qt::DashLine);
        Guide guide;
        guide.result = result;
        guide.value = g.value;
        guide.labelBelow = g.labelBelow;
        guide.line = addLine(curves_[std::size_t(result)].axis, pen);
        guide.label = new GuideLabel(chart_);
        const std::string& unit = model.results[std::size_t(result)].unit;
        guide.label->setHtml(QStringLiteral("%1: %2 = %3%4")
                                 .arg(qs(model.guidance.source), qs(g.name), currentText(g.value),
                                      unit.empty() ? QString() : u' ' + qs(unit)));
        guide.label->setDefaultTextColor(pen.color().darker(130));
        guide.label->setZValue(20);
        guides_.push_back(guide);
    }

    markerLine_ = addLine(0, QPen(kMarkerColor, 1.0, Qt::DashDotLine));
    for (std::size_t a = 0; a < yAxes_.size(); ++a) {
        auto* points = new QScatterSeries;
        points->setMarkerSize(9.0);
        points->setColor(Qt::white);
        points->setBorderColor(kMarkerColor);
        attach(points, int(a));
        markerPoints_.push_back(points);
    }
}

void StudyChart::useXAxis(QAbstractAxis* axis)
{
    if (xAxis_ == axis)
        return;
    const QList<QAbstractSeries*> series = chart_->series();
    if (xAxis_) {
        pristine_ = false;
        for (QAbstractSeries* s : series)
            s->detachAxis(xAxis_);
        chart_->removeAxis(xAxis_);
        xAxis_->setParent(this);
    }
    chart_->addAxis(axis, Qt::AlignBottom);
    for (QAbstractSeries* s : series)
        s->attachAxis(axis);
    xAxis_ = axis;
}

void StudyChart::setXRange(double from, double to, bool logarithmic)
{
    if (logarithmic) {
        if (!(to > from)) {
            from /= 1.1;
            to *= 1.1;
        }
        // Powers of two show the doublings of a distance; a range of many
        // decades reads better in powers of ten.
        const bool base2 = to / from <= 4096.0;
        xLog_->setBase(base2 ? 2.0 : 10.0);
        xLog_->setMinorTickCount(base2 ? 0 : 8);
        useXAxis(xLog_);
        xLog_->setRange(from, to);
        return;
    }
    if (!(to > from)) {
        const double pad = from == 0.0 ? 1.0 : std::fabs(from) * 0.1;
        from -= pad;
        to += pad;
    }
    useXAxis(xLinear_);
    xLinear_->setTickInterval(niceInterval(to - from));
    xLinear_->setRange(from, to);
}

void StudyChart::showStudy(int variable, const StudyOutcome& outcome)
{
    if (!model_)
        return;
    const CalculatorModel& model = *model_;
    const InputQuantity& input = model.inputs.at(std::size_t(variable));
    const bool logarithmic = outcome.plan.spacing == Spacing::Logarithmic;
    setXRange(outcome.plan.from, outcome.plan.to, logarithmic);
    xAxis_->setTitleText(qs(input.label) + u' ' + qs(input.symbol) + unitSuffix(input.unit));

    // Each y axis spans its results, its guidance values and the marker.
    std::vector<double> low(yAxes_.size(), std::numeric_limits<double>::infinity());
    std::vector<double> high(yAxes_.size(), -std::numeric_limits<double>::infinity());
    auto take = [&](int axis, double y) {
        low[std::size_t(axis)] = std::min(low[std::size_t(axis)], y);
        high[std::size_t(axis)] = std::max(high[std::size_t(axis)], y);
    };

    for (std::size_t r = 0; r < curves_.size(); ++r) {
        Curve& curve = curves_[r];
        QList<QList<QPointF>> runs;
        QList<QPointF> run;
        for (std::size_t p = 0; p < outcome.xs.size(); ++p) {
            if (outcome.results[p].empty()) {
                if (!run.isEmpty())
                    runs.append(std::exchange(run, {}));
                continue;
            }
            const double y = outcome.results[p][r];
            run.append(QPointF(outcome.xs[p], y));
            take(curve.axis, y);
        }
        if (!run.isEmpty())
            runs.append(run);
        while (curve.runs.size() < std::size_t(runs.size())) {
            curve.runs.push_back(addLine(curve.axis, curve.runs.front()->pen()));
            pristine_ = false;
        }
        for (std::size_t i = 0; i < curve.runs.size(); ++i) {
            QLineSeries* s = curve.runs[i];
            const QList<QPointF> points = i < std::size_t(runs.size()) ? runs[qsizetype(i)] : QList<QPointF>();
            // A run of a single point is shown as a dot.
            s->setPointsVisible(points.size() == 1);
            s->replace(points);
        }
    }

    for (const Guide& g : guides_)
        take(curves_[std::size_t(g.result)].axis, g.value);

    markerShown_ = outcome.currentX && *outcome.currentX >= outcome.plan.from &&
                   *outcome.currentX <= outcome.plan.to;
    markerX_ = outcome.currentX.value_or(0.0);
    for (QScatterSeries* points : markerPoints_)
        points->clear();
    if (markerShown_ && !outcome.currentResults.empty())
        for (std::size_t r = 0; r < curves_.size(); ++r) {
            markerPoints_[std::size_t(curves_[r].axis)]->append(markerX_, outcome.currentResults[r]);
            take(curves_[r].axis, outcome.currentResults[r]);
        }

    for (std::size_t a = 0; a < yAxes_.size(); ++a) {
        double lo = low[a], hi = high[a];
        if (!(lo <= hi)) {
            lo = 0.0;
            hi = 1.0;
        } else if (lo == hi) {
            const double pad = lo == 0.0 ? 1.0 : std::fabs(lo) * 0.1;
            lo -= pad;
            hi += pad;
        } else {
            const double pad = (hi - lo) * 0.04;
            lo -= pad;
            hi += pad;
        }
        // Whole ticks of 1, 2 or 5 times a power of ten, the range ending on ticks.
        const double interval = niceInterval(hi - lo);
        const double niceLo = std::floor(lo / interval) * interval;
        const double niceHi = std::ceil(hi / interval) * interval;
        if (std::isfinite(niceLo) && std::isfinite(niceHi) && niceHi > niceLo) {
            lo = niceLo;
            hi = niceHi;
        }
        yAxes_[a]->setTickInterval(interval);
        yAxes_[a]->setRange(lo, hi);
    }

    const double xFrom = logarithmic ? xLog_->min() : xLinear_->min();
    const double xTo = logarithmic ? xLog_->max() : xLinear_->max();
    for (const Guide& g : guides_)
        g.line->replace({QPointF(xFrom, g.value), QPointF(xTo, g.value)});

    QList<LegendEntry> legend = curveEntries_;
    if (markerShown_) {
        markerLine_->replace({QPointF(markerX_, yAxes_[0]->min()), QPointF(markerX_, yAxes_[0]->max())});
        legend.append({QStringLiteral("Eingabe im Rechner: %1 = %2%3")
                           .arg(qs(input.symbol), currentText(markerX_),
                                input.unit.empty() ? QString() : u' ' + qs(input.unit)),
                       markerLine_->pen(), true});
    } else {
        markerLine_->clear();
    }
    setLegend(legend);
    placeGuideLabels();
}

void StudyChart::setLegend(const QList<LegendEntry>& legend)
{
    if (legend == legend_)
        return;
    legend_ = legend;
    emit legendChanged();
}

int StudyChart::curveSegmentsIn(const QRectF& box, QLineSeries* onAxesOf, int axis) const
{
    // The box in values; a logarithmic axis is straight in the logarithm.
    const bool logarithmic = xAxis_ == xLog_;
    auto sx = [logarithmic](double x) { return logarithmic ? std::log(x) : x; };
    const QPointF a = chart_->mapToValue(box.topLeft(), onAxesOf);
    const QPointF b = chart_->mapToValue(box.bottomRight(), onAxesOf);
    const QRectF values(QPointF(sx(std::min(a.x(), b.x())), std::min(a.y(), b.y())),
                        QPointF(sx(std::max(a.x(), b.x())), std::max(a.y(), b.y())));
    int count = 0;
    for (const Curve& curve : curves_) {
        if (curve.axis != axis)
            continue;
        for (const QLineSeries* s : curve.runs) {
            const QList<QPointF> points = s->points();
            for (qsizetype i = 0; i < points.size(); ++i) {
                const QPointF p(sx(points[i].x()), points[i].y());
                const QPointF q = i + 1 < points.size() ? QPointF(sx(points[i + 1].x()), points[i + 1].y()) : p;
                // A segment whose bounding box meets the label's box counts.
                if (std::max(p.x(), q.x()) >= values.left() && std::min(p.x(), q.x()) <= values.right() &&
                    std::max(p.y(), q.y()) >= values.top() && std::min(p.y(), q.y()) <= values.bottom())
                    ++count;
            }
        }
    }
    return count;
}

void StudyChart::placeGuideLabels()
{
    const QRectF plot = chart_->plotArea();
    for (const Guide& g : guides_) {
        if (!xAxis_ || g.line->count() < 2) {
            g.label->hide();
            continue;
        }
        const QPointF at = chart_->mapToPosition(g.line->at(1), g.line);
        const QSizeF size = g.label->boundingRect().size();
        const double y = g.labelBelow ? at.y() - 2.0 : at.y() - size.height() + 2.0;
        // At the right end of the line, or at the left where fewer curves cross.
        const QRectF right(QPointF(plot.right() - size.width() - 4.0, y), size);
        const QRectF left(QPointF(plot.left() + 4.0, y), size);
        const int axis = curves_[std::size_t(g.result)].axis;
        const bool useLeft = curveSegmentsIn(left, g.line, axis) < curveSegmentsIn(right, g.line, axis);
        g.label->setPos((useLeft ? left : right).topLeft());
        g.label->setVisible(plot.contains(QPointF(plot.center().x(), at.y())));
    }
}

QList<QList<QPointF>> StudyChart::curveRuns(int result) const
{
    QList<QList<QPointF>> runs;
    for (QLineSeries* s : curves_.at(std::size_t(result)).runs)
        if (s->count() > 0)
            runs.append(s->points());
    return runs;
}

QStringList StudyChart::guidanceLabels() const
{
    QStringList labels;
    for (const Guide& g : guides_)
        if (g.label->isVisible())
            labels << g.label->toPlainText();
    return labels;
}

bool StudyChart::logarithmicX() const { return xAxis_ == xLog_; }

double StudyChart::markerX() const
{
    return markerShown_ ? markerX_ : std::numeric_limits<double>::quiet_NaN();
}

}  // namespace orvella
