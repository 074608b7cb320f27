// SPDX-License-Identifier: GPL-3.0-or-later
#include "resultvalue.h"

#include "checked.h"
#include "numbers.h"

#include <utility>

namespace orvella {

ResultValue makeResultValue(std::string key, std::string symbol, std::string symbolHtml,
                            std::string label, std::string unit, int decimals)
{
    ResultValue r;
    r.quantity = makeResult(std::move(key), std::move(symbol), std::move(symbolHtml),
                            std::move(label), std::move(unit), std::string(), decimals);
    return r;
}

std::string valueText(const ResultValue& result, std::string_view decimalMark)
{
    if (!result.value)
        return std::string(kNoValue);
    try {
        return FormatResult(*result.value, result.quantity.decimals, decimalMark);
    } catch (const ArithmeticError&) {
        return std::string(kNoValue);
    }
}

std::optional<double> shownValue(const ResultValue& result)
{
    if (!result.value)
        return std::nullopt;
    try {
        return roundHalfEven(checkedResult(*result.value), result.quantity.decimals);
    } catch (const ArithmeticError&) {
        return std::nullopt;
    }
}

void dropUnwritable(std::vector<ResultValue>& results)
{
    for (ResultValue& r : results) {
        if (r.value && !shownValue(r)) {
            r.value.reset();
            r.note = "Der Wert ist zu groß, um ihn zu schreiben.";
        }
    }
}

const ResultValue* findResult(const std::vector<ResultValue>& results, std::string_view key)
{
    for (const ResultValue& r : results)
        if (r.quantity.key == key)
            return &r;
    return nullptr;
}

ResultValue* findResult(std::vector<ResultValue>& results, std::string_view key)
{
    return const_cast<ResultValue*>(findResult(std::as_const(results), key));
}

}  // namespace orvella
