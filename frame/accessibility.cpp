// SPDX-License-Identifier: GPL-3.0-or-later
#include "accessibility.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <optional>

namespace orvella {

QString spokenCaption(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    bool pendingBlank = false;
    for (const QChar c : caption) {
        if (c == u' ') {
            pendingBlank = true;
            continue;
        }
        if (pendingBlank && !out.isEmpty())
            out += u' ';
        pendingBlank = false;
        out += c;
    }
    return out;
}

QString captionOf(const QWidget* w)
{
    if (const auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    if (const auto* g = qobject_cast<const QGroupBox*>(w))
        return g->title();
    return {};
}

namespace {

int verticalOverlap(const QRect& a, const QRect& b)
{
    return std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top()) + 1;
}

// The widget of type T that labels `field`: a sibling whose vertical range
// overlaps the field's and that ends left of the field's left edge. Of
// several, the one overlapping most, then the nearest one.
template <typename T>
T* labelOnRow(const QLineEdit* field)
{
    const QWidget* container = field->parentWidget();
    if (!container)
        return nullptr;
    const QRect f = field->geometry();
    T* best = nullptr;
    std::optional<std::pair<int, int>> bestScore;  // overlap, then -distance
    for (T* candidate : container->findChildren<T*>(Qt::FindDirectChildrenOnly)) {
        const QRect c = candidate->geometry();
        const int overlap = verticalOverlap(c, f);
        if (overlap <= 0 || c.left() >= f.left() || c.right() >= f.left() + f.width() / 2)
            continue;
        const std::pair<int, int> score{overlap, -(f.left() - c.right())};
        if (!bestScore || score > *bestScore) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
}

QString nameOfField(const QLineEdit* field)
{
    if (const QLabel* label = labelOnRow<QLabel>(field))
        return spokenCaption(label->text());
    if (const QAbstractButton* button = labelOnRow<QAbstractButton>(field))
        return spokenCaption(button->text());
    if (const auto* frame = qobject_cast<const QGroupBox*>(field->parentWidget()))
        if (const QString title = spokenCaption(frame->title()); !title.isEmpty())
            return title;
    return QStringLiteral("Anzeige");
}

}  // namespace

void nameForAccessibility(QWidget* window)
{
    window->setAccessibleName(spokenCaption(window->windowTitle()));
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
            qobject_cast<QGroupBox*>(w))
            w->setAccessibleName(spokenCaption(captionOf(w)));
    }
    for (QLineEdit* field : window->findChildren<QLineEdit*>()) {
        field->setAccessibleName(nameOfField(field));
        if (QLabel* label = labelOnRow<QLabel>(field))
            label->setBuddy(field);
    }
}

}  // namespace orvella
