// SPDX-License-Identifier: GPL-3.0-or-later
#include "design.h"

#include "accessibility.h"
#include "captionwidgets.h"

#include <QApplication>
#include <QGuiApplication>
#include <QFontDatabase>
#include <QHash>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QLineEdit>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

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

// The family the designs' font is drawn with: set by installDesignFonts.
QString& designFamily()
{
    static QString family = QString::fromLatin1(kFontFamily);
    return family;
}

QFont designFont(FontSpec style)
{
    QFont font(designFamily());
    font.setPointSizeF(style.pointSize);
    font.setWeight(style.bold ? QFont::Bold : QFont::Normal);
    return font;
}

QWidget* createControl(ControlKind kind, QWidget* parent)
{
    switch (kind) {
    case ControlKind::Frame: return new DesignFrame(QString(), parent);
    case ControlKind::Label: return new CaptionLabel(QString(), parent);
    case ControlKind::Button: return new CaptionButton(QString(), parent);
    case ControlKind::TextBox: return new QLineEdit(parent);
    }
    return nullptr;
}

void setCaption(QWidget* w, ControlKind kind, const QString& caption)
{
    switch (kind) {
    case ControlKind::Frame: static_cast<QGroupBox*>(w)->setTitle(caption); break;
    case ControlKind::Label: static_cast<QLabel*>(w)->setText(caption); break;
    case ControlKind::Button: static_cast<QAbstractButton*>(w)->setText(caption); break;
    case ControlKind::TextBox: static_cast<QLineEdit*>(w)->setText(caption); break;
    }
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

namespace {

// Sets the program icon a fifth of a second after the first window has been
// exposed, that is after its first drawing has been sent to the screen; or
// after five seconds, should no window be exposed by then (started
// minimised). Drawing the SVG loads the icon plugin, Qt Svg and the SVG
// renderer: some milliseconds that need not stand between the start and the
// first sight of the menu, nor compete for the processor with the X server
// and the compositor while they bring that first drawing to the screen.
constexpr int kLatestIconMs = 5000;
constexpr int kAfterExposeMs = 200;

class ProgramIconSetter : public QObject {
public:
    explicit ProgramIconSetter(QObject* parent) : QObject(parent)
    {
        const auto windows = QGuiApplication::topLevelWindows();
        if (std::any_of(windows.begin(), windows.end(), [](QWindow* w) { return w->isExposed(); })) {
            QTimer::singleShot(0, this, &ProgramIconSetter::setIcon);
            return;
        }
        qApp->installEventFilter(this);
        QTimer::singleShot(kLatestIconMs, this, &ProgramIconSetter::setIcon);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()) {
            qApp->removeEventFilter(this);
            // Later: the window draws itself while this Expose is delivered.
            QTimer::singleShot(kAfterExposeMs, this, &ProgramIconSetter::setIcon);
        }
        return false;
    }

private:
    void setIcon()
    {
        if (done_)
            return;
        done_ = true;
        qApp->removeEventFilter(this);
        // The application icon reaches every window, those loaded later included.
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/orvella/orvella.svg")));
        deleteLater();
    }

    bool done_ = false;
};

}  // namespace

void installProgramIcon() { new ProgramIconSetter(qApp); }

void installDesignFonts()
{
    const QString designed = QString::fromLatin1(kFontFamily);
    const QStringList substitutes = {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                     QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")};
    QFont::insertSubstitutions(designed, substitutes);
    // The controls ask for the first of these families that is installed by
    // its own name. Asked for a family that is missing, Qt would look for it
    // in vain and collect fontconfig's whole fallback list before it tries
    // the substitutes, for every window; the face drawn is the same.
    designFamily() = designed;
    for (const QString& family : QStringList{designed} + substitutes) {
        if (QFontDatabase::hasFamily(family)) {
            designFamily() = family;
            break;
        }
    }
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
        // The font before the caption: a frame measures its title as soon as
        // it has one, and measuring it in Qt's default font would load a
        // second font family that no control shows.
        QWidget* w = createControl(c.kind, parent);
        w->setObjectName(c.name);
        w->setFont(designFont(c.font));
        setCaption(w, c.kind, c.caption);
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
