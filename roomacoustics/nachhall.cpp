// SPDX-License-Identifier: GPL-3.0-or-later
#include "nachhall.h"

#include "checked.h"
#include "numbers.h"

#include <cmath>
#include <limits>

namespace orvella {

namespace {

[[noreturn]] void noAnswer() { throw ArithmeticError(ArithmeticFault::InvalidOperation); }

bool isGroupA(int group) { return group <= static_cast<int>(RoomGroup::A5); }

}  // namespace

ReverberationResult computeReverberation(const ReverberationInput& in, Trace* trace)
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    // The nearest position: a parameter study over the groups steps from one to the next.
    const int group = static_cast<int>(step(trace, "group", [&] {
        const double position = std::round(in.group);
        if (!(position >= 1.0 && position <= kRoomGroupCount))
            noAnswer();
        return position;
    }));
    const bool groupA = isGroupA(group);
    const bool b1 = group == static_cast<int>(RoomGroup::B1);
    step(trace, "volume", [&] {
        if (groupA) {
            const TargetLine& line = kTargetLines[std::size_t(group - 1)];
            const bool sport = group == static_cast<int>(RoomGroup::A5);
            if (!(in.volume >= line.from) || (!sport && !(in.volume < line.to)))
                noAnswer();
        } else if (!(in.volume > 0.0) || (!b1 && !(in.height > 0.0))) {
            noAnswer();
        }
        return in.volume;
    });

    ReverberationResult r{kNone, kNone, 0.0, 0.0, 0.0, Verdict::NoRequirement};
    const Real v = in.volume;
    if (groupA) {
        const TargetLine& line = kTargetLines[std::size_t(group - 1)];
        const Real lgV = step(trace, "lgV", [&] { return Log10(in.volume); });
        r.tSoll = step(trace, "tSoll", [&] {
            if (group == static_cast<int>(RoomGroup::A5) && in.volume >= kSportConstantFrom)
                return kSportConstantTime;
            return (Real(line.slope) * lgV + line.offset).value();
        });
        // The ratio that gives T_soll after Sabine.
        r.avSoll = step(trace, "avSoll", [&] { return (Real(kSabine) / r.tSoll).value(); });
        r.aErf = step(trace, "aErf", [&] { return (Real(kSabine) * v / r.tSoll).value(); });
    } else if (b1) {
        r.avSoll = 0.0;
    } else {
        const AbsorptionRatio& ratio = kAbsorptionRatios[std::size_t(group - static_cast<int>(RoomGroup::B2))];
        if (in.height <= kLowRoomHeight) {
            r.avSoll = step(trace, "avSoll", [&] { return ratio.low; });
        } else {
            const Real lgH = step(trace, "lgH", [&] { return Log10(in.height); });
            r.avSoll = step(trace, "avSoll", [&] { return (Real(1.0) / (Real(ratio.a) + Real(kHeightSlope) * lgH)).value(); });
        }
        // The longest reverberation time the ratio allows after Sabine.
        r.tSoll = step(trace, "tSoll", [&] { return (Real(kSabine) / r.avSoll).value(); });
        r.aErf = step(trace, "aErf", [&] { return (Real(r.avSoll) * v).value(); });
    }
    r.t = step(trace, "t", [&] {
        if (!(in.area > 0.0))
            noAnswer();
        return (Real(kSabine) * v / in.area).value();
    });
    r.deltaA = step(trace, "deltaA", [&] { return r.aErf > in.area ? (Real(r.aErf) - in.area).value() : 0.0; });
    if (!b1)
        r.verdict = r.deltaA > 0.0 ? Verdict::NotMet : Verdict::Met;
    return r;
}

}  // namespace orvella
