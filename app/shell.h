// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's windows and the flow between them: the main menu opens a
// calculator (the calculator shows, then the menu unloads), a calculator's
// CLOSE shows the menu again (freshly loaded) and unloads the calculator.

#include "form.h"

#include <QUrl>

#include <array>
#include <functional>
#include <memory>

namespace orvella {

// Reverberation has no button on the menu: its context menu and key open it.
enum class Calculator { Decibel, Converter, CriticalHumidity, CriticalTemperature, OpenPlanOffice, Reverberation };
inline constexpr int kCalculatorCount = 6;

// The menu's context-menu entry and key that open the reverberation calculator.
inline constexpr const char* kReverberationEntry = "Nachhallzeit DIN 18041";
inline constexpr const char* kReverberationKey = "Ctrl+6";

class Shell {
public:
    using Factory = std::function<std::unique_ptr<CalculatorForm>(std::function<void()> showMenu)>;

    // The calculators come from the application's own factories unless a
    // test passes its own.
    Shell();
    explicit Shell(std::array<Factory, kCalculatorCount> factories);
    ~Shell();

    Form& menu();
    // The calculator's instance, created on first use; null when the program
    // has no such window.
    Form* calculator(Calculator which);

    // Shows the calculator (creating its instance on first use), then unloads
    // the menu.
    void open(Calculator which);

    // The product's web site, opened by the menu's "Orvella" button.
    static QUrl webSite();

private:
    std::array<Factory, kCalculatorCount> factories_;
    std::array<std::unique_ptr<CalculatorForm>, kCalculatorCount> calculators_;
    std::unique_ptr<Form> menu_;
};

// The design of the main menu window frmOption.
WindowDesign menuDesign();

// Whether `window` is the main menu.
bool isMenuWindow(const QWidget& window);

}  // namespace orvella
