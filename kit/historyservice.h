// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculation history ("Verlauf") as the program sees it: the interface
// of the history plugin. The program loads the plugin at the first
// calculation it records (or the first opening of the Verlauf), so that
// neither the plugin nor Qt SQL is loaded at start.

#include "calculationrecord.h"
#include "companion.h"
#include "evaluationrecord.h"

#include <QString>
#include <QtPlugin>

#include <functional>
#include <memory>

namespace orvella {

class HistoryService {
public:
    virtual ~HistoryService() = default;

    // Records one completed calculation; stamps the time and the program
    // version where the record leaves them empty. The entry is written on a
    // thread of the history's own; this waits for its commit (100 ms at
    // most), and a file another program holds is answered within a few
    // milliseconds, so that a calculation is never held up. Normally the
    // entry is on disk when this returns (it then survives the process
    // being killed); while another program holds the file it waits in
    // memory and is written as soon as the file is free. Never throws and
    // never shows a window: returns false when nothing was recorded (the
    // history switched off by the user, or off for this run after a failure
    // that the notifier has reported).
    virtual bool record(const CalculationRecord& record) = 0;

    // Records the state of an evaluation of a table (evaluationrecord.h):
    // the entry of its key is made or replaced. Returns at once: the
    // history evaluates and writes it on its own thread, where a state that
    // still waits is replaced by a newer one of the same key. Never throws
    // and never shows a window; false when nothing will be recorded (the
    // history off, an empty list, a full queue).
    virtual bool recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot) = 0;

    // "Verlauf führen": the user's setting, on unless switched off.
    virtual bool isEnabled() const = 0;
    virtual void setEnabled(bool on) = 0;

    // "Verlauf löschen": removes every entry; false when that failed (the
    // failure is reported through the notifier).
    virtual bool clear() = 0;

    // Where the German notices go: the history switched off for this run (a
    // folder that cannot be written, a full disk, a file of a newer
    // version), a damaged file moved aside, or a file another program has
    // held for a while. Each event is reported once; without a notifier the
    // notices are dropped.
    virtual void setNotifier(std::function<void(const QString&)> notify) = 0;

    // The database file the history is kept in.
    virtual QString databasePath() const = 0;
};

}  // namespace orvella

#define OrvellaHistoryService_iid "de.orvella.Orvella.HistoryService/1.1"
Q_DECLARE_INTERFACE(orvella::HistoryService, OrvellaHistoryService_iid)

namespace orvella {

// The history plugin ("orvella_history"), loaded on the first call; null
// when it cannot be loaded, with the reason in `error`.
inline HistoryService* loadHistoryService(QString* error = nullptr)
{
    QObject* instance = loadPlugin(QStringLiteral("orvella_history"), error);
    auto* service = qobject_cast<HistoryService*>(instance);
    if (instance && !service && error)
        *error = QStringLiteral("orvella_history ist kein Verlauf von Orvella.");
    return service;
}

}  // namespace orvella
