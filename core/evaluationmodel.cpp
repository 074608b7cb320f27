// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaluationmodel.h"

namespace orvella {

std::optional<double> EvaluationOutcome::traced(std::string_view key) const
{
    for (const TraceEntry& e : trace)
        if (e.key == key)
            return e.value;
    return std::nullopt;
}

const NamedNumber* EvaluationModel::constant(std::string_view name) const
{
    for (const NamedNumber& n : constants)
        if (n.name == name)
            return &n;
    return nullptr;
}

int EvaluationModel::resultIndex(std::string_view key) const
{
    for (std::size_t i = 0; i < results.size(); ++i)
        if (results[i].key == key)
            return int(i);
    return -1;
}

std::optional<bool> guidanceMet(const Guidance& guidance, double shown)
{
    switch (guidance.bound) {
        case Bound::AtLeast:
            return shown >= guidance.value;
        case Bound::AtMost:
            return shown <= guidance.value;
        case Bound::Marked:
            break;
    }
    return std::nullopt;
}

}  // namespace orvella
