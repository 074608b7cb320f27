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

QStringList searchWords(const QString& text)
{
    return foldForSearch(text).split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
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
