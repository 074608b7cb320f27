// SPDX-License-Identifier: GPL-3.0-or-later
#include "moisture.h"

#include "checked.h"
#include "numbers.h"

namespace orvella {

double SaturationPressure(double airTemperature)
{
    // θ = 0 belongs to the ice form.
    const PowerLaw& form = airTemperature > 0.0 ? kOverWater : kOverIce;
    const Real hundredths = Real(airTemperature) / 100.0;
    const Real base = Real(form.b) + hundredths;
    const Real power = pow(base, form.n);
    return (power * form.a).value();
}

double SaturationTemperature(double vapourPressure)
{
    // The threshold itself belongs to the water form.
    const PowerLaw& form = vapourPressure < kIceWaterThresholdPa ? kOverIce : kOverWater;
    const Real exponent = Real(1.0) / form.n;
    const Real ratio = Real(vapourPressure) / form.a;
    const Real root = pow(ratio, exponent);
    return (Real(100.0) * (root - form.b)).value();
}

double DewPoint(double vapourPressure, Trace* trace)
{
    const Real y = step(trace, "dewY", [&] {
        const Real hectopascal = Real(vapourPressure) / 100.0;
        return (hectopascal / kMagnusReferenceHpa).value();
    });
    const Real x = step(trace, "dewX", [&] { return Log10(y.value()); });
    return ((x * kMagnusTemperature) / (Real(kMagnusCoefficient) - x)).value();
}

HumidityLimits criticalHumidity(double roomTemperature, double surfaceTemperature, Trace* trace)
{
    const Real roomPressure = step(trace, "pr", [&] { return SaturationPressure(roomTemperature); });
    const Real surfacePressure =
        step(trace, "ps", [&] { return SaturationPressure(surfaceTemperature); });
    const Real condensation =
        step(trace, "phiK", [&] { return ((Real(100.0) * surfacePressure) / roomPressure).value(); });
    // Both from the unrounded condensation limit.
    const Real mould = step(trace, "phiS", [&] { return (condensation * kMouldSurfaceHumidity).value(); });
    const Real corrosion =
        step(trace, "phiC", [&] { return (condensation * kCorrosionSurfaceHumidity).value(); });
    return {condensation.value(), mould.value(), corrosion.value()};
}

double roomHumidity(double outdoorTemperature)
{
    const Real outdoor = outdoorTemperature;
    if (outdoorTemperature > kRoomHumidityBandTop)
        return (Real(kRoomHumidityBand) + abs(Real(kRoomHumidityBandTop) - outdoor)).value();
    // The band begins above 0 °C, so below it θe itself is the change.
    if (outdoorTemperature > 0.0)
        return kRoomHumidityBand;
    return (Real(kRoomHumidityBand) + outdoor).value();
}

TemperatureLimits criticalTemperature(double outdoorTemperature, Trace* trace)
{
    const Real humidity = step(trace, "phi", [&] { return roomHumidity(outdoorTemperature); });
    const Real roomPressure =
        step(trace, "pr", [&] { return SaturationPressure(kAssessedRoomTemperature); });
    const Real vapourPressure =
        step(trace, "pw", [&] { return ((roomPressure * humidity) / 100.0).value(); });
    // DewPoint records its own steps inside this one.
    const double condensation =
        step(trace, "thetaK", [&] { return DewPoint(vapourPressure.value(), trace); });
    const Real mouldPressure =
        step(trace, "pw80", [&] { return (vapourPressure / kMouldSurfaceHumidity).value(); });
    const double mould =
        step(trace, "thetaM", [&] { return SaturationTemperature(mouldPressure.value()); });
    return {humidity.value(), condensation, mould};
}

}  // namespace orvella
