// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Free-field conversion between the sound power level of a point source and
// the sound pressure level at a distance: the power spreads over a sphere of
// surface 4·π·r², so Lw = Lp + 10·lg(4·π·r²). Levels in dB, distance in m.
// Qt-free; each function throws ArithmeticError where its arithmetic fails.
// With a trace, each records its intermediate values: "area" (4·π·r²),
// "spreading" (10·lg of it) and the level it returns ("Lw" or "Lp").

#include "calculation.h"

namespace orvella {

// π as the six-decimal value 3.141593 the converter has always used; with
// the full constant a value on a rounding boundary could come out 0.01 off.
inline constexpr double kConverterPi = 3.141593;

// 10·lg(4·π·r²), multiplied as ((4·π)·r)·r. Fails for r = 0 (the logarithm
// of zero) and where 4·π·r² overflows. A negative r counts like |r|.
double sphereSpreadingDb(double distanceM, Trace* trace = nullptr);

// Lw = 10·lg(4·π·r²) + Lp.
double soundPowerLevel(double pressureLevelDb, double distanceM, Trace* trace = nullptr);

// Lp = Lw − 10·lg(4·π·r²).
double soundPressureLevel(double powerLevelDb, double distanceM, Trace* trace = nullptr);

}  // namespace orvella
