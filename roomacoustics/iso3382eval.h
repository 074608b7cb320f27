// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Evaluation of a measurement of speech propagation in an open-plan office
// after ISO 3382-3: from the positions along a line of work stations (the
// distance r to the speaker, the A-weighted speech level Lp,A,S, the speech
// transmission index STI and the background level Lp,A,B), the spatial decay
// rate D2,S, the speech level at 4 m Lp,A,S,4m, the comfort, distraction and
// privacy distances rC, rD and rP, the mean background level and the rating
// against the standard's target values and the path's propagation level of
// VDI 2569 (iso3382.h). Qt-free; never throws:
// what cannot be determined is a result without a value and a German
// sentence why.

#include "resultvalue.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

namespace iso3382 {

// Positions from 2 m to 16 m enter the regressions, and each regression
// needs at least four of them.
inline constexpr double kMinDistanceM = 2.0;
inline constexpr double kMaxDistanceM = 16.0;
inline constexpr int kMinPositions = 4;

// Levels beyond ±200 dB are no measured levels.
inline constexpr double kLevelLimitDb = 200.0;

// Decimals of the results (distances in m, levels and D2,S in dB) and of a
// speech transmission index.
inline constexpr int kResultDecimals = 1;
inline constexpr int kStiDecimals = 2;

}  // namespace iso3382

// The cells of one row of the measurement table as the user typed or pasted
// them; the STI and the background level may be empty.
struct PositionTexts {
    std::string distance;     // r [m]
    std::string speechLevel;  // Lp,A,S [dB]
    std::string sti;          // STI [-]
    std::string background;   // Lp,A,B [dB]
};

// The columns in the order of PositionTexts, for PositionRow::marked.
enum PositionColumn { kDistanceColumn, kSpeechLevelColumn, kStiColumn, kBackgroundColumn };

enum class PositionUse {
    Used,          // 2 m ≤ r ≤ 16 m: enters the regressions
    OutsideRange,  // readable, but r lies outside 2 m to 16 m: shown greyed
    LeftOut,       // a cell cannot be used: the row is not evaluated at all
    Empty,         // every cell empty: not counted
};

struct PositionRow {
    // The values that can be used; nothing where a cell is empty or marked.
    std::optional<double> distanceM;
    std::optional<double> speechLevelDb;
    std::optional<double> sti;
    std::optional<double> backgroundDb;
    std::array<bool, 4> marked{};  // the cells the window marks, by PositionColumn
    PositionUse use = PositionUse::Empty;
    std::string note;  // German: why the row is left out or not in the regressions
};

// Reads one row. A cell is read as a pasted table's cell (readCell: either
// decimal mark). It is marked when it is not a number, when r is missing or
// r ≤ 0, when Lp,A,S is missing, when the STI lies outside 0 to 1, or when a
// level lies beyond ±200 dB; a row with a marked cell is left out as a whole.
// The decimal mark is that of the numbers in the note.
PositionRow readPosition(const PositionTexts& texts, std::string_view decimalMark);

// A least-squares line through the positions that entered it.
struct RegressionLine {
    // The speech level's line runs over x = log2(r / 1 m), so that its slope
    // is the change per doubling of distance (dB); the STI's over x = r in m
    // (slope per m).
    bool overLog2Distance = false;
    double slope = 0.0;
    double intercept = 0.0;  // the value at x = 0 (r = 1 m, or r = 0 m)
    double fromM = 0.0;      // the smallest and largest r that entered
    double toM = 0.0;
    int points = 0;
    // The line's value at the distance r [m]; throws ArithmeticError for
    // r ≤ 0 on the speech level's line.
    double at(double distanceM) const;
};

// One target value for a good open-plan office and whether it is met.
struct TargetRating {
    std::string key;          // the result's key: "D2S", "Lp4m", "rD"
    std::string requirement;  // "D2,S ≥ 7 dB", in the user's decimal mark
    std::optional<bool> met;  // nothing when the result has no value
};

struct Iso3382Evaluation {
    std::vector<PositionRow> positions;  // one per row given, in order
    // By key, in this order: "D2S", "Lp4m", "rC", "rD", "rP", "LpB" and "n"
    // (the positions in the level regression).
    std::vector<ResultValue> results;
    std::optional<RegressionLine> speechLevelLine;
    std::optional<RegressionLine> stiLine;
    std::vector<TargetRating> rating;  // D2,S, Lp,A,S,4m, rD
    // The propagation level of VDI 2569 the path reaches (iso3382.h): 1 to
    // 3, 0 for none; nothing when D2,S or Lp,A,S,4m has no value. Compared
    // on the shown values, like the rating.
    std::optional<int> propagationLevel;
};

// The whole evaluation; the decimal mark is that of the numbers in the notes
// and requirements.
//
// - D2,S and Lp,A,S,4m: the least-squares line of Lp,A,S over log2(r / 1 m)
//   through the positions in range; D2,S is minus its slope, Lp,A,S,4m its
//   value at r = 4 m.
// - rC (2022 edition): where that line reaches 45 dB,
//   rC = 4 m · 2^((Lp,A,S,4m − 45 dB) / D2,S); only when D2,S > 0.
// - rD and rP: the least-squares line of the STI over r through the positions
//   in range that have one; where it reaches 0.50 and 0.20. Only when it falls
//   with distance and reaches them at an r > 0.
// - Lp,A,B: the energetic mean 10·lg(mean of 10^(L/10)) of the background
//   levels of every readable row, in range or not (the range concerns the
//   regressions).
// - A distance outside the r of the positions its line went through, and
//   Lp,A,S,4m when 4 m lies outside them, has the note "extrapoliert".
//
// The lines use sums centred on the means (Σ (x − x̄)², Σ (x − x̄)(y − ȳ)):
// over 2 to 16 m and levels near 50 dB, raw sums of squares lose digits.
//
// The rating compares each value as it is shown, rounded to its decimals, as
// the prognosis' help does: a D2,S of 6.96 dB is shown as 7.0 dB and meets
// D2,S ≥ 7 dB, so what is written and its rating never disagree. For the
// same reason "extrapoliert" compares the distance as shown with the range.
Iso3382Evaluation evaluateIso3382(const std::vector<PositionTexts>& rows, std::string_view decimalMark);

}  // namespace orvella
