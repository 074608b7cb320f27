// SPDX-License-Identifier: GPL-3.0-or-later
#include "keypadentry.h"

#include <algorithm>

namespace orvella {

namespace {

std::string_view withoutBlanks(std::string_view s)
{
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

KeypadEntry refused(std::string reason) { return {std::string(), std::move(reason)}; }

}  // namespace

KeypadEntry keypadEntry(std::string_view number, const KeypadState& state)
{
    const std::string_view n = withoutBlanks(number);
    if (n.starts_with('-') || n.starts_with("\xE2\x88\x92"))
        return refused("Der dB Calculator hat keine Taste für ein Minuszeichen: eine negative Zahl lässt "
                       "sich nicht eintippen.");
    if (n.find_first_of("eE") != std::string_view::npos)
        return refused("Die Zahl ist so groß, dass sie in Exponentenschreibweise steht; die Tasten des "
                       "dB Calculators schreiben nur Ziffern und einen Punkt.");
    const auto marks = std::count_if(n.begin(), n.end(), [](char c) { return c == '.' || c == ','; });
    const bool digitsOnly =
        !n.empty() && n.find_first_not_of("0123456789.,") == std::string_view::npos && marks <= 1 &&
        std::any_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly)
        return refused("„" + std::string(n) + "“ ist keine Zahl, die sich eintippen lässt.");

    // The display shows a number the user is typing: the digits would be
    // appended to it.
    const std::string_view display = withoutBlanks(state.display);
    if (!state.newEntry && !display.empty() && display != "0")
        return refused("Im dB Calculator wird gerade die Zahl „" + std::string(display) +
                       "“ eingegeben; die Ziffern würden an sie angehängt. Bitte dort zuerst „+“, „x“, "
                       "„=“ oder „C“ drücken.");

    KeypadEntry entry;
    entry.keys = n;
    std::replace(entry.keys.begin(), entry.keys.end(), ',', '.');
    return entry;
}

}  // namespace orvella
