// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmtemperatur.h"

#include "moisturemodels.h"

namespace orvella {

WindowDesign temperaturDesign()
{
    using K = ControlKind;
    const QString f = QStringLiteral("Frame1");
    // The frame shares its caption with the critical-humidity window; the
    // button's caption (from the description) begins with a blank. Each label sits 60 twips lower
    // than the text box beside it.
    return {
        "frmTemperatur",
        windowCaption(47),
        5565,
        3855,
        {
            {"Frame1", K::Frame, {}, "Grenzfeuchte", 120, 120, 5295, 3135, 1, kRegular},
            {"txAussen", K::TextBox, f, "-3.2", 3840, 420, 1095, 375, 4, kBold},
            {"Label1", K::Label, f, "Außentemperatur" + blanks(27) + "[°C]", 240, 480, 3135, 255, 3, kRegular},
            {"cmdRun_Grenzen", K::Button, f, QString::fromStdString(temperaturModel().calculateCaption), 240, 960, 4695, 375, 2, kRegular},
            {"txFeuchte1", K::TextBox, f, "0", 3840, 1500, 1095, 375, 6, kBold},
            {"Label2", K::Label, f, "Relative Feuchte" + blanks(27) + "[%]", 240, 1560, 3135, 375, 5, kRegular},
            {"txKondens", K::TextBox, f, "0", 3840, 1980, 1095, 375, 8, kBold},
            {"Label5", K::Label, f, "Oberflächenkondensation" + blanks(10) + "[°C]", 240, 2040, 3135, 375, 7, kRegular},
            {"txSchimel", K::TextBox, f, "0", 3840, 2460, 1095, 375, 10, kBold},
            {"Label6", K::Label, f, "Schimmelpilzbildungsgefahr" + blanks(6) + "[°C]", 240, 2520, 3135, 375, 9, kRegular},
            closeButton(120, 3360, 5295, 375, 0),
        },
    };
}

std::unique_ptr<CalculatorForm> makeTemperaturForm(std::function<void()> showMenu)
{
    // Grenztemperatur: the outdoor temperature through the comma fix, all
    // three results computed and formatted, then written; a failure (-65 °C
    // or below, overflow) leaves them as they were.
    return makeFormulaForm(std::move(showMenu), temperaturDesign, temperaturModel());
}

}  // namespace orvella
