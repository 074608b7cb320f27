// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Prognosis of speech propagation in an open-plan office: from the speech
// level at 1 m, the room's size, the screen height and two mean absorption
// coefficients, the decrease of the speech level per doubling of distance
// (DL2), the speech level at 4 m (L4) and at a chosen distance R (Lr).
// Three fixed regression formulas with constant coefficients.
// Qt-free; every operation is checked and throws ArithmeticError where it
// fails (a room height of 0, a distance R <= 0, an overflow). With a trace,
// the calculation records "dl2", "l4", "lg4", "lgR" and "lr".

#include "calculation.h"
#include "iso3382.h"

namespace orvella {

struct DLprognoseInput {
    double alphaCell;  // mean absorption coefficient, dimensionless
    double alphaHori;  // mean absorption coefficient of screens and walls
    double hScreen;    // screen height, m
    double lRaum;      // room length, m
    double wRaum;      // room width, m
    double hRaum;      // room height, m
    double l1;         // speech level at 1 m, dB
    double r;          // distance, m
};

struct DLprognoseResult {
    double dl2;  // decrease per doubling of distance, dB
    double l4;   // speech level at 4 m, dB
    double lr;   // speech level at the distance R, dB
};

// The coefficients of the three formulas, written once: the formulas below
// compute with them and the help shows them.
inline constexpr double kDl2Screen = 7.0;      // DL2 per Hscreen/Hraum
inline constexpr double kDl2Length = 0.17;     // DL2 per Lraum/Hraum
inline constexpr double kDl2AlphaCell = 4.28;  // DL2 per ALPHAcell
inline constexpr double kDl2AlphaHori = 1.52;  // DL2 per ALPHAhori
inline constexpr double kL4Screen = 3.23;      // dB per m of Hscreen
inline constexpr double kL4Width = 0.09;       // dB per m of Wraum
inline constexpr double kL4AlphaHori = 0.44;   // dB per ALPHAhori
inline constexpr double kL4AlphaCell = 5.75;   // dB per ALPHAcell
inline constexpr double kLrSlope = 3.3;        // Lr per DL2 and decade of distance

// DL2 = 7·(Hscreen/Hraum) + 0.17·(Lraum/Hraum) + 4.28·ALPHAcell + 1.52·ALPHAhori.
double dl2Prognose(const DLprognoseInput& in);

// L4 = L1 − 3.23·Hscreen − 0.09·Wraum + 0.44·ALPHAhori − 5.75·ALPHAcell.
double l4Prognose(const DLprognoseInput& in);

// Lr = L4 − 3.3·DL2·(lg R − lg 4), from the unrounded DL2 and L4. The factor
// is 3.3, not 1/lg 2, so R = 8 lies 0.9934·DL2 (not exactly DL2) below L4.
double lrPrognose(double dl2, double l4, double r, Trace* trace = nullptr);

// All three, in the order DL2, L4, Lr.
DLprognoseResult computeDLprognose(const DLprognoseInput& in, Trace* trace = nullptr);

// The speech level [dB] below which the comfort distance begins.
inline constexpr double kComfortSpeechLevelDb = iso3382::kComfortLevelDb;

// Comfort distance rC [m]: the distance at which the speech level, falling
// with distance as the Lr formula above has it, drops to 45 dB, i.e. Lr = 45 dB
// solved for R: rC = 4 m · 10^((L4 − 45 dB) / (3.3 · DL2)). Only defined when
// the level falls with distance: throws ArithmeticError(InvalidOperation) for
// DL2 <= 0, and Overflow where the power leaves the double range. With a
// trace, records "rcExponent" ((L4 − 45) / (3.3 · DL2)) and "rc".
double comfortDistance(double dl2, double l4, Trace* trace = nullptr);

}  // namespace orvella
