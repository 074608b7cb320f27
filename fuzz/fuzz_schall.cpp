// SPDX-License-Identifier: GPL-3.0-or-later
// The sound power / sound pressure converter over any two input texts.
//
// Input: the level text, a line feed, the distance text. Both halves of the
// window run: Lw from (Lp, r) and Lp from (Lw, r), each read, computed and
// written with two decimals as the window does.
//
// Checks: only ArithmeticError escapes; every result is finite or the
// failure is reported; a failure happens only where the arithmetic has no
// finite answer (r = 0 or 4·π·r² out of range, or the sum overflows); the
// two halves agree (Lw − Lp is the same spreading term both ways, and the
// spreading term is symmetric in the sign of r); results read back.

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

    double spreading = 0.0;
    try {
        spreading = orvella::sphereSpreadingDb(distance);
    } catch (const orvella::ArithmeticError&) {
        const double area = spreadingArea(distance);
        fuzz::check(area == 0.0 || !std::isfinite(area),
                    "spreading term failed though 4·π·r² is positive and finite",
                    fuzz::show(distance));
        return 0;
    }
    fuzz::check(std::isfinite(spreading), "spreading term not finite", fuzz::show(distance));
    fuzz::check(orvella::sphereSpreadingDb(-distance) == spreading,
                "a negative distance must count like its absolute value", fuzz::show(distance));
    // 10·lg(4π) = 10.99 dB at 1 m, and 20 dB more per factor 10 of distance.
    const double expected = 10.0 * std::log10(spreadingArea(distance));
    fuzz::check(std::fabs(spreading - expected) <= 1e-12 * std::fmax(1.0, std::fabs(expected)),
                "spreading term is not 10·lg(4·π·r²)", fuzz::show(distance));

    try {
        const double power = orvella::soundPowerLevel(level, distance);
        fuzz::check(power == spreading + level, "Lw is not spreading + Lp",
                    fuzz::show(level) + " " + fuzz::show(distance));
        fuzz::checkFormatted(power, 2);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!std::isfinite(spreading + level), "Lw failed though its sum is finite",
                    fuzz::show(level) + " " + fuzz::show(distance));
    }
    try {
        const double pressure = orvella::soundPressureLevel(level, distance);
        fuzz::check(pressure == level - spreading, "Lp is not Lw - spreading",
                    fuzz::show(level) + " " + fuzz::show(distance));
        fuzz::checkFormatted(pressure, 2);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!std::isfinite(level - spreading), "Lp failed though its difference is finite",
                    fuzz::show(level) + " " + fuzz::show(distance));
    }
    return 0;
}
