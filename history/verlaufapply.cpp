// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufapply.h"

namespace orvella {

const CalculatorModel* modelOfRecord(const CalculationRecord& record,
                                     const std::vector<const CalculatorModel*>& models)
{
    for (const CalculatorModel* m : models)
        if (m->id == record.calculatorId)
            return m;
    return nullptr;
}

bool applyRecord(CompanionLink* link, const CalculatorModel& model, const CalculationRecord& record)
{
    if (!link)
        return false;
    // An input the record lacks (a calculator that has gained one since)
    // keeps its text.
    std::vector<std::pair<std::string, QString>> texts;
    for (const RecordedInput& recorded : record.inputs)
        texts.emplace_back(recorded.key, QString::fromStdString(recorded.text));
    return link->applyAndCalculate(model, texts);
}

}  // namespace orvella
