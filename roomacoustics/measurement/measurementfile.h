// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a measurement from a CSV file: only a regular file of at most
// 20 MiB, in the encoding it names or shows (UTF-8, UTF-16 with or without
// a byte-order mark, else Windows-1252), at most kMaxPositions rows of it.

#include "pastedtext.h"

#include <QString>
#include <QStringList>

namespace orvella {

struct MeasurementFile {
    bool read = false;   // the file holds positions: `table` has rows
    PastedTable table;
    // Why it was not read, or how it was read (its encoding), as German
    // sentences; the first one names the file when it was not read.
    QStringList notes;
};

// Reads the file at `path`; `name` is how the notes call it. A failed
// allocation is told as a note.
MeasurementFile readMeasurementFile(const QString& path, const QString& name);

}  // namespace orvella
