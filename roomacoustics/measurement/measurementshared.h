// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-in for the program's shared text-table and file-saving routines
// until they are on this branch; to be replaced by frame/texttable.h and
// frame/savefile.h.

#include "studycore.h"

#include <QSaveFile>
#include <QString>

#include <functional>

class QWidget;

namespace orvella {

bool writeAtomically(const QString& path, const std::function<bool(QSaveFile&)>& write, QString* reason);

struct SaveFailureText {
    QString title;
};

bool saveAtomically(QWidget* parent, const QString& path, const std::function<bool(QSaveFile&)>& write,
                    const SaveFailureText& text);

}  // namespace orvella
