// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the measurement evaluation after ISO 3382-3 says about itself: the
// page its window shows on F1 (what is measured, how the table is filled,
// the method, the target values, the limits) and the method alone, which the
// report prints. German HTML in UTF-8; every number is written from the
// constants the evaluation computes with (iso3382.h, iso3382eval.h), with
// the user's decimal mark. Qt-free.

#include <string>
#include <string_view>

namespace orvella {

// The method: which positions enter, the two regressions, the distances, the
// background level, "extrapoliert", the rounding. Headings are <h2>.
std::string iso3382MethodHtml(std::string_view decimalMark);

// The whole help page, with the method as one of its sections.
std::string iso3382HelpHtml(std::string_view decimalMark);

}  // namespace orvella
