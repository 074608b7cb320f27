// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlprognosemodel.h"

#include "dlprognose.h"

namespace orvella {

namespace {

std::vector<double> computePrognosis(const std::vector<double>& in, Trace* trace)
{
    const DLprognoseInput input{in[0], in[1], in[2], in[3], in[4], in[5], in[6], in[7]};
    const DLprognoseResult r = computeDLprognose(input, trace);
    return {r.dl2, r.l4, r.lr};
}

}  // namespace

const CalculatorModel& dlPrognoseModel()
{
    // In the order the window reads them. Every field passes through the
    // comma fix, txL1 and txR included, so that 58,5 dB reads as typed.
    static const CalculatorModel model{
        "frmDLprognose",
        "frmDLprognose",
        "Großraumbüro DL2 Prognose",
        {},
        "cmdRUNDL",
        false,
        {
            makeInput("alphaCell", "αcell", "α<sub>cell</sub>", "Mittlerer Absorptionsgrad", "",
                      "txALPHAcell", {0.0, 1.0, Spacing::Linear}),
            makeInput("alphaHori", "αhori", "α<sub>hori</sub>",
                      "Mittlerer Absorptionsgrad Stellwände + Wände", "", "txALPHAhori",
                      {0.0, 1.0, Spacing::Linear}),
            makeInput("hScreen", "Hscreen", "H<sub>screen</sub>", "Stellwandhöhe", "m", "txHscreen",
                      {0.0, 2.0, Spacing::Linear}),
            makeInput("lRaum", "Lraum", "L<sub>Raum</sub>", "Raumlänge", "m", "txLraum",
                      {10.0, 60.0, Spacing::Linear}),
            makeInput("wRaum", "Wraum", "W<sub>Raum</sub>", "Raumbreite", "m", "txWraum",
                      {5.0, 40.0, Spacing::Linear}),
            makeInput("hRaum", "Hraum", "H<sub>Raum</sub>", "Raumhöhe", "m", "txHraum",
                      {2.5, 6.0, Spacing::Linear}),
            makeInput("l1", "L1", "L<sub>1</sub>", "Schallpegel der Sprache in 1 m Abstand", "dB",
                      "txL1", {50.0, 70.0, Spacing::Linear}),
            makeInput("r", "R", "R", "Abstand", "m", "txR", {1.0, 32.0, Spacing::Logarithmic}),
        },
        {
            makeResult("dl2", "DL2", "DL<sub>2</sub>", "Pegelminderung pro Abstandsverdopplung",
                       "dB", "txDL2", 1),
            makeResult("l4", "L4", "L<sub>4</sub>", "Schallpegel in 4 m Abstand", "dB", "txL4", 1),
            makeResult("lr", "Lr", "L<sub>r</sub>", "Schallpegel im Abstand R", "dB", "txLr", 1),
        },
        computePrognosis,
    };
    return model;
}

}  // namespace orvella
