// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A companion's evaluation of a table in the Verlauf: one entry per list,
// replaced as the list changes, so that nothing typed into it is lost when
// its window closes or the program is killed. The window makes one
// EvaluationHistory with its description, a snapshot of its rows and a way
// to put rows back, and opens through openEvaluationCompanion: every change
// its EvaluationLink tells of is handed to the history at most kDelayMs
// later (at once when the window is closed), and "Übernehmen" on an entry
// opens the window with the entry's rows, whose later changes replace that
// same entry.

#include "companion.h"
#include "evaluationrecord.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

namespace orvella {

class EvaluationHistory : public QObject {
    Q_OBJECT
public:
    // A change is handed to the history this long after it at most: the
    // changes within it go together in one snapshot.
    static constexpr int kDelayMs = 250;

    // The rows and parameters as the window holds them now, with a name per
    // row where it has names. Called on the GUI thread: a copy of the
    // numbers or texts, nothing evaluated or formatted; for a long list a
    // copy of the window's own rows that `fill` makes into them.
    using Snapshot = std::function<EvaluationSnapshot()>;
    // Replaces the window's rows and parameters by these.
    using Reopen = std::function<void(const EvaluationSnapshot&)>;

    // Follows `link`'s calculated(); records through request.recordEvaluation
    // (nothing without it). A child of `window`.
    EvaluationHistory(QWidget* window, const EvaluationModel& model, const CompanionRequest& request,
                      EvaluationLink* link, Snapshot snapshot, Reopen reopen);

    // Hands what waits to the history now.
    void flush();
    // Puts the rows of the entry request.reopen into the window; its later
    // changes replace that entry. Nothing without request.reopen or for an
    // entry of another evaluation.
    void reopen(const CompanionRequest& request);
    // The key of the entry the window's list is recorded under.
    const std::string& key() const { return key_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void write();

    const EvaluationModel& model_;
    std::function<void(std::shared_ptr<const EvaluationSnapshot>)> record_;
    Snapshot snapshot_;
    Reopen reopen_;
    std::string key_;
    std::string ownerId_;
    std::string ownerWindow_;
    QTimer timer_;
    bool reopening_ = false;
};

// Opens the companion of an evaluation as openOrRaiseCompanion does (closing
// hides it), then puts the rows of the entry request.reopen into it.
template <class Make>
QWidget* openEvaluationCompanion(const CompanionRequest& request, const QString& objectName, Make make)
{
    QWidget* window = openOrRaiseCompanion(request.owner, objectName, OnClose::Hide, make);
    if (window && request.reopen)
        if (auto* history = window->findChild<EvaluationHistory*>(QString(), Qt::FindDirectChildrenOnly))
            history->reopen(request);
    return window;
}

}  // namespace orvella
