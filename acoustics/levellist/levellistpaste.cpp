// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistpaste.h"

#include "companiontable.h"
#include "levellistmodel.h"
#include "levellisttext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <new>

namespace orvella {

namespace {

const QString kUnchanged = QStringLiteral("die Liste ist unverändert");

// How many levels each column shows in the column dialog.
constexpr std::size_t kPreviewLevels = 5;

LevelListColumnDialog& columnDialog()
{
    static LevelListColumnDialog dialog;
    return dialog;
}

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

// Asks which column holds the levels: a list of the columns, each with its
// first levels, the suggested one current; Return takes it, Escape cancels.
std::optional<std::size_t> askColumn(QWidget* parent, const std::vector<QStringList>& preview,
                                     std::size_t suggested)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Spalte wählen – Pegelliste"));
    auto* question = new QLabel(QStringLiteral("Die Zeilen enthalten je %1 Zahlen. Welche Spalte enthält die Pegel?")
                                    .arg(preview.size()));
    question->setWordWrap(true);
    auto* columns = new QListWidget;
    columns->setObjectName(QStringLiteral("columns"));
    for (std::size_t c = 0; c < preview.size(); ++c)
        columns->addItem(QStringLiteral("Spalte %1: %2").arg(c + 1).arg(preview[c].join(QStringLiteral("; "))));
    columns->setCurrentRow(int(suggested) - 1);
    question->setBuddy(columns);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Einfügen"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(columns, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addWidget(columns, 1);
    layout->addWidget(buttons);
    columns->setFocus();
    dialog.resize(std::max(dialog.sizeHint().width(), 420), dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted || columns->currentRow() < 0)
        return std::nullopt;
    return std::size_t(columns->currentRow()) + 1;
}

// What was left out of a paste, as sentences each with a blank before it.
QString leftOut(const PastedLevels& pasted)
{
    QString left;
    if (pasted.unreadable == 1)
        left += QStringLiteral(" Eine Zahl ließ sich nicht lesen und fehlt.");
    else if (pasted.unreadable > 1)
        left += QStringLiteral(" %1 Zahlen ließen sich nicht lesen und fehlen.").arg(pasted.unreadable);
    if (pasted.linesSkipped == 1)
        left += QStringLiteral(" Eine Zeile mit anderer Anzahl Zahlen ist übersprungen.");
    else if (pasted.linesSkipped > 1)
        left += QStringLiteral(" %1 Zeilen mit anderer Anzahl Zahlen sind übersprungen.").arg(pasted.linesSkipped);
    if (pasted.moreLevels)
        left += QStringLiteral(" Die Liste fasst höchstens %1 Pegel; die übrigen Zahlen fehlen.")
                    .arg(QLocale().toString(qlonglong(kMaxLevels)));
    return left;
}

}  // namespace

void setLevelListColumnDialog(LevelListColumnDialog dialog) { columnDialog() = std::move(dialog); }

QString pasteLevels(QWidget* parent, LevelListModel& model, const QString& text)
{
    const QString refusal = pasteLengthRefusal(text.size(), QStringLiteral("Der eingefügte Text"), kUnchanged);
    if (!refusal.isEmpty())
        return refusal;
    const std::size_t room = kMaxLevels - std::min(kMaxLevels, std::size_t(model.levelCount()));
    if (room == 0)
        return QStringLiteral("Die Liste hat schon %1 Pegel, mehr fasst sie nicht; nichts eingefügt.")
            .arg(QLocale().toString(qlonglong(kMaxLevels)));
    PastedLevels pasted;
    QString columnText;
    try {
        const std::string utf8 = text.toStdString();
        // Every number is a level unless the lines are rows of a table.
        LevelsAndColumns read = levelsAndColumns(utf8, room);
        const LevelColumns table = read.columns;
        pasted = std::move(read.levels);
        if (table.columns > 1) {
            pasted = {};
            std::vector<QStringList> preview(table.columns);
            for (std::size_t c = 0; c < table.columns; ++c)
                for (const PastedLevel& l : levelsFromText(utf8, {c + 1, table.columns}, kPreviewLevels).levels)
                    preview[c] << QString::fromStdString(levelText(l.levelDb, decimalMark()));
            const std::optional<std::size_t> column = columnDialog()
                                                          ? columnDialog()(parent, preview, table.columns)
                                                          : askColumn(parent, preview, table.columns);
            if (!column)
                return QStringLiteral("Einfügen abgebrochen; %1.").arg(kUnchanged);
            columnText = QStringLiteral(", Spalte %1 von %2").arg(*column).arg(table.columns);
            pasted = levelsFromText(utf8, {*column, table.columns}, room);
        }
    } catch (const std::bad_alloc&) {
        return QStringLiteral("Für den eingefügten Text reicht der Speicher nicht; %1.").arg(kUnchanged);
    }
    if (pasted.levels.empty())
        return QStringLiteral("Im eingefügten Text steht keine Zahl; %1.").arg(kUnchanged) + leftOut(pasted);
    const int first = model.levelCount() + 1;
    model.append(pasted.levels);
    const int last = model.levelCount();
    const QString where = first == last ? QStringLiteral("Zeile %1").arg(first)
                                        : QStringLiteral("Zeilen %1–%2").arg(first).arg(last);
    return (pasted.levels.size() == 1 ? QStringLiteral("1 Pegel eingefügt")
                                      : QStringLiteral("%1 Pegel eingefügt").arg(pasted.levels.size())) +
           QStringLiteral(" (%1%2).").arg(where, columnText) + leftOut(pasted);
}

}  // namespace orvella
