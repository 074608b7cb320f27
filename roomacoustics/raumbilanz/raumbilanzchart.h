// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart of a room balance: the reverberation time over the octave bands
// (equally spaced, as octaves are on a logarithmic axis), after Sabine and
// after Eyring; for a room of group A also T_soll and the tolerance band of
// DIN 18041, with the bands outside it marked red.

#include "raumbilanz.h"

#include <QChartView>
#include <QList>
#include <QPointF>

namespace orvella {

class BalanceChart : public QChartView {
    Q_OBJECT
public:
    explicit BalanceChart(QWidget* parent = nullptr);

    void showEvaluation(const BalanceEvaluation& evaluation);

    // The points of the series with this object name ("sabine", "eyring",
    // "tSoll", "upper", "lower", "outside"), x the band's position from 0
    // (125 Hz) to 5 (4000 Hz); empty when it shows none.
    QList<QPointF> points(const QString& series) const;
};

}  // namespace orvella
