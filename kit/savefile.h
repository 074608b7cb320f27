// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Saving a file the user chose: written beside the target and renamed over
// it only when everything was written, so that a failure leaves no
// half-written file and an existing file of that name unchanged; and one
// German message when it fails, naming the file, the reason and what to do.

#include <QSaveFile>
#include <QString>

#include <functional>

class QWidget;

namespace orvella {

// Writes `path` through `write`, which returns false when it could not
// write everything. The file replaces an existing one only when `write`
// succeeded and the file was committed. On failure returns false with the
// reason (the system's words) in `reason`.
bool writeAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write,
                     QString* reason = nullptr);

// The message of a failed save. In `message`, "%1" stands for the file.
struct SaveFailureText {
    QString title = QStringLiteral("Orvella");
    QString objectName = QStringLiteral("saveFailure");
    QString message = QStringLiteral("Die Datei „%1“ konnte nicht gespeichert werden.");
    QString advice = QStringLiteral("Eine vorhandene Datei dieses Namens bleibt unverändert. Bitte wählen "
                                    "Sie einen Ordner, in den Sie schreiben dürfen, und prüfen Sie den "
                                    "freien Platz.");
};

// writeAtomically, and on failure one warning box over `parent`: the
// message with the file, below it the advice and the reason. Nothing else
// changes. Returns whether the file was saved.
bool saveAtomically(QWidget* parent, const QString& path, const std::function<bool(QSaveFile&)>& write,
                    const SaveFailureText& text = {});

}  // namespace orvella
