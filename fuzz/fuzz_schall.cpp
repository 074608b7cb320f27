// SPDX-License-Identifier: GPL-3.0-or-later
// The sound power / sound pressure converter over any two input texts.
//
// Input: the level text, a line feed, the distance text. Both halves of the
// window run: Lw from (Lp, r) and Lp from (Lw, r), each read, computed and
// written with two decimals as the window does.
//
// Checks: only ArithmeticError escapes; every result is finite or the
// failure is reported; a failure happens exactly where the arithmetic has
// no finite answer (4·π·r² zero, as for r = 0 or a tiny r whose square
// underflows, or out of range, or the sum overflows); the spreading term
// is bit for bit 10·lg(4·π·r²) taken in the converter's order, lg as the
// calculators take it (ln x / ln 10), not a library log10 that rounds
// differently; the two halves agree (Lw − Lp is the same spreading term
// both ways, and the spreading term is symmetric in the sign of r);
// results read back.

#include "fuzzsupport.h"
#include "schall.h"

namespace {

// 4·π·r² in the converter's own order, without checks: tells whether a
// failure was due.
double spreadingArea(double r)
{
    return ((4.0 * orvella::kConverterPi) * r) * r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fields = fuzz::splitFields(data, size, 2);
    double level = 0.0;
    double distance = 0.0;
    try {
        level = fuzz::readField(fields[0]);
        distance = fuzz::readField(fields[1]);
    } catch (const orvella::ArithmeticError&) {
        return 0;  // a number too large for a double: reported by the window
    }

    // The spreading term in plain doubles, step by step as the converter
    // takes it: 4·π·r² as ((4·π)·r)·r, then 10·lg of it.
    fuzz::Steps steps;
    const double area = steps(spreadingArea(distance));
    const double expected = steps(10.0 * steps(fuzz::lg(area)));

    double spreading = 0.0;
    try {
        spreading = orvella::sphereSpreadingDb(distance);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!steps.finite && (area == 0.0 || !std::isfinite(area)),
                    "spreading term failed though 4·π·r² is positive and finite", distance);
        return 0;
    }
    fuzz::check(std::isfinite(spreading), "spreading term not finite", distance);
    fuzz::check(steps.finite, "spreading term computed though 4·π·r² is zero or out of range",
                distance);
    fuzz::check(orvella::sphereSpreadingDb(-distance) == spreading,
                "a negative distance must count like its absolute value", distance);
    // 10·lg(4π) = 10.99 dB at 1 m, and 20 dB more per factor 10 of distance.
    fuzz::check(spreading == expected, "spreading term is not 10·lg(4·π·r²)",
                distance, ": ", spreading, " vs ", expected);

    try {
        const double power = orvella::soundPowerLevel(level, distance);
        fuzz::check(power == spreading + level, "Lw is not spreading + Lp", level, " ", distance);
        fuzz::checkFormatted(power, 2);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!std::isfinite(spreading + level), "Lw failed though its sum is finite",
                    level, " ", distance);
    }
    try {
        const double pressure = orvella::soundPressureLevel(level, distance);
        fuzz::check(pressure == level - spreading, "Lp is not Lw - spreading",
                    level, " ", distance);
        fuzz::checkFormatted(pressure, 2);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!std::isfinite(level - spreading), "Lp failed though its difference is finite",
                    level, " ", distance);
    }
    return 0;
}
