// SPDX-License-Identifier: GPL-3.0-or-later
// The room balance in octave bands as a plugin, loaded by the program the
// first time the user opens it.

#include "raumbilanzwindow.h"

#include <QObject>

namespace orvella {

class RaumbilanzPlugin : public QObject, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaCompanionPlugin_iid)
    Q_INTERFACES(orvella::CompanionPlugin)

public:
    QWidget* open(const CompanionRequest& request) override { return openRaumbilanzWindow(request); }
};

}  // namespace orvella

#include "raumbilanzplugin.moc"
