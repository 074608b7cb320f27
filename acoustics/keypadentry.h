// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A number typed into the keypad from elsewhere (the level list's "In den
// Rechner"): the keys a user would press to make it the display's number,
// or why those keys cannot enter it. The keys are pressed by the keypad
// window itself, so the number goes through the keypad's own rules. Qt-free.

#include "keypadmodel.h"

#include <string>
#include <string_view>

namespace orvella {

struct KeypadEntry {
    std::string keys;     // digits and at most one "."; empty when refused
    std::string refusal;  // a German sentence why it cannot be typed; empty when it can
};

// The keys that enter `number` as the display's new number, in the keypad's
// state `state`.
//
// `number` is a number as the windows write it (FormatResult: the user's
// decimal mark, "," or "."; blanks around it are ignored). The keys can
// only write digits and one point: a negative number or one in exponent
// form ("1E+15") is refused.
//
// The keys start a new number where the keypad's own digit keys do: after
// an operator key or "=" (newEntry), or on a display of exactly "0". So with
// "60 +" pending the number becomes the second operand, and after "=" it
// replaces the result shown. While a number is being typed the keys would
// append to it, and it is refused: the user decides first with an operator
// key, "=" or "C".
KeypadEntry keypadEntry(std::string_view number, const KeypadState& state);

}  // namespace orvella
