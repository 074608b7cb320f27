// SPDX-License-Identifier: GPL-3.0-or-later
#include "savefile.h"

#include <QDir>
#include <QMessageBox>

namespace orvella {

namespace {

// The system's reason, or a German one where the system gives none (a
// writer that stopped without an error of the file).
QString reasonOf(const QSaveFile& file)
{
    if (file.error() == QFileDevice::NoError)
        return QStringLiteral("Die Daten konnten nicht vollständig geschrieben werden.");
    return file.errorString();
}

}  // namespace

bool writeAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write, QString* reason)
{
    QSaveFile file(path);
    const auto fail = [&] {
        if (reason)
            *reason = reasonOf(file);
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    bool written = false;
    try {
        written = write(file) && file.error() == QFileDevice::NoError;
    } catch (...) {
        written = false;
    }
    if (!written) {
        fail();
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return fail();
    return true;
}

bool saveAtomically(QWidget* parent, const QString& path, const std::function<bool(QSaveFile&)>& write,
                    const SaveFailureText& text)
{
    QString reason;
    if (writeAtomically(path, write, &reason))
        return true;
    QMessageBox box(QMessageBox::Warning, text.title, text.message.arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, parent);
    box.setObjectName(text.objectName);
    box.setInformativeText(text.advice + QStringLiteral("\n(%1)").arg(reason));
    box.exec();
    return false;
}

}  // namespace orvella
