// SPDX-License-Identifier: GPL-3.0-or-later
// The DL2 prognosis over any eight input texts.
//
// Input: the eight fields in the order the window reads them, one per line:
// ALPHAcell, ALPHAhori, Hscreen, Lraum, Wraum, Hraum, L1, R.
//
// Checks: only ArithmeticError escapes; the three results are finite or the
// calculation is reported as stopped, and it stops only where the formulas
// have no finite answer (Hraum = 0, R <= 0, an overflow); DL2 and L4 agree
// with the formulas rearranged (coefficients and terms in their places);
// Lr equals L4 at R = 4 m and lies below it beyond 4 m when DL2 is
// positive; every result reads back as written with one decimal.

#include "dlprognose.h"
#include "fuzzsupport.h"

namespace {

bool close(double actual, double expected, double scale)
{
    return std::fabs(actual - expected) <= 1e-12 * scale + 1e-300;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fields = fuzz::splitFields(data, size, 8);
    orvella::DLprognoseInput in{};
    try {
        in.alphaCell = fuzz::readField(fields[0]);
        in.alphaHori = fuzz::readField(fields[1]);
        in.hScreen = fuzz::readField(fields[2]);
        in.lRaum = fuzz::readField(fields[3]);
        in.wRaum = fuzz::readField(fields[4]);
        in.hRaum = fuzz::readField(fields[5]);
        in.l1 = fuzz::readField(fields[6]);
        in.r = fuzz::readField(fields[7]);
    } catch (const orvella::ArithmeticError&) {
        return 0;  // a number too large for a double: the window stops
    }

    // The formulas with unchecked doubles, rearranged: only to tell whether a
    // stop was due and to compare the terms.
    const double t1 = 7.0 * (in.hScreen / in.hRaum), t2 = 0.17 * (in.lRaum / in.hRaum);
    const double t3 = 4.28 * in.alphaCell, t4 = 1.52 * in.alphaHori;
    const double dl2Plain = (7.0 * in.hScreen + 0.17 * in.lRaum) / in.hRaum + t3 + t4;
    const double u1 = 3.23 * in.hScreen, u2 = 0.09 * in.wRaum;
    const double u3 = 0.44 * in.alphaHori, u4 = 5.75 * in.alphaCell;
    const double l4Plain = in.l1 - u1 - u2 + u3 - u4;
    const bool allFinite = std::isfinite(t1) && std::isfinite(t2) && std::isfinite(t3) &&
                           std::isfinite(t4) && std::isfinite(t1 + t2 + t3 + t4) &&
                           std::isfinite(u1) && std::isfinite(u2) && std::isfinite(u3) &&
                           std::isfinite(u4) && std::isfinite(in.l1 - u1 - u2 + u3 - u4);

    orvella::DLprognoseResult result{};
    try {
        result = orvella::computeDLprognose(in);
    } catch (const orvella::ArithmeticError&) {
        const double lrPlain = l4Plain - (3.3 * (t1 + t2 + t3 + t4)) *
                                             (std::log10(in.r) - std::log10(4.0));
        fuzz::check(in.hRaum == 0.0 || in.r <= 0.0 || !allFinite || !std::isfinite(lrPlain),
                    "DL2 prognosis stopped though every term is finite",
                    fields[0] + "|" + fields[5] + "|" + fields[7]);
        return 0;
    }

    fuzz::check(std::isfinite(result.dl2) && std::isfinite(result.l4) && std::isfinite(result.lr),
                "a DL2 result that is not finite was not reported");
    fuzz::check(in.hRaum != 0.0 && in.r > 0.0, "DL2 prognosis computed with Hraum = 0 or R <= 0");
    // (The rearranged forms can overflow where the formulas as written do
    // not; they are compared only where they are finite.)
    if (std::isfinite(dl2Plain))
        fuzz::check(close(result.dl2, dl2Plain,
                      std::fabs(t1) + std::fabs(t2) + std::fabs(t3) + std::fabs(t4)),
                    "DL2 differs from its formula",
                    fuzz::show(result.dl2) + " vs " + fuzz::show(dl2Plain));
    if (std::isfinite(l4Plain))
        fuzz::check(close(result.l4, l4Plain,
                      std::fabs(in.l1) + std::fabs(u1) + std::fabs(u2) + std::fabs(u3) + std::fabs(u4)),
                "L4 differs from its formula", fuzz::show(result.l4) + " vs " + fuzz::show(l4Plain));
    if (in.r == 4.0)
        fuzz::check(result.lr == result.l4, "Lr at R = 4 m differs from L4");
    if (result.dl2 > 0.0 && in.r > 4.0)
        fuzz::check(result.lr <= result.l4, "Lr beyond 4 m above L4 with a positive DL2");
    if (result.dl2 > 0.0 && in.r < 4.0)
        fuzz::check(result.lr >= result.l4, "Lr within 4 m below L4 with a positive DL2");

    fuzz::checkFormatted(result.dl2, 1);
    fuzz::checkFormatted(result.l4, 1);
    fuzz::checkFormatted(result.lr, 1);
    return 0;
}
