// SPDX-License-Identifier: GPL-3.0-or-later
#include "companioncommands.h"

#include <QMenu>
#include <QPushButton>
#include <QWidget>

namespace orvella {

QPushButton* commandButton(QAction* action, const QString& objectName)
{
    auto* button = new QPushButton(action->text());
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
    });
    return button;
}

void addCommandsToMenu(QMenu& menu, const QWidget* window)
{
    for (QAction* action : window->actions())
        if (!action->text().isEmpty() && action->isVisible())
            menu.addAction(action);
}

}  // namespace orvella
