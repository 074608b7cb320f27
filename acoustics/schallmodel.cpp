// SPDX-License-Identifier: GPL-3.0-or-later
#include "schallmodel.h"

#include "schall.h"

namespace orvella {

namespace {

constexpr StudyRange kDistanceRange{1.0, 32.0, Spacing::Logarithmic};

std::vector<double> computePower(const std::vector<double>& in, Trace* trace)
{
    return {soundPowerLevel(in[0], in[1], trace)};
}

std::vector<double> computePressure(const std::vector<double>& in, Trace* trace)
{
    return {soundPressureLevel(in[0], in[1], trace)};
}

}  // namespace

const CalculatorModel& schallPowerModel()
{
    static const CalculatorModel model{
        "frmSchall.l",
        "frmSchall",
        "Schallleistung - Schalldruck",
        "Schallleistungspegel",
        "cmdRun_l",
        true,
        {
            makeInput("Lp", "Lp", "L<sub>p</sub>", "Schalldruckpegel", "dB", "txPegel_l",
                      {30.0, 110.0, Spacing::Linear}),
            makeInput("r", "r", "r", "Abstand", "m", "txAbstand_l", kDistanceRange),
        },
        {makeResult("Lw", "Lw", "L<sub>W</sub>", "Schallleistungspegel", "dB", "txLeistug_l", 2)},
        computePower,
    };
    return model;
}

const CalculatorModel& schallPressureModel()
{
    static const CalculatorModel model{
        "frmSchall.p",
        "frmSchall",
        "Schallleistung - Schalldruck",
        "Schalldruckpegel",
        "cmdRun_p",
        true,
        {
            makeInput("Lw", "Lw", "L<sub>W</sub>", "Schallleistungspegel", "dB", "txLeistug_p",
                      {40.0, 120.0, Spacing::Linear}),
            makeInput("r", "r", "r", "Abstand", "m", "txAbstand_p", kDistanceRange),
        },
        {makeResult("Lp", "Lp", "L<sub>p</sub>", "Schalldruckpegel", "dB", "txPegel_p", 2)},
        computePressure,
    };
    return model;
}

}  // namespace orvella
