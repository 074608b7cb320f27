// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementfile.h"

#include "measurementtable.h"

namespace orvella {

MeasurementFile readMeasurementFile(const QString& path, const QString& name)
{
    return readTableFile(path, name, {QStringLiteral("eine Messreihe"), QStringLiteral("Messwerten")},
                         [](std::string_view text) { return parsePastedTable(text, positionLimits()); });
}

}  // namespace orvella
