// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window designs as data, in twips, and the one builder that turns them into
// widgets. A design table reads like the layout tables of the windows:
// name, kind, container, caption, left, top, width, height, tab index, font.

#include <QString>
#include <QWidget>

#include <vector>

namespace orvella {

enum class ControlKind { Frame, Label, TextBox, Button };

// "MS Sans Serif" at a point size; mapped to a metric-compatible sans at start.
struct FontSpec {
    double pointSize;
    bool bold;
};
inline constexpr FontSpec kRegular{9.75, false};
inline constexpr FontSpec kBold{9.75, true};
inline constexpr FontSpec kWindowDefault{8.25, false};  // the CLOSE button's font

struct ControlDesign {
    QString name;
    ControlKind kind;
    QString container;  // empty: the window itself; else the name of a frame
    QString caption;    // caption or initial text
    int left, top, width, height;  // twips, relative to the container
    int tabIndex;
    FontSpec font;
};

struct WindowDesign {
    QString name;      // the window's object name, e.g. "frmFeuchte"
    QString caption;   // title bar text
    int clientWidth;   // twips
    int clientHeight;  // twips
    std::vector<ControlDesign> controls;
};

inline constexpr const char* kFontFamily = "MS Sans Serif";

// Maps the designs' "MS Sans Serif" to a metric-compatible sans that the
// set-up installs. Call once after the QApplication exists.
void installDesignFonts();

// Qt's own texts (the message box's buttons, the text fields' context menu)
// in the language of the user's regional settings, where Qt ships them.
void installQtTranslations();

// The program icon, carried by every window. Call once after the
// QApplication exists; it is set as soon as the event loop runs.
void installProgramIcon();

// A run of `count` blanks, for captions written as words, blanks, unit.
QString blanks(int count);

// "Orvella", a run of `blankCount` blanks and the author credit.
QString windowCaption(int blankCount);

// The CLOSE button every calculator window carries, spanning its width.
ControlDesign closeButton(int left, int top, int width, int height, int tabIndex);

// Twips to device-independent pixels, at the screen's logical resolution
// (15 twips a pixel at 96 dpi). The only conversion between the two units.
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// Gives `window` the design: object name, caption, fixed client size, the
// common window properties, and every control with its geometry, font and
// tab order. Controls get the design names as object names.
void buildWindow(QWidget* window, const WindowDesign& design);

// The control with the lowest tab index that takes the focus.
QWidget* firstInTabOrder(QWidget* window, const WindowDesign& design);

// Common window properties: background in the system's menu colour, close
// box without minimise and maximise buttons.
void applyWindowFrame(QWidget* window);

}  // namespace orvella
