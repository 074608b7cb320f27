// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Companion windows (help, parameter study): ordinary resizable Qt windows
// that belong to one designed window. They close when their owner is closed
// or unloaded, and never keep the program running on their own, so the
// program still ends when its last designed window closes.
//
// The companions live in plugins that the program loads on first use, so
// that nothing of them (nor Qt Charts or Qt PrintSupport) is loaded at start.

#include "calculation.h"
#include "evaluationmodel.h"
#include "evaluationrecord.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <QtPlugin>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>


namespace orvella {

// Makes `companion` a window of its own that belongs to `owner`: deleted with
// it, closed when it is hidden or closed, not counted as a window that keeps
// the program alive. The companion keeps its own palette and fonts. With a
// null owner it is a window of its own, deleted when it is closed.
void attachCompanion(QWidget* owner, QWidget* companion);

// The owner's open companion with this object name, or null.
QWidget* findCompanion(const QWidget* owner, const QString& objectName);

// Brings a window to the front and gives it the keyboard. The first time,
// it is sized and placed beside its owner first (placeCompanion): its size
// then is the one it prefers.
void raiseCompanion(QWidget* companion);

// What closing a companion does: delete it, or hide it so that it shows
// what it held when it is opened again (it is deleted with its owner, and
// without an owner when it is closed).
enum class OnClose { Delete, Hide };

// Opens a companion: the owner's open one named `objectName`, or else the
// one `make()` returns (null: none is opened), attached to the owner; then
// brought to the front.
template <class Make>
QWidget* openOrRaiseCompanion(QWidget* owner, const QString& objectName, OnClose onClose, Make make)
{
    QWidget* window = findCompanion(owner, objectName);
    if (!window) {
        window = make();
        if (!window)
            return nullptr;
        window->setObjectName(objectName);
        attachCompanion(owner, window);
        if (onClose == OnClose::Hide && owner)
            window->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    raiseCompanion(window);
    return window;
}

// A companion's one way into the window it belongs to, written once in the
// program from the window's descriptions: what the fields of a calculator
// hold, when they change, and "take these inputs and calculate". Companions
// never look for a widget of their owner by its name, nor click its buttons.
class CompanionLink : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The texts of the model's inputs as the window's fields hold them, in
    // the order of `model.inputs`; an empty text for a field the window
    // does not have.
    virtual std::vector<QString> inputTexts(const CalculatorModel& model) const = 0;
    // Whether the model's calculation runs in this window, so that inputs
    // can be put back into it.
    virtual bool calculates(const CalculatorModel& model) const = 0;
    // Puts the texts (input key, text) into the model's fields as if typed
    // over them (undoable; an input not named keeps its text), then
    // calculates as the calculate button does. False, with nothing changed,
    // when the window cannot take them.
    virtual bool applyAndCalculate(const CalculatorModel& model,
                                   const std::vector<std::pair<std::string, QString>>& texts) = 0;
    // The position in `models` of the calculator whose part of the window
    // holds the keyboard focus; -1 when none does.
    virtual int focusedModel(const std::vector<const CalculatorModel*>& models) const = 0;
    // The key of the model's input whose field holds the keyboard focus;
    // empty when none does.
    virtual std::string focusedInput(const CalculatorModel& model) const = 0;

signals:
    // The text of an input field changed.
    void inputsChanged();
    // The window finished a click that may have changed its results or its
    // state (a calculate button; for a window with state every button but
    // CLOSE), after its own handler.
    void calculated();
};

// What a companion is opened for.
struct CompanionRequest {
    QWidget* owner = nullptr;  // the designed window the command came from
    // The owner's fields and calculation; null without an owner.
    QPointer<CompanionLink> link;
    // The owner is the main menu: the companion is about every calculator.
    bool ownerIsMenu = false;
    // A companion about an evaluation of a table (the help of the level
    // list): its description and the rows it evaluates now; `link` then
    // tells when they change (calculated).
    const EvaluationModel* evaluation = nullptr;
    std::function<EvaluationInput()> evaluationInput;
    QString title;             // its calculator's name as the menu shows it; "Orvella" for the menu
    // The calculators of the window, in the order of its frames; for the
    // menu every calculator.
    std::vector<const CalculatorModel*> models;
    // The window's state outside its fields; empty for most windows.
    std::function<WindowState()> state;
    // Types key characters into the window, each through the key it stands
    // for, as the window's own paste does; empty for a window without keys.
    std::function<void(const QString& keys)> typeKeys;
    // Every calculator of the program, in the order of the menu, for a
    // companion that shows more than its owner's (the Verlauf lists and
    // reports the calculations of all of them).
    std::vector<const CalculatorModel*> allModels;
    // Where a companion that evaluates a table hands the states of its rows
    // for the Verlauf (evaluationhistory.h); empty: nothing is recorded.
    std::function<void(std::shared_ptr<const EvaluationSnapshot>)> recordEvaluation;
    // "Übernehmen" of the Verlauf: the entry of an evaluation whose rows and
    // parameters the companion opens with, in place of what it holds; null
    // otherwise.
    std::shared_ptr<const CalculationRecord> reopen;
};

// The link of a companion window that evaluates a table (the level list),
// for the companions it opens in turn (its help): it has no calculator's
// fields; `changed()` tells them that the rows or results changed.
class EvaluationLink final : public CompanionLink {
public:
    using CompanionLink::CompanionLink;
    void changed() { emit calculated(); }

    std::vector<QString> inputTexts(const CalculatorModel& model) const override
    {
        return std::vector<QString>(model.inputs.size());
    }
    bool calculates(const CalculatorModel&) const override { return false; }
    bool applyAndCalculate(const CalculatorModel&, const std::vector<std::pair<std::string, QString>>&) override
    {
        return false;
    }
    int focusedModel(const std::vector<const CalculatorModel*>&) const override { return -1; }
    std::string focusedInput(const CalculatorModel&) const override { return {}; }
};

class CompanionPlugin {
public:
    virtual ~CompanionPlugin() = default;
    // Opens the companion for the request's owner, or raises the one that is
    // open already, and returns it.
    virtual QWidget* open(const CompanionRequest& request) = 0;
};

// Loads the plugin `baseName` ("orvella_help") on first use and returns its
// root object, the same one on every later call; null when it cannot be
// found or loaded, with the reason in `error`. Looks next to the program
// (the build tree), in the installed plugin folder relative to the program,
// then in the folders added with addCompanionPluginPath.
QObject* loadPlugin(const QString& baseName, QString* error = nullptr);

// The companion interface of the plugin `baseName`, loaded as loadPlugin
// does; null when it cannot be loaded or has no companion window.
CompanionPlugin* loadCompanionPlugin(const QString& baseName, QString* error = nullptr);

// Another folder to look in (tests point this at the build tree).
void addCompanionPluginPath(const QString& folder);

// Calls `recompute` when the texts of the owner's fields change (`link`'s
// inputsChanged), once for the changes of one turn of the event loop: at
// once while `window` is visible, else when it shows again. Nothing without
// a link.
void followInputs(QWidget* window, CompanionLink* link, std::function<void()> recompute);

// Opens (or raises) the help page of the evaluation that `owner`, a
// companion window, shows: the help plugin's window, rendered from `model`
// with the rows `input` gives, read again whenever `link` says they changed.
// Null, with a German message over `owner`, when the help cannot be loaded.
QWidget* openEvaluationHelp(QWidget* owner, const EvaluationModel& model, std::function<EvaluationInput()> input,
                            EvaluationLink* link);

}  // namespace orvella

#define OrvellaCompanionPlugin_iid "de.orvella.Orvella.CompanionPlugin/1.0"
Q_DECLARE_INTERFACE(orvella::CompanionPlugin, OrvellaCompanionPlugin_iid)
