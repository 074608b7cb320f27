// SPDX-License-Identifier: GPL-3.0-or-later
#include "measurementtable.h"

#include "clipboardtext.h"

#include <QAction>
#include <QColor>
#include <QHeaderView>
#include <QLocale>
#include <QStyle>

#include <algorithm>
#include <set>

namespace orvella {

namespace {

const char* const kHeaders[] = {"r [m]", "Lp,A,S [dB]", "STI", "Lp,A,B [dB]", "Hinweis"};
const char* const kHeaderTips[] = {
    "Entfernung zur Sprachquelle in m",
    "A-bewerteter Sprachschalldruckpegel in dB",
    "Sprachübertragungsindex, 0 bis 1 (darf leer bleiben)",
    "A-bewerteter Hintergrundgeräuschpegel in dB (darf leer bleiben)",
    "Warum eine Zeile nicht oder nicht in den Regressionen ausgewertet wird",
};

const QColor kMarkedText(0xa0, 0x00, 0x00);
const QColor kMarkedBackground(0xfd, 0xe2, 0xe2);
const QColor kGreyText(0x80, 0x80, 0x80);

QString qs(const std::string& s) { return QString::fromStdString(s); }

bool isEmpty(const PositionTexts& row)
{
    return row.distance.empty() && row.speechLevel.empty() && row.sti.empty() && row.background.empty();
}

std::string* cellOf(PositionTexts& row, int column)
{
    switch (column) {
    case kDistanceColumn: return &row.distance;
    case kSpeechLevelColumn: return &row.speechLevel;
    case kStiColumn: return &row.sti;
    case kBackgroundColumn: return &row.background;
    default: return nullptr;
    }
}

QString rowsText(int n) { return n == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(n); }

}  // namespace

MeasurementTableModel::MeasurementTableModel(QObject* parent) : CompanionTableModel(parent)
{
    rows_.emplace_back();
}

std::string& MeasurementTableModel::cell(int row, int column) { return *cellOf(rows_[std::size_t(row)], column); }

const std::string& MeasurementTableModel::cell(int row, int column) const
{
    return *cellOf(const_cast<PositionTexts&>(rows_[std::size_t(row)]), column);
}

std::vector<PositionTexts> MeasurementTableModel::positions() const
{
    return {rows_.begin(), rows_.end() - 1};
}

void MeasurementTableModel::setPositions(std::vector<PositionTexts> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    rows_.emplace_back();
    evaluated_.clear();
    endResetModel();
    emit edited();
}

void MeasurementTableModel::setEvaluated(std::vector<PositionRow> rows)
{
    evaluated_ = std::move(rows);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, kNoteColumn));
}

void MeasurementTableModel::keepEmptyLastRow()
{
    if (!rows_.empty() && isEmpty(rows_.back()))
        return;
    beginInsertRows({}, rowCount(), rowCount());
    rows_.emplace_back();
    endInsertRows();
}

PasteOutcome MeasurementTableModel::paste(int row, int column, const PastedTable& table)
{
    PasteOutcome outcome;
    row = std::clamp(row, 0, rowCount() - 1);
    column = std::clamp(column, 0, kPositionColumns - 1);
    if (table.rows.empty()) {
        outcome.notes << QStringLiteral("Der eingefügte Text enthält keine Zeile mit einer Zahl; die Tabelle "
                                        "bleibt, wie sie ist.");
        return outcome;
    }
    const int available = kPositionColumns - column;
    const int width = std::min(int(table.columns), available);
    bool cut = false, ragged = false;
    for (const TableRow& r : table.rows) {
        if (r.cells.size() != table.columns)
            ragged = true;
        for (std::size_t c = std::size_t(available); c < r.cells.size(); ++c)
            if (!r.cells[c].text.empty())
                cut = true;
    }

    const int room = kMaxPositions - row;
    if (room <= 0) {
        outcome.notes << QStringLiteral("Die Tabelle hat schon %1 Zeilen; mehr nimmt sie nicht auf. Die Tabelle "
                                        "bleibt, wie sie ist.")
                             .arg(QLocale().toString(kMaxPositions));
        return outcome;
    }
    const int count = std::min(int(table.rows.size()), room);
    const bool rowsLeftOut = table.moreRows || count < int(table.rows.size());
    const int needed = row + count + 1;  // and the empty row at the end
    if (needed > rowCount()) {
        beginInsertRows({}, rowCount(), needed - 1);
        rows_.resize(std::size_t(needed));
        endInsertRows();
    }
    for (int i = 0; i < count; ++i) {
        const std::vector<TableCell>& cells = table.rows[std::size_t(i)].cells;
        for (int c = 0; c < width; ++c)
            cell(row + i, column + c) = std::size_t(c) < cells.size() ? cells[std::size_t(c)].text : std::string();
    }
    emit dataChanged(index(row, 0), index(row + count - 1, kNoteColumn));
    keepEmptyLastRow();

    outcome.rows = count;
    outcome.notes << QStringLiteral("%1 eingefügt.").arg(rowsText(count));
    if (table.headerLines > 0)
        outcome.notes << QStringLiteral("Kopfzeilen übersprungen: %1.").arg(table.headerLines);
    if (rowsLeftOut)
        outcome.notes << QStringLiteral("Eine Messreihe hat hier höchstens %1 Zeilen; die übrigen wurden nicht "
                                        "übernommen.")
                             .arg(QLocale().toString(kMaxPositions));
    if (cut || table.cellsLeftOut)
        outcome.notes << QStringLiteral("Zellen rechts der Spalte Lp,A,B wurden nicht übernommen.");
    if (table.cellsCut)
        outcome.notes << QStringLiteral("Zellen mit mehr als %1 Zeichen wurden gekürzt.").arg(kMaxCellChars);
    if (ragged)
        outcome.notes << QStringLiteral("Die Zeilen haben unterschiedlich viele Zellen; fehlende Zellen "
                                        "bleiben leer.");
    emit edited();
    return outcome;
}

void MeasurementTableModel::insertEmptyRow(int row)
{
    row = std::clamp(row, 0, rowCount() - 1);
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, PositionTexts{});
    if (std::size_t(row) < evaluated_.size())
        evaluated_.insert(evaluated_.begin() + row, PositionRow{});
    endInsertRows();
    emit edited();
}

void MeasurementTableModel::removePositions(QList<int> rows)
{
    std::set<int> gone;
    for (int r : rows)
        if (r >= 0 && r < rowCount() - 1)
            gone.insert(r);
    if (gone.empty())
        return;
    beginResetModel();
    std::vector<PositionTexts> kept;
    kept.reserve(rows_.size() - gone.size());
    for (int r = 0; r < rowCount(); ++r)
        if (!gone.count(r))
            kept.push_back(std::move(rows_[std::size_t(r)]));
    rows_ = std::move(kept);
    evaluated_.clear();
    endResetModel();
    keepEmptyLastRow();
    emit edited();
}

void MeasurementTableModel::clearCells(const QModelIndexList& cells)
{
    int top = rowCount(), bottom = -1;
    for (const QModelIndex& i : cells) {
        if (!i.isValid() || i.column() >= kPositionColumns || cell(i.row(), i.column()).empty())
            continue;
        cell(i.row(), i.column()).clear();
        top = std::min(top, i.row());
        bottom = std::max(bottom, i.row());
    }
    if (bottom < 0)
        return;
    emit dataChanged(index(top, 0), index(bottom, kNoteColumn));
    emit edited();
}

TextTable MeasurementTableModel::textTable(std::string_view decimalMark) const
{
    TextTable table;
    for (int c = 0; c < kPositionColumns; ++c)
        table.header.emplace_back(kHeaders[c]);
    for (const PositionTexts& row : rows_) {
        if (isEmpty(row))
            continue;
        std::vector<std::string> cells;
        for (int c = 0; c < kPositionColumns; ++c)
            cells.push_back(numberOrText(*cellOf(const_cast<PositionTexts&>(row), c), decimalMark));
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string MeasurementTableModel::copyText(const QModelIndex& index) const
{
    return index.column() == kNoteColumn ? noteOf(index.row()).toStdString()
                                         : numberOrText(cell(index.row(), index.column()),
                                                        QLocale().decimalPoint().toStdString());
}

int MeasurementTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int MeasurementTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kPositionColumns + 1;
}

QString MeasurementTableModel::noteOf(int row) const
{
    return std::size_t(row) < evaluated_.size() ? qs(evaluated_[std::size_t(row)].note) : QString();
}

QVariant MeasurementTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    const PositionRow* evaluated = std::size_t(row) < evaluated_.size() ? &evaluated_[std::size_t(row)] : nullptr;
    const bool marked = evaluated && column < kPositionColumns && evaluated->marked[std::size_t(column)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return column == kNoteColumn ? noteOf(row) : qs(cell(row, column));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return noteOf(row);
    case Qt::TextAlignmentRole:
        return column == kNoteColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (marked)
            return kMarkedText;
        if (evaluated && (evaluated->use == PositionUse::OutsideRange || column == kNoteColumn))
            return kGreyText;
        return {};
    case Qt::BackgroundRole:
        return marked ? QVariant(kMarkedBackground) : QVariant();
    default:
        return {};
    }
}

bool MeasurementTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() >= kPositionColumns)
        return false;
    const std::string text = shortenedText(value.toString().toStdString());
    std::string& target = cell(index.row(), index.column());
    if (target == text)
        return true;
    target = text;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kNoteColumn));
    keepEmptyLastRow();
    emit edited();
    return true;
}

Qt::ItemFlags MeasurementTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() < kPositionColumns)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant MeasurementTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section > kNoteColumn)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kHeaders[section]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(kHeaderTips[section]);
    return {};
}

// --- view -------------------------------------------------------------------

MeasurementTableView::MeasurementTableView(QWidget* parent)
    : CompanionTableView(QStringLiteral("die Tabelle bleibt, wie sie ist"), parent)
{
    insertRow_ = addTableCommand(QStringLiteral("Zeile &einfügen"),
                                 {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                                 [this] { insertRow(); });
    removeRows_ = addTableCommand(QStringLiteral("Zeilen &löschen"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                                  [this] { removeSelectedRows(); });
    deleteAction()->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    setObjectName(QStringLiteral("positions"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setTabKeyNavigation(true);
    // A row is a position, told by its distance; row numbers would only
    // take room from the note.
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setMinimumSectionSize(fontMetrics().horizontalAdvance(QStringLiteral("00,00")) + 16);
}

void MeasurementTableView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    // Each column of numbers as wide as its heading; the note takes the rest.
    int columns = 0;
    for (int c = 0; c < kPositionColumns; ++c) {
        horizontalHeader()->resizeSection(
            c, fontMetrics().horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + 20);
        columns += horizontalHeader()->sectionSize(c);
    }
    // Never narrower than the four columns of numbers and a vertical scroll
    // bar: the note may scroll out of sight, the numbers may not.
    setMinimumWidth(columns + horizontalHeader()->minimumSectionSize() +
                    style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * frameWidth());
}

MeasurementTableModel* MeasurementTableView::positionsModel() const
{
    return qobject_cast<MeasurementTableModel*>(model());
}

void MeasurementTableView::pasteText(const QString& text)
{
    MeasurementTableModel* m = positionsModel();
    if (!m)
        return;
    if (text.trimmed().isEmpty()) {
        emit pasted({0, {QStringLiteral("Die Zwischenablage enthält keinen Text zum Einfügen.")}});
        return;
    }
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : m->rowCount() - 1;
    const int column = current.isValid() && current.column() < kPositionColumns ? current.column() : 0;
    const PasteOutcome outcome = m->paste(row, column, parsePastedTable(text.toStdString(), positionLimits()));
    if (outcome.rows > 0) {
        setCurrentIndex(m->index(row, column));
        selectionModel()->select(QItemSelection(m->index(row, column),
                                                m->index(row + outcome.rows - 1, kPositionColumns - 1)),
                                 QItemSelectionModel::ClearAndSelect);
    }
    emit pasted(outcome);
}

void MeasurementTableView::insertRow()
{
    MeasurementTableModel* m = positionsModel();
    if (!m)
        return;
    const int row = currentIndex().isValid() ? currentIndex().row() : m->rowCount() - 1;
    m->insertEmptyRow(row);
    setCurrentIndex(m->index(row, kDistanceColumn));
}

void MeasurementTableView::removeSelectedRows()
{
    MeasurementTableModel* m = positionsModel();
    if (!m)
        return;
    QList<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedIndexes())
        rows << i.row();
    if (rows.isEmpty() && currentIndex().isValid())
        rows << currentIndex().row();
    if (rows.isEmpty())
        return;
    const int first = *std::min_element(rows.begin(), rows.end());
    const int column = std::max(0, currentIndex().column());
    m->removePositions(rows);
    setCurrentIndex(m->index(std::min(first, m->rowCount() - 1), column));
}

void MeasurementTableView::clearSelectedCells()
{
    if (MeasurementTableModel* m = positionsModel())
        m->clearCells(selectionModel()->selectedIndexes());
}

}  // namespace orvella
