// SPDX-License-Identifier: GPL-3.0-or-later
#include "captionwidgets.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace orvella {

namespace {

struct Token {
    QString text;
    bool blank;
};

// Splits into alternating runs of blanks and of other characters. With
// `keepSingleBlanks`, a single blank between two words stays inside the word.
std::vector<Token> tokenize(const QString& text, bool keepSingleBlanks)
{
    std::vector<Token> raw;
    for (const QChar c : text) {
        const bool blank = c == u' ';
        if (raw.empty() || raw.back().blank != blank)
            raw.push_back({QString(), blank});
        raw.back().text += c;
    }
    if (!keepSingleBlanks)
        return raw;
    std::vector<Token> merged;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const bool innerSingle = raw[i].blank && raw[i].text.size() == 1 && i > 0 &&
                                 i + 1 < raw.size();
        if (!raw[i].blank || innerSingle) {
            if (!merged.empty() && !merged.back().blank)
                merged.back().text += raw[i].text;
            else
                merged.push_back({raw[i].text, false});
        } else {
            merged.push_back(raw[i]);
        }
    }
    return merged;
}

std::vector<CaptionPiece> compress(const std::vector<Token>& tokens, const QFontMetricsF& fm,
                                   qreal available)
{
    qreal wordsWidth = 0;
    qsizetype blankCount = 0;
    for (const Token& t : tokens) {
        if (t.blank)
            blankCount += t.text.size();
        else
            wordsWidth += fm.horizontalAdvance(t.text);
    }
    const qreal perBlank =
        blankCount > 0 ? std::max<qreal>(0, available - wordsWidth) / blankCount : 0;
    std::vector<CaptionPiece> pieces;
    qreal x = 0;
    for (const Token& t : tokens) {
        if (t.blank) {
            x += perBlank * t.text.size();
            continue;
        }
        const qreal w = fm.horizontalAdvance(t.text);
        pieces.push_back({t.text, x, w});
        x += w;
    }
    return pieces;
}

qreal wordsWidth(const std::vector<Token>& tokens, const QFontMetricsF& fm)
{
    qreal w = 0;
    for (const Token& t : tokens)
        if (!t.blank)
            w += fm.horizontalAdvance(t.text);
    return w;
}

std::vector<QRectF> rectsOf(const std::vector<CaptionPiece>& pieces, const QRectF& box,
                            const QFontMetricsF& fm, qreal top)
{
    std::vector<QRectF> rects;
    for (const CaptionPiece& p : pieces)
        rects.emplace_back(box.left() + p.x, top, p.width, fm.height());
    return rects;
}

void drawPieces(QPainter& painter, const std::vector<CaptionPiece>& pieces, const QRectF& box,
                const QFontMetricsF& fm, qreal top)
{
    for (const CaptionPiece& p : pieces)
        painter.drawText(QPointF(box.left() + p.x, top + fm.ascent()), p.text);
}

}  // namespace

std::vector<CaptionPiece> layoutCaption(const QString& text, const QFontMetricsF& metrics,
                                        qreal available, bool centred)
{
    const qreal natural = metrics.horizontalAdvance(text);
    if (natural <= available) {
        const qreal x = centred ? (available - natural) / 2 : 0;
        return {{text, x, natural}};
    }
    std::vector<Token> tokens = tokenize(text, true);
    if (wordsWidth(tokens, metrics) > available)
        tokens = tokenize(text, false);
    return compress(tokens, metrics, available);
}

// --- CaptionLabel ---------------------------------------------------------

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QRectF CaptionLabel::captionBox() const { return contentsRect(); }

std::vector<QRectF> CaptionLabel::paintedWordRects() const
{
    const QFontMetricsF fm(font());
    const QRectF box = captionBox();
    return rectsOf(layoutCaption(text(), fm, box.width(), false), box, fm, box.top());
}

void CaptionLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QFontMetricsF fm(font());
    const QRectF box = captionBox();
    drawPieces(painter, layoutCaption(text(), fm, box.width(), false), box, fm, box.top());
}

// --- CaptionButton --------------------------------------------------------

CaptionButton::CaptionButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    // Enter, like the space bar, clicks the focused button.
    setAutoDefault(true);
}

QRectF CaptionButton::captionBox() const
{
    QStyleOptionButton opt;
    initStyleOption(&opt);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &opt, this);
}

std::vector<QRectF> CaptionButton::paintedWordRects() const
{
    const QFontMetricsF fm(font());
    const QRectF box = captionBox();
    const qreal top = box.top() + (box.height() - fm.height()) / 2;
    return rectsOf(layoutCaption(text(), fm, box.width(), true), box, fm, top);
}

void CaptionButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    painter.drawControl(QStyle::CE_PushButton, opt);

    painter.setPen(palette().color(QPalette::ButtonText));
    const QFontMetricsF fm(font());
    const QRectF box = captionBox();
    const qreal top = box.top() + (box.height() - fm.height()) / 2;
    drawPieces(painter, layoutCaption(text(), fm, box.width(), true), box, fm, top);
}

// --- DesignFrame ----------------------------------------------------------

namespace {
constexpr qreal kTitleIndent = 8;   // pixels from the frame's left edge
constexpr qreal kTitlePadding = 2;  // gap between the border line and the title
}  // namespace

DesignFrame::DesignFrame(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

QRectF DesignFrame::captionBox() const
{
    return QRectF(kTitleIndent, 0, width() - 2 * kTitleIndent, QFontMetricsF(font()).height());
}

std::vector<QRectF> DesignFrame::paintedWordRects() const
{
    const QFontMetricsF fm(font());
    const QRectF box = captionBox();
    return rectsOf(layoutCaption(title(), fm, box.width(), false), box, fm, box.top());
}

void DesignFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetricsF fm(font());
    const qreal line = std::floor(fm.height() / 2);

    // An etched border: a dark line with a light one inside and below it.
    const QRectF border(0.5, line + 0.5, width() - 2, height() - line - 2);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(border);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(border.translated(1, 1));

    const QRectF box = captionBox();
    const auto pieces = layoutCaption(title(), fm, box.width(), false);
    if (!pieces.empty()) {
        const qreal right = pieces.back().x + pieces.back().width;
        painter.fillRect(QRectF(box.left() - kTitlePadding, 0, right + 2 * kTitlePadding,
                                fm.height()),
                         palette().color(backgroundRole()));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    drawPieces(painter, pieces, box, fm, box.top());
}

}  // namespace orvella
