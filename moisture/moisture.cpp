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

double DewPoint(double vapourPressure)
{
    const Real hectopascal = Real(vapourPressure) / 100.0;
    const Real y = hectopascal / kMagnusReferenceHpa;
    const Real x = Log10(y.value());
    return ((x * kMagnusTemperature) / (Real(kMagnusCoefficient) - x)).value();
}

HumidityLimits criticalHumidity(double roomTemperature, double surfaceTemperature)
{
    const Real roomPressure = SaturationPressure(roomTemperature);
    const Real surfacePressure = SaturationPressure(surfaceTemperature);
    const Real condensation = (Real(100.0) * surfacePressure) / roomPressure;
    // Both from the unrounded condensation limit.
    const Real mould = condensation * 0.8;
    const Real corrosion = condensation * 0.6;
    return {condensation.value(), mould.value(), corrosion.value()};
}

double roomHumidity(double outdoorTemperature)
{
    const Real outdoor = outdoorTemperature;
    if (outdoorTemperature > 10.0)
        return (Real(65.0) + abs(Real(10.0) - outdoor)).value();
    if (outdoorTemperature > 0.0)
        return 65.0;
    return (Real(65.0) + outdoor).value();
}

TemperatureLimits criticalTemperature(double outdoorTemperature)
{
    const Real humidity = roomHumidity(outdoorTemperature);
    const Real roomPressure = SaturationPressure(kAssessedRoomTemperature);
    const Real vapourPressure = (roomPressure * humidity) / 100.0;
    const double condensation = DewPoint(vapourPressure.value());
    const double mould =
        SaturationTemperature((vapourPressure / kMouldSurfaceHumidity).value());
    return {humidity.value(), condensation, mould};
}

}  // namespace orvella
