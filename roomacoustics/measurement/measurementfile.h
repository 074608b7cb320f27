// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a measurement from a CSV file through the kit's table file reader
// (a regular file of at most 20 MiB, UTF-8, UTF-16 or Windows-1252), at most
// kMaxPositions rows of it.

#include "tablefile.h"

namespace orvella {

using MeasurementFile = TableFile;

// Reads the file at `path`; `name` is how the notes call it. A failed
// allocation is told as a note.
MeasurementFile readMeasurementFile(const QString& path, const QString& name);

}  // namespace orvella
