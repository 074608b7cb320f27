// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmdlprognose.h"

#include "dlprognosemodel.h"

namespace orvella {

WindowDesign dlPrognoseDesign()
{
    using K = ControlKind;
    const QString f = QStringLiteral("Frame1");
    return {
        "frmDLprognose",
        windowCaption(64),
        6390,
        6990,
        {
            {"Frame1", K::Frame, {}, "Schallleistungspegel", 120, 120, 6135, 6255, 1, kRegular},
            {"Label2", K::Label, f, "Raumhöhe" + blanks(71) + "[m]", 120, 420, 4575, 375, 4, kRegular},
            {"txHraum", K::TextBox, f, "3", 4800, 360, 1095, 375, 6, kBold},
            {"Label4", K::Label, f, "Raumlänge" + blanks(70) + "[m]", 120, 900, 4575, 375, 10, kRegular},
            {"txLraum", K::TextBox, f, "30", 4800, 840, 1095, 375, 7, kBold},
            {"Label5", K::Label, f, "Raumbreite" + blanks(70) + "[m]", 120, 1380, 4575, 375, 17, kRegular},
            {"txWraum", K::TextBox, f, "15", 4800, 1320, 1095, 375, 9, kBold},
            {"Label6", K::Label, f, "Stellwandhöhe" + blanks(64) + "[m]", 120, 1860, 4575, 375, 18, kRegular},
            {"txHscreen", K::TextBox, f, "1,0", 4800, 1800, 1095, 375, 12, kBold},
            {"Label7", K::Label, f, "Mittlerer Absorptionsgrad" + blanks(45) + "[-]", 120, 2280, 4455, 375, 19, kRegular},
            {"txALPHAcell", K::TextBox, f, "0,1", 4800, 2280, 1095, 375, 13, kBold},
            {"Label8", K::Label, f, "Mittlerer Absorptionsgrad Stellwände + Wände" + blanks(3) + "[-]", 120, 2820, 4695, 375, 20, kRegular},
            {"txALPHAhori", K::TextBox, f, "0,1", 4800, 2760, 1095, 375, 14, kBold},
            {"Label9", K::Label, f, "Abstand" + blanks(76) + "[m]", 120, 3300, 4575, 375, 21, kRegular},
            {"txR", K::TextBox, f, "8", 4800, 3240, 1095, 375, 15, kBold},
            {"Label1", K::Label, f, "Schallpegel" + blanks(2) + "der Sprache" + blanks(2) + "in 1m Abstand" + blanks(10) + "[dB]", 120, 3780, 4575, 375, 5, kRegular},
            {"txL1", K::TextBox, f, "58", 4800, 3720, 1095, 375, 16, kBold},
            {"cmdRUNDL", K::Button, f, QString::fromStdString(dlPrognoseModel().calculateCaption), 120, 4200, 5775, 375, 2, kRegular},
            {"Label3", K::Label, f, blanks(1) + "Pegelminderung pro Abstandsverdopplung" + blanks(4) + "[dB]", 120, 4720, 4575, 375, 11, kRegular},
            {"txDL2", K::TextBox, f, "", 4800, 4680, 1095, 375, 8, kBold},
            {"Label10", K::Label, f, "Schallpegel in 4m Abstand" + blanks(38) + "[dB]", 120, 5220, 4575, 375, 22, kRegular},
            {"txL4", K::TextBox, f, "", 4800, 5160, 1095, 375, 24, kBold},
            {"Label11", K::Label, f, "Schallegel Abstand Rm" + blanks(44) + "[dB]", 120, 5700, 4575, 375, 23, kRegular},
            {"txLr", K::TextBox, f, "", 4800, 5640, 1095, 375, 3, kBold},
            closeButton(120, 6480, 6135, 375, 0),
        },
    };
}

std::unique_ptr<CalculatorForm> makeDLprognoseForm(std::function<void()> showMenu)
{
    // "Berechnung": every input through the comma fix right before it is
    // read, field by field, so that 58,5 dB or 8,5 m reads as typed; the
    // results are written once all three are computed and formatted, so a
    // calculation that stops (room height 0, distance <= 0, overflow, a
    // number too large to read) changes no result field.
    return makeFormulaForm(std::move(showMenu), dlPrognoseDesign, dlPrognoseModel());
}

}  // namespace orvella
