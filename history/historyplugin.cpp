// SPDX-License-Identifier: GPL-3.0-or-later
// The history as a plugin, loaded by the program at the first calculation it
// records or the first opening of the Verlauf, so that Qt SQL is loaded only
// then. It records for the program (HistoryService) and opens the Verlauf
// window (CompanionPlugin); both share the one store of the run.

#include "historyfile.h"
#include "historyhub.h"
#include "historyservice.h"
#include "historysettings.h"
#include "verlaufwindow.h"

#include <QCoreApplication>
#include <QObject>

namespace orvella {

class HistoryPlugin : public QObject, public HistoryService, public CompanionPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaHistoryService_iid)
    Q_INTERFACES(orvella::HistoryService orvella::CompanionPlugin)

public:
    HistoryPlugin()
    {
        // Qt destroys a plugin's object only after Qt SQL's own state is
        // gone; the connection is closed (and the log checkpointed) while
        // the application object is being destroyed instead.
        if (QCoreApplication* app = QCoreApplication::instance())
            connect(app, &QObject::destroyed, this, [this] { hub_.close(); });
    }

    bool record(const CalculationRecord& record) override { return hub_.record(record); }
    bool recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot) override
    {
        return hub_.recordEvaluation(std::move(snapshot));
    }
    bool isEnabled() const override { return hub_.isEnabled(); }
    void setEnabled(bool on) override { hub_.setEnabled(on); }
    bool clear() override { return hub_.clear(); }
    void setNotifier(std::function<void(const QString&)> notify) override { hub_.setNotifier(std::move(notify)); }
    QString databasePath() const override { return hub_.databasePath(); }

    QWidget* open(const CompanionRequest& request) override { return openVerlaufWindow(request, hub_); }

private:
    HistoryHub hub_{defaultHistoryPath(), defaultSettingsPath()};
};

}  // namespace orvella

#include "historyplugin.moc"
