// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlprognose.h"

#include "checked.h"
#include "numbers.h"

namespace orvella {

// Each formula is evaluated left to right exactly as written, in double
// precision, with no rounding in between; the coefficients are the decimal
// constants of dlprognose.h.

double dl2Prognose(const DLprognoseInput& in)
{
    const Real hScreen = in.hScreen, hRaum = in.hRaum, lRaum = in.lRaum;
    const Real dl2 = Real(kDl2Screen) * (hScreen / hRaum) + Real(kDl2Length) * (lRaum / hRaum) +
                     Real(kDl2AlphaCell) * in.alphaCell + Real(kDl2AlphaHori) * in.alphaHori;
    return dl2.value();
}

double l4Prognose(const DLprognoseInput& in)
{
    const Real l4 = Real(in.l1) - Real(kL4Screen) * in.hScreen - Real(kL4Width) * in.wRaum +
                    Real(kL4AlphaHori) * in.alphaHori - Real(kL4AlphaCell) * in.alphaCell;
    return l4.value();
}

double lrPrognose(double dl2, double l4, double r, Trace* trace)
{
    // lg 4 first, then lg R, then their difference.
    const Real lg4 = step(trace, "lg4", [] { return Log10(4.0); });
    const Real lgR = step(trace, "lgR", [&] { return Log10(r); });
    return step(trace, "lr", [&] { return (Real(l4) - (Real(kLrSlope) * dl2) * (lgR - lg4)).value(); });
}

DLprognoseResult computeDLprognose(const DLprognoseInput& in, Trace* trace)
{
    const double dl2 = step(trace, "dl2", [&] { return dl2Prognose(in); });
    const double l4 = step(trace, "l4", [&] { return l4Prognose(in); });
    const double lr = lrPrognose(dl2, l4, in.r, trace);
    return {dl2, l4, lr};
}

double comfortDistance(double dl2, double l4, Trace* trace)
{
    const Real exponent = step(trace, "rcExponent", [&] {
        // DL2 = 0 would divide by zero; below 0 the level rises with distance
        // and never falls to 45 dB on the far side.
        if (!(dl2 > 0.0))
            throw ArithmeticError(ArithmeticFault::InvalidOperation);
        return ((Real(l4) - kComfortSpeechLevelDb) / (Real(kLrSlope) * dl2)).value();
    });
    return step(trace, "rc", [&] { return (Real(4.0) * pow(Real(10.0), exponent)).value(); });
}

}  // namespace orvella
