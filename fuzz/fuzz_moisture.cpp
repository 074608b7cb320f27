// SPDX-License-Identifier: GPL-3.0-or-later
// The two moisture calculators over any input texts.
//
// Input, one field per line: room air temperature and surface temperature
// (critical humidity), then outdoor temperature (critical temperature).
// The basic functions (saturation pressure and temperature, dew point, the
// room-climate rule) run on the first field as well.
//
// Checks: only ArithmeticError escapes; results are finite or reported;
// a report happens only outside a function's domain; the saturation
// temperature inverts the saturation pressure; the limits keep their fixed
// ratios (80 % and 60 % of the condensation limit) and order; the room-
// climate rule has its three pieces; results read back as written.

#include "fuzzsupport.h"
#include "moisture.h"

namespace {

using namespace orvella;

// Saturation pressure without checks, to tell whether a failure was due.
double plainSaturationPressure(double t)
{
    const PowerLaw& form = t > 0.0 ? kOverWater : kOverIce;
    return std::pow(form.b + t / 100.0, form.n) * form.a;
}

void checkBasics(double t)
{
    double p = 0.0;
    try {
        p = SaturationPressure(t);
    } catch (const ArithmeticError&) {
        const double plain = plainSaturationPressure(t);
        fuzz::check(!std::isfinite(plain) || t <= -148.6,
                    "saturation pressure failed inside its domain", fuzz::show(t));
        return;
    }
    fuzz::check(std::isfinite(p) && p >= 0.0, "saturation pressure negative or not finite",
                fuzz::show(t));
    fuzz::check(t > -148.6 || p == 0.0 || t == -148.6, "saturation pressure below -148.6 °C",
                fuzz::show(t));

    // The inverse gives the temperature back, away from the seam at 0 °C
    // (where the two forms meet with a small step) and from the lower end.
    try {
        const double back = SaturationTemperature(p);
        fuzz::check(std::isfinite(back), "saturation temperature not finite", fuzz::show(t));
        if (std::fabs(t) > 0.1 && t > -148.0 && t < 1e6)
            fuzz::check(std::fabs(back - t) <= 1e-9 * std::fmax(1.0, std::fabs(t)),
                        "saturation temperature does not invert the pressure",
                        fuzz::show(t) + " -> " + fuzz::show(back));
    } catch (const ArithmeticError&) {
        fuzz::fail("saturation temperature failed for a saturation pressure", fuzz::show(t));
    }

    // Magnus over water comes within a few hundredths of a degree of the
    // power law over water in the usual range.
    if (t >= 1.0 && t <= 50.0) {
        const double dew = DewPoint(p);
        fuzz::check(std::fabs(dew - t) < 0.2, "dew point far from the saturation temperature",
                    fuzz::show(t) + " -> " + fuzz::show(dew));
    }
    try {
        const double dew = DewPoint(t);
        fuzz::check(std::isfinite(dew), "dew point not finite", fuzz::show(t));
        fuzz::check(t > 0.0, "dew point computed for a vapour pressure <= 0", fuzz::show(t));
    } catch (const ArithmeticError&) {
        // Only for p <= 0 or at the pole of the formula (lg(p / 610.78 Pa) = 7.5).
        // (A pressure so small that p / 100 / 6.1078 underflows to 0 counts as 0.)
        const double y = t / 100.0 / kMagnusReferenceHpa;
        fuzz::check(y <= 0.0 || std::fabs(std::log10(y) - 7.5) < 1e-9,
                    "dew point failed for p > 0", fuzz::show(t));
    }

    const double h = roomHumidity(t);
    fuzz::check(std::isfinite(h), "room humidity not finite", fuzz::show(t));
    const double expected = t > 10.0 ? 55.0 + t : t > 0.0 ? 65.0 : 65.0 + t;
    fuzz::check(std::fabs(h - expected) <= 1e-12 * std::fmax(65.0, std::fabs(t)),
                "room-climate rule broken", fuzz::show(t) + " -> " + fuzz::show(h));
}

void checkHumidity(double room, double surface)
{
    HumidityLimits limits{};
    try {
        limits = criticalHumidity(room, surface);
    } catch (const ArithmeticError&) {
        const double pr = plainSaturationPressure(room);
        const double ps = plainSaturationPressure(surface);
        fuzz::check(room <= -148.6 || surface <= -148.6 || !std::isfinite(pr) ||
                        !std::isfinite(ps) || pr == 0.0 || !std::isfinite(100.0 * ps / pr),
                    "critical humidity failed inside its domain",
                    fuzz::show(room) + " " + fuzz::show(surface));
        return;
    }
    fuzz::check(std::isfinite(limits.condensation) && std::isfinite(limits.mould) &&
                    std::isfinite(limits.corrosion),
                "a critical humidity that is not finite was not reported");
    fuzz::check(limits.mould == limits.condensation * 0.8 &&
                    limits.corrosion == limits.condensation * 0.6,
                "mould and corrosion limits are not 80 % and 60 % of the condensation limit");
    fuzz::check(limits.condensation >= 0.0, "negative condensation limit");
    if (room == surface)
        fuzz::check(std::fabs(limits.condensation - 100.0) < 1e-12,
                    "a surface at room temperature must condense at 100 %", fuzz::show(room));
    // Within one form of the power law a colder surface condenses earlier.
    if ((room > 0.0) == (surface > 0.0) && surface < room)
        fuzz::check(limits.condensation <= 100.0 + 1e-12, "colder surface with a limit above 100 %",
                    fuzz::show(room) + " " + fuzz::show(surface));
    fuzz::checkFormatted(limits.condensation, 2);
    fuzz::checkFormatted(limits.mould, 2);
    fuzz::checkFormatted(limits.corrosion, 2);
}

void checkTemperature(double outdoor)
{
    TemperatureLimits limits{};
    try {
        limits = criticalTemperature(outdoor);
    } catch (const ArithmeticError&) {
        // No vapour at -65 °C and below; beyond that only an overflow of
        // the vapour pressure or the pole of the Magnus formula.
        const double vapour = SaturationPressure(kAssessedRoomTemperature) *
                              (outdoor > 10.0 ? 55.0 + outdoor : outdoor > 0.0 ? 65.0 : 65.0 + outdoor);
        const double x = std::log10(vapour / 100.0 / 100.0 / kMagnusReferenceHpa);
        fuzz::check(outdoor <= -65.0 || !std::isfinite(vapour) || std::fabs(x - 7.5) < 1e-9,
                    "critical temperature failed inside its domain", fuzz::show(outdoor));
        return;
    }
    fuzz::check(outdoor > -65.0, "critical temperature computed without vapour",
                fuzz::show(outdoor));
    fuzz::check(std::isfinite(limits.roomHumidity) && std::isfinite(limits.condensation) &&
                    std::isfinite(limits.mould),
                "a critical temperature that is not finite was not reported");
    fuzz::check(limits.roomHumidity == roomHumidity(outdoor),
                "critical temperature with another room humidity than the rule's");
    // The mould limit (80 % at the surface) lies above the dew point.
    if (outdoor < 100.0)
        fuzz::check(limits.mould > limits.condensation, "mould limit not above the dew point",
                    fuzz::show(outdoor));
    fuzz::checkFormatted(limits.roomHumidity, 1);
    fuzz::checkFormatted(limits.condensation, 1);
    fuzz::checkFormatted(limits.mould, 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fields = fuzz::splitFields(data, size, 3);
    double values[3] = {};
    for (int i = 0; i < 3; ++i) {
        try {
            values[i] = fuzz::readField(fields[i]);
        } catch (const ArithmeticError&) {
            return 0;  // a number too large for a double: the window stops
        }
    }
    checkBasics(values[0]);
    checkHumidity(values[0], values[1]);
    checkTemperature(values[2]);
    return 0;
}
