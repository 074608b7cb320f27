// SPDX-License-Identifier: GPL-3.0-or-later
#include "design.h"

#include "accessibility.h"
#include "captionwidgets.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cmath>

namespace orvella {

QString blanks(int count) { return QString(count, u' '); }

QString windowCaption(int blankCount)
{
    return QStringLiteral("Orvella") + blanks(blankCount) + QStringLiteral("Orvella-Team");
}

ControlDesign closeButton(int left, int top, int width, int height, int tabIndex)
{
    return {"cmdUload", ControlKind::Button, {}, "CLOSE", left, top, width, height, tabIndex,
            kWindowDefault};
}

namespace {

double twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QFont designFont(FontSpec style)
{
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSizeF(style.pointSize);
    font.setWeight(style.bold ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget* createControl(const ControlDesign& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Frame: return new DesignFrame(c.caption, parent);
    case ControlKind::Label: return new CaptionLabel(c.caption, parent);
    case ControlKind::Button: return new CaptionButton(c.caption, parent);
    case ControlKind::TextBox: return new QLineEdit(c.caption, parent);
    }
    return nullptr;
}

bool takesFocus(ControlKind kind) { return kind == ControlKind::TextBox || kind == ControlKind::Button; }

}  // namespace

void installQtTranslations()
{
    auto* translator = new QTranslator(qApp);
    if (translator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

void installProgramIcon()
{
    // Drawing the SVG loads the icon plugin and the SVG renderer: a few
    // milliseconds that need not stand between the start and the menu. Set
    // once the event loop runs, the application icon reaches every window,
    // those loaded later included.
    QTimer::singleShot(0, qApp, [] {
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvella/orvella.svg")));
    });
}

void installDesignFonts()
{
    QFont::insertSubstitutions(QString::fromLatin1(kFontFamily),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
}

int twipsToPixels(double twips) { return static_cast<int>(std::lround(twips / twipsPerPixel())); }

double pixelsToTwips(int pixels) { return pixels * twipsPerPixel(); }

void applyWindowFrame(QWidget* window)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QApplication::palette("QMenu").color(QPalette::Window));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}

void buildWindow(QWidget* window, const WindowDesign& design)
{
    window->setObjectName(design.name);
    window->setWindowTitle(design.caption);
    applyWindowFrame(window);
    window->setFixedSize(twipsToPixels(design.clientWidth), twipsToPixels(design.clientHeight));

    // Frames first, so that the controls inside them find their container.
    QHash<QString, QWidget*> byName;
    auto build = [&](const ControlDesign& c) {
        QWidget* parent = c.container.isEmpty() ? window : byName.value(c.container, window);
        QWidget* w = createControl(c, parent);
        w->setObjectName(c.name);
        w->setFont(designFont(c.font));
        w->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                       twipsToPixels(c.height));
        byName.insert(c.name, w);
    };
    for (const ControlDesign& c : design.controls)
        if (c.kind == ControlKind::Frame)
            build(c);
    for (const ControlDesign& c : design.controls)
        if (c.kind != ControlKind::Frame)
            build(c);

    std::vector<const ControlDesign*> order;
    for (const ControlDesign& c : design.controls)
        if (takesFocus(c.kind))
            order.push_back(&c);
    std::stable_sort(order.begin(), order.end(),
                     [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(byName.value(order[i - 1]->name), byName.value(order[i]->name));
    nameForAccessibility(window);
}

QWidget* firstInTabOrder(QWidget* window, const WindowDesign& design)
{
    const ControlDesign* first = nullptr;
    for (const ControlDesign& c : design.controls)
        if (takesFocus(c.kind) && (!first || c.tabIndex < first->tabIndex))
            first = &c;
    return first ? window->findChild<QWidget*>(first->name) : nullptr;
}

}  // namespace orvella
