// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionlink.h"

#include "form.h"

#include <QLineEdit>
#include <QPushButton>

#include <set>

namespace orvella {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

constexpr const char* kLinkName = "companionLink";
constexpr const char* kCloseButton = "cmdUload";

class WindowLink final : public CompanionLink {
public:
    explicit WindowLink(DesignedWindow& window) : CompanionLink(&window), window_(window)
    {
        setObjectName(QLatin1String(kLinkName));
        const auto* calculator = qobject_cast<const CalculatorWindow*>(&window);
        if (!calculator)
            return;
        // Made after the window's own handlers, so a click is reported once
        // the calculation has written its fields.
        std::set<QObject*> watched;
        bool everyButton = false;
        for (const CalculatorModel* m : calculator->models()) {
            everyButton = everyButton || bool(m->stateWorked.write);
            for (const InputQuantity& q : m->inputs)
                if (QLineEdit* edit = window.field(qs(q.field)); edit && watched.insert(edit).second)
                    connect(edit, &QLineEdit::textChanged, this, &CompanionLink::inputsChanged);
            if (QPushButton* b = window.button(qs(m->calculateButton)); b && watched.insert(b).second)
                connect(b, &QPushButton::clicked, this, &CompanionLink::calculated);
        }
        // A window with state outside its fields (the keypad) may change it
        // with every button but CLOSE.
        if (everyButton)
            for (QPushButton* b : window.findChildren<QPushButton*>())
                if (b->objectName() != QLatin1String(kCloseButton) && watched.insert(b).second)
                    connect(b, &QPushButton::clicked, this, &CompanionLink::calculated);
    }

    std::vector<QString> inputTexts(const CalculatorModel& model) const override
    {
        std::vector<QString> texts;
        texts.reserve(model.inputs.size());
        for (const InputQuantity& q : model.inputs) {
            const QLineEdit* edit = window_.field(qs(q.field));
            texts.push_back(edit ? edit->text() : QString());
        }
        return texts;
    }

    bool calculates(const CalculatorModel& model) const override
    {
        return model.computes() && !model.calculateButton.empty() &&
               window_.button(qs(model.calculateButton)) != nullptr;
    }

    bool applyAndCalculate(const CalculatorModel& model,
                           const std::vector<std::pair<std::string, QString>>& texts) override
    {
        if (!calculates(model))
            return false;
        // Every field first, so that nothing is typed into a window that
        // cannot take all of them.
        std::vector<std::pair<QLineEdit*, QString>> typing;
        for (const InputQuantity& input : model.inputs) {
            QLineEdit* edit = window_.field(qs(input.field));
            if (!edit)
                return false;
            for (const auto& [key, text] : texts)
                if (key == input.key)
                    typing.emplace_back(edit, text);
        }
        for (auto& [edit, text] : typing) {
            // As if typed over the whole text: undoable, and with the
            // signals of an edit by the user.
            edit->selectAll();
            edit->insert(text);
            if (edit->text() != text)
                edit->setText(text);  // an empty text, or one beyond the field's length
        }
        window_.button(qs(model.calculateButton))->click();
        return true;
    }

    int focusedModel(const std::vector<const CalculatorModel*>& models) const override
    {
        // A calculator's part of the window is the frame of its calculate
        // button.
        const QWidget* focus = window_.focusWidget();
        for (std::size_t i = 0; i < models.size() && focus; ++i) {
            const QWidget* button = window_.button(qs(models[i]->calculateButton));
            const QWidget* frame = button ? button->parentWidget() : nullptr;
            if (frame && frame != &window_ && frame->isAncestorOf(focus))
                return int(i);
        }
        return -1;
    }

    std::string focusedInput(const CalculatorModel& model) const override
    {
        const QWidget* focus = window_.focusWidget();
        for (const InputQuantity& q : model.inputs)
            if (focus && focus->objectName() == qs(q.field))
                return q.key;
        return {};
    }

private:
    DesignedWindow& window_;
};

}  // namespace

CompanionLink* companionLink(DesignedWindow& window)
{
    if (auto* link = window.findChild<CompanionLink*>(QLatin1String(kLinkName), Qt::FindDirectChildrenOnly))
        return link;
    return new WindowLink(window);
}

}  // namespace orvella
