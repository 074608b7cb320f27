// SPDX-License-Identifier: GPL-3.0-or-later
#include "moisturemodels.h"

#include "moisture.h"

namespace orvella {

namespace {

std::vector<double> computeHumidity(const std::vector<double>& in, Trace* trace)
{
    const HumidityLimits l = criticalHumidity(in[0], in[1], trace);
    return {l.condensation, l.mould, l.corrosion};
}

std::vector<double> computeTemperature(const std::vector<double>& in, Trace* trace)
{
    const TemperatureLimits l = criticalTemperature(in[0], trace);
    return {l.roomHumidity, l.condensation, l.mould};
}

}  // namespace

const CalculatorModel& feuchteModel()
{
    static const CalculatorModel model{
        "frmFeuchte",
        "frmFeuchte",
        "Kritische Feuchte Calculator",
        {},
        "cmdRun_Feuchte",
        false,
        {
            makeInput("thetaR", "θr", "θ<sub>r</sub>", "Raumtemperatur", "°C", "txRaum",
                      {10.0, 30.0, Spacing::Linear}),
            makeInput("thetaS", "θs", "θ<sub>s</sub>", "Oberflächentemperatur", "°C",
                      "txOberflaeche", {-10.0, 20.0, Spacing::Linear}),
        },
        {
            makeResult("phiK", "φK", "φ<sub>K</sub>", "Oberflächenkondensation", "%", "txKondens", 2),
            makeResult("phiS", "φS", "φ<sub>S</sub>", "Schimmelpilzbildungsgefahr", "%", "txSchimel", 2),
            makeResult("phiC", "φC", "φ<sub>C</sub>", "Korrosionsgefahr", "%", "txKorrosion", 2),
        },
        computeHumidity,
    };
    return model;
}

const CalculatorModel& temperaturModel()
{
    static const CalculatorModel model{
        "frmTemperatur",
        "frmTemperatur",
        "KritischeTemperatur Calculator",
        {},
        "cmdRun_Grenzen",
        false,
        {
            makeInput("thetaE", "θe", "θ<sub>e</sub>", "Außentemperatur", "°C", "txAussen",
                      {-20.0, 20.0, Spacing::Linear}),
        },
        {
            makeResult("phi", "φ", "φ", "Relative Feuchte", "%", "txFeuchte1", 1),
            makeResult("thetaK", "θK", "θ<sub>K</sub>", "Oberflächenkondensation", "°C", "txKondens", 1),
            makeResult("thetaM", "θM", "θ<sub>M</sub>", "Schimmelpilzbildungsgefahr", "°C", "txSchimel", 1),
        },
        computeTemperature,
    };
    return model;
}

}  // namespace orvella
