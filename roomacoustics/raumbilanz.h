// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The room's absorption in octave bands ("Raumbilanz in Oktavbändern", F3 on
// the reverberation calculator): rows of surfaces (area S and absorption
// coefficient α per band) and objects (count n and equivalent absorption
// area per piece per band), summed per band to the equivalent absorption
// area A; from it the reverberation time after Sabine and after Eyring, and
// for rooms of group A the rating against the tolerance band of DIN 18041
// around T_soll with the absorption area missing or in excess per band. Rooms
// of group B are rated by A/V at mid frequencies (500/1000 Hz), as the
// calculator rates them. Qt-free; never throws: what cannot be determined is
// a result without a value and a German sentence why.

#include "resultvalue.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

namespace raumbilanz {

// The octave bands of the table, in Hz.
inline constexpr int kBands = 6;
inline constexpr std::array<int, kBands> kBandHz{125, 250, 500, 1000, 2000, 4000};
// The bands whose mean is the calculator's "mid frequencies" (500 and 1000 Hz).
inline constexpr int kMidLow = 2;
inline constexpr int kMidHigh = 3;

// The tolerance band of DIN 18041:2016 around T_soll, as ratios T / T_soll per
// octave band: for groups A1 to A4 and for A5 (sport), where the bands at 125
// and 4000 Hz carry no requirement. An edition change is an edit here.
struct BandTolerance {
    bool rated;    // the band carries a requirement
    double lower;  // T / T_soll at least
    double upper;  // T / T_soll at most
};
struct ToleranceTable {
    const char* source;
    std::array<BandTolerance, kBands> groupsA1toA4;
    std::array<BandTolerance, kBands> sport;
};
inline constexpr ToleranceTable kTolerance{
    "DIN 18041:2016",
    {{{true, 0.65, 1.45}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {true, 0.65, 1.2}}},
    {{{false, 0.0, 0.0}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {true, 0.8, 1.2}, {false, 0.0, 0.0}}},
};

// The tolerance of a band for a room group (its position 1..10); unrated for
// group B and for a position that is no group.
BandTolerance toleranceOf(int group, int band);

// Bounds of what a row may hold: areas and counts up to a million, α from 0
// to 1, an object's absorption area up to 1000 m² a piece.
inline constexpr double kMaxAmount = 1.0e6;
inline constexpr double kMaxObjectArea = 1000.0;

// Decimals: areas in m², reverberation times in s, T_soll as the calculator
// writes it, A/V in 1/m.
inline constexpr int kAreaDecimals = 1;
inline constexpr int kTimeDecimals = 2;
inline constexpr int kTargetDecimals = 3;
inline constexpr int kRatioDecimals = 4;

// The most rows the table takes.
inline constexpr int kMaxRows = 10'000;

}  // namespace raumbilanz

// The cells of a row as typed or pasted: the name, the area S [m²] of a
// surface or the count n of objects (one of the two), and per band α (a
// surface) or the equivalent absorption area of one object [m²].
struct BalanceRowTexts {
    std::string name;
    std::string area;
    std::string count;
    std::array<std::string, raumbilanz::kBands> bands;
};

// The cells in the order of BalanceRowTexts, for BalanceRow::marked.
enum BalanceColumn { kNameColumn, kAreaColumn, kCountColumn, kFirstBandColumn };
inline constexpr int kBalanceColumns = kFirstBandColumn + raumbilanz::kBands;

enum class BalanceUse {
    Surface,  // S and α per band: counts into A and S
    Object,   // n and A per piece: counts into A only
    LeftOut,  // a cell cannot be used: the row is not summed
    Empty,    // no number in it (a name alone is a comment)
};

struct BalanceRow {
    BalanceUse use = BalanceUse::Empty;
    double amount = 0.0;  // S [m²] or n
    std::array<double, raumbilanz::kBands> values{};  // α or A per piece [m²]
    std::array<bool, kBalanceColumns> marked{};
    std::string note;  // German: why the row is left out
};

// Reads a row. Each number cell is read as a pasted table's cell (readCell:
// either decimal mark). A row with numbers needs S or n (not both, each
// 0 to 1 million) and every band: α from 0 to 1 for a surface, 0 to 1000 m²
// a piece for an object; otherwise the cells at fault are marked and the
// row is left out.
BalanceRow readBalanceRow(const BalanceRowTexts& texts);

// The values beside the rows, read from the calculator's fields.
struct BalanceParameters {
    std::optional<double> group;   // position of the room group, 1..10
    std::optional<double> volume;  // V [m³]
    std::optional<double> height;  // h [m], for group B
};

// Where a band's T after Sabine lies against the tolerance band.
enum class BandVerdict { NotRated, Below, Within, Above };

struct BandResult {
    int hz = 0;
    ResultValue area;      // A [m²]
    ResultValue sabine;    // T after Sabine [s]
    ResultValue eyring;    // T after Eyring [s]
    ResultValue lower;     // T_soll · lower ratio [s]
    ResultValue upper;     // T_soll · upper ratio [s]
    ResultValue delta;     // absorption area missing (> 0) or in excess (< 0) [m²]
    BandVerdict verdict = BandVerdict::NotRated;
    double meanAlpha = 0.0;  // ᾱ = A / S, for Eyring
};

struct BalanceEvaluation {
    std::vector<BalanceRow> rows;  // one per row given
    std::array<BandResult, raumbilanz::kBands> bands;
    // "S", "Am", "avm", "tSoll", "avSoll", "dAm", "outside" in this order.
    std::vector<ResultValue> summary;
    bool groupA = false;  // the room is rated by the tolerance band
    std::string groupNote;  // German: why there is no rating; empty when there is one
};

// The whole evaluation; the decimal mark is that of the numbers in the
// notes.
//
// - Per band: A = Σ S·α + Σ n·A_piece; S = Σ S of the surfaces; after Sabine
//   T = 0.163 s/m · V / A; after Eyring with ᾱ = A / S (objects included in A)
//   T = 0.163 s/m · V / (−S · ln(1 − ᾱ)), only for ᾱ < 1.
// - T_soll (group A) and the required A/V (group B) as the calculator
//   computes them from the group, V and h (computeReverberation).
// - Group A: per band the bounds T_soll · ratio of kTolerance; the band is
//   above or below them when its T after Sabine, as shown, lies beyond them
//   as shown; the area missing is 0.163 s/m · V / upper − A, the area in
//   excess 0.163 s/m · V / lower − A (negative); 0 inside.
// - Group B: A_m = mean of A at 500 and 1000 Hz; A/V = A_m / V against the
//   required ratio; the area missing A/V_soll · V − A_m, at least 0.
BalanceEvaluation evaluateBalance(const std::vector<BalanceRowTexts>& rows, const BalanceParameters& parameters,
                                  std::string_view decimalMark);

}  // namespace orvella
