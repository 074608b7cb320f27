// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a failed database operation means for the history, and the German
// notice the user gets for it.

#include <QSqlError>
#include <QString>

namespace orvella {

enum class HistoryFailure {
    Damaged,      // the file is not (or no longer) a sound database: move it aside
    Full,         // the disk, or the file's size limit, is full
    NotWritable,  // the folder or the file cannot be created or written
    Busy,         // another process held the database longer than the busy timeout
    Other,        // anything else; the history goes off for the run
};

// The kind of failure behind a Qt SQL error of the SQLite driver, from
// SQLite's result code (its primary code; extended codes are folded).
HistoryFailure classifyFailure(const QSqlError& error);

// The notices, one per event, each a complete German message.
QString damagedNotice(const QString& path, const QString& asidePath);
QString newerSchemaNotice(const QString& path);
QString notWritableNotice(const QString& path, const QString& detail);
QString fullNotice(const QString& path);
QString busyNotice(const QString& path);
QString failedNotice(const QString& path, const QString& detail);
// Another program has held the file for a while; `waiting` entries wait.
QString lockedNotice(const QString& path, int waiting);
// So many entries wait for a busy file that no more are taken.
QString queueFullNotice(const QString& path, int waiting);

}  // namespace orvella
