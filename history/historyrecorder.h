// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program asks of the history, in one object: record a completed
// calculation (when "Verlauf führen" is on), clear the history, switch it
// on and off. Opens the database at the first request that needs it, and
// passes the store's notices on to the current notifier.

#include "historystore.h"

#include <QSettings>

#include <functional>
#include <memory>

namespace orvella {

class HistoryRecorder {
public:
    using Notify = std::function<void(const QString&)>;

    HistoryRecorder(QString databasePath, QString settingsPath);
    ~HistoryRecorder();

    // Records the calculation when the history is on: stamps the current
    // time and this program's version where the record has none, and
    // returns once the entry is committed. Never throws; false when nothing
    // was recorded.
    bool record(const CalculationRecord& record) noexcept;

    bool isEnabled() const;
    void setEnabled(bool on);

    // Removes every entry; never throws.
    bool clear() noexcept;

    void setNotifier(Notify notify) { notify_ = std::move(notify); }

    // Closes the database; the next request opens it again. Called before
    // Qt SQL is torn down at the end of the program.
    void close() { store_.reset(); }

    // The store, created (not yet opened) on the first call.
    HistoryStore& store();
    const QString& databasePath() const { return databasePath_; }

    // The version this program stamps its entries with: "1.1.0".
    static QString programVersion();

private:
    QString databasePath_;
    QSettings settings_;
    Notify notify_;
    std::unique_ptr<HistoryStore> store_;
};

}  // namespace orvella
