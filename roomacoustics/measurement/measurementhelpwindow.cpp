// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementhelpwindow.h"

#include "companion.h"
#include "companioncommands.h"
#include "iso3382help.h"

#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace orvella {

QWidget* openMeasurementHelp(QWidget* owner)
{
    return openOrRaiseCompanion(owner, QStringLiteral("measurementHelp"), OnClose::Delete, [] {
        auto* help = new QWidget;
        help->setWindowTitle(QStringLiteral("Hilfe – Messauswertung ISO 3382-3"));
        auto* browser = new QTextBrowser;
        browser->setObjectName(QStringLiteral("helpBrowser"));
        browser->document()->setDefaultStyleSheet(
            QStringLiteral("h1 { font-size: x-large; margin-bottom: 6px; }"
                           "h2 { font-size: large; margin-top: 16px; margin-bottom: 4px; }"));
        browser->document()->setDocumentMargin(12);
        browser->setHtml(QString::fromStdString(iso3382HelpHtml(QLocale().decimalPoint().toStdString())));
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(commandButton(
            addCompanionCommand(help, QStringLiteral("Schließen"), QKeySequence(Qt::Key_Escape), &QWidget::close),
            QString()));
        auto* layout = new QVBoxLayout(help);
        layout->addWidget(browser, 1);
        layout->addLayout(buttons);
        help->resize(680, 780);
        return help;
    });
}

}  // namespace orvella
