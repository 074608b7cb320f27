// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers for the widget tests: regional settings for one test, and
// finding, typing into and clicking controls by their design names.

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include "form.h"

#include <functional>

namespace orvella::test {

// Makes `locale` the default (the user's regional settings) until destroyed.
class LocaleScope {
public:
    explicit LocaleScope(const QLocale& locale) : previous_(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(previous_); }
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

private:
    QLocale previous_;
};

// QLocale for a row of a data-driven test: "point" (English) or "comma" (German).
QLocale localeNamed(const QString& decimalMark);

// An expected result written with a point, as the regional settings named by
// `decimalMark` ("point" or "comma") show it: "52.57" or "52,57".
QString inLocale(QString text, const QString& decimalMark);

// An expected number written with a point, as the user's regional settings
// show it: those of the process (German in the German pass) unless the test
// chose others with LocaleScope.
QString asShown(QString text);
QStringList asShown(QStringList texts);

// Sets up the process like main() does (font substitution). Call in initTestCase.
void initProgram();

QLineEdit* fieldOf(const QWidget* window, const QString& name);
QPushButton* buttonOf(const QWidget* window, const QString& name);
QString textOf(const QWidget* window, const QString& name);
void setTextOf(const QWidget* window, const QString& name, const QString& text);
// Clicks the button with the mouse, as a user would.
void click(const QWidget* window, const QString& name);

// The object names of the controls that take the focus with Tab, in the
// order Tab visits them, starting at `start` and going round once.
QStringList focusChain(const QWidget* window, const QString& start);

// Shows the menu, clicks its button `button` as the user does and returns the
// calculator window that opened (null when `windowName` did not open).
QWidget* openFromMenu(Form& menu, const QString& button, const QString& windowName);

// Runs the event loop as main() does, closes `window` with its title-bar
// close box from inside it, and tells whether the loop then ended by itself
// with exit status 0 (a safety timer would end it with 99).
bool programEndsWhenClosed(QWidget* window);

// Runs pending deferred deletions, so that unloaded windows are really gone.
void processDeferredDeletes();

// The visible top-level window with this object name, or null.
QWidget* visibleWindow(const QString& objectName);
// Every visible top-level window.
QList<QWidget*> visibleWindows();

// Whether a library whose file name contains `library` ("libQt6Charts",
// "orvella_measurement") is mapped into this process: loaded by it.
bool mappedIntoProcess(const char* library);

// The text of a PDF file as pdftotext lays it out (-layout); empty when
// pdftotext fails or is missing.
QString pdfText(const QString& path);

}  // namespace orvella::test
