// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QHash>
#include <QPluginLoader>
#include <QPointer>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace orvella {

namespace {

constexpr const char* kCompanionProperty = "orvellaCompanion";

// Closes an owner's companions when the owner is hidden (CLOSE unloads it)
// or closed (its close box). A hide that comes from the window system is
// not an unload: minimising the owner (or moving it to another desktop)
// leaves its companions open, with what they show; the window manager
// minimises them with it or leaves them, as it does with any transient.
class CompanionCloser : public QObject {
public:
    static constexpr const char* kName = "orvellaCompanionCloser";
    explicit CompanionCloser(QWidget* owner) : QObject(owner)
    {
        setObjectName(QLatin1String(kName));
        owner->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const bool unloaded = event->type() == QEvent::Hide && !event->spontaneous();
        if (unloaded || event->type() == QEvent::Close) {
            const auto children = watched->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* child : children)
                if (child->isWindow() && child->property(kCompanionProperty).toBool())
                    child->close();
        }
        return false;
    }
};

}  // namespace

void attachCompanion(QWidget* owner, QWidget* companion)
{
    // Without an owner (a command from no window) it stays a window of its
    // own, deleted when it is closed.
    if (owner) {
        if (!owner->findChild<QObject*>(QLatin1String(CompanionCloser::kName), Qt::FindDirectChildrenOnly))
            new CompanionCloser(owner);
        // A child window is deleted with its owner and stays in front of it;
        // unlike a child widget it inherits neither palette nor fonts
        // (Qt::WA_WindowPropagation is off), so it shows the system's look.
        companion->setParent(owner, Qt::Window);
    }
    companion->setAttribute(Qt::WA_DeleteOnClose);
    companion->setAttribute(Qt::WA_QuitOnClose, false);
    companion->setProperty(kCompanionProperty, true);
}

QWidget* findCompanion(const QWidget* owner, const QString& objectName)
{
    if (!owner)
        return nullptr;
    const auto children = owner->findChildren<QWidget*>(objectName, Qt::FindDirectChildrenOnly);
    for (QWidget* child : children)
        if (child->isWindow() && child->property(kCompanionProperty).toBool())
            return child;
    return nullptr;
}

namespace {

constexpr const char* kPlacedProperty = "orvellaCompanionPlaced";

// Where a companion goes the first time it is shown: beside its owner, so
// that the calculator's fields stay in sight while the help follows them or
// the study is read against them. To the right when it fits on the owner's
// screen, else to the left; when it fits on neither side, against the
// screen edge of the side where it covers less of the owner. Top edge level
// with the owner's, kept on the screen.
void placeBeside(QWidget* companion)
{
    const QWidget* owner = companion->parentWidget();
    if (!owner || !owner->isVisible() || !owner->screen())
        return;
    const QRect area = owner->screen()->availableGeometry();
    const QRect ownerFrame = owner->frameGeometry();
    // The window manager adds the same frame to the companion as to its owner.
    const QSize frame = companion->size() + (ownerFrame.size() - owner->size());
    constexpr int kGap = 8;

    const int right = ownerFrame.right() + 1 + kGap;
    const int left = ownerFrame.left() - kGap - frame.width();
    int x;
    if (right + frame.width() <= area.right() + 1) {
        x = right;
    } else if (left >= area.left()) {
        x = left;
    } else {
        const int atRightEdge = area.right() + 1 - frame.width();
        const int coveredRight = ownerFrame.right() + 1 - atRightEdge;
        const int coveredLeft = area.left() + frame.width() - ownerFrame.left();
        x = coveredRight <= coveredLeft ? atRightEdge : area.left();
    }
    x = std::max(area.left(), x);
    const int y = std::max(area.top(), std::min(ownerFrame.top(), area.bottom() + 1 - frame.height()));
    companion->move(x, y);
}

}  // namespace

void raiseCompanion(QWidget* companion)
{
    if (!companion->property(kPlacedProperty).toBool()) {
        companion->setProperty(kPlacedProperty, true);
        placeBeside(companion);
    }
    companion->show();
    companion->raise();
    companion->activateWindow();
}

namespace {

QStringList& extraPluginPaths()
{
    static QStringList paths;
    return paths;
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
    if (!extraPluginPaths().contains(folder))
        extraPluginPaths().append(folder);
}

CompanionPlugin* loadCompanionPlugin(const QString& baseName, QString* error)
{
    static QHash<QString, QPointer<QObject>> loaded;
    if (QObject* instance = loaded.value(baseName))
        return qobject_cast<CompanionPlugin*>(instance);

    QStringList reasons;
    for (const QString& folder : pluginFolders()) {
        QPluginLoader loader(folder + u'/' + baseName);
        if (!QFileInfo::exists(loader.fileName()))
            continue;
        QObject* instance = loader.instance();
        if (auto* plugin = qobject_cast<CompanionPlugin*>(instance)) {
            loaded.insert(baseName, instance);
            return plugin;
        }
        reasons << loader.errorString();
    }
    if (error)
        *error = reasons.isEmpty() ? QStringLiteral("%1 wurde nicht gefunden.").arg(baseName)
                                   : reasons.join(u'\n');
    return nullptr;
}

}  // namespace orvella
