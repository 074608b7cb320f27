// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzchart.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace orvella {

namespace {

using raumbilanz::kBands;

QLineSeries* line(const QString& name, const QString& legend, const QColor& color, Qt::PenStyle style, qreal width)
{
    auto* s = new QLineSeries;
    s->setObjectName(name);
    s->setName(legend);
    QPen pen(color, width);
    pen.setStyle(style);
    s->setPen(pen);
    return s;
}

}  // namespace

BalanceChart::BalanceChart(QWidget* parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("balanceChart"));
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    setMinimumSize(360, 260);
    showEvaluation(evaluateBalance({}, {}, QLocale().decimalPoint().toStdString()));
}

void BalanceChart::showEvaluation(const BalanceEvaluation& e)
{
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);

    double top = 0.5;
    const auto grow = [&top](const ResultValue& r) {
        if (r.value)
            top = std::max(top, *r.value);
    };
    auto* sabine = line(QStringLiteral("sabine"), QStringLiteral("T nach Sabine"), QColor(0x1f, 0x4e, 0x9a), Qt::SolidLine, 2.5);
    auto* eyring = line(QStringLiteral("eyring"), QStringLiteral("T nach Eyring"), QColor(0x4a, 0x8a, 0xc8), Qt::DashLine, 1.5);
    auto* upper = line(QStringLiteral("upper"), {}, QColor(0x3a, 0x8a, 0x3a), Qt::SolidLine, 1);
    auto* lower = line(QStringLiteral("lower"), {}, QColor(0x3a, 0x8a, 0x3a), Qt::SolidLine, 1);
    auto* outside = new QScatterSeries;
    outside->setObjectName(QStringLiteral("outside"));
    outside->setName(QStringLiteral("außerhalb"));
    outside->setColor(QColor(0xc0, 0x10, 0x10));
    outside->setMarkerSize(11);
    sabine->setPointsVisible(true);
    eyring->setPointsVisible(true);
    for (int b = 0; b < kBands; ++b) {
        const BandResult& r = e.bands[std::size_t(b)];
        if (r.sabine.value)
            sabine->append(b, *r.sabine.value);
        if (r.eyring.value)
            eyring->append(b, *r.eyring.value);
        if (r.lower.value && r.upper.value) {
            lower->append(b, *r.lower.value);
            upper->append(b, *r.upper.value);
        }
        if ((r.verdict == BandVerdict::Above || r.verdict == BandVerdict::Below) && r.sabine.value)
            outside->append(b, *r.sabine.value);
        grow(r.sabine), grow(r.eyring), grow(r.upper);
    }
    if (!upper->points().isEmpty()) {
        auto* band = new QAreaSeries(upper, lower);
        // The area draws its edges but does not own them.
        upper->setParent(band);
        lower->setParent(band);
        band->setObjectName(QStringLiteral("tolerance"));
        band->setName(QStringLiteral("Toleranzbereich"));
        band->setColor(QColor(0xcc, 0xe8, 0xcc));
        band->setBorderColor(QColor(0x3a, 0x8a, 0x3a));
        chart->addSeries(band);
    } else {
        delete upper;
        delete lower;
    }
    if (const ResultValue* t = findResult(e.summary, "tSoll"); t && t->value && e.groupA) {
        auto* soll = line(QStringLiteral("tSoll"), QStringLiteral("T soll"), QColor(0x20, 0x60, 0x20), Qt::DashDotLine, 1.5);
        soll->append(-0.5, *t->value);
        soll->append(kBands - 0.5, *t->value);
        chart->addSeries(soll);
    }
    chart->addSeries(eyring);
    chart->addSeries(sabine);
    chart->addSeries(outside);

    auto* x = new QCategoryAxis;
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int b = 0; b < kBands; ++b)
        x->append(QString::number(raumbilanz::kBandHz[std::size_t(b)]), b);
    x->setRange(-0.5, kBands - 0.5);
    x->setTitleText(QStringLiteral("Oktavband [Hz]"));
    auto* y = new QValueAxis;
    y->setRange(0.0, top * 1.15);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.2f"));
    y->setTitleText(QStringLiteral("T [s]"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    // "außerhalb" in the legend only when a band is outside.
    for (QLegendMarker* m : chart->legend()->markers())
        if (m->series() == outside && outside->points().isEmpty())
            m->setVisible(false);
    QChart* old = this->chart();
    setChart(chart);
    delete old;
}

QList<QPointF> BalanceChart::points(const QString& name) const
{
    for (QAbstractSeries* s : chart()->series()) {
        if (auto* area = qobject_cast<QAreaSeries*>(s)) {
            if (name == QLatin1String("upper"))
                return area->upperSeries()->points();
            if (name == QLatin1String("lower") && area->lowerSeries())
                return area->lowerSeries()->points();
        }
        if (s->objectName() == name)
            if (auto* xy = qobject_cast<QXYSeries*>(s))
                return xy->points();
    }
    return {};
}

}  // namespace orvella
