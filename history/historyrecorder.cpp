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

HistoryRecorder::~HistoryRecorder() = default;

HistoryStore& HistoryRecorder::store()
{
    if (!store_)
        store_ = std::make_unique<HistoryStore>(databasePath_, [this](const QString& notice) {
            if (notify_)
                notify_(notice);
        });
    return *store_;
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
        return store().record(stamped).has_value();
    } catch (...) {
        // Whatever went wrong (memory), the calculator goes on without it.
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
        return store().clear();
    } catch (...) {
        return false;
    }
}

}  // namespace orvella
