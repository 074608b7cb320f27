// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyfile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace orvella {

namespace {

const char* const kCompanionSuffixes[] = {"-wal", "-shm"};

bool nameTaken(const QString& name)
{
    if (QFile::exists(name))
        return true;
    for (const char* suffix : kCompanionSuffixes)
        if (QFile::exists(name + QLatin1String(suffix)))
            return true;
    return false;
}

}  // namespace

bool mayBeDatabase(const QString& path)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return true;  // SQLite will say why it cannot read it
    static const QByteArray mark("SQLite format 3\0", 16);
    return file.size() >= 100 && file.read(mark.size()) == mark;
}

FileIdentity fileIdentity(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, std::uint64_t(st.st_dev), std::uint64_t(st.st_ino)};
#else
    return {QFile::exists(path), 0, 0};
#endif
}

QString damagedFileName(const QString& path, const QDateTime& when)
{
    const QString base = path + QStringLiteral(".beschädigt-") +
                         when.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    QString name = base;
    for (int n = 2; nameTaken(name); ++n)
        name = base + u'-' + QString::number(n);
    return name;
}

QString moveDamagedFileAside(const QString& path, const QDateTime& when)
{
    const QString aside = damagedFileName(path, when);
    if (!QFile::rename(path, aside))
        return {};
    for (const char* suffix : kCompanionSuffixes) {
        const QString from = path + QLatin1String(suffix);
        if (QFile::exists(from) && !QFile::rename(from, aside + QLatin1String(suffix)) &&
            !QFile::remove(from))
            return {};
    }
    return aside;
}

}  // namespace orvella
