// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Verlauf's status lines under its table: where the history lies (or
// why it is off), then what the last read and the writer have to say, each
// on a line.

#include <QString>

namespace orvella {

class HistoryHub;
class HistoryModel;

QString verlaufStatusText(HistoryHub& hub, const HistoryModel& model);

}  // namespace orvella
