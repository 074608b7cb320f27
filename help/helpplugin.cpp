// SPDX-License-Identifier: GPL-3.0-or-later
// The help as a plugin, loaded by the program on the first F1.

#include "helpwindow.h"

#include <QObject>

namespace orvella {

class HelpPlugin : public QObject, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaCompanionPlugin_iid)
    Q_INTERFACES(orvella::CompanionPlugin)

public:
    QWidget* open(const CompanionRequest& request) override { return openHelpWindow(request); }
};

}  // namespace orvella

#include "helpplugin.moc"
