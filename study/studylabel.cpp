// SPDX-License-Identifier: GPL-3.0-or-later
#include "studylabel.h"

#include <QHash>

#include <array>

namespace orvella {

namespace {

// What QLabel's measurement reads: the text, the font, the style (the
// mnemonic's underline of a label with a buddy), the format and flags,
// margins and indentation, the frame and the size limits; for a height, the
// width too.
struct SetUp {
    QString text;
    QFont font;
    const void* style = nullptr;
    std::array<int, 19> numbers{};
    bool operator==(const SetUp&) const = default;
};

size_t qHash(const SetUp& s, size_t seed = 0)
{
    seed = qHashMulti(seed, s.text, s.font.family(), s.font.pointSizeF(), s.font.pixelSize(), s.style);
    return qHashRange(s.numbers.begin(), s.numbers.end(), seed);
}

SetUp setUpOf(const QLabel& label, int width)
{
    const QMargins m = label.contentsMargins();
    const QSize min = label.minimumSize();
    const QSize max = label.maximumSize();
    return {label.text(),
            label.font(),
            label.style(),
            {int(label.textFormat()), int(label.alignment()), label.wordWrap() ? 1 : 0,
             int(label.textInteractionFlags()), label.buddy() ? 1 : 0, label.margin(), label.indent(),
             label.frameWidth(), m.left(), m.top(), m.right(), m.bottom(), min.width(), min.height(), max.width(),
             max.height(), int(label.layoutDirection()), label.hasScaledContents() ? 1 : 0, width}};
}

// Bounded: a study adds a few dozen set-ups; a long session starts afresh
// now and then.
constexpr qsizetype kMaxEntries = 2000;

template <class Value, class Measure>
const Value& lookUp(QHash<SetUp, Value>& cache, SetUp&& key, Measure measure)
{
    auto it = cache.constFind(key);
    if (it == cache.constEnd()) {
        if (cache.size() >= kMaxEntries)
            cache.clear();
        it = cache.insert(std::move(key), measure());
    }
    return *it;
}

}  // namespace

bool StudyLabel::measuresText() const { return pixmap().isNull() && !text().isEmpty(); }

QSize StudyLabel::sizeHint() const
{
    if (!measuresText())
        return QLabel::sizeHint();
    return sizes().hint;
}

QSize StudyLabel::minimumSizeHint() const
{
    if (!measuresText())
        return QLabel::minimumSizeHint();
    return sizes().minimum;
}

StudyLabel::Sizes StudyLabel::sizes() const
{
    static QHash<SetUp, StudyLabel::Sizes> cache;
    ensurePolished();
    // QLabel computes both on the first call and keeps them until the label
    // changes.
    const Sizes& s = lookUp(cache, setUpOf(*this, -1), [this] {
        return Sizes{QLabel::sizeHint(), QLabel::minimumSizeHint()};
    });
    return s;
}

int StudyLabel::heightForWidth(int width) const
{
    if (!measuresText() || !wordWrap())
        return QLabel::heightForWidth(width);
    static QHash<SetUp, int> cache;
    ensurePolished();
    return lookUp(cache, setUpOf(*this, width), [this, width] { return QLabel::heightForWidth(width); });
}

}  // namespace orvella
