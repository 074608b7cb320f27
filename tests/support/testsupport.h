#pragma once
// Small helpers for the widget tests: regional settings for one test, and
// finding, typing into and clicking controls by their design names.

#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QWidget>

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

// Runs pending deferred deletions, so that unloaded windows are really gone.
void processDeferredDeletes();

// The visible top-level window with this object name, or null.
QWidget* visibleWindow(const QString& objectName);
// Every visible top-level window.
QList<QWidget*> visibleWindows();

}  // namespace orvella::test
