// SPDX-License-Identifier: GPL-3.0-or-later
#include "fields.h"

#include <QLineEdit>
#include <QLocale>

namespace orvella {

void KillKomma(QLineEdit* box)
{
    box->setText(QString::fromStdString(KillKomma(box->text().toStdString())));
}

double ReadNumber(const QString& text)
{
    return ReadNumber(std::string_view(text.toStdString()));
}

QString FormatResult(double value, int decimals)
{
    const std::string mark = QLocale().decimalPoint().toStdString();
    return QString::fromStdString(FormatResult(value, decimals, mark));
}

}  // namespace orvella
