// SPDX-License-Identifier: GPL-3.0-or-later
#include "schall.h"

#include "checked.h"
#include "numbers.h"

namespace orvella {

double sphereSpreadingDb(double distanceM, Trace* trace)
{
    const Real r = distanceM;
    const Real area = step(trace, "area", [&] { return (Real(4.0) * kConverterPi * r * r).value(); });
    return step(trace, "spreading", [&] { return (Real(10.0) * Log10(area.value())).value(); });
}

double soundPowerLevel(double pressureLevelDb, double distanceM, Trace* trace)
{
    const double spreading = sphereSpreadingDb(distanceM, trace);
    return step(trace, "Lw", [&] { return (Real(spreading) + pressureLevelDb).value(); });
}

double soundPressureLevel(double powerLevelDb, double distanceM, Trace* trace)
{
    const double spreading = sphereSpreadingDb(distanceM, trace);
    return step(trace, "Lp", [&] { return (Real(powerLevelDb) - spreading).value(); });
}

}  // namespace orvella
