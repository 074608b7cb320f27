// SPDX-License-Identifier: GPL-3.0-or-later
// Finding and loading the companion plugins (declared in companion.h): the
// program loads each the first time it is asked for, from the build tree,
// the installed plugin folder or a folder added for tests.
#include "companion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPluginLoader>
#include <QPointer>
#include <QStringList>

namespace orvella {

namespace {

// The folders added for tests, kept on the application object: the program
// and each plugin link their own copy of this code, and a plugin that opens
// another (the Verlauf an evaluation's companion) looks where the program looks.
const char* const kPathsProperty = "orvellaCompanionPluginPaths";

QStringList extraPluginPaths()
{
    const QCoreApplication* app = QCoreApplication::instance();
    return app ? app->property(kPathsProperty).toStringList() : QStringList();
}

QStringList pluginFolders()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    QStringList folders{appDir + QStringLiteral("/plugins"),
                        QDir::cleanPath(appDir + QStringLiteral("/../") +
                                        QStringLiteral(ORVELLA_PLUGIN_RELDIR))};
    folders += extraPluginPaths();
    return folders;
}

}  // namespace

void addCompanionPluginPath(const QString& folder)
{
    QStringList paths = extraPluginPaths();
    if (!paths.contains(folder) && QCoreApplication::instance())
        QCoreApplication::instance()->setProperty(kPathsProperty, paths << folder);
}

QObject* loadPlugin(const QString& baseName, QString* error)
{
    static QHash<QString, QPointer<QObject>> loaded;
    if (QObject* instance = loaded.value(baseName))
        return instance;

    QStringList reasons;
    for (const QString& folder : pluginFolders()) {
        QPluginLoader loader(folder + u'/' + baseName);
        if (!QFileInfo::exists(loader.fileName()))
            continue;
        if (QObject* instance = loader.instance()) {
            loaded.insert(baseName, instance);
            return instance;
        }
        reasons << loader.errorString();
    }
    if (error)
        *error = reasons.isEmpty() ? QStringLiteral("%1 wurde nicht gefunden.").arg(baseName)
                                   : reasons.join(u'\n');
    return nullptr;
}

CompanionPlugin* loadCompanionPlugin(const QString& baseName, QString* error)
{
    QObject* instance = loadPlugin(baseName, error);
    auto* plugin = qobject_cast<CompanionPlugin*>(instance);
    if (instance && !plugin && error)
        *error = QStringLiteral("%1 ist kein Zusatzfenster von Orvella.").arg(baseName);
    return plugin;
}

}  // namespace orvella
