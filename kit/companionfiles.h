// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files a companion window saves or opens on the user's command: one
// file chooser that offers the folder used last for the same kind of file,
// and saving tables as CSV the way the user's spreadsheets read them.

#include "savefile.h"
#include "texttable.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace orvella {

// The kinds of file whose folder is remembered apart, for the whole run.
enum class FileKind { Csv, Image, Pdf };

// The file dialog: returns the chosen path, or an empty string when the user
// cancels. `selectedFilter` holds the offered filter on entry and the chosen
// one on return; it is null when a file to open is asked for.
using FileDialog = std::function<QString(QWidget* parent, const QString& caption, const QString& suggestedPath,
                                         const QString& filters, QString* selectedFilter)>;

// Replaces the save and open dialogs (tests); an empty function restores
// Qt's own.
void setFileDialog(FileDialog dialog);

// Asks where to save, offering `name` (a "/" in it becomes "-") in the
// folder of the kind used last, with the first filter's suffix. `filters`
// are Qt file filters ("CSV-Dateien (*.csv)"). A chosen name without a
// suffix that an offered filter accepts gets the chosen filter's suffix.
// Empty when the user cancels.
QString askSaveFile(QWidget* parent, FileKind kind, const QString& caption, const QString& name,
                    const QStringList& filters);

// Asks for an existing file to read, in the folder of the kind used last,
// and remembers its folder. Empty when the user cancels.
QString askOpenFile(QWidget* parent, FileKind kind, const QString& caption, const QStringList& filters);

// Remembers the folder of `path` for its kind, after it was saved or read.
void rememberFolder(FileKind kind, const QString& path);

// Whether the user's settings write numbers with a decimal comma. Their
// spreadsheets then expect semicolons between the cells, commas otherwise.
bool decimalCommaSettings();

// Writes the tables, one after the other, as CSV in UTF-8 with a byte-order
// mark (so that spreadsheets read it as UTF-8), with the separator of
// `decimalComma`; saved whole or not at all (saveAtomically), and the folder
// remembered when it was saved.
bool saveCsvTables(QWidget* parent, const QString& path, const std::vector<TextTable>& tables, bool decimalComma,
                   const SaveFailureText& text = {});

}  // namespace orvella
