// SPDX-License-Identifier: GPL-3.0-or-later
// The DL2 prognosis over any eight input texts.
//
// Input: the eight fields in the order the window reads them, one per line:
// ALPHAcell, ALPHAhori, Hscreen, Lraum, Wraum, Hraum, L1, R.
//
// Checks: only ArithmeticError escapes; the three results are finite or the
// calculation is reported as stopped, and it stops exactly where the
// formulas have no finite answer (Hraum = 0, R <= 0, an overflow in any
// step); DL2, L4 and Lr are bit for bit the formulas evaluated left to right
// as written (the program's defined order: a rearranged form such as
// (7·Hscreen + 0.17·Lraum) / Hraum rounds differently and, with subnormal
// sizes, by far more than any fixed tolerance); Lr equals L4 at R = 4 m and
// lies below it beyond 4 m (above it within 4 m) when DL2 is positive;
// every result reads back as written with one decimal.

#include "dlprognose.h"
#include "fuzzsupport.h"

namespace {

struct Plain {
    double dl2, l4, lr;
    bool finite;
};

// The three formulas in plain doubles, each step in the order written:
// ((7·(Hscreen/Hraum) + 0.17·(Lraum/Hraum)) + 4.28·ALPHAcell) + 1.52·ALPHAhori,
// (((L1 − 3.23·Hscreen) − 0.09·Wraum) + 0.44·ALPHAhori) − 5.75·ALPHAcell,
// L4 − (3.3·DL2)·(lg R − lg 4) with lg 4 before lg R.
Plain plainPrognose(const orvella::DLprognoseInput& in)
{
    fuzz::Steps s;
    const double t1 = s(7.0 * s(in.hScreen / in.hRaum));
    const double t2 = s(0.17 * s(in.lRaum / in.hRaum));
    const double t3 = s(4.28 * in.alphaCell);
    const double t4 = s(1.52 * in.alphaHori);
    const double dl2 = s(s(s(t1 + t2) + t3) + t4);
    const double u1 = s(3.23 * in.hScreen), u2 = s(0.09 * in.wRaum);
    const double u3 = s(0.44 * in.alphaHori), u4 = s(5.75 * in.alphaCell);
    const double l4 = s(s(s(s(in.l1 - u1) - u2) + u3) - u4);
    const double lg4 = s(fuzz::lg(4.0));
    const double lgR = s(fuzz::lg(in.r));
    const double lr = s(l4 - s(s(3.3 * dl2) * s(lgR - lg4)));
    return {dl2, l4, lr, s.finite};
}

std::string showInput(const orvella::DLprognoseInput& in)
{
    return fuzz::show(in.alphaCell) + " " + fuzz::show(in.alphaHori) + " " + fuzz::show(in.hScreen) +
           " " + fuzz::show(in.lRaum) + " " + fuzz::show(in.wRaum) + " " + fuzz::show(in.hRaum) +
           " " + fuzz::show(in.l1) + " " + fuzz::show(in.r);
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

    const auto inputs = [&] { return showInput(in); };
    const Plain plain = plainPrognose(in);
    orvella::DLprognoseResult result{};
    try {
        result = orvella::computeDLprognose(in);
    } catch (const orvella::ArithmeticError&) {
        fuzz::check(!plain.finite, "DL2 prognosis stopped though every step is finite",
                    inputs);
        return 0;
    }

    fuzz::check(std::isfinite(result.dl2) && std::isfinite(result.l4) && std::isfinite(result.lr),
                "a DL2 result that is not finite was not reported");
    fuzz::check(in.hRaum != 0.0 && in.r > 0.0, "DL2 prognosis computed with Hraum = 0 or R <= 0");
    fuzz::check(plain.finite, "DL2 prognosis computed though a step has no finite value",
                inputs);
    fuzz::check(result.dl2 == plain.dl2, "DL2 differs from its formula",
                result.dl2, " vs ", plain.dl2, ": ", inputs);
    fuzz::check(result.l4 == plain.l4, "L4 differs from its formula",
                result.l4, " vs ", plain.l4, ": ", inputs);
    fuzz::check(result.lr == plain.lr, "Lr differs from its formula",
                result.lr, " vs ", plain.lr, ": ", inputs);
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
