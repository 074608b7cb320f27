// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmfeuchte.h"

#include "moisturemodels.h"

namespace orvella {

WindowDesign feuchteDesign()
{
    using K = ControlKind;
    const QString f = QStringLiteral("Frame1");
    return {
        "frmFeuchte",
        windowCaption(47),
        5565,
        4725,
        {
            {"Frame1", K::Frame, {}, "Grenzfeuchte", 120, 120, 5295, 3975, 1, kRegular},
            {"Label1", K::Label, f, "Raumtemperatur" + blanks(29) + "[C°]", 240, 480, 3135, 375, 5, kRegular},
            {"txRaum", K::TextBox, f, "20", 3840, 480, 1095, 375, 6, kBold},
            {"Label2", K::Label, f, "Oberflächentemperatur" + blanks(17) + "[C°]", 240, 1080, 3135, 375, 4, kRegular},
            {"txOberflaeche", K::TextBox, f, "10", 3840, 1080, 1095, 375, 7, kBold},
            {"cmdRun_Feuchte", K::Button, f, QString::fromStdString(feuchteModel().calculateCaption), 240, 1680, 4695, 375, 2, kRegular},
            {"Label5", K::Label, f, "Oberflächenkondensation" + blanks(10) + "[%]", 240, 2280, 3135, 375, 8, kRegular},
            {"txKondens", K::TextBox, f, "0", 3840, 2280, 1095, 375, 3, kBold},
            {"Label6", K::Label, f, "Schimmelpilzbildungsgefahr" + blanks(5) + "[%]", 240, 2880, 3135, 375, 9, kRegular},
            {"txSchimel", K::TextBox, f, "0", 3840, 2880, 1095, 375, 10, kBold},
            {"Label7", K::Label, f, "Korrosionsgefahr" + blanks(26) + "[%]", 240, 3480, 3135, 375, 11, kRegular},
            {"txKorrosion", K::TextBox, f, "0", 3840, 3480, 1095, 375, 12, kBold},
            closeButton(120, 4200, 5295, 375, 0),
        },
    };
}

std::unique_ptr<CalculatorForm> makeFeuchteForm(std::function<void()> showMenu)
{
    // Grenzfeuchte: both temperatures through the comma fix, all three
    // limits computed and formatted, then written; a failure (a temperature
    // below -148.6 °C, a room at exactly -148.6 °C, overflow) leaves them as
    // they were.
    return makeFormulaForm(std::move(showMenu), feuchteDesign, feuchteModel());
}

}  // namespace orvella
