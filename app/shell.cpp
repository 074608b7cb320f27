// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell.h"

#include "describedform.h"
#include "frmcalculator.h"
#include "frmdlprognose.h"
#include "frmfeuchte.h"
#include "frmschall.h"
#include "frmtemperatur.h"
#include "nachhallmodel.h"

#include <QAction>

#include <QDesktopServices>
#include <QPushButton>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#endif

namespace orvella {

WindowDesign menuDesign()
{
    using K = ControlKind;
    return {
        "frmOption",
        windowCaption(28),
        4710,
        4275,
        {
            {"Frame1", K::Frame, {}, "Schall", 120, 120, 4455, 1215, 1, kRegular},
            {"Command1", K::Button, "Frame1", "dB Calculator", 120, 240, 4215, 375, 2, kRegular},
            {"Command2", K::Button, "Frame1", "Schallleistung - Schalldruck", 120, 720, 4215, 375, 3, kRegular},
            {"Frame3", K::Frame, {}, "Raumakustik", 120, 1440, 4455, 735, 7, kRegular},
            {"Command5", K::Button, "Frame3", "Großraumbüro DL2 Prognose", 120, 240, 4215, 375, 8, kRegular},
            {"Frame2", K::Frame, {}, "Feuchte", 120, 2280, 4455, 1215, 4, kRegular},
            {"Command3", K::Button, "Frame2", "Kritische Feuchte Calculator", 120, 240, 4215, 375, 5, kRegular},
            {"Command4", K::Button, "Frame2", "KritischeTemperatur Calculator", 120, 720, 4215, 375, 6, kRegular},
            {"Command9", K::Button, {}, "Orvella", 120, 3720, 4455, 375, 0, kRegular},
        },
    };
}

bool isMenuWindow(const QWidget& window)
{
    static const QString name = menuDesign().name;
    return window.objectName() == name;
}

namespace {

void openWebSite()
{
#ifdef Q_OS_WIN
    ShellExecuteA(nullptr, "open", Shell::webSite().toString().toLocal8Bit().constData(), nullptr,
                  nullptr, SW_SHOWMAXIMIZED);
#else
    QDesktopServices::openUrl(Shell::webSite());
#endif
}

class MenuForm : public Form {
public:
    explicit MenuForm(Shell& shell) : shell_(shell) {}

protected:
    QWidget* load() override
    {
        auto* w = new DesignedWindow(menuDesign());
        const std::pair<const char*, Calculator> buttons[] = {
            {"Command1", Calculator::Decibel},
            {"Command2", Calculator::Converter},
            {"Command3", Calculator::CriticalHumidity},
            {"Command4", Calculator::CriticalTemperature},
            {"Command5", Calculator::OpenPlanOffice},
        };
        for (const auto& [name, which] : buttons)
            w->onClick(name, [this, which = which] { shell_.open(which); });
        // Hands the address to the system and returns at once; a failure
        // (no browser) stays silent and the menu stays as it is.
        w->onClick("Command9", [] { openWebSite(); });
        return w;
    }

    // After the window commands: the calculators without a button of their
    // own, below a separator.
    void onLoad(QWidget* w) override
    {
        auto* separator = new QAction(w);
        separator->setSeparator(true);
        auto* open = new QAction(QString::fromUtf8(kReverberationEntry), w);
        open->setObjectName(QStringLiteral("openReverberation"));
        open->setShortcut(QKeySequence(QString::fromLatin1(kReverberationKey)));
        open->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(open, &QAction::triggered, w, [this] { shell_.open(Calculator::Reverberation); });
        w->addActions({separator, open});
    }

private:
    Shell& shell_;
};

std::array<Shell::Factory, kCalculatorCount> applicationFactories()
{
    return {makeCalculatorForm, makeSchallForm, makeFeuchteForm, makeTemperaturForm, makeDLprognoseForm,
            [](std::function<void()> showMenu) { return makeDescribedForm(std::move(showMenu), nachhallModel()); }};
}

}  // namespace

Shell::Shell() : Shell(applicationFactories()) {}

Shell::Shell(std::array<Factory, kCalculatorCount> factories)
    : factories_(std::move(factories)), menu_(std::make_unique<MenuForm>(*this))
{
}

Shell::~Shell() = default;

Form& Shell::menu() { return *menu_; }

Form* Shell::calculator(Calculator which)
{
    const auto i = static_cast<std::size_t>(which);
    if (!calculators_[i] && factories_[i])
        calculators_[i] = factories_[i]([this] { menu_->show(); });
    return calculators_[i].get();
}

void Shell::open(Calculator which)
{
    Form* target = calculator(which);
    if (!target)
        return;
    target->show();
    menu_->unload();
}

QUrl Shell::webSite() { return QUrl(QStringLiteral("https://www.orvella.de/")); }

}  // namespace orvella
