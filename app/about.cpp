// SPDX-License-Identifier: GPL-3.0-or-later
#include "about.h"

#include "commands.h"
#include "form.h"
#include "historysettings.h"
#include "shell.h"

#include <QIcon>
#include <QMessageBox>

#ifndef ORVELLA_VERSION
#error "ORVELLA_VERSION is set by the build from the project's version"
#endif

namespace orvella {

QString programVersion() { return QStringLiteral(ORVELLA_VERSION); }

QString aboutText()
{
    const QString site = Shell::webSite().toString();
    return QStringLiteral("<h3>Orvella %1</h3>"
                          "<p>Bauphysik-Rechner für Schall, Raumakustik und Feuchte</p>"
                          "<p>Lizenz: GNU General Public License, Version 3 oder neuer "
                          "(GPL-3.0-or-later).</p>"
                          "<p>Orvella ist freie Software: Sie dürfen sie "
                          "weitergeben und verändern. Sie wird ohne jede Gewährleistung "
                          "bereitgestellt.</p>"
                          "<p>Qt-Version %2</p>"
                          "<p>Den Verlauf der Rechnungen führt Orvella in der Datei<br>%4<br>"
                          "Sie ist die einzige Datei, die Orvella ohne Ihren Befehl schreibt, und "
                          "verlässt diesen Rechner nicht.</p>"
                          "<p><a href=\"%3\">%3</a></p>")
        .arg(programVersion(), QString::fromLatin1(qVersion()), site,
             shownPath(defaultHistoryPath()).toHtmlEscaped());
}

QMessageBox* showAbout(QWidget* owner)
{
    auto* box = new QMessageBox(owner);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("Über Orvella"));
    box->setTextFormat(Qt::RichText);
    box->setText(aboutText());
    // The program's icon, as QMessageBox::about shows it.
    const QIcon icon = box->windowIcon();
    if (!icon.isNull())
        box->setIconPixmap(icon.pixmap(icon.actualSize(QSize(64, 64))));
    box->setStandardButtons(QMessageBox::Ok);
    box->open();
    return box;
}

void installAboutCommand()
{
    addWindowCommand({QStringLiteral("Über Orvella"), QKeySequence(), {},
                      [](DesignedWindow& w) { showAbout(&w); }, true});
}

}  // namespace orvella
