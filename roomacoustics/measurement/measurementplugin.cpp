// SPDX-License-Identifier: GPL-3.0-or-later
// The measurement evaluation after ISO 3382-3 as a plugin, loaded by the
// program the first time the user opens it.

#include "measurementwindow.h"

#include <QObject>

namespace orvella {

class MeasurementPlugin : public QObject, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaCompanionPlugin_iid)
    Q_INTERFACES(orvella::CompanionPlugin)

public:
    QWidget* open(const CompanionRequest& request) override { return openMeasurementWindow(request); }
};

}  // namespace orvella

#include "measurementplugin.moc"
