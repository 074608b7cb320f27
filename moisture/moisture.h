// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moisture physics of the two moisture calculators, without Qt.
//
// The saturation vapour pressure of air is the two-branch power law
// p = a · (b + θ/100)^n, over water above 0 °C and over ice at 0 °C and
// below; SaturationTemperature is its inverse. The dew point follows the
// Magnus formula over water at every temperature. Magnus is not the inverse
// of the power law (the dew point of air at the saturation pressure of 20 °C
// is 20.0007 °C); each is used where the calculators need it.
//
// Temperatures in °C, vapour pressures in Pa, humidities in %. Every
// operation that can fail goes through Real, so a result outside a
// function's domain (a negative base under a fractional power, the
// logarithm of p <= 0, division by zero, overflow) throws ArithmeticError
// instead of returning NaN or infinity.
//
// With a trace, DewPoint and the two calculators record their intermediate
// values under the keys named at each function.

#include "calculation.h"

namespace orvella {

// One form of the power law p = a · (b + θ/100)^n.
struct PowerLaw {
    double a;  // Pa
    double b;
    double n;
};
inline constexpr PowerLaw kOverWater{288.68, 1.098, 8.02};
inline constexpr PowerLaw kOverIce{4.689, 1.486, 12.3};

// The water form at 0 °C (288.68 · 1.098^8.02), kept as this literal: below
// it the inverse uses the ice form. Recomputing it would move the seam by
// an ulp.
inline constexpr double kIceWaterThresholdPa = 611.008798825639;

// Magnus formula: reference pressure in hPa, coefficient, temperature constant in °C.
inline constexpr double kMagnusReferenceHpa = 6.1078;
inline constexpr double kMagnusCoefficient = 7.5;
inline constexpr double kMagnusTemperature = 237.3;

// Saturation vapour pressure [Pa] at air temperature θ [°C]: the water form
// for θ > 0, the ice form for θ <= 0. Defined down to -148.6 °C (0 Pa there).
double SaturationPressure(double airTemperature);

// The temperature [°C] at which p [Pa] is the saturation pressure: the ice
// form below kIceWaterThresholdPa, the water form from it on. Needs p >= 0
// (0 Pa gives -148.6 °C).
double SaturationTemperature(double vapourPressure);

// Dew point [°C] of air with vapour pressure p [Pa] after Magnus. Needs p > 0.
// Traces "dewY" (p in hPa over the reference pressure) and "dewX" (its lg).
double DewPoint(double vapourPressure, Trace* trace = nullptr);

// --- critical humidity ------------------------------------------------------

// The surface humidities of the mould and of the corrosion criterion (80 %
// and 60 %), as fractions.
inline constexpr double kMouldSurfaceHumidity = 0.8;
inline constexpr double kCorrosionSurfaceHumidity = 0.6;

// Room humidities [%] at which a surface of temperature θs in a room of air
// temperature θr reaches 100 % (condensation), 80 % (mould) and 60 %
// (corrosion) relative humidity. Not clamped: a surface warmer than the room
// gives limits above 100 %. Traces "pr" and "ps" (the saturation pressures
// of room and surface) and "phiK", "phiS", "phiC".
struct HumidityLimits {
    double condensation;
    double mould;
    double corrosion;
};
HumidityLimits criticalHumidity(double roomTemperature, double surfaceTemperature,
                                Trace* trace = nullptr);

// --- critical temperature ---------------------------------------------------

// The room air temperature the assessment assumes [°C].
inline constexpr double kAssessedRoomTemperature = 20.0;

// Room-climate rule: the relative humidity [%] of room air at 20 °C assumed
// for outdoor temperature θe. 65 % for 0 < θe <= 10, one point less per
// degree below 0 °C, one point more per degree above 10 °C; unbounded.
inline constexpr double kRoomHumidityBand = 65.0;     // % between 0 °C and the top of the band
inline constexpr double kRoomHumidityBandTop = 10.0;  // °C
double roomHumidity(double outdoorTemperature);

// For outdoor temperature θe: the assumed room humidity [%], the
// condensation limit (dew point of the room air, Magnus) [°C] and the mould
// limit (surface temperature at 80 % surface humidity, power law) [°C].
// Fails from θe <= -65 °C on, where the room air holds no vapour. Traces
// "phi", "pr" (saturation pressure at 20 °C), "pw" (vapour pressure of the
// room air), DewPoint's steps, "thetaK", "pw80" (pw / 0.8) and "thetaM".
struct TemperatureLimits {
    double roomHumidity;
    double condensation;
    double mould;
};
TemperatureLimits criticalTemperature(double outdoorTemperature, Trace* trace = nullptr);

}  // namespace orvella
