// SPDX-License-Identifier: GPL-3.0-or-later
// The two moisture calculators over any input texts.
//
// Input, one field per line: room air temperature and surface temperature
// (critical humidity), then outdoor temperature (critical temperature).
// The basic functions (saturation pressure and temperature, dew point, the
// room-climate rule) run on the first field as well.
//
// Checks: only ArithmeticError escapes; results are finite or reported;
// a report happens exactly where a step of the formula has no finite value
// (outside a function's domain, an overflow); every result is bit for bit
// its formula evaluated step by step in the order stated, logarithms as
// ln x / ln 10 (a rearranged or library-log reference would round
// differently, and near the pole of the Magnus formula or with huge or
// subnormal operands by more than a fixed tolerance); the saturation
// temperature inverts the saturation pressure; the limits keep their fixed
// ratios (80 % and 60 % of the condensation limit) and order; the room-
// climate rule has its three pieces; results read back as written.

#include "fuzzsupport.h"
#include "moisture.h"

#include <cfloat>

namespace {

using namespace orvella;

// The functions in plain doubles, step by step as the program takes them;
// `s` notes whether every step stayed finite.
double plainSaturationPressure(double t, fuzz::Steps& s)
{
    const PowerLaw& form = t > 0.0 ? kOverWater : kOverIce;
    const double base = s(form.b + s(t / 100.0));
    return s(s(std::pow(base, fuzz::opaque(form.n))) * form.a);
}

double plainSaturationTemperature(double p, fuzz::Steps& s)
{
    const PowerLaw& form = p < kIceWaterThresholdPa ? kOverIce : kOverWater;
    const double exponent = s(1.0 / fuzz::opaque(form.n));
    const double ratio = s(p / form.a);
    return s(100.0 * s(s(std::pow(ratio, exponent)) - form.b));
}

// y = (p / 100) / 6.1078, x = lg y, θ = (x · 237.3) / (7.5 − x).
double plainDewPoint(double p, fuzz::Steps& s)
{
    const double y = s(s(p / 100.0) / kMagnusReferenceHpa);
    const double x = s(fuzz::lg(y));
    return s(s(x * kMagnusTemperature) / s(kMagnusCoefficient - x));
}

// The room-climate rule, tested in its order: 65 + |10 − θe| above 10 °C,
// 65 up to 10 °C, 65 + θe at 0 °C and below.
double plainRoomHumidity(double t)
{
    if (t > 10.0)
        return 65.0 + std::fabs(10.0 - t);
    if (t > 0.0)
        return 65.0;
    return 65.0 + t;
}

void checkBasics(double t)
{
    fuzz::Steps pSteps;
    const double plainP = plainSaturationPressure(t, pSteps);
    double p = 0.0;
    try {
        p = SaturationPressure(t);
    } catch (const ArithmeticError&) {
        fuzz::check(!pSteps.finite, "saturation pressure failed inside its domain", t);
        return;
    }
    fuzz::check(std::isfinite(p) && p >= 0.0, "saturation pressure negative or not finite", t);
    fuzz::check(pSteps.finite && p == plainP, "saturation pressure differs from its formula",
                t, " -> ", p, " expected ", plainP);
    fuzz::check(t > -148.6 || p == 0.0 || t == -148.6, "saturation pressure below -148.6 °C", t);

    // The inverse gives the temperature back, away from the seam at 0 °C
    // (where the two forms meet with a small step) and from the lower end.
    try {
        const double back = SaturationTemperature(p);
        fuzz::check(std::isfinite(back), "saturation temperature not finite", t);
        fuzz::Steps backSteps;
        const double plainBack = plainSaturationTemperature(p, backSteps);
        fuzz::check(backSteps.finite && back == plainBack,
                    "saturation temperature differs from its formula",
                    p, " -> ", back, " expected ", plainBack);
        if (std::fabs(t) > 0.1 && t > -148.0 && t < 1e6)
            fuzz::check(std::fabs(back - t) <= 1e-9 * std::fmax(1.0, std::fabs(t)),
                        "saturation temperature does not invert the pressure", t, " -> ", back);
    } catch (const ArithmeticError&) {
        fuzz::fail("saturation temperature failed for a saturation pressure", fuzz::show(t));
    }

    // Magnus over water comes within a few hundredths of a degree of the
    // power law over water in the usual range.
    if (t >= 1.0 && t <= 50.0) {
        const double dew = DewPoint(p);
        fuzz::check(std::fabs(dew - t) < 0.2, "dew point far from the saturation temperature",
                    t, " -> ", dew);
    }
    // The first field as a vapour pressure: the dew point fails only for
    // p <= 0 (or a p so small that p / 100 / 6.1078 underflows to 0) and at
    // the pole of the formula (lg y = 7.5 exactly).
    fuzz::Steps dewSteps;
    const double plainDew = plainDewPoint(t, dewSteps);
    try {
        const double dew = DewPoint(t);
        fuzz::check(std::isfinite(dew), "dew point not finite", t);
        fuzz::check(t > 0.0, "dew point computed for a vapour pressure <= 0", t);
        fuzz::check(dewSteps.finite && dew == plainDew, "dew point differs from its formula",
                    t, " -> ", dew, " expected ", plainDew);
    } catch (const ArithmeticError&) {
        fuzz::check(!dewSteps.finite, "dew point failed for p > 0", t);
    }

    // The rule in its stated form, and its three pieces: 55 + θe above
    // 10 °C (up to the rounding of 65 + |10 − θe|, at most an ulp of each
    // sum), 65 in between, 65 + θe at 0 °C and below.
    const double h = roomHumidity(t);
    fuzz::check(std::isfinite(h), "room humidity not finite", t);
    fuzz::check(h == plainRoomHumidity(t), "room-climate rule broken", t, " -> ", h);
    if (t > 10.0)
        fuzz::check(std::fabs(h - (55.0 + t)) <= 4.0 * DBL_EPSILON * (65.0 + std::fabs(t)),
                    "room humidity above 10 °C is not 55 + θe", t, " -> ", h);
    else
        fuzz::check(h == (t > 0.0 ? 65.0 : 65.0 + t), "room humidity up to 10 °C is not 65 or 65 + θe",
                    t, " -> ", h);
}

void checkHumidity(double room, double surface)
{
    // φK = (100 · ps) / pr, φS = φK · 0.8, φC = φK · 0.6.
    fuzz::Steps steps;
    const double pr = plainSaturationPressure(room, steps);
    const double ps = plainSaturationPressure(surface, steps);
    const double plainCondensation = steps(steps(100.0 * ps) / pr);
    steps(plainCondensation * 0.8);
    steps(plainCondensation * 0.6);

    HumidityLimits limits{};
    try {
        limits = criticalHumidity(room, surface);
    } catch (const ArithmeticError&) {
        fuzz::check(!steps.finite, "critical humidity failed inside its domain",
                    room, " ", surface);
        return;
    }
    fuzz::check(steps.finite && limits.condensation == plainCondensation,
                "condensation limit differs from its formula",
                room, " ", surface, " -> ", limits.condensation, " expected ", plainCondensation);
    fuzz::check(std::isfinite(limits.condensation) && std::isfinite(limits.mould) &&
                    std::isfinite(limits.corrosion),
                "a critical humidity that is not finite was not reported");
    fuzz::check(limits.mould == limits.condensation * 0.8 &&
                    limits.corrosion == limits.condensation * 0.6,
                "mould and corrosion limits are not 80 % and 60 % of the condensation limit");
    fuzz::check(limits.condensation >= 0.0, "negative condensation limit");
    if (room == surface)
        fuzz::check(std::fabs(limits.condensation - 100.0) < 1e-12,
                    "a surface at room temperature must condense at 100 %", room);
    // Within one form of the power law a colder surface condenses earlier.
    if ((room > 0.0) == (surface > 0.0) && surface < room)
        fuzz::check(limits.condensation <= 100.0 + 1e-12, "colder surface with a limit above 100 %",
                    room, " ", surface);
    fuzz::checkFormatted(limits.condensation, 2);
    fuzz::checkFormatted(limits.mould, 2);
    fuzz::checkFormatted(limits.corrosion, 2);
}

void checkTemperature(double outdoor)
{
    // φ by the rule, pr at 20 °C, pw = (pr · φ) / 100, θK its dew point,
    // θM the saturation temperature of pw / 0.8. No vapour at -65 °C and
    // below; beyond that only an overflow of the vapour pressure or the
    // pole of the Magnus formula stops it.
    fuzz::Steps steps;
    const double phi = steps(plainRoomHumidity(outdoor));
    const double pr = plainSaturationPressure(fuzz::opaque(kAssessedRoomTemperature), steps);
    const double pw = steps(steps(pr * phi) / 100.0);
    const double plainCondensation = plainDewPoint(pw, steps);
    const double plainMould = plainSaturationTemperature(steps(pw / kMouldSurfaceHumidity), steps);

    TemperatureLimits limits{};
    try {
        limits = criticalTemperature(outdoor);
    } catch (const ArithmeticError&) {
        fuzz::check(!steps.finite, "critical temperature failed inside its domain", outdoor);
        return;
    }
    fuzz::check(steps.finite && limits.condensation == plainCondensation &&
                    limits.mould == plainMould,
                "critical temperatures differ from their formulas",
                outdoor, " -> ", limits.condensation, " ",
                    limits.mould, " expected ", plainCondensation, " ",
                    plainMould);
    fuzz::check(outdoor > -65.0, "critical temperature computed without vapour", outdoor);
    fuzz::check(std::isfinite(limits.roomHumidity) && std::isfinite(limits.condensation) &&
                    std::isfinite(limits.mould),
                "a critical temperature that is not finite was not reported");
    fuzz::check(limits.roomHumidity == roomHumidity(outdoor),
                "critical temperature with another room humidity than the rule's");
    // The mould limit (80 % at the surface) lies above the dew point.
    if (outdoor < 100.0)
        fuzz::check(limits.mould > limits.condensation, "mould limit not above the dew point",
                    outdoor);
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
