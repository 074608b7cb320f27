// SPDX-License-Identifier: GPL-3.0-or-later
#include "helptext.h"

#include "checked.h"
#include "numbers.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace orvella::help {

QString formatted(double value, int decimals, const QString& mark)
{
    try {
        return QString::fromStdString(FormatResult(value, decimals, mark.toStdString()));
    } catch (const ArithmeticError&) {
        return QString::number(value, 'g', 15).replace(u'.', mark);
    }
}

QString significant(double value, int digits, const QString& mark)
{
    if (value == 0.0 || !std::isfinite(value))
        return formatted(value, 0, mark);
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    if (magnitude < -6 || magnitude >= 15)
        return QString::number(value, 'g', digits).toUpper().replace(u'.', mark);
    return formatted(value, std::clamp(digits - 1 - magnitude, 0, 15), mark);
}

QString valueText(double value, const QString& mark)
{
    return significant(value, 6, mark);
}
QString exactText(double value, const QString& mark)
{
    return significant(value, 15, mark);
}

QString replaceMatches(const QString& text, const QRegularExpression& pattern,
                       const std::function<QString(const QRegularExpressionMatch&)>& replacement)
{
    QString out;
    qsizetype last = 0;
    auto it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        out += replacement(m);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    return out;
}

QString withMark(QString text, const QString& mark)
{
    static const QRegularExpression literal(QStringLiteral(R"(\{k:([^}]+)\})"));
    return replaceMatches(text, literal, [&mark](const QRegularExpressionMatch& m) {
        QString number = m.captured(1);
        number.replace(u'.', mark);
        if (number.startsWith(u'-'))
            number.replace(0, 1, u'−');
        return number;
    });
}

QString namedNumberText(double value, const QString& mark)
{
    QString text = exactText(value, mark);
    if (text.startsWith(u'-'))
        text.replace(0, 1, u'−');
    return text;
}

QString html(const std::string& s)
{
    return QString::fromStdString(s);
}

QString unitSuffix(const QString& unit)
{
    return unit.isEmpty() ? QString() : u' ' + unit;
}

QString heading(int level, const QString& text, const QString& anchor)
{
    const QString name = anchor.isEmpty() ? QString() : QStringLiteral("<a name=\"%1\"></a>").arg(anchor);
    return QStringLiteral("<h%1>%2%3</h%1>").arg(level).arg(name, text);
}

QString paragraph(const QString& text)
{
    return QStringLiteral("<p>") + text + QStringLiteral("</p>");
}

const char* const kTableStart =
    "<table cellspacing=\"0\" cellpadding=\"3\" border=\"1\" "
    "style=\"border-collapse:collapse; border-color:#bbb; margin-top:4px\">";

// A unit stays on the line of its number.
const char* const kPageStyleSheet =
    "h1 { font-size: x-large; margin-bottom: 6px; }"
    "h2 { font-size: large; margin-top: 16px; margin-bottom: 4px; }"
    "h3 { font-size: medium; margin-top: 12px; margin-bottom: 2px; }"
    "th { text-align: left; }"
    "td { vertical-align: top; }";

QString keepUnits(QString page)
{
    for (const char* unit : {" %", " °C", " dB", " Pa", " hPa", " m²"})
        page.replace(QString::fromUtf8(unit), QStringLiteral("&nbsp;") + QString::fromUtf8(unit + 1));
    return page;
}

}  // namespace orvella::help
