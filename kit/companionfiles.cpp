// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionfiles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>

#include <array>

namespace orvella {

namespace {

FileDialog& fileDialog()
{
    static FileDialog dialog;
    return dialog;
}

// Tables and images start in the home folder, documents in the user's
// documents folder.
QString& folder(FileKind kind)
{
    static std::array<QString, 3> folders = [] {
        const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        return std::array<QString, 3>{QDir::homePath(), QDir::homePath(),
                                      documents.isEmpty() ? QDir::homePath() : documents};
    }();
    return folders[std::size_t(kind)];
}

// The suffixes a filter accepts: "CSV-Dateien (*.csv)" gives "csv", "Alle
// Dateien (*)" gives "*".
QStringList suffixesOf(const QString& filter)
{
    QStringList suffixes;
    static const QRegularExpression pattern(QStringLiteral("\\*(?:\\.([^ )]+))?"));
    for (auto it = pattern.globalMatch(filter); it.hasNext();) {
        const QString suffix = it.next().captured(1);
        suffixes << (suffix.isEmpty() ? QStringLiteral("*") : suffix.toLower());
    }
    return suffixes;
}

}  // namespace

void setFileDialog(FileDialog dialog) { fileDialog() = std::move(dialog); }

QString askSaveFile(QWidget* parent, FileKind kind, const QString& caption, const QString& name,
                    const QStringList& filters)
{
    QString fileName = name;
    fileName.replace(u'/', u'-');
    const QString first = suffixesOf(filters.value(0)).value(0);
    if (!first.isEmpty() && first != QLatin1String("*"))
        fileName += u'.' + first;
    const QString suggested = QDir(folder(kind)).filePath(fileName);
    QString chosen = filters.value(0);
    const QString all = filters.join(QStringLiteral(";;"));
    QString path = fileDialog() ? fileDialog()(parent, caption, suggested, all, &chosen)
                                : QFileDialog::getSaveFileName(parent, caption, suggested, all, &chosen);
    // A folder is left as it is, for the save to say that it cannot be
    // written, as the file dialog's own default suffix does.
    if (path.isEmpty() || QFileInfo(path).isDir())
        return path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    QStringList accepted;
    for (const QString& f : filters)
        accepted << suffixesOf(f);
    if (suffix.isEmpty() || !(accepted.contains(suffix) || accepted.contains(QStringLiteral("*")))) {
        QString add = suffixesOf(chosen).value(0);
        if (add.isEmpty() || add == QLatin1String("*"))
            add = first;
        if (!add.isEmpty() && add != QLatin1String("*"))
            path += u'.' + add;
    }
    return path;
}

QString askOpenFile(QWidget* parent, FileKind kind, const QString& caption, const QStringList& filters)
{
    const QString all = filters.join(QStringLiteral(";;"));
    const QString path = fileDialog() ? fileDialog()(parent, caption, folder(kind), all, nullptr)
                                      : QFileDialog::getOpenFileName(parent, caption, folder(kind), all);
    if (!path.isEmpty())
        rememberFolder(kind, path);
    return path;
}

void rememberFolder(FileKind kind, const QString& path) { folder(kind) = QFileInfo(path).absolutePath(); }

bool decimalCommaSettings() { return QLocale().decimalPoint() == QLatin1String(","); }

bool saveCsvTables(QWidget* parent, const QString& path, const std::vector<TextTable>& tables, bool decimalComma,
                   const SaveFailureText& text)
{
    std::string csv = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < tables.size(); ++i) {
        if (i)
            csv += "\r\n";
        csv += csvText(tables[i], decimalComma);
    }
    const bool saved = saveAtomically(
        parent, path, [&](QSaveFile& f) { return f.write(csv.data(), qint64(csv.size())) == qint64(csv.size()); },
        text);
    if (saved)
        rememberFolder(FileKind::Csv, path);
    return saved;
}

}  // namespace orvella
