// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers and small pieces of HTML for the help pages: numbers written as the
// calculators write them (FormatResult, the user's decimal mark), headings,
// paragraphs and tables.

#include <QRegularExpression>
#include <QString>

#include <functional>
#include <string>

namespace orvella::help {

// A number as the calculators write it: FormatResult with `decimals` and the
// user's decimal mark.
QString formatted(double value, int decimals, const QString& mark);

// A number with about `digits` significant digits, written by FormatResult
// with as many decimals as that takes; very small and very large magnitudes
// in exponent form.
QString significant(double value, int digits, const QString& mark);

// Intermediate values: six significant digits. Inputs and constants: as
// exactly as a double holds them (15 digits).
QString valueText(double value, const QString& mark);
QString exactText(double value, const QString& mark);

// The text with every match of `pattern` replaced by what `replacement`
// makes of it; the rest stays as it is.
QString replaceMatches(const QString& text, const QRegularExpression& pattern,
                       const std::function<QString(const QRegularExpressionMatch&)>& replacement);

// The text with every "{k:0.5}" written as the number with the user's
// decimal mark (and a minus sign for "-").
QString withMark(QString text, const QString& mark);

// A named number of a text as exactText writes it, with a minus sign for "-".
QString namedNumberText(double value, const QString& mark);

QString html(const std::string& s);
// " unit", or nothing for a quantity without one.
QString unitSuffix(const QString& unit);

QString heading(int level, const QString& text, const QString& anchor = {});
QString paragraph(const QString& text);
// A table with thin grey lines.
extern const char* const kTableStart;

// The style sheet of the pages: headings in the system font, a little
// larger; tables with room to breathe.
extern const char* const kPageStyleSheet;

// The page with each unit tied to its number (no line break between them).
QString keepUnits(QString page);

}  // namespace orvella::help
