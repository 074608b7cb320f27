// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyrecorder.h"

#include "historysettings.h"

#include <QDateTime>

#ifndef ORVELLA_VERSION
#error "ORVELLA_VERSION is set by the build from the project's version"
#endif

namespace orvella {

HistoryRecorder::HistoryRecorder(QString databasePath, QString settingsPath)
    : databasePath_(std::move(databasePath)), settings_(settingsPath, QSettings::IniFormat)
{
}

HistoryRecorder::~HistoryRecorder() { close(); }

HistoryStore& HistoryRecorder::store()
{
    if (!store_) {
        // Reads wait for another program a moment at most; a write of this
        // thread (a test's) too.
        HistoryStoreOptions options;
        options.busyTimeoutMs = 100;
        options.reportBusy = false;
        store_ = std::make_unique<HistoryStore>(
            databasePath_, [this](const QString& notice) { notify(notice); }, options);
        // Opened at once, so that its connection is there for the caller's
        // queries.
        store_->open();
    }
    return *store_;
}

HistoryWriter& HistoryRecorder::writer()
{
    if (!writer_)
        writer_ = std::make_unique<HistoryWriter>(databasePath_);
    return *writer_;
}

void HistoryRecorder::notify(const QString& notice)
{
    // The store of this thread and the writer's meet the same failure (a
    // folder that cannot be written): it is told once.
    if (noticesGiven_.contains(notice))
        return;
    noticesGiven_ << notice;
    if (notify_)
        notify_(notice);
}

void HistoryRecorder::deliverNotices()
{
    if (writer_)
        for (const QString& notice : writer_->takeNotices())
            notify(notice);
}

void HistoryRecorder::close()
{
    store_.reset();
    if (writer_)
        writer_->close();
}

bool HistoryRecorder::record(const CalculationRecord& record) noexcept
{
    try {
        if (!isEnabled())
            return false;
        CalculationRecord stamped = record;
        if (stamped.timeUtcMs == 0)
            stamped.timeUtcMs = QDateTime::currentMSecsSinceEpoch();
        if (stamped.programVersion.empty())
            stamped.programVersion = ORVELLA_VERSION;
        lastOutcome_ = writer().record(stamped, kRecordWaitMs);
        deliverNotices();
        return lastOutcome_ != HistoryWriter::Outcome::Failed;
    } catch (...) {
        // Whatever went wrong (memory), the calculator goes on without it.
        return false;
    }
}

bool HistoryRecorder::recordEvaluation(std::shared_ptr<const EvaluationSnapshot> snapshot) noexcept
{
    try {
        if (!snapshot || !snapshot->model || snapshot->empty() || !isEnabled())
            return false;
        if (snapshot->timeUtcMs == 0) {
            auto stamped = std::make_shared<EvaluationSnapshot>(*snapshot);
            const QDateTime now = QDateTime::currentDateTime();
            stamped->timeUtcMs = now.toMSecsSinceEpoch();
            stamped->utcOffsetSeconds = now.offsetFromUtc();
            snapshot = std::move(stamped);
        }
        const bool queued = writer().recordEvaluation(std::move(snapshot), ORVELLA_VERSION) !=
                            HistoryWriter::Outcome::Failed;
        deliverNotices();
        return queued;
    } catch (...) {
        return false;
    }
}

bool HistoryRecorder::setNote(std::int64_t id, const QString& note) noexcept
{
    try {
        lastOutcome_ = writer().setNote(id, note, kNoteWaitMs);
        deliverNotices();
        return lastOutcome_ != HistoryWriter::Outcome::Failed;
    } catch (...) {
        return false;
    }
}

QString HistoryRecorder::programVersion() { return QStringLiteral(ORVELLA_VERSION); }

bool HistoryRecorder::isEnabled() const { return historyEnabled(settings_); }

void HistoryRecorder::setEnabled(bool on)
{
    setHistoryEnabled(settings_, on);
    settings_.sync();
}

bool HistoryRecorder::clear() noexcept
{
    try {
        lastOutcome_ = writer().clear(kClearWaitMs);
        deliverNotices();
        return lastOutcome_ == HistoryWriter::Outcome::Written;
    } catch (...) {
        return false;
    }
}

}  // namespace orvella
