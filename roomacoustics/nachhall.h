// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reverberation time of a room against DIN 18041:2016 at mid frequencies
// (500 to 1000 Hz). Rooms of group A (A1 music to A5 sport) have a target
// reverberation time T_soll from their volume, each group within its range
// of volumes; rooms of group B (B1 to B5) a least ratio A/V of equivalent
// absorption area to volume from their clear height (B1 none). From it the
// absorption area required after Sabine, the present reverberation time and
// the absorption area still missing. Each group's requirement is also given
// in the other form, through Sabine: A/V = 0.163 s/m / T_soll. Qt-free; every operation is checked.
// With a trace the calculation records "group", "volume", "lgV", "tSoll",
// "avSoll" (group A), "lgH", "avSoll", "tSoll" (group B), "aErf", "t" and
// "deltaA".

#include "calculation.h"

#include <array>

namespace orvella {

// The ten room groups in the order A1..A5, B1..B5; a group's value in the
// calculator description is its position, counted from 1.
enum class RoomGroup { A1 = 1, A2, A3, A4, A5, B1, B2, B3, B4, B5 };
inline constexpr int kRoomGroupCount = 10;

// Sabine: T = 0.163 s/m · V / A.
inline constexpr double kSabine = 0.163;

// Group A: T_soll = slope · lg(V/m³) + offset for from <= V < to (m³).
struct TargetLine {
    double slope;
    double offset;
    double from;
    double to;
};
inline constexpr std::array<TargetLine, 5> kTargetLines{{
    {0.45, 0.07, 30.0, 1000.0},   // A1 music
    {0.37, -0.14, 50.0, 5000.0},  // A2 speech, presentation
    {0.32, -0.17, 30.0, 5000.0},  // A3 teaching, communication
    {0.26, -0.14, 30.0, 500.0},   // A4 inclusive teaching
    {0.75, -1.00, 200.0, 10000.0},  // A5 sport, below the volume of the constant time
}};
// A5 from 10 000 m³ on: a constant target.
inline constexpr double kSportConstantFrom = 10000.0;
inline constexpr double kSportConstantTime = 2.0;

// Group B: A/V >= low for h <= 2.5 m, else 1 / (a + 4.69 · lg(h/m)); B2..B5.
inline constexpr double kLowRoomHeight = 2.5;
inline constexpr double kHeightSlope = 4.69;
struct AbsorptionRatio {
    double low;  // 1/m, for h <= 2.5 m
    double a;    // m, for h > 2.5 m
};
inline constexpr std::array<AbsorptionRatio, 4> kAbsorptionRatios{{
    {0.15, 4.80},  // B2
    {0.20, 3.13},  // B3
    {0.25, 2.13},  // B4
    {0.30, 1.47},  // B5
}};

// The verdict, as the position of its words.
enum class Verdict { Met = 1, NotMet, NoRequirement };

struct ReverberationInput {
    double group;   // position of the group, 1..10; the nearest one is taken
    double volume;  // V, m³
    double height;  // h, m
    double area;    // present equivalent absorption area A, m²
};

struct ReverberationResult {
    double tSoll;   // s; for group B the longest T that A/V allows; NaN for B1
    double avSoll;  // 1/m; for group A the ratio that gives T_soll; 0 for B1
    double aErf;    // m²
    double t;       // s
    double deltaA;  // m², 0 when met
    Verdict verdict;
};

// Throws ArithmeticError(InvalidOperation) in "group" for a value that is no
// group, in "volume" for a volume outside the group's range (group B: V <= 0)
// or a group B room of height <= 0, in "t" for A <= 0.
ReverberationResult computeReverberation(const ReverberationInput& in, Trace* trace = nullptr);

}  // namespace orvella
