// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window instances and the calculator window frame.
//
// Each window of the program has one Form for the whole run. Showing an
// unloaded Form loads it: a new widget is built from the window's design,
// with its design texts. Unloading destroys the widget and keeps the Form,
// together with anything a window keeps outside its controls.

#include "calculation.h"
#include "companion.h"
#include "design.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace orvella {

// A top-level window built from its design.
class DesignedWindow : public QWidget {
    Q_OBJECT
public:
    explicit DesignedWindow(const WindowDesign& design);

    // The control with this design name; null when it does not exist.
    QLineEdit* field(const QString& name) const;
    QPushButton* button(const QString& name) const;

    // Connects a button's click to `handler`. An ArithmeticError (or any
    // other exception) thrown by the handler is caught here, so nothing
    // escapes into the event loop; it is passed to calculationFailed().
    void onClick(const QString& buttonName, std::function<void()> handler);

    // Adds the window commands this window offers (commands.h) as shortcuts
    // and context-menu entries. Runs once, when the window is loaded.
    void installCommands();

protected:
    virtual void calculationFailed(QPushButton* button);
    // The context menu of the window, its frames, labels and buttons (they
    // pass a right click on); text fields keep their own.
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool commandsInstalled_ = false;
};

// One calculation of a formula calculator on its window, as the steps its
// description gives: for each input in order its comma fix (where the
// description says so) and its reading, the computation, the formatting of
// each result, then for each result in order its writing and, where the
// description says so, its comma fix. The frame runs the steps straight, so
// that the first failure stops the calculation before any result is
// written; the converter runs the same steps under its Abort/Retry/Ignore
// question. A value whose step failed keeps 0, and a result that could not
// be formatted is not written.
class CalculationSteps {
public:
    // Takes the input fields' texts as they stand now, before any comma fix.
    CalculationSteps(DesignedWindow& window, const CalculatorModel& model);
    CalculationSteps(const CalculationSteps&) = delete;
    CalculationSteps& operator=(const CalculationSteps&) = delete;

    const std::vector<std::function<void()>>& steps() const { return steps_; }
    // Runs every step in order; the first that throws stops the run and
    // its exception passes on.
    void runAll();
    // When every result was written: hands the record of the calculation to
    // the calculation observer (the input texts as they stood before the
    // calculation, the numbers read, the result texts as the fields show
    // them now). Otherwise nothing.
    void finish();

private:
    const CalculatorModel& model_;
    std::vector<QLineEdit*> inputFields_;
    std::vector<QLineEdit*> resultFields_;
    std::vector<std::string> inputTexts_;
    std::vector<double> inputs_;
    std::vector<double> results_;
    std::vector<std::optional<QString>> resultTexts_;
    std::size_t written_ = 0;
    std::vector<std::function<void()>> steps_;
};

// The shared frame of the calculator windows: CLOSE returns to the menu, and
// a calculation that stops tells the user without a message box.
class CalculatorWindow : public DesignedWindow {
    Q_OBJECT
public:
    // The tooltip shown at the calculate button when a calculation stopped.
    static const QString kStoppedMessage;

    explicit CalculatorWindow(const WindowDesign& design);

    // Beeps and shows kStoppedMessage at `at`; emits calculationStopped().
    void reportStopped(QWidget* at);

    // The calculation of a formula calculator from its description: its
    // CalculationSteps run straight, then recorded. Throws before any result
    // field changes when an input cannot be read or the arithmetic fails.
    void calculate(const CalculatorModel& model);

    // The descriptions of the window's calculators, in the order of its
    // frames.
    const std::vector<const CalculatorModel*>& models() const { return models_; }
    void setModels(std::vector<const CalculatorModel*> models) { models_ = std::move(models); }

    // The calculator's name as the menu shows it ("Kritische Feuchte
    // Calculator"): the first description's title.
    QString menuTitle() const;

    // What the window keeps outside its fields, for the companion windows.
    WindowState state() const { return stateReader_ ? stateReader_() : WindowState{}; }
    void setStateReader(std::function<WindowState()> reader) { stateReader_ = std::move(reader); }

signals:
    void calculationStopped();
    void closeRequested();  // the CLOSE button was clicked

protected:
    void calculationFailed(QPushButton* button) override;

private:
    std::vector<const CalculatorModel*> models_;
    std::function<WindowState()> stateReader_;
};

class Form {
public:
    virtual ~Form();
    Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Loads the window if it is not loaded (fresh controls from the design,
    // then the load step), then shows it, not modal and without an owner.
    void show();
    // Hides and destroys the window; the Form and its state stay.
    void unload();

    QWidget* window() const { return window_; }
    bool isLoaded() const { return !window_.isNull(); }

protected:
    // Builds a new widget from the design, with its handlers connected and
    // the focus on the first control in the tab order.
    virtual QWidget* load() = 0;
    // Runs after load, before the window becomes visible.
    virtual void onLoad(QWidget*) {}

private:
    QPointer<QWidget> window_;
};

// A calculator's instance: places its window on load, and its CLOSE button
// shows the menu and then unloads the calculator.
class CalculatorForm : public Form {
public:
    // `create` builds the window with its calculate handlers; the frame
    // connects CLOSE. Subclasses that keep state override create() instead.
    explicit CalculatorForm(std::function<void()> showMenu,
                            std::function<CalculatorWindow*()> create = {});

protected:
    virtual CalculatorWindow* create();

private:
    QWidget* load() final;
    void onLoad(QWidget* window) override;

    std::function<void()> showMenu_;
    std::function<CalculatorWindow*()> create_;
};

// The instance of a formula calculator with one calculate button: its window
// built from `design`, showing `model`, whose calculate button runs
// CalculatorWindow::calculate with it.
std::unique_ptr<CalculatorForm> makeFormulaForm(std::function<void()> showMenu, WindowDesign (*design)(),
                                                const CalculatorModel& model);

// Moves a window to where the load step puts it: vertically centred on the
// primary screen, at one third of the free width, by its outer size. Before a
// window is first shown the window system does not report its frame, so the
// frame of another visible window (the menu) stands in for it.
void placeWindow(QWidget* window);

}  // namespace orvella
