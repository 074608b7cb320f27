// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluationhistory.h"

#include <QEvent>
#include <QLocale>
#include <QUuid>

namespace orvella {

namespace {

std::string newKey() { return QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString(); }

}  // namespace

EvaluationHistory::EvaluationHistory(QWidget* window, const EvaluationModel& model, const CompanionRequest& request,
                                     EvaluationLink* link, Snapshot snapshot, Reopen reopen)
    : QObject(window),
      model_(model),
      record_(request.recordEvaluation),
      snapshot_(std::move(snapshot)),
      reopen_(std::move(reopen)),
      key_(newKey())
{
    // The calculator whose description declares this evaluation's companion.
    for (const CalculatorModel* m : request.models)
        for (const CompanionEntry& entry : m->companions)
            if (entry.evaluation == model.id && ownerId_.empty()) {
                ownerId_ = m->id;
                ownerWindow_ = m->window;
            }
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    connect(&timer_, &QTimer::timeout, this, &EvaluationHistory::write);
    connect(link, &CompanionLink::calculated, this, &EvaluationHistory::changed);
    // Closed by the user or with its calculator: written at once. A window
    // destroyed without closing gets no close event (its rows may be gone
    // by then): what waits is lost, at most kDelayMs of changes.
    window->installEventFilter(this);
}

bool EvaluationHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close)
        flush();
    return QObject::eventFilter(watched, event);
}

void EvaluationHistory::changed()
{
    // Started by the first change, not restarted by later ones: a list
    // typed without a pause is still written every kDelayMs.
    if (record_ && !reopening_ && !timer_.isActive())
        timer_.start();
}

void EvaluationHistory::flush()
{
    if (timer_.isActive()) {
        timer_.stop();
        write();
    }
}

void EvaluationHistory::write()
{
    try {
        auto snapshot = std::make_shared<EvaluationSnapshot>(snapshot_());
        if (snapshot->empty()) {
            // An emptied list keeps its entry as it was; the next list typed
            // gets an entry of its own.
            key_ = newKey();
            return;
        }
        snapshot->model = &model_;
        snapshot->key = key_;
        snapshot->ownerId = ownerId_;
        snapshot->ownerWindow = ownerWindow_;
        snapshot->decimalMark = QLocale().decimalPoint().toStdString();
        record_(std::move(snapshot));
    } catch (...) {
        // The history never stops the companion.
    }
}

void EvaluationHistory::reopen(const CompanionRequest& request)
{
    if (!request.reopen || request.reopen->calculatorId != model_.id || !reopen_)
        return;
    flush();
    const EvaluationSnapshot snapshot = snapshotOf(*request.reopen, model_);
    key_ = snapshot.key.empty() ? newKey() : snapshot.key;
    // Putting the rows back is no change of the list: its entry keeps its time.
    reopening_ = true;
    reopen_(snapshot);
    reopening_ = false;
}

}  // namespace orvella
