// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Labels, buttons and frames that draw their captions the way the designs
// need them on any font.
//
// The captions push their unit to the right-hand end with runs of blanks
// ("Abstand" + 36 blanks + "[m]"). With a font wider than the one they were
// designed for, the blanks alone would push the unit out of the box. When a
// caption is wider than its box, its words are painted at their natural
// widths and the remaining width is shared among the runs of blanks, so the
// unit ends at the right-hand edge. The text itself is never changed.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRectF>

#include <vector>

class QFontMetricsF;

namespace orvella {

struct CaptionPiece {
    QString text;
    qreal x;      // offset from the left of the available width
    qreal width;  // natural width of the text
};

// Lays out `text` in `available` pixels: the whole text at its natural width
// (left-aligned or centred) when it fits, else its words with the runs of
// blanks between them compressed. Runs of two or more blanks give way first;
// single blanks between words are compressed only when that is not enough.
std::vector<CaptionPiece> layoutCaption(const QString& text, const QFontMetricsF& metrics,
                                        qreal available, bool centred);

// Anything that paints a caption: tells where its words are drawn and the
// box they must fit in, both in widget coordinates.
class CaptionPainter {
public:
    virtual ~CaptionPainter() = default;
    virtual std::vector<QRectF> paintedWordRects() const = 0;
    virtual QRectF captionBox() const = 0;
};

class CaptionLabel : public QLabel, public CaptionPainter {
public:
    explicit CaptionLabel(const QString& text, QWidget* parent = nullptr);
    std::vector<QRectF> paintedWordRects() const override;
    QRectF captionBox() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CaptionButton : public QPushButton, public CaptionPainter {
public:
    explicit CaptionButton(const QString& text, QWidget* parent = nullptr);
    std::vector<QRectF> paintedWordRects() const override;
    QRectF captionBox() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A frame whose caption sits on its border line, with the controls starting
// just below it, as the designs place them.
class DesignFrame : public QGroupBox, public CaptionPainter {
public:
    explicit DesignFrame(const QString& title, QWidget* parent = nullptr);
    std::vector<QRectF> paintedWordRects() const override;
    QRectF captionBox() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace orvella
