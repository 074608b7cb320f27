// SPDX-License-Identifier: GPL-3.0-or-later
#include "verlaufapply.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

const CalculatorModel* modelOfRecord(const CalculationRecord& record,
                                     const std::vector<const CalculatorModel*>& models)
{
    for (const CalculatorModel* m : models)
        if (m->id == record.calculatorId)
            return m;
    return nullptr;
}

bool applyRecord(QWidget* window, const CalculatorModel& model, const CalculationRecord& record)
{
    if (!window || !model.computes())
        return false;
    auto* button = window->findChild<QPushButton*>(qs(model.calculateButton));
    if (!button)
        return false;
    // Every field first, so that nothing is typed into a window that cannot
    // take the whole record. An input the record lacks (a calculator that
    // has gained one since) keeps its text.
    std::vector<std::pair<QLineEdit*, QString>> typing;
    for (const InputQuantity& input : model.inputs) {
        auto* edit = window->findChild<QLineEdit*>(qs(input.field));
        if (!edit)
            return false;
        for (const RecordedInput& recorded : record.inputs)
            if (recorded.key == input.key)
                typing.emplace_back(edit, qs(recorded.text));
    }
    for (auto& [edit, text] : typing) {
        // As if typed over the whole text: undoable, and with the signals
        // of an edit by the user.
        edit->selectAll();
        edit->insert(text);
        if (edit->text() != text)
            edit->setText(text);  // an empty text, or one beyond the field's length
    }
    button->click();
    return true;
}

}  // namespace orvella
