// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The statistics of a column of sound levels Li in dB (the level list): their
// number, energetic sum and mean, arithmetic mean and standard deviation,
// smallest and largest level and how much the others add to the largest;
// and the correction of each level for background noise after ISO 3744 and
// ISO 10140-4. Qt-free; never throws: what cannot be determined is a result
// without a value and a German sentence why.

#include "keypad.h"
#include "resultvalue.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvella {

// Levels beyond ±300 dB are not taken into the energetic results: their
// energies are far outside anything measured, and 10^(L/10) leaves the
// range of a double from about 3083 dB on.
inline constexpr double kLevelListLimitDb = 300.0;

// The decimals of every level result.
inline constexpr int kLevelListDecimals = 2;

// Energetic sum LΣ = 10·lg Σ 10^(Li/10) [dB] of levels in dB: incoherent
// sources together. Computed with the largest level Lmax factored out,
// LΣ = Lmax + 10·lg Σ 10^((Li − Lmax)/10): every term is then between 0 and
// 1, so the sum stays within the range of a double for any finite levels and
// any number of them (the plain sum overflows once a level passes about
// 3083 dB), and the result does not depend on where on the scale the levels
// lie. For ordinary columns both forms agree far beyond the two decimals
// shown. lg x = ln x / ln 10 (Log10). Throws
// ArithmeticError(InvalidOperation) for an empty list or a level that is
// not a finite number.
double energeticSumDb(std::span<const double> levels);

// Energetic mean Lm = 10·lg((1/n) Σ 10^(Li/10)) = LΣ − 10·lg n [dB], with
// the largest level factored out as in energeticSumDb; the level of a
// steady sound with the same energy. Throws like energeticSumDb.
double energeticMeanDb(std::span<const double> levels);

// Background correction of one level.
enum class BackgroundFlag {
    NoCorrection,      // ΔL > 15 dB: K1 = 0
    Corrected,         // 6 dB < ΔL ≤ 15 dB: K1 from the formula
    MeasurementLimit,  // ΔL ≤ 6 dB: K1 = 1.3 dB, the corrected level is an upper bound
    NotCorrected,      // the level or LB is beyond ±300 dB
};

// The bounds of ΔL: above 15 dB no correction is needed; at 6 dB and below
// the measurement reaches its limit and K1 is fixed at 1.3 dB.
inline constexpr double kNoCorrectionAboveDb = 15.0;
inline constexpr double kMeasurementLimitDb = 6.0;
inline constexpr double kLimitCorrectionDb = 1.3;

struct BackgroundCorrection {
    double levelDb = 0.0;      // Li as given
    double deltaDb = 0.0;      // ΔL = Li − LB
    double k1Db = 0.0;         // the correction applied
    double correctedDb = 0.0;  // Li − K1
    BackgroundFlag flag = BackgroundFlag::NoCorrection;
    // The corrected level is only an upper bound of the source's level.
    bool upperBound() const { return flag == BackgroundFlag::MeasurementLimit; }
};

// The flag as the window writes it: "keine Korrektur nötig", "korrigiert",
// "Grenze der Messung", "nicht korrigiert".
std::string backgroundFlagText(BackgroundFlag flag);

// The background correction of a level Li [dB] measured with a background
// level LB [dB], after ISO 3744 and ISO 10140-4: ΔL = Li − LB,
// K1 = −10·lg(1 − 10^(−ΔL/10)) where 6 dB < ΔL ≤ 15 dB, 0 above, and the
// fixed 1.3 dB at and below 6 dB, where the measurement reaches its limit.
// The bounds compare the unrounded ΔL. A level or LB beyond ±300 dB is not
// corrected (NotCorrected, K1 = 0).
BackgroundCorrection correctForBackground(double levelDb, double backgroundDb);

struct LevelListEvaluation {
    // Of the levels as given, in this order, by key: "n" (number of levels),
    // "sum" (LΣ), "mean" (Lm), "arithmetic" (arithmetic mean), "stddev"
    // (standard deviation of the sample, n − 1), "min", "max" and
    // "sumMinusMax" (LΣ − Lmax, how much the others add to the largest).
    std::vector<ResultValue> results;
    // The intermediate values of the levels as given, for the worked
    // calculation: "S" (Σ 10^(0.1·(Li − Lmax))), "total" (Σ Li) and
    // "squares" (Σ (Li − Larith)²), each when it was computed.
    std::vector<TraceEntry> trace;
    std::optional<double> backgroundDb;
    // When LB is given and within ±300 dB: one per level, and the same
    // results of the corrected levels.
    std::vector<BackgroundCorrection> corrections;
    std::vector<ResultValue> correctedResults;
    // Why the levels are not corrected although LB is given; else empty.
    std::string backgroundNote;
};

// The level list's results: each computed on its own with checked
// arithmetic, so one that fails (a level beyond ±300 dB for the energetic
// ones, a sum beyond the range of a double for the arithmetic ones) has no
// value and a sentence why, and the others stay. An empty list gives every
// result without value. The standard deviation is that of a sample,
// s = sqrt(Σ (Li − L̄)² / (n − 1)), as is usual for levels at measurement
// positions taken as a sample of the room; it needs two levels. Levels must
// be finite; an infinite or undefined one counts as beyond ±300 dB.
// Fast for 100 000 levels (one pass for the energies, two for the deviation).
LevelListEvaluation evaluateLevelList(std::span<const double> levels,
                                      std::optional<double> backgroundDb = std::nullopt);

}  // namespace orvella
