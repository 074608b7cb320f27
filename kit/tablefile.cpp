// SPDX-License-Identifier: GPL-3.0-or-later
#include "tablefile.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <new>
#include <optional>

namespace orvella {

namespace {

// Text saved as UTF-16 without a byte order mark: in Latin text every
// second byte is a NUL, the high byte of each character; NULs at odd
// offsets mean little-endian, at even offsets big-endian. Nothing when the
// beginning of the file does not look so.
std::optional<QStringConverter::Encoding> unmarkedUtf16(const QByteArray& bytes)
{
    const qsizetype n = std::min<qsizetype>(bytes.size(), 4096) & ~qsizetype(1);
    qsizetype even = 0, odd = 0;
    for (qsizetype i = 0; i < n; ++i)
        if (bytes[i] == '\0')
            ++(i % 2 ? odd : even);
    const qsizetype characters = n / 2;
    if (characters == 0)
        return std::nullopt;
    if (2 * odd >= characters && 8 * even < characters)
        return QStringConverter::Utf16LE;
    if (2 * even >= characters && 8 * odd < characters)
        return QStringConverter::Utf16BE;
    return std::nullopt;
}

TableFile readFile(const QString& path, const QString& name, const TableFileWords& words,
                   const std::function<PastedTable(std::string_view)>& parse)
{
    // Only a regular file: a device such as /dev/zero never ends, and
    // opening a named pipe waits for a writer that may never come.
    const QString notAFile =
        QStringLiteral("„%1“ ist keine gewöhnliche Datei und wird nicht gelesen; die Tabelle bleibt, wie sie ist.")
            .arg(name);
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return {false, {}, {notAFile}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false,
                {},
                {QStringLiteral("„%1“ kann nicht gelesen werden (%2); die Tabelle bleibt, wie sie ist.")
                     .arg(name, file.errorString())}};
    if (file.isSequential())
        return {false, {}, {notAFile}};
    // The size the file system gives may be wrong (0 for some files that
    // hold text): at most one byte more than the limit is read.
    const QByteArray bytes = file.size() > kLargestTableFile ? QByteArray() : file.read(kLargestTableFile + 1);
    if (file.size() > kLargestTableFile || bytes.size() > kLargestTableFile) {
        const QLocale locale;
        return {false,
                {},
                {QStringLiteral("„%1“ ist mit mehr als %2 MB zu groß für %3; die Tabelle bleibt, wie sie ist.")
                     .arg(name, locale.toString(kLargestTableFile / (1024 * 1024)), words.table)}};
    }
    QStringList notes;
    // A byte order mark names the encoding: spreadsheets save "Unicode
    // text" as UTF-16 with one. Without a mark, text in UTF-16 shows by its
    // NULs; otherwise it is UTF-8 when it reads as such.
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
    if (!encoding) {
        encoding = unmarkedUtf16(bytes);
        if (encoding)
            notes << QStringLiteral("Die Datei ist in UTF-16 ohne Byte-Order-Mark geschrieben; sie wurde als "
                                    "UTF-16 gelesen.");
    }
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    QString text = decoder(bytes);
    if (decoder.hasError() && !encoding) {
        // Spreadsheets under Windows write their own code page.
        QStringDecoder windows("windows-1252");
        if (!windows.isValid())
            windows = QStringDecoder(QStringConverter::Latin1);
        text = windows(bytes);
        notes << QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben; sie wurde als Windows-1252 (Latin-1) "
                                "gelesen.");
    }
    TableFile read;
    read.table = parse(text.toStdString());
    read.read = !read.table.rows.empty();
    if (!read.read)
        notes.prepend(
            QStringLiteral("„%1“ enthält keine Zeile mit %2; die Tabelle bleibt, wie sie ist.").arg(name, words.rows));
    read.notes = notes;
    return read;
}

}  // namespace

TableFile readTableFile(const QString& path, const QString& name, const TableFileWords& words,
                        const std::function<PastedTable(std::string_view)>& parse)
{
    try {
        return readFile(path, name, words, parse);
    } catch (const std::bad_alloc&) {
        return {false,
                {},
                {QStringLiteral("Für „%1“ reicht der Speicher nicht; die Tabelle bleibt, wie sie ist.").arg(name)}};
    }
}

}  // namespace orvella
