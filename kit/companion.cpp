// SPDX-License-Identifier: GPL-3.0-or-later
#include "companion.h"

#include "companionplacement.h"

#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

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

}  // namespace

void raiseCompanion(QWidget* companion)
{
    if (!companion->property(kPlacedProperty).toBool()) {
        companion->setProperty(kPlacedProperty, true);
        placeCompanion(companion);
    }
    companion->show();
    companion->raise();
    companion->activateWindow();
}

QWidget* openEvaluationHelp(QWidget* owner, const EvaluationModel& model, std::function<EvaluationInput()> input,
                            EvaluationLink* link)
{
    QString error;
    CompanionPlugin* help = loadCompanionPlugin(QStringLiteral("orvella_help"), &error);
    if (!help) {
        QMessageBox::warning(owner, QStringLiteral("Orvella"),
                             QStringLiteral("Die Hilfe kann nicht geöffnet werden, weil ein Teil des Programms "
                                            "fehlt oder beschädigt ist.\n\n%1")
                                 .arg(error));
        return nullptr;
    }
    CompanionRequest request;
    request.owner = owner;
    request.title = QString::fromStdString(model.title);
    request.link = link;
    request.evaluation = &model;
    request.evaluationInput = std::move(input);
    return help->open(request);
}

namespace {

// The follower of followInputs: a child of the window that watches its
// showing.
class InputFollower : public QObject {
public:
    InputFollower(QWidget* window, CompanionLink* link, std::function<void()> recompute)
        : QObject(window), window_(window), recompute_(std::move(recompute))
    {
        timer_.setSingleShot(true);
        timer_.setInterval(0);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (window_->isVisible())
                recompute_();
            else
                stale_ = true;
        });
        connect(link, &CompanionLink::inputsChanged, &timer_, qOverload<>(&QTimer::start));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Show && stale_) {
            stale_ = false;
            recompute_();
        }
        return false;
    }

private:
    QWidget* window_;
    std::function<void()> recompute_;
    QTimer timer_;
    bool stale_ = false;
};

}  // namespace

void followInputs(QWidget* window, CompanionLink* link, std::function<void()> recompute)
{
    if (window && link)
        new InputFollower(window, link, std::move(recompute));
}

}  // namespace orvella
