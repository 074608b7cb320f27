#include "helpwindow.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace orvella {

QWidget* openHelpWindow(const CompanionRequest& request)
{
    const QString name = QStringLiteral("helpWindow");
    QWidget* window = findCompanion(request.owner, name);
    if (!window) {
        window = new QWidget;
        window->setObjectName(name);
        const bool overview = request.title == QLatin1String("Orvella");
        window->setWindowTitle(overview ? QStringLiteral("Hilfe – Orvella")
                                        : QStringLiteral("Hilfe und Rechenweg – ") + request.title);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(new QLabel(window->windowTitle(), window));
        attachCompanion(request.owner, window);
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
