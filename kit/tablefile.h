// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a table of numbers from a CSV or text file that a companion saved
// or a spreadsheet wrote: only a regular file of at most kLargestTableFile
// bytes, in the encoding it names or shows (UTF-8, UTF-16 with or without a
// byte-order mark, else Windows-1252), read by the pasted-table reader
// within the caller's limits.

#include "pastedtext.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string_view>

namespace orvella {

// A table that a companion reads has some thousand rows at most; a file far
// larger than any such table is not read into memory.
inline constexpr qint64 kLargestTableFile = 20 * 1024 * 1024;

struct TableFile {
    bool read = false;  // the file holds rows: `table` has some
    PastedTable table;
    // Why it was not read, or how it was read (its encoding), as German
    // sentences; the first one names the file when it was not read.
    QStringList notes;
};

// How the notes call what the file should hold.
struct TableFileWords {
    QString table;  // "eine Messreihe": too large for ...
    QString rows;   // "Messwerten": holds no row with ...
};

// Reads the file at `path`; `name` is how the notes call it. `parse` makes
// the table from the decoded text (UTF-8). A failed allocation is told as a
// note.
TableFile readTableFile(const QString& path, const QString& name, const TableFileWords& words,
                        const std::function<PastedTable(std::string_view)>& parse);

}  // namespace orvella
