// SPDX-License-Identifier: GPL-3.0-or-later
#include "historysearch.h"

#include <QRegularExpression>

namespace orvella {

QString foldForSearch(const QString& text)
{
    QString folded = text.toCaseFolded();
    for (qsizetype i = 0; i < folded.size(); ++i) {
        if (folded[i] != u',')
            continue;
        const bool digitBefore = i > 0 && folded[i - 1].isDigit();
        const bool digitAfter = i + 1 < folded.size() && folded[i + 1].isDigit();
        if (digitBefore || digitAfter)
            folded[i] = u'.';
    }
    return folded;
}

QStringList searchWords(const QString& text, bool* cut)
{
    // Only the beginning is folded and split: a pasted book costs no more
    // than the words that are kept.
    constexpr qsizetype kRead = qsizetype(kMaxSearchWords) * (kMaxSearchWordLength + 1) + 1;
    QStringList words = foldForSearch(text.left(kRead))
                            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    bool shortened = words.size() > kMaxSearchWords;
    if (shortened)
        words.resize(kMaxSearchWords);
    for (QString& w : words)
        if (w.size() > kMaxSearchWordLength) {
            w.truncate(kMaxSearchWordLength);
            shortened = true;
        }
    if (cut)
        *cut = shortened || (text.size() > kRead && !QStringView(text).mid(kRead).trimmed().isEmpty());
    return words;
}

QString searchTextOf(const CalculationRecord& record)
{
    QStringList parts{QString::fromStdString(calculatorDisplayName(record)),
                      QString::fromStdString(record.expression)};
    auto add = [&parts](const auto& quantity) {
        parts << QString::fromStdString(quantity.label) + u' ' + QString::fromStdString(quantity.text) +
                     u' ' + QString::fromStdString(quantity.unit);
    };
    for (const RecordedInput& q : record.inputs)
        add(q);
    for (const RecordedResult& q : record.results)
        add(q);
    parts << QString::fromStdString(record.note);
    return foldForSearch(parts.join(u'\n'));
}

}  // namespace orvella
