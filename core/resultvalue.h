// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A result of an evaluation of measured values (a list of levels, a
// measurement along a line of work stations), as a companion window lists
// it: what it is, its value when it can be determined, and a German sentence
// where something is to be said about it. Qt-free.

#include "calculation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

// What a window writes where a result has no value.
inline constexpr std::string_view kNoValue = "–";

struct ResultValue {
    Quantity quantity;            // key, symbol, German name (label), unit, decimals
    std::optional<double> value;  // unrounded; nothing when it cannot be determined
    // One or more German sentences: why there is no value, or what to know
    // about the value ("extrapoliert", an upper bound); empty when nothing.
    std::string note;
};

// A result without a value yet: the quantity with its texts and decimals.
ResultValue makeResultValue(std::string key, std::string symbol, std::string symbolHtml,
                            std::string label, std::string unit, int decimals);

// The value as the calculators write a result: FormatResult with the
// quantity's decimals and `decimalMark` (ties to even, no trailing zeros).
// kNoValue when there is no value or it is too large to be written.
std::string valueText(const ResultValue& result, std::string_view decimalMark);

// The value rounded as valueText shows it, for comparisons with target
// values; nothing when valueText writes kNoValue.
std::optional<double> shownValue(const ResultValue& result);

// Takes away each value that valueText could not write (FormatResult
// overflows, as for 1E308 with two decimals), with a sentence why, so that a
// result without a value always says why.
void dropUnwritable(std::vector<ResultValue>& results);

// The result with this key; null when there is none.
const ResultValue* findResult(const std::vector<ResultValue>& results, std::string_view key);
ResultValue* findResult(std::vector<ResultValue>& results, std::string_view key);

}  // namespace orvella
