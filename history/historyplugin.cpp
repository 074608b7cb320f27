// SPDX-License-Identifier: GPL-3.0-or-later
// The history as a plugin, loaded by the program at the first calculation it
// records, so that Qt SQL is loaded only then.

#include "historyfile.h"
#include "historyrecorder.h"
#include "historyservice.h"
#include "historysettings.h"

#include <QCoreApplication>
#include <QObject>

namespace orvella {

class HistoryPlugin : public QObject, public HistoryService {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OrvellaHistoryService_iid)
    Q_INTERFACES(orvella::HistoryService)

public:
    HistoryPlugin()
    {
        // Qt destroys a plugin's object only after Qt SQL's own state is
        // gone; the connection is closed (and the log checkpointed) while
        // the application object is being destroyed instead.
        if (QCoreApplication* app = QCoreApplication::instance())
            connect(app, &QObject::destroyed, this, [this] { recorder_.close(); });
    }

    bool record(const CalculationRecord& record) override { return recorder_.record(record); }
    bool isEnabled() const override { return recorder_.isEnabled(); }
    void setEnabled(bool on) override { recorder_.setEnabled(on); }
    bool clear() override { return recorder_.clear(); }
    void setNotifier(std::function<void(const QString&)> notify) override
    {
        recorder_.setNotifier(std::move(notify));
    }
    QString databasePath() const override { return recorder_.databasePath(); }

private:
    HistoryRecorder recorder_{defaultHistoryPath(), defaultSettingsPath()};
};

}  // namespace orvella

#include "historyplugin.moc"
