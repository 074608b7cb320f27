// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyhub.h"

namespace orvella {

HistoryHub::HistoryHub(QString databasePath, QString settingsPath, QObject* parent)
    : QObject(parent), recorder_(std::move(databasePath), std::move(settingsPath))
{
    recorder_.setNotifier([this](const QString& notice) {
        lastNotice_ = notice;
        if (notify_)
            notify_(notice);
        emit noticed(notice);
    });
}

bool HistoryHub::record(const CalculationRecord& record) noexcept
{
    if (!recorder_.record(record))
        return false;
    try {
        emit recorded();
    } catch (...) {
        // A view that could not follow is read again at its next reload;
        // the calculation is recorded.
    }
    return true;
}

bool HistoryHub::clear() noexcept
{
    const bool ok = recorder_.clear();
    try {
        // Also after a failure: the file may have been replaced.
        emit cleared();
    } catch (...) {
    }
    return ok;
}

void HistoryHub::setEnabled(bool on)
{
    if (on == recorder_.isEnabled())
        return;
    recorder_.setEnabled(on);
    emit enabledChanged(on);
}

}  // namespace orvella
