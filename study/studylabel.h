// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A label of the study window whose sizes are looked up by what decides them:
// its text, font, alignment, wrapping and the rest of its set-up. Every study
// of a calculator shows the same names, units and legend entries, and
// measuring a label's text is a good part of building a study window: a
// QLabel measures its text three times for its size hints, a wrapped one
// again for every width a layout asks about, and a selectable one through a
// text document laid out for each measurement. The sizes are QLabel's own,
// computed once per set-up and kept for the process.

#include <QLabel>

namespace orvella {

class StudyLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

private:
    struct Sizes {
        QSize hint;
        QSize minimum;
    };
    bool measuresText() const;
    Sizes sizes() const;
};

}  // namespace orvella
