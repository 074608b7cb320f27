// SPDX-License-Identifier: GPL-3.0-or-later
// The level list as a plugin, loaded by the program the first time the user
// opens it.

#include "levellistwindow.h"

#include <QObject>

namespace orvella {

class LevelListPlugin : public QObject, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaCompanionPlugin_iid)
    Q_INTERFACES(orvella::CompanionPlugin)

public:
    QWidget* open(const CompanionRequest& request) override { return openLevelListWindow(request); }
};

}  // namespace orvella

#include "levellistplugin.moc"
