#include "schall.h"

#include "checked.h"
#include "numbers.h"

namespace orvella {

double sphereSpreadingDb(double distanceM)
{
    const Real r = distanceM;
    const Real area = Real(4.0) * kConverterPi * r * r;
    return (Real(10.0) * Log10(area.value())).value();
}

double soundPowerLevel(double pressureLevelDb, double distanceM)
{
    return (Real(sphereSpreadingDb(distanceM)) + pressureLevelDb).value();
}

double soundPressureLevel(double powerLevelDb, double distanceM)
{
    return (Real(powerLevelDb) - sphereSpreadingDb(distanceM)).value();
}

}  // namespace orvella
