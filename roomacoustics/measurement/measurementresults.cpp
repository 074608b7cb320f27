// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementresults.h"

#include "measurementtexts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace orvella {

namespace {

constexpr int kResultColumns = 5;
constexpr int kValueColumn = 2;
// The target values of the rating.
constexpr int kRatingLines = 3;
constexpr int kPropagationColumn = 3;

// The results an evaluation has, whatever its rows: the rows of the grid.
std::size_t emptyResultCount() { return evaluateIso3382({}, ".").results.size(); }

QLabel* labelAt(const QGridLayout* grid, int row, int column)
{
    QLayoutItem* item = grid->itemAtPosition(row, column);
    return item ? static_cast<QLabel*>(item->widget()) : nullptr;
}

}  // namespace

QGroupBox* makeResultsBox(QGridLayout** grid)
{
    auto* box = new QGroupBox(QStringLiteral("Ergebnisse"));
    box->setObjectName(QStringLiteral("results"));
    auto* results = new QGridLayout(box);
    results->setHorizontalSpacing(12);
    results->setVerticalSpacing(4);
    const char* const headings[] = {"Größe", "Bezeichnung", "Wert", "Einheit", "Hinweis"};
    for (int c = 0; c < kResultColumns; ++c) {
        auto* heading = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromUtf8(headings[c])));
        heading->setAlignment(c == kValueColumn ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
        results->addWidget(heading, 0, c);
    }
    // The name and the note wrapped, the value bold.
    for (int r = 1; r <= int(emptyResultCount()); ++r)
        for (int c = 0; c < kResultColumns; ++c) {
            auto* label = new QLabel;
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(c == 1 || c == 4);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            if (c == kValueColumn) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
                label->setAlignment(Qt::AlignRight | Qt::AlignTop);
            } else {
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            results->addWidget(label, r, c);
        }
    results->setColumnStretch(1, 3);
    results->setColumnStretch(4, 2);
    *grid = results;
    return box;
}

QGroupBox* makeRatingBox(QGridLayout** grid)
{
    auto* box = new QGroupBox(ratingHeading());
    auto* rating = new QGridLayout(box);
    rating->setColumnStretch(3, 1);
    for (int i = 0; i < kRatingLines; ++i) {
        auto* verdict = new QLabel;
        verdict->setObjectName(QStringLiteral("verdict%1").arg(i));
        rating->addWidget(new QLabel, i, 0);
        rating->addWidget(new QLabel, i, 1);
        rating->addWidget(verdict, i, 2);
    }
    // Beside the target values, in the room they leave, the path's
    // propagation level of VDI 2569: no line more below the chart.
    auto* propagation = new QLabel;
    propagation->setObjectName(QStringLiteral("propagationLevel"));
    propagation->setWordWrap(true);
    propagation->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rating->addWidget(propagation, 0, kPropagationColumn, kRatingLines, 1);
    rating->setHorizontalSpacing(18);
    *grid = rating;
    return box;
}

void showResults(QGridLayout* grid, const Iso3382Evaluation& evaluation, std::string_view decimalMark)
{
    const TextTable table = resultsTable(evaluation.results, decimalMark);
    for (int r = 0; r < int(table.rows.size()) && r + 1 < grid->rowCount(); ++r)
        for (int c = 0; c < kResultColumns; ++c)
            labelAt(grid, r + 1, c)->setText(QString::fromStdString(table.rows[std::size_t(r)][std::size_t(c)]));
}

void showRating(QGridLayout* grid, const Iso3382Evaluation& evaluation, std::string_view decimalMark)
{
    const std::vector<RatingLine> lines = ratingLines(evaluation, decimalMark);
    for (int i = 0; i < int(lines.size()) && i < grid->rowCount(); ++i) {
        const RatingLine& line = lines[std::size_t(i)];
        labelAt(grid, i, 0)->setText(line.requirement);
        labelAt(grid, i, 1)->setText(line.value);
        QLabel* verdict = labelAt(grid, i, 2);
        verdict->setText(QStringLiteral("<b><font color=\"%1\">%2 %3</font></b>")
                             .arg(verdictColor(line.met).name(),
                                  line.met ? (*line.met ? QStringLiteral("✔") : QStringLiteral("✘"))
                                           : QStringLiteral("–"),
                                  verdictText(line.met)));
        verdict->setAccessibleName(line.requirement + QStringLiteral(": ") + verdictText(line.met));
    }
    if (QLabel* propagation = labelAt(grid, 0, kPropagationColumn)) {
        const QString level = propagationText(evaluation.propagationLevel);
        propagation->setText(QStringLiteral("%1:<br><b><font color=\"%2\">%3</font></b>")
                                 .arg(propagationHeading(), propagationColor(evaluation.propagationLevel).name(), level));
        propagation->setAccessibleName(propagationHeading() + QStringLiteral(": ") + level);
    }
}

QString resultsGridText(const QGridLayout* grid, int row, int column)
{
    const QLabel* label = labelAt(grid, row + 1, column);
    return label ? label->text() : QString();
}

CopyTable resultsCopy(const Iso3382Evaluation& evaluation, const std::string& caption, std::string_view decimalMark)
{
    CopyTable table;
    table.caption = caption;
    for (const ResultValue& r : evaluation.results) {
        std::string label = r.quantity.label + " " + r.quantity.symbol;
        if (!r.quantity.unit.empty())
            label += " [" + r.quantity.unit + "]";
        table.rows.push_back({label, valueText(r, decimalMark), false});
    }
    table.rows.push_back({ratingHeading().toStdString(), {}, true});
    for (const RatingLine& line : ratingLines(evaluation, decimalMark))
        table.rows.push_back({line.requirement.toStdString(), verdictText(line.met).toStdString(), false});
    table.rows.push_back(
        {propagationHeading().toStdString(), propagationText(evaluation.propagationLevel).toStdString(), false});
    return table;
}

}  // namespace orvella
