// SPDX-License-Identifier: GPL-3.0-or-later
#include "testsupport.h"

#include "design.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>

namespace orvella::test {

QLocale localeNamed(const QString& decimalMark)
{
    return decimalMark == QLatin1String("comma") ? QLocale(QLocale::German, QLocale::Germany)
                                                 : QLocale(QLocale::English, QLocale::UnitedStates);
}

QString inLocale(QString text, const QString& decimalMark)
{
    if (decimalMark == QLatin1String("comma"))
        text.replace(u'.', u',');
    return text;
}

QString asShown(QString text) { return text.replace(u'.', QLocale().decimalPoint()); }

QStringList asShown(QStringList texts)
{
    for (QString& text : texts)
        text = asShown(text);
    return texts;
}

void initProgram() { installDesignFonts(); }

QLineEdit* fieldOf(const QWidget* window, const QString& name)
{
    return window ? window->findChild<QLineEdit*>(name) : nullptr;
}

QPushButton* buttonOf(const QWidget* window, const QString& name)
{
    return window ? window->findChild<QPushButton*>(name) : nullptr;
}

QString textOf(const QWidget* window, const QString& name)
{
    const QLineEdit* f = fieldOf(window, name);
    if (!f)
        qFatal("no text box %s", qPrintable(name));
    return f->text();
}

void setTextOf(const QWidget* window, const QString& name, const QString& text)
{
    QLineEdit* f = fieldOf(window, name);
    if (!f)
        qFatal("no text box %s", qPrintable(name));
    f->setText(text);
}

void click(const QWidget* window, const QString& name)
{
    QPushButton* b = buttonOf(window, name);
    if (!b)
        qFatal("no button %s", qPrintable(name));
    QTest::mouseClick(b, Qt::LeftButton);
}

QStringList focusChain(const QWidget* window, const QString& start)
{
    QWidget* first = window ? window->findChild<QWidget*>(start) : nullptr;
    if (!first)
        qFatal("no control %s", qPrintable(start));
    QStringList chain;
    QWidget* at = first;
    do {
        if ((at->focusPolicy() & Qt::TabFocus) && at->isVisibleTo(window))
            chain << at->objectName();
        at = at->nextInFocusChain();
    } while (at && at != first && chain.size() < 100);
    return chain;
}

QWidget* openFromMenu(Form& menu, const QString& button, const QString& windowName)
{
    menu.show();
    click(menu.window(), button);
    processDeferredDeletes();
    return visibleWindow(windowName);
}

bool programEndsWhenClosed(QWidget* window)
{
    QApplication::setQuitOnLastWindowClosed(true);
    QTimer::singleShot(0, window, [window] { window->close(); });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QApplication::exit(99); });
    safety.start(5000);
    const int status = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(false);
    return status == 0 && safety.isActive();
}

void processDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QWidget* visibleWindow(const QString& objectName)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == objectName)
            return w;
    return nullptr;
}

QList<QWidget*> visibleWindows()
{
    QList<QWidget*> list;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow())
            list << w;
    return list;
}

bool mappedIntoProcess(const char* library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

QString pdfText(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace orvella::test
