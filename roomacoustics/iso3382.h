// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-number values of ISO 3382-3 (open-plan offices) that Orvella
// compares with: the informative target values for a good open-plan office,
// and the levels and speech transmission indices at which the standard's
// distances are taken. Written once here; the prognosis' help, the chart of
// its study and the measurement evaluation all read them from this header.
// Qt-free.

#include <array>

namespace orvella::iso3382 {

// The distance at which the A-weighted speech level Lp,A,S,4m is taken,
// and from which the comfort distance is counted in doublings.
inline constexpr double kReferenceDistanceM = 4.0;

// Target values for a good open-plan office (informative annex).
inline constexpr double kGoodDecayDb = 7.0;           // D2,S >= 7 dB per doubling of distance
inline constexpr double kGoodLevelAt4mDb = 48.0;      // Lp,A,S,4m <= 48 dB
inline constexpr double kGoodDistractionDistanceM = 5.0;  // rD <= 5 m

// The comfort distance rC (2022 edition): where the A-weighted speech level
// falls to 45 dB.
inline constexpr double kComfortLevelDb = 45.0;

// The distraction distance rD and the privacy distance rP: where the speech
// transmission index falls to 0.50 and to 0.20.
inline constexpr double kDistractionSti = 0.50;
inline constexpr double kPrivacySti = 0.20;

// The propagation levels of VDI 2569:2019 (acoustics of offices) for one
// measured path: a path reaches a level when its D2,S is at least and its
// Lp,A,S,4m at most the level's bounds. Best level first. The office class
// itself is not rated from one path.
struct PropagationLevel {
    int level;
    double minDecayDb;      // D2,S >= this
    double maxLevelAt4mDb;  // Lp,A,S,4m <= this
};
inline constexpr const char* kPropagationSource = "VDI 2569:2019";
inline constexpr std::array<PropagationLevel, 3> kPropagationLevels{{
    {1, 8.0, 47.0},
    {2, 6.0, 49.0},
    {3, 4.0, 51.0},
}};

}  // namespace orvella::iso3382
