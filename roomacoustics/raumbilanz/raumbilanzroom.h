// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The room of a balance and its calculator: the room group, V and h read
// from the calculator's fields through its link, with the line the window
// shows, and the texts that put a room back into those fields.

#include "companion.h"
#include "raumbilanz.h"

#include <QString>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvella {

// The reverberation calculator among the request's descriptions, or null.
// Told by its id: the plugin holds a description of its own, the window
// the program's.
const CalculatorModel* calculatorOf(const std::vector<const CalculatorModel*>& models);

struct CalculatorRoom {
    BalanceParameters room;  // nothing where a field does not read
    QString text;            // "Raum aus dem Rechner: A3 …, V = 180 m³, h = 3 m"
};

// What the calculator's fields hold now, read as the calculator reads them.
CalculatorRoom roomOfCalculator(const CompanionLink* link, const CalculatorModel* calculator,
                                std::string_view decimalMark);

// The fields' texts for `room`: the group's choice as its text, V and h as
// numbers that read back exactly in `decimalMark`; nothing for a value the
// room lacks.
std::vector<std::pair<std::string, QString>> roomTexts(const CalculatorModel& calculator, const BalanceParameters& room,
                                                       std::string_view decimalMark);

}  // namespace orvella
