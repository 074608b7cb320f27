// SPDX-License-Identifier: GPL-3.0-or-later
#include "companions.h"

#include "commands.h"
#include "companionlink.h"
#include "dlprognosemodel.h"
#include "form.h"
#include "historyrecording.h"
#include "keypadmodel.h"
#include "moisturemodels.h"
#include "nachhallmodel.h"
#include "schallmodel.h"
#include "shell.h"

#include <QMessageBox>

#include <algorithm>

namespace orvella {

namespace {

bool isMenu(const DesignedWindow& w) { return isMenuWindow(w); }

const CalculatorWindow* asCalculator(const DesignedWindow& w)
{
    return qobject_cast<const CalculatorWindow*>(&w);
}

// Loads the plugin and opens its companion for the window; a plugin that
// cannot be loaded is reported in the window's own words.
void openCompanion(DesignedWindow& window, const QString& plugin, const QString& what)
{
    QString error;
    CompanionPlugin* companion = loadCompanionPlugin(plugin, &error);
    if (!companion) {
        QMessageBox::warning(&window, QStringLiteral("Orvella"),
                             QStringLiteral("%1 kann nicht geöffnet werden, weil ein Teil des "
                                            "Programms fehlt oder beschädigt ist.\n\n%2")
                                 .arg(what, error));
        return;
    }
    companion->open(companionRequest(window));
}

// The companions the window's calculators declare, each once, in the order
// of the descriptions.
std::vector<WindowCommand> declaredCompanions(const DesignedWindow& w)
{
    std::vector<WindowCommand> commands;
    const CalculatorWindow* calculator = asCalculator(w);
    if (!calculator)
        return commands;
    std::vector<std::pair<std::string, std::string>> seen;
    for (const CalculatorModel* model : calculator->models()) {
        for (const CompanionEntry& entry : model->companions) {
            if (std::find(seen.begin(), seen.end(), std::pair(entry.text, entry.plugin)) != seen.end())
                continue;
            seen.emplace_back(entry.text, entry.plugin);
            const QString text = QString::fromStdString(entry.text);
            const QString plugin = QString::fromStdString(entry.plugin);
            // "„Messauswertung ISO 3382-3“ kann nicht geöffnet werden"
            QString name = text;
            if (name.endsWith(u'…'))
                name.chop(1);
            const QString what = u'„' + name.trimmed() + u'“';
            commands.push_back({text, QKeySequence(QString::fromStdString(entry.shortcut)), {},
                                [plugin, what](DesignedWindow& window) { openCompanion(window, plugin, what); }});
        }
    }
    return commands;
}

}  // namespace

std::vector<const CalculatorModel*> allCalculatorModels()
{
    return {&keypadModel(),     &schallPowerModel(), &schallPressureModel(), &dlPrognoseModel(),
            &feuchteModel(),    &temperaturModel(),  &nachhallModel()};
}

CompanionRequest companionRequest(DesignedWindow& window)
{
    CompanionRequest request;
    request.owner = &window;
    request.link = companionLink(window);
    request.ownerIsMenu = isMenu(window);
    request.allModels = allCalculatorModels();
    request.recordEvaluation = evaluationRecorder();
    if (const CalculatorWindow* calculator = asCalculator(window)) {
        request.title = calculator->menuTitle();
        request.models = calculator->models();
        QPointer<const CalculatorWindow> guard(calculator);
        request.state = [guard] { return guard ? guard->state() : WindowState{}; };
        if (calculator->keyTyper())
            request.typeKeys = [guard](const QString& keys) {
                if (guard && guard->keyTyper())
                    guard->keyTyper()(keys);
            };
    } else {
        request.title = QStringLiteral("Orvella");
        request.models = allCalculatorModels();
        request.state = [] { return WindowState{}; };
    }
    return request;
}

void installCompanionCommands()
{
    addWindowCommand({QStringLiteral("Hilfe und Rechenweg"), QKeySequence(Qt::Key_F1),
                      [](const DesignedWindow& w) { return asCalculator(w) != nullptr; },
                      [](DesignedWindow& w) {
                          openCompanion(w, QStringLiteral("orvella_help"), QStringLiteral("Die Hilfe"));
                      }});
    addWindowCommand({QStringLiteral("Hilfe"), QKeySequence(Qt::Key_F1), isMenu,
                      [](DesignedWindow& w) {
                          openCompanion(w, QStringLiteral("orvella_help"), QStringLiteral("Die Hilfe"));
                      }});
    addWindowCommand({QStringLiteral("Parameterstudie…"), QKeySequence(Qt::Key_F2),
                      [](const DesignedWindow& w) {
                          const CalculatorWindow* c = asCalculator(w);
                          return c && std::any_of(c->models().begin(), c->models().end(),
                                                  [](const CalculatorModel* m) { return m->computes(); });
                      },
                      [](DesignedWindow& w) {
                          openCompanion(w, QStringLiteral("orvella_study"),
                                        QStringLiteral("Die Parameterstudie"));
                      }});
    WindowCommand declared;
    declared.commandsFor = declaredCompanions;
    addWindowCommand(std::move(declared));
}

void installHistoryCommand()
{
    // Every window: a calculator's Verlauf starts at its entries, the
    // menu's shows them all.
    addWindowCommand({QStringLiteral("Verlauf…"), QKeySequence(Qt::CTRL | Qt::Key_H), {},
                      [](DesignedWindow& w) {
                          openCompanion(w, QStringLiteral("orvella_history"), QStringLiteral("Der Verlauf"));
                      }});
}

}  // namespace orvella
