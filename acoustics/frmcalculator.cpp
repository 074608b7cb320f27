#include "frmcalculator.h"

#include "keypad.h"

#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

namespace orvella {

namespace {

constexpr FontSpec kKey{9.75, false};
constexpr FontSpec kOperatorKey{12.0, false};
constexpr FontSpec kPointKey{18.0, false};

QString numberKey(int index) { return QStringLiteral("cmdNumber(%1)").arg(index); }
QString operatorKey(int index) { return QStringLiteral("cmdOperator(%1)").arg(index); }

}  // namespace

WindowDesign calculatorDesign()
{
    using K = ControlKind;
    return {
        "frmCalculator",
        "Orvella",
        2790,
        3945,
        {
            {"Frame1", K::Frame, {}, "dB Calculator", 120, 120, 2535, 3255, 0, kRegular},
            {"txtDisplay", K::TextBox, "Frame1", "0", 120, 360, 2295, 375, 2, kBold},
            {"cmdNumber(6)", K::Button, "Frame1", "7", 120, 840, 495, 495, 1, kKey},
            {"cmdNumber(7)", K::Button, "Frame1", "8", 720, 840, 495, 495, 3, kKey},
            {"cmdNumber(8)", K::Button, "Frame1", "9", 1320, 840, 495, 495, 4, kKey},
            {"cmdAllClear", K::Button, "Frame1", "C", 1920, 840, 495, 495, 16, kKey},
            {"cmdNumber(3)", K::Button, "Frame1", "4", 120, 1440, 495, 495, 7, kKey},
            {"cmdNumber(4)", K::Button, "Frame1", "5", 720, 1440, 495, 495, 6, kKey},
            {"cmdNumber(5)", K::Button, "Frame1", "6", 1320, 1440, 495, 495, 5, kKey},
            {"cmdOperator(1)", K::Button, "Frame1", "x", 1920, 1440, 495, 495, 13, kOperatorKey},
            {"cmdNumber(0)", K::Button, "Frame1", "1", 120, 2040, 495, 495, 8, kKey},
            {"cmdNumber(1)", K::Button, "Frame1", "2", 720, 2040, 495, 495, 9, kKey},
            {"cmdNumber(2)", K::Button, "Frame1", "3", 1320, 2040, 495, 495, 10, kKey},
            {"cmdOperator(3)", K::Button, "Frame1", "+", 1920, 2040, 495, 495, 14, kOperatorKey},
            {"cmdNumber(9)", K::Button, "Frame1", "0", 120, 2640, 495, 495, 11, kKey},
            {"cmdPoint", K::Button, "Frame1", ".", 720, 2640, 495, 495, 12, kPointKey},
            {"cmdEqual", K::Button, "Frame1", "=", 1320, 2640, 1095, 495, 15, kOperatorKey},
            closeButton(120, 3480, 2535, 375, 17),
        },
    };
}

namespace {

class CalculatorInstance : public CalculatorForm {
public:
    using CalculatorForm::CalculatorForm;

protected:
    CalculatorWindow* create() override
    {
        auto* w = new CalculatorWindow(calculatorDesign());
        w->setMenuTitle(QStringLiteral("dB Calculator"));
        QLineEdit* display = w->field(QStringLiteral("txtDisplay"));

        // Only the keys change the display; it stays selectable, so a result
        // can be copied.
        display->setReadOnly(true);
        display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        // The window is built with the display's design text; the other state
        // is what the last opening left.
        keypad_.setDisplay(display->text().toStdString());
        // The keypad's state for the help's worked calculation; numbers with
        // 17 significant digits, which read back to the same double.
        w->setStateReader([this] {
            const auto number = [](double v) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%.17g", v);
                return std::string(buffer);
            };
            return WindowState{{"display", keypad_.display()},
                               {"operand1", number(keypad_.operand1())},
                               {"operand2", number(keypad_.operand2())},
                               {"pendingOperator", keypad_.pendingOperator()},
                               {"newEntry", keypad_.newEntry() ? "1" : "0"},
                               {"result", number(keypad_.result())}};
        });

        const auto show = [this, display] {
            display->setText(QString::fromStdString(keypad_.display()));
        };
        // Each key passes its caption, as the keypad works with captions.
        const auto onKey = [w, show](const QString& name, auto press) {
            QPushButton* key = w->button(name);
            w->onClick(name, [key, press, show] {
                press(key->text().toStdString());
                show();
            });
        };
        for (int i = 0; i <= 9; ++i)
            onKey(numberKey(i), [this](const std::string& c) { keypad_.pressDigit(c); });
        for (int i : {1, 3})
            onKey(operatorKey(i), [this](const std::string& c) { keypad_.pressOperator(c); });
        onKey(QStringLiteral("cmdPoint"), [this](const std::string&) { keypad_.pressPoint(); });
        onKey(QStringLiteral("cmdEqual"), [this](const std::string&) { keypad_.pressEqual(); });
        onKey(QStringLiteral("cmdAllClear"), [this](const std::string&) { keypad_.pressAllClear(); });
        return w;
    }

private:
    Keypad keypad_;
};

}  // namespace

std::unique_ptr<CalculatorForm> makeCalculatorForm(std::function<void()> showMenu)
{
    return std::make_unique<CalculatorInstance>(std::move(showMenu));
}

}  // namespace orvella
