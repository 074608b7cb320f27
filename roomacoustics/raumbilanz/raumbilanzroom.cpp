// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanzroom.h"

#include "evaluationrecord.h"
#include "nachhallmodel.h"
#include "numbers.h"
#include "resultvalue.h"

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

const CalculatorModel* calculatorOf(const std::vector<const CalculatorModel*>& models)
{
    for (const CalculatorModel* m : models)
        if (m->id == nachhallModel().id)
            return m;
    return nullptr;
}

CalculatorRoom roomOfCalculator(const CompanionLink* link, const CalculatorModel* calculator,
                                std::string_view decimalMark)
{
    if (!calculator || !link)
        return {{}, QStringLiteral("Kein Rechner: Raumgruppe, V und h fehlen.")};
    const std::vector<QString> texts = link->inputTexts(*calculator);
    const auto text = [&](const char* key) {
        const int i = calculator->inputIndex(key);
        return i >= 0 && std::size_t(i) < texts.size() ? texts[std::size_t(i)] : QString();
    };
    const auto read = [&](const char* key) -> std::optional<double> {
        const int i = calculator->inputIndex(key);
        if (i < 0)
            return std::nullopt;
        try {
            return readInput(calculator->inputs[std::size_t(i)], text(key).toStdString());
        } catch (const ArithmeticError&) {
            return std::nullopt;
        }
    };
    const auto number = [decimalMark](const std::optional<double>& v) {
        try {
            return v ? qs(FormatResult(*v, 3, decimalMark)) : QString::fromUtf8(kNoValue.data(), kNoValue.size());
        } catch (const ArithmeticError&) {
            return QString::fromUtf8(kNoValue.data(), kNoValue.size());
        }
    };
    CalculatorRoom out;
    out.room = {read("group"), read("v"), read("h")};
    out.text = QStringLiteral("Raum aus dem Rechner: %1, V = %2 m³, h = %3 m")
                   .arg(text("group"), number(out.room.volume), number(out.room.height));
    return out;
}

std::vector<std::pair<std::string, QString>> roomTexts(const CalculatorModel& calculator, const BalanceParameters& room,
                                                       std::string_view decimalMark)
{
    std::vector<std::pair<std::string, QString>> texts;
    const auto put = [&](const char* key, const std::optional<double>& value) {
        const int i = calculator.inputIndex(key);
        if (i < 0 || !value)
            return;
        const Quantity& q = calculator.inputs[std::size_t(i)];
        if (q.choices.empty()) {
            texts.emplace_back(key, qs(shortestText(*value, decimalMark)));
            return;
        }
        const auto choice = std::size_t(*value) - 1;
        if (choice < q.choices.size())
            texts.emplace_back(key, qs(q.choices[choice]));
    };
    put("group", room.group);
    put("v", room.volume);
    put("h", room.height);
    return texts;
}

}  // namespace orvella
