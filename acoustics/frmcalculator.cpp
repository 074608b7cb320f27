// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmcalculator.h"

#include "clipboard.h"
#include "keypad.h"
#include "keypadmodel.h"

#include <QApplication>
#include <QClipboard>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <charconv>

namespace orvella {

namespace {

constexpr FontSpec kKey{9.75, false};
constexpr FontSpec kOperatorKey{12.0, false};
constexpr FontSpec kPointKey{18.0, false};

QString numberKey(int index) { return QStringLiteral("cmdNumber(%1)").arg(index); }
QString operatorKey(int index) { return QStringLiteral("cmdOperator(%1)").arg(index); }

// The key that a typed or pasted character stands for; empty for none.
QString keyForCharacter(QChar c)
{
    if (c >= u'1' && c <= u'9')
        return numberKey(c.unicode() - u'1');
    if (c == u'0')
        return numberKey(9);
    if (c == u'.' || c == u',')
        return QStringLiteral("cmdPoint");
    if (c == u'+')
        return operatorKey(3);
    if (c == u'*' || c == u'x' || c == u'X')
        return operatorKey(1);
    if (c == u'=')
        return QStringLiteral("cmdEqual");
    return {};
}

// The key that a key press stands for; empty for none. The numeric keypad
// sends the same characters as the main row (its separator "." or ",", its
// multiply "*"), so the character decides.
QString keyForPress(const QKeyEvent* event)
{
    // With Ctrl, Alt or Meta a key is a command, not typing.
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("cmdEqual");
    case Qt::Key_Escape:
    case Qt::Key_Delete:
        return QStringLiteral("cmdAllClear");
    default:
        break;
    }
    const QString text = event->text();
    return text.size() == 1 ? keyForCharacter(text.front()) : QString();
}

// The keypad from the keyboard. Watches every control of the window, so that
// the keys work wherever the focus is (Return is "=" on any button and in
// the display). A key clicks its button at once, through the button's
// clicked signal like a mouse click, and shows the button pressed for a
// moment. (QAbstractButton::animateClick would click only when it lets the
// button go, 100 ms later, and a second press of the same key within that
// time would restart its timer and give one click for two presses: "66"
// would show 6.)
class KeypadKeys : public QObject {
public:
    // Pasting more keys than this types the first ones and beeps: the display
    // is unreadable long before, and each key redraws it.
    static constexpr int kMaxPastedKeys = 1000;

    KeypadKeys(CalculatorWindow* window, QLineEdit* display)
        : QObject(window), window_(window), display_(display)
    {
        window->installEventFilter(this);
        for (QWidget* w : window->findChildren<QWidget*>())
            w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ShortcutOverride: {
            // The display's own copy, and any window shortcut on a key
            // of the keypad, give way to the keypad.
            auto* key = static_cast<QKeyEvent*>(event);
            if (handles(key))
                key->accept();
            return false;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Space)
                stopShowing(watched);  // the focused button's own press
            return handles(key) && handle(key);
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            stopShowing(watched);  // the mouse holds the button down now
            return false;
        default:
            return false;
        }
    }

private:
    static bool handles(const QKeyEvent* key)
    {
        return key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste) ||
               !keyForPress(key).isEmpty();
    }

    bool handle(const QKeyEvent* key)
    {
        if (key->matches(QKeySequence::Copy))
            copyNumber(display_->text());
        else if (key->matches(QKeySequence::Paste))
            paste();
        else
            press(keyForPress(key));
        return true;
    }

    // Types the key characters of the clipboard's text, in order.
    void paste()
    {
        const QString text = QApplication::clipboard()->text();
        int typed = 0;
        for (const QChar c : text) {
            const QString name = keyForCharacter(c);
            if (name.isEmpty())
                continue;
            if (typed == kMaxPastedKeys) {
                QApplication::beep();
                return;
            }
            press(name);
            ++typed;
        }
    }

    void press(const QString& name)
    {
        QPushButton* button = window_->button(name);
        if (!button)
            return;
        QTimer* release = releaseTimer(button);
        // Held down by the mouse: the click must not let it go.
        const bool held = button->isDown() && !release->isActive();
        button->click();
        button->setDown(true);
        if (!held)
            release->start();
    }

    QTimer* releaseTimer(QPushButton* button)
    {
        QTimer*& timer = releaseTimers_[button];
        if (!timer) {
            timer = new QTimer(button);
            timer->setSingleShot(true);
            timer->setInterval(100);
            connect(timer, &QTimer::timeout, button, [button] { button->setDown(false); });
        }
        return timer;
    }

    void stopShowing(QObject* watched)
    {
        if (QTimer* timer = releaseTimers_.value(qobject_cast<QPushButton*>(watched)))
            timer->stop();
    }

    CalculatorWindow* window_;
    QLineEdit* display_;
    QHash<QPushButton*, QTimer*> releaseTimers_;
};

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
        w->setModels({&keypadModel()});
        QLineEdit* display = w->field(QStringLiteral("txtDisplay"));

        // Only the keys change the display; it stays selectable, so a result
        // can be copied.
        display->setReadOnly(true);
        display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

        // The window is built with the display's design text; the other state
        // is what the last opening left.
        keypad_.setDisplay(display->text().toStdString());
        // The keypad's state for the help's worked calculation. Numbers in
        // the shortest form that reads back to the same double, always with
        // a point: the C library's printf would write the decimal mark of
        // the process's locale ("60,5" under German settings), which the
        // reader does not take.
        w->setStateReader([this] {
            const auto number = [](double v) {
                char buffer[32];
                const auto written = std::to_chars(buffer, buffer + sizeof buffer, v);
                return std::string(buffer, written.ptr);
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
            onKey(operatorKey(i), [this](const std::string& c) {
                keypad_.pressOperator(c);
                operand1Text_ = keypad_.display();
            });
        onKey(QStringLiteral("cmdPoint"), [this](const std::string&) { keypad_.pressPoint(); });
        // An "=" that computes is recorded once its result is shown.
        w->onClick(QStringLiteral("cmdEqual"), [this, show] {
            const std::string op = keypad_.pendingOperator();
            const std::string operand2Text = keypad_.display();
            keypad_.pressEqual();
            show();
            if (!op.empty())
                notifyCalculation(keypadRecord(operand1Text_, keypad_.operand1(), op, operand2Text,
                                               keypad_.operand2(), keypad_.display()));
        });
        onKey(QStringLiteral("cmdAllClear"), [this](const std::string&) { keypad_.pressAllClear(); });
        new KeypadKeys(w, display);
        return w;
    }

private:
    Keypad keypad_;
    std::string operand1Text_;  // the display when operand 1 was taken
};

}  // namespace

std::unique_ptr<CalculatorForm> makeCalculatorForm(std::function<void()> showMenu)
{
    return std::make_unique<CalculatorInstance>(std::move(showMenu));
}

}  // namespace orvella
