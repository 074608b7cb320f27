// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellistmodel.h"

#include "checked.h"
#include "numbers.h"
#include "pastedtext.h"
#include "resultvalue.h"

#include <QBrush>
#include <QColor>
#include <QAction>
#include <QFont>
#include <QHeaderView>
#include <QLocale>

#include <algorithm>

namespace orvella {

namespace {

std::string decimalMark() { return QLocale().decimalPoint().toStdString(); }

QString dB(double value)
{
    try {
        return QString::fromStdString(FormatResult(value, kLevelListDecimals, decimalMark()));
    } catch (const ArithmeticError&) {
        return QString::fromUtf8(kNoValue.data(), qsizetype(kNoValue.size()));
    }
}

QString noValue() { return QString::fromUtf8(kNoValue.data(), qsizetype(kNoValue.size())); }

}  // namespace

void LevelListModel::append(const std::vector<PastedLevel>& levels)
{
    if (levels.empty())
        return;
    const int first = levelCount();
    beginInsertRows({}, first, first + int(levels.size()) - 1);
    levels_.reserve(levels_.size() + levels.size());
    names_.reserve(names_.size() + levels.size());
    for (const PastedLevel& l : levels) {
        levels_.push_back(l.levelDb);
        names_.push_back(l.name.empty() ? QString() : QString::fromStdString(l.name));
    }
    endInsertRows();
    emit levelsChanged();
}

void LevelListModel::removeLevelRows(std::vector<int> rows)
{
    std::erase_if(rows, [this](int r) { return r < 0 || r >= levelCount(); });
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, each run of neighbouring rows at once.
    std::size_t i = 0;
    while (i < rows.size()) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] - 1)
            ++j;
        const int first = rows[j];
        const int last = rows[i];
        beginRemoveRows({}, first, last);
        levels_.erase(levels_.begin() + first, levels_.begin() + last + 1);
        names_.erase(names_.begin() + first, names_.begin() + last + 1);
        endRemoveRows();
        i = j + 1;
    }
    emit levelsChanged();
}

void LevelListModel::clear()
{
    if (levels_.empty())
        return;
    beginResetModel();
    levels_.clear();
    names_.clear();
    endResetModel();
    emit levelsChanged();
}

EvaluationSnapshot LevelListModel::snapshot(std::optional<double> backgroundDb) const
{
    // Two copies here (the names shared, not copied); the rows of the
    // evaluation are made on the history's thread.
    EvaluationSnapshot s;
    s.input.parameters = {backgroundDb};
    s.fillRows = levels_.size();
    s.fill = [levels = levels_, names = names_](EvaluationSnapshot& out) {
        out.input.rows.reserve(levels.size());
        for (const double level : levels)
            out.input.rows.push_back({level});
        if (std::any_of(names.begin(), names.end(), [](const QString& n) { return !n.isEmpty(); }))
            for (const QString& name : names)
                out.labels.push_back(name.toStdString());
    };
    return s;
}

QString LevelListModel::reopen(const EvaluationSnapshot& snapshot)
{
    std::vector<PastedLevel> levels;
    for (std::size_t i = 0; i < snapshot.input.rows.size() && levels.size() < kMaxLevels; ++i)
        if (!snapshot.input.rows[i].empty() && snapshot.input.rows[i].front())
            levels.push_back({*snapshot.input.rows[i].front(), i < snapshot.labels.size() ? snapshot.labels[i] : ""});
    clear();
    append(levels);
    const std::optional<double> background =
        snapshot.input.parameters.empty() ? std::nullopt : snapshot.input.parameters.front();
    return background ? QString::fromStdString(shortestText(*background, decimalMark())) : QString();
}

void LevelListModel::setEvaluation(const LevelListEvaluation* evaluation)
{
    evaluation_ = evaluation;
    if (levelCount() > 0)
        emit dataChanged(index(0, Delta), index(levelCount() - 1, Corrected), {Qt::DisplayRole});
}

QString LevelListModel::columnTitle(int column)
{
    switch (column) {
    case Level: return QStringLiteral("Pegel L [dB]");
    case Name: return QStringLiteral("Name");
    case Delta: return QStringLiteral("ΔL [dB]");
    case K1: return QStringLiteral("K1 [dB]");
    case Flag: return QStringLiteral("Korrektur");
    case Corrected: return QStringLiteral("korrigiert [dB]");
    default: return {};
    }
}

QString LevelListModel::text(int row, int column) const
{
    if (row < 0 || row >= levelCount())
        return {};
    const std::size_t r = std::size_t(row);
    if (column == Level)
        return QString::fromStdString(levelText(levels_[r], decimalMark()));
    if (column == Name)
        return names_[r];
    if (!evaluation_ || r >= evaluation_->corrections.size())
        return {};
    const BackgroundCorrection& c = evaluation_->corrections[r];
    switch (column) {
    case Delta: return c.flag == BackgroundFlag::NotCorrected ? noValue() : dB(c.deltaDb);
    case K1: return dB(c.k1Db);
    case Flag: return QString::fromStdString(backgroundFlagText(c.flag));
    case Corrected: return (c.upperBound() ? QStringLiteral("≤ ") : QString()) + dB(c.correctedDb);
    default: return {};
    }
}

int LevelListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : levelCount() + 1; }

int LevelListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant LevelListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    const bool appending = row == appendRow();
    switch (role) {
    case Qt::DisplayRole:
        if (appending)
            return column == Level ? QStringLiteral("neuer Pegel") : QVariant();
        return text(row, column);
    case Qt::EditRole:
        return appending ? QString() : text(row, column);
    case Qt::TextAlignmentRole:
        return int((column == Name || column == Flag ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (appending)
            return QBrush(QColor(0x80, 0x80, 0x80));
        if (column == Flag && evaluation_ && std::size_t(row) < evaluation_->corrections.size() &&
            evaluation_->corrections[std::size_t(row)].upperBound())
            return QBrush(QColor(0xb0, 0x50, 0x00));
        return {};
    case Qt::FontRole:
        if (appending) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    case Qt::ToolTipRole:
        if (appending)
            return QStringLiteral("Einen Pegel eintippen, um ihn anzufügen");
        if (column == Flag && evaluation_ && std::size_t(row) < evaluation_->corrections.size() &&
            evaluation_->corrections[std::size_t(row)].upperBound())
            return QStringLiteral("ΔL höchstens 6 dB: der korrigierte Pegel ist nur eine obere Grenze.");
        return {};
    default:
        return {};
    }
}

QVariant LevelListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return columnTitle(section);
    return section == appendRow() ? QStringLiteral("*") : QString::number(section + 1);
}

Qt::ItemFlags LevelListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const bool appending = index.row() == appendRow();
    if (index.column() == Level || (index.column() == Name && !appending))
        f |= Qt::ItemIsEditable;
    return f;
}

bool LevelListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const int row = index.row();
    const QString text = value.toString();
    if (index.column() == Name) {
        names_[std::size_t(row)] = QString::fromStdString(shortenedText(text.trimmed().toStdString()));
        emit dataChanged(index, index);
        return true;
    }

    const bool appending = row == appendRow();
    if (text.trimmed().isEmpty()) {
        if (!appending)
            emit rejected(QStringLiteral("Ein leerer Pegel wird nicht übernommen; eine Zeile löscht Entf."));
        return false;
    }
    const std::string utf8 = text.toStdString();
    const std::vector<FoundNumber> found = findNumbers(utf8);
    if (found.size() != 1) {
        emit rejected(found.empty()
                          ? QStringLiteral("„%1“ enthält keine Zahl.").arg(text)
                          : QStringLiteral("„%1“ enthält mehrere Zahlen; eine je Zeile, mehrere fügt Strg+V ein.")
                                .arg(text));
        return false;
    }
    if (!found.front().value) {
        emit rejected(QStringLiteral("„%1“ lässt sich nicht als Zahl lesen.").arg(text));
        return false;
    }
    if (appending) {
        if (std::size_t(levelCount()) >= kMaxLevels) {
            emit rejected(QStringLiteral("Die Liste fasst höchstens %1 Pegel.")
                              .arg(QLocale().toString(qlonglong(kMaxLevels))));
            return false;
        }
        append({{*found.front().value, {}}});
        return true;
    }
    levels_[std::size_t(row)] = *found.front().value;
    emit dataChanged(index, index);
    emit levelsChanged();
    return true;
}

LevelListView::LevelListView(QWidget* parent)
    : CompanionTableView(QStringLiteral("die Liste ist unverändert"), parent)
{
    setObjectName(QStringLiteral("levels"));
    deleteAction()->setText(QStringLiteral("Zeilen &löschen"));
    pasteAction()->setText(QStringLiteral("&Einfügen"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    // Fixed row heights: a list of 100 000 levels is laid out without
    // measuring a row.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
}

}  // namespace orvella
