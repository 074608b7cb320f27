// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving a damaged history database aside (where it lies:
// historysettings.h).

#include <QDateTime>
#include <QString>

#include <cstdint>

namespace orvella {

// False for a file that cannot be an SQLite database: one that does not
// begin with SQLite's mark, or is too short for its 100-byte header. True
// for a missing or empty file (SQLite makes a new database of it) and for a
// file whose header looks sound; whether the rest is, only SQLite can tell.
bool mayBeDatabase(const QString& path);

// The name a damaged file at `path` is moved to:
// "<path>.beschädigt-<yyyy-MM-dd-HHmmss>" in the local time `when`, with
// "-2", "-3", ... added when that name, or the name of its -wal or -shm
// file, is taken already.
QString damagedFileName(const QString& path, const QDateTime& when);

// Which file a path names: its device and inode, so that a store notices
// when another Orvella has moved the file aside and started a fresh one
// under the same name. `exists` is false for a missing file. Where there are
// no inodes (Windows, which does not rename a file another process holds
// open), only whether the file exists.
struct FileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity fileIdentity(const QString& path);

// Moves the database file at `path`, its write-ahead log (-wal) and its
// shared-memory index (-shm) aside under damagedFileName(); the log and
// index get the same suffixes after the new name. The database must be
// closed. Returns the new name of the database file; empty when it could
// not be moved, or when its log or index could neither be moved nor
// removed, for a log left behind would be replayed into the fresh file.
QString moveDamagedFileAside(const QString& path, const QDateTime& when);

}  // namespace orvella
