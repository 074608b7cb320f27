// SPDX-License-Identifier: GPL-3.0-or-later
// The parameter study as a plugin, loaded by the program on the first F2.

#include "studywindow.h"

#include <QObject>

namespace orvella {

class StudyPlugin : public QObject, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaCompanionPlugin_iid)
    Q_INTERFACES(orvella::CompanionPlugin)

public:
    QWidget* open(const CompanionRequest& request) override { return openStudyWindow(request); }
};

}  // namespace orvella

#include "studyplugin.moc"
