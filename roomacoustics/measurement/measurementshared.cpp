// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementshared.h"

#include <QDir>
#include <QMessageBox>

namespace orvella {

bool writeAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write, QString* reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (!write(file)) {
        *reason = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *reason = file.errorString();
        return false;
    }
    return true;
}

bool saveAtomically(QWidget* parent, const QString& path, const std::function<bool(QSaveFile&)>& write,
                    const SaveFailureText& text)
{
    QString reason;
    if (writeAtomically(path, write, &reason))
        return true;
    QMessageBox box(QMessageBox::Warning, text.title,
                    QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden.").arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("writeFailure"));
    box.setInformativeText(QStringLiteral("Bitte wählen Sie einen Ordner, in den Sie schreiben dürfen, und "
                                          "prüfen Sie den freien Platz.\n(%1)")
                               .arg(reason));
    box.exec();
    return false;
}

}  // namespace orvella
