// SPDX-License-Identifier: GPL-3.0-or-later
#include "companionplacement.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace orvella {

QRect companionFrame(const QRect& area, const QRect& ownerFrame, const QMargins& margins,
                     const QSize& preferred, const QSize& minimum)
{
    constexpr int kGap = 8;
    const QSize extra(margins.left() + margins.right(), margins.top() + margins.bottom());
    const QSize least = minimum.expandedTo(QSize(0, 0)) + extra;
    QSize size = (preferred + extra).boundedTo(area.size()).expandedTo(least);

    const auto onArea = [&](int x, int y) {
        // A frame larger than the area keeps its top left corner, and with
        // it the title bar, on the screen.
        x = std::max(area.left(), std::min(x, area.right() + 1 - size.width()));
        y = std::max(area.top(), std::min(y, area.bottom() + 1 - size.height()));
        return QRect(QPoint(x, y), size);
    };
    if (!ownerFrame.isValid())
        return onArea(area.left() + (area.width() - size.width()) / 2,
                      area.top() + (area.height() - size.height()) / 2);

    const int right = ownerFrame.right() + 1 + kGap;
    const int roomRight = area.right() + 1 - right;
    const int roomLeft = ownerFrame.left() - kGap - area.left();
    int x;
    if (size.width() <= roomRight) {
        x = right;
    } else if (size.width() <= roomLeft) {
        x = ownerFrame.left() - kGap - size.width();
    } else if (std::max(roomRight, roomLeft) >= std::max(least.width(), size.width() * 3 / 4)) {
        size.setWidth(std::max(roomRight, roomLeft));
        x = roomRight >= roomLeft ? right : area.left();
    } else {
        const int atRightEdge = area.right() + 1 - size.width();
        const int coveredRight = ownerFrame.right() + 1 - atRightEdge;
        const int coveredLeft = area.left() + size.width() - ownerFrame.left();
        x = coveredRight <= coveredLeft ? atRightEdge : area.left();
    }
    return onArea(x, ownerFrame.top());
}

namespace {

QMargins measuredMargins(const QWidget* w)
{
    const QRect outer = w->frameGeometry();
    const QRect inner = w->geometry();
    const QMargins m(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                     outer.bottom() - inner.bottom());
    // At a fractional scale (150 %) the frame's device pixels are rounded to
    // logical ones, and may be rounded down; a pixel more on each framed side
    // keeps the frame on the screen.
    const qreal ratio = w->devicePixelRatioF();
    if (m.isNull() || ratio == std::floor(ratio))
        return m;
    return m + QMargins(m.left() > 0, m.top() > 0, m.right() > 0, m.bottom() > 0);
}

// With ORVELLA_COMPANION_GEOMETRY naming a file, a companion appends a line
// to it each time it is shown or resized: its object name, its client size
// and, for every visible push button, the button's rectangle in the client
// area and whether all of it is visible there ("whole") or a parent cuts it
// off ("cut"), all in device pixels. The end-to-end test on a real X server
// reads it; the window manager shows the windows, not the buttons inside.
class GeometryReport : public QObject {
public:
    static constexpr const char* kName = "orvellaGeometryReport";
    GeometryReport(QWidget* window, QString path) : QObject(window), window_(window), path_(std::move(path))
    {
        setObjectName(QLatin1String(kName));
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        // Written once the layout has followed the new size.
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            QTimer::singleShot(0, this, &GeometryReport::write);
        return false;
    }

private:
    void write() const
    {
        if (!window_ || !window_->isVisible())
            return;
        const qreal ratio = window_->devicePixelRatioF();
        const auto device = [ratio](const QRect& r) {
            return QStringLiteral("%1,%2,%3,%4")
                .arg(qRound(r.x() * ratio))
                .arg(qRound(r.y() * ratio))
                .arg(qRound(r.width() * ratio))
                .arg(qRound(r.height() * ratio));
        };
        QString line = QStringLiteral("%1 %2x%3").arg(window_->objectName())
                           .arg(qRound(window_->width() * ratio))
                           .arg(qRound(window_->height() * ratio));
        for (const QPushButton* button : window_->findChildren<QPushButton*>()) {
            if (!button->isVisibleTo(window_) || button->window() != window_)
                continue;
            QRect seen = button->rect();
            for (const QWidget* w = button; w != window_; w = w->parentWidget())
                seen = seen.translated(w->pos()) & w->parentWidget()->rect();
            const QRect whole(button->mapTo(window_, QPoint(0, 0)), button->size());
            line += QStringLiteral(" %1:%2:%3")
                        .arg(button->objectName(), device(whole),
                             seen == whole ? QStringLiteral("whole") : QStringLiteral("cut"));
        }
        QFile file(path_);
        if (file.open(QIODevice::Append | QIODevice::Text))
            file.write((line + u'\n').toUtf8());
    }

    QPointer<QWidget> window_;
    QString path_;
};

// The window manager may frame a companion otherwise than its calculator:
// a resizable window gets handles that a fixed-size one has not. Once the
// companion is shown and its own frame known (by its first paint), it is
// placed again with that frame when it differs.
class FrameFit : public QObject {
public:
    FrameFit(QWidget* companion, const QRect& ownerFrame, const QMargins& margins, const QSize& preferred,
             const QSize& minimum)
        : QObject(companion), companion_(companion), ownerFrame_(ownerFrame), margins_(margins),
          preferred_(preferred), minimum_(minimum)
    {
        companion->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            companion_->removeEventFilter(this);
            QTimer::singleShot(0, this, &FrameFit::fit);
        }
        return false;
    }

private:
    void fit()
    {
        const QMargins margins = measuredMargins(companion_);
        // No margins: the window manager has not framed it yet, or draws no frame.
        if (companion_->isVisible() && companion_->screen() && !margins.isNull() && margins != margins_) {
            const QRect frame = companionFrame(companion_->screen()->availableGeometry(), ownerFrame_, margins,
                                               preferred_, minimum_);
            companion_->resize(frame.size().shrunkBy(margins));
            companion_->move(frame.topLeft());
        }
        deleteLater();
    }

    QWidget* companion_;
    QRect ownerFrame_;
    QMargins margins_;
    QSize preferred_;
    QSize minimum_;
};

}  // namespace

QMargins windowFrameMargins(const QWidget* window)
{
    if (window && window->isVisible())
        return measuredMargins(window);
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w != window && w->isVisible() && w->isWindow() && !measuredMargins(w).isNull())
            return measuredMargins(w);
    return {};
}

void placeCompanion(QWidget* companion)
{
    const QWidget* owner = companion->parentWidget();
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The companion's frame is not known before it is first shown: taken
    // from its calculator's until FrameFit knows better.
    const QMargins margins = windowFrameMargins(owner);
    const bool beside = owner && owner->isVisible();
    QSize minimum = companion->minimumSizeHint();
    minimum = minimum.isValid() ? minimum.expandedTo(companion->minimumSize()) : companion->minimumSize();
    const QRect ownerFrame = beside ? owner->frameGeometry() : QRect();
    const QSize preferred = companion->size();
    const QRect frame = companionFrame(screen->availableGeometry(), ownerFrame, margins, preferred, minimum);
    companion->resize(frame.size().shrunkBy(margins));
    companion->move(frame.topLeft());
    new FrameFit(companion, ownerFrame, margins, preferred, minimum);

    static const QString reportPath = qEnvironmentVariable("ORVELLA_COMPANION_GEOMETRY");
    if (!reportPath.isEmpty() && 
        !companion->findChild<QObject*>(QLatin1String(GeometryReport::kName), Qt::FindDirectChildrenOnly))
        new GeometryReport(companion, reportPath);
}

}  // namespace orvella
