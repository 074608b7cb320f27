// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a companion window (help, study, ...) opens and how large: beside
// its calculator where the screen has room, always whole on the screen's
// available area, title bar and borders included. One routine for every
// companion; the designed windows keep their own placement.

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace orvella {

// The frame (title bar and borders included) a companion opens with, in
// the coordinates of `area`, the screen's available area.
//
// `ownerFrame` is the calculator's frame; an invalid rect means there is
// none on the screen, and the companion is centred. `margins` is the frame
// the window manager adds around the companion's client area, `preferred`
// and `minimum` are client sizes.
//
// The size is `preferred` shrunk to the area, never below `minimum`. It goes
// to the right of the owner when it fits there, else to the left. When it
// fits on neither side but the wider side leaves at least three quarters of
// its width (and its minimum), it is narrowed to that side: a companion read
// against the calculator is worth more than its last quarter. Otherwise it
// stands against the screen edge on the side where it covers less of the
// owner. Its top is level with the owner's, moved up as far as needed to
// keep the bottom on the area. Only a minimum larger than the area itself
// lets it reach beyond the area, and then to the right and below, with the
// title bar on the screen.
QRect companionFrame(const QRect& area, const QRect& ownerFrame, const QMargins& margins,
                     const QSize& preferred, const QSize& minimum);

// The frame the window manager draws around `window`, measured on it when it
// is shown, else on another shown window of the program (the same manager
// draws the same frame); no margins when no window is shown. At a fractional
// scale each framed side is rounded up to whole logical pixels.
QMargins windowFrameMargins(const QWidget* window);

// Sizes and moves `companion`, not yet shown, by companionFrame: its current
// size is the preferred one, its owner is its parent widget, the area that of
// the owner's screen (the primary screen without an owner), the frame its
// owner's. Once shown with a frame of its own that differs (a resizable
// window may get handles its fixed-size calculator has not), it is placed
// again with that frame.
//
// With the environment variable ORVELLA_COMPANION_GEOMETRY naming a file,
// the companion also reports its buttons there (for the end-to-end test).
void placeCompanion(QWidget* companion);

}  // namespace orvella
