// SPDX-License-Identifier: GPL-3.0-or-later
#include "form.h"

#include "calculationrecord.h"
#include "checked.h"
#include "commands.h"
#include "fields.h"
#include "numbers.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QToolTip>

namespace orvella {

// --- DesignedWindow -------------------------------------------------------

DesignedWindow::DesignedWindow(const WindowDesign& design)
{
    buildWindow(this, design);
    if (QWidget* first = firstInTabOrder(this, design))
        first->setFocus();
}

QLineEdit* DesignedWindow::field(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QPushButton* DesignedWindow::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

void DesignedWindow::onClick(const QString& buttonName, std::function<void()> handler)
{
    QPushButton* b = button(buttonName);
    Q_ASSERT_X(b, "onClick", qPrintable(buttonName));
    if (!b)
        return;
    connect(b, &QPushButton::clicked, this, [this, b, handler = std::move(handler)] {
        try {
            handler();
        } catch (...) {
            calculationFailed(b);
        }
    });
}

void DesignedWindow::calculationFailed(QPushButton*) {}

void DesignedWindow::installCommands()
{
    if (commandsInstalled_)
        return;
    commandsInstalled_ = true;
    std::vector<WindowCommand> commands;
    for (const WindowCommand& command : windowCommands()) {
        if (command.offeredBy && !command.offeredBy(*this))
            continue;
        if (!command.commandsFor) {
            commands.push_back(command);
            continue;
        }
        std::vector<WindowCommand> expanded = command.commandsFor(*this);
        if (!expanded.empty())
            expanded.front().separatorBefore = expanded.front().separatorBefore || command.separatorBefore;
        commands.insert(commands.end(), expanded.begin(), expanded.end());
    }
    QList<QKeySequence> taken;
    for (const WindowCommand& command : commands) {
        if (command.separatorBefore && !actions().isEmpty()) {
            auto* separator = new QAction(this);
            separator->setSeparator(true);
            addAction(separator);
        }
        auto* action = new QAction(command.text, this);
        // Two actions on one key would make it ambiguous, and neither would run.
        if (!command.shortcut.isEmpty() && !taken.contains(command.shortcut)) {
            action->setShortcut(command.shortcut);
            taken << command.shortcut;
        }
        action->setShortcutContext(Qt::WindowShortcut);
        const auto run = command.run;
        // Like the click handlers: nothing a command throws reaches the event loop.
        connect(action, &QAction::triggered, this, [this, run] {
            try {
                run(*this);
            } catch (...) {
                QApplication::beep();
            }
        });
        addAction(action);
    }
}

void DesignedWindow::contextMenuEvent(QContextMenuEvent* event)
{
    if (actions().isEmpty()) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("windowCommandMenu"));
    menu.addActions(actions());
    menu.exec(event->globalPos());
}

// --- CalculatorWindow -----------------------------------------------------

const QString CalculatorWindow::kStoppedMessage =
    QString::fromUtf8(kCalculationStoppedHint.data(), qsizetype(kCalculationStoppedHint.size()));

CalculatorWindow::CalculatorWindow(const WindowDesign& design) : DesignedWindow(design)
{
    if (QPushButton* close = button(QStringLiteral("cmdUload")))
        connect(close, &QPushButton::clicked, this, &CalculatorWindow::closeRequested);
}

void CalculatorWindow::reportStopped(QWidget* at)
{
    QApplication::beep();
    if (at)
        QToolTip::showText(at->mapToGlobal(QPoint(at->width() / 2, at->height())),
                           kStoppedMessage, at);
    emit calculationStopped();
}

void CalculatorWindow::calculationFailed(QPushButton* button) { reportStopped(button); }

QString CalculatorWindow::menuTitle() const
{
    if (models_.empty())
        return {};
    return QString::fromStdString(models_.front()->title);
}

void CalculatorWindow::calculate(const CalculatorModel& model)
{
    CalculationSteps calculation(*this, model);
    calculation.runAll();
    calculation.finish();
}

// --- CalculationSteps ----------------------------------------------------

CalculationSteps::CalculationSteps(DesignedWindow& window, const CalculatorModel& model)
    : model_(model),
      inputs_(model.inputs.size(), 0.0),
      results_(model.results.size(), 0.0),
      resultTexts_(model.results.size())
{
    const auto fieldOf = [&window](const Quantity& q) {
        QLineEdit* box = window.field(QString::fromStdString(q.field));
        Q_ASSERT_X(box, "CalculationSteps", q.field.c_str());
        return box;
    };
    for (std::size_t i = 0; i < model.inputs.size(); ++i) {
        QLineEdit* box = fieldOf(model.inputs[i]);
        inputFields_.push_back(box);
        inputTexts_.push_back(box->text().toStdString());
        if (model.inputs[i].commaFix)
            steps_.push_back([box] { KillKomma(box); });
        steps_.push_back([this, box, i] {
            const InputQuantity& q = model_.inputs[i];
            inputs_[i] = q.choices.empty() ? ReadNumber(box->text()) : readInput(q, box->text().toStdString());
        });
    }
    steps_.push_back([this] {
        std::vector<double> results = model_.compute(inputs_, nullptr);
        results.resize(results_.size(), 0.0);
        results_ = std::move(results);
    });
    for (std::size_t i = 0; i < model.results.size(); ++i)
        steps_.push_back([this, i] {
            const Quantity& q = model_.results[i];
            resultTexts_[i] = writtenAsText(q, results_[i])
                                  ? QString::fromStdString(resultText(q, results_[i], {}))
                                  : FormatResult(results_[i], q.decimals);
        });
    for (std::size_t i = 0; i < model.results.size(); ++i) {
        QLineEdit* box = fieldOf(model.results[i]);
        resultFields_.push_back(box);
        steps_.push_back([this, box, i] {
            if (!resultTexts_[i])
                return;
            box->setText(*resultTexts_[i]);
            ++written_;
        });
        if (model.resultsCommaFix)
            steps_.push_back([box] { KillKomma(box); });
    }
}

void CalculationSteps::runAll()
{
    for (const auto& step : steps_)
        step();
}

void CalculationSteps::finish()
{
    if (written_ < resultFields_.size())
        return;
    std::vector<std::string> resultTexts;
    for (const QLineEdit* box : resultFields_)
        resultTexts.push_back(box->text().toStdString());
    notifyCalculation(recordOf(model_, inputTexts_, inputs_, resultTexts));
}

// --- Form -----------------------------------------------------------------

Form::~Form()
{
    delete window_.data();
}

void Form::show()
{
    if (!window_) {
        QWidget* w = load();
        w->setAttribute(Qt::WA_DeleteOnClose);
        window_ = w;
        if (auto* designed = qobject_cast<DesignedWindow*>(w))
            designed->installCommands();
        onLoad(w);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void Form::unload()
{
    if (QWidget* w = window_.data()) {
        window_.clear();
        w->hide();
        // Later, not now: unloading usually happens inside a click handler of
        // the window itself.
        w->deleteLater();
    }
}

// --- CalculatorForm -------------------------------------------------------

CalculatorForm::CalculatorForm(std::function<void()> showMenu,
                               std::function<CalculatorWindow*()> create)
    : showMenu_(std::move(showMenu)), create_(std::move(create))
{
}

CalculatorWindow* CalculatorForm::create() { return create_(); }

QWidget* CalculatorForm::load()
{
    CalculatorWindow* w = create();
    QObject::connect(w, &CalculatorWindow::closeRequested, w, [this] {
        // The menu is visible before the calculator disappears.
        showMenu_();
        unload();
    });
    return w;
}

void CalculatorForm::onLoad(QWidget* window) { placeWindow(window); }

std::unique_ptr<CalculatorForm> makeFormulaForm(std::function<void()> showMenu, WindowDesign (*design)(),
                                                const CalculatorModel& model)
{
    return std::make_unique<CalculatorForm>(std::move(showMenu), [design, &model] {
        auto* w = new CalculatorWindow(design());
        w->setModels({&model});
        w->onClick(QString::fromStdString(model.calculateButton), [w, &model] { w->calculate(model); });
        return w;
    });
}

// --- placement ------------------------------------------------------------

namespace {

QMargins frameMargins(const QWidget* of)
{
    const auto measure = [](const QWidget* w) {
        const QRect outer = w->frameGeometry();
        const QRect inner = w->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    };
    if (of->isVisible())
        return measure(of);
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w != of && w->isVisible() && w->isWindow() && !measure(w).isNull())
            return measure(w);
    return {};
}

}  // namespace

void placeWindow(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QMargins m = frameMargins(window);
    const QSize outer = window->size().grownBy(m);
    const Placement p = placeOnLoad(static_cast<float>(pixelsToTwips(area.width())),
                                    static_cast<float>(pixelsToTwips(area.height())),
                                    static_cast<float>(pixelsToTwips(outer.width())),
                                    static_cast<float>(pixelsToTwips(outer.height())));
    window->move(area.x() + twipsToPixels(p.left), area.y() + twipsToPixels(p.top));
}

}  // namespace orvella
