#include "studywindow.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace orvella {

QWidget* openStudyWindow(const CompanionRequest& request)
{
    const QString name = QStringLiteral("studyWindow");
    QWidget* window = findCompanion(request.owner, name);
    if (!window) {
        window = new QWidget;
        window->setObjectName(name);
        
        window->setWindowTitle(QStringLiteral("Parameterstudie – ") + request.title);
        auto* layout = new QVBoxLayout(window);
        layout->addWidget(new QLabel(window->windowTitle(), window));
        attachCompanion(request.owner, window);
    }
    raiseCompanion(window);
    return window;
}

}  // namespace orvella
