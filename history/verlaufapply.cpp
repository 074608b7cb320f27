// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufapply.h"

#include <QApplication>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>

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

bool keepsEvaluations(const CalculatorModel& model)
{
    return std::any_of(model.companions.begin(), model.companions.end(),
                       [](const CompanionEntry& entry) { return !entry.evaluation.empty(); });
}

QStringList evaluationIds(const std::vector<const CalculatorModel*>& models)
{
    QStringList ids;
    for (const CalculatorModel* m : models)
        for (const CompanionEntry& entry : m->companions)
            if (!entry.evaluation.empty())
                ids << QString::fromStdString(entry.evaluation);
    return ids;
}

const CompanionEntry* evaluationCompanion(const std::vector<const CalculatorModel*>& models, std::string_view id)
{
    for (const CalculatorModel* m : models)
        for (const CompanionEntry& entry : m->companions)
            if (!entry.evaluation.empty() && entry.evaluation == id)
                return &entry;
    return nullptr;
}

bool reopenEvaluation(const CompanionRequest& request, const std::vector<const CalculatorModel*>& models,
                      const CalculationRecord& record, QWidget* parent)
{
    const CompanionEntry* entry = evaluationCompanion(models, record.calculatorId);
    if (!entry || record.evaluationKey.empty() || !request.owner) {
        QApplication::beep();
        return false;
    }
    QString error;
    CompanionPlugin* companion = loadCompanionPlugin(QString::fromStdString(entry->plugin), &error);
    if (!companion) {
        QMessageBox::warning(parent, QStringLiteral("Verlauf – Orvella"),
                             QStringLiteral("„%1“ kann nicht geöffnet werden, weil ein Teil des Programms fehlt "
                                            "oder beschädigt ist.\n\n%2")
                                 .arg(QString::fromStdString(record.calculator), error));
        return false;
    }
    CompanionRequest reopening = request;
    reopening.reopen = std::make_shared<const CalculationRecord>(record);
    return companion->open(reopening) != nullptr;
}

}  // namespace orvella
