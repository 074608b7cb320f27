// SPDX-License-Identifier: GPL-3.0-or-later
#include "raumbilanztable.h"

#include "clipboardtext.h"

#include <QColor>
#include <QHeaderView>
#include <QLocale>

#include <algorithm>

namespace orvella {

namespace {

using raumbilanz::kBands;
using raumbilanz::kBandHz;
using raumbilanz::kMaxRows;

const QColor kMarkedText(0xa0, 0x00, 0x00);
const QColor kMarkedBackground(0xfd, 0xe2, 0xe2);
const QColor kNoteText(0x80, 0x80, 0x80);

QString header(int column)
{
    switch (column) {
    case kNameColumn: return QStringLiteral("Name");
    case kAreaColumn: return QStringLiteral("S [m²]");
    case kCountColumn: return QStringLiteral("n");
    case kBalanceNoteColumn: return QStringLiteral("Hinweis");
    default: return QStringLiteral("%1 Hz").arg(kBandHz[std::size_t(column - kFirstBandColumn)]);
    }
}

QString headerTip(int column)
{
    switch (column) {
    case kNameColumn: return QStringLiteral("Name der Fläche oder des Objekts");
    case kAreaColumn: return QStringLiteral("Fläche in m² (bei Flächen; dann bleibt n leer)");
    case kCountColumn: return QStringLiteral("Anzahl (bei Objekten; dann bleibt S leer)");
    case kBalanceNoteColumn: return QStringLiteral("Warum eine Zeile nicht gezählt wird");
    default: return QStringLiteral("Absorptionsgrad α (Fläche) oder Absorptionsfläche je Stück in m² (Objekt)");
    }
}

template <class Cells>
bool isEmpty(const Cells& cells)
{
    return std::all_of(cells.begin(), cells.end(), [](const std::string& s) { return s.empty(); });
}

}  // namespace

BalanceTableModel::BalanceTableModel(QObject* parent) : CompanionTableModel(parent) { rows_.emplace_back(); }

std::vector<BalanceRowTexts> BalanceTableModel::balanceRows() const
{
    std::vector<BalanceRowTexts> out;
    out.reserve(rows_.size() - 1);
    for (std::size_t r = 0; r + 1 < rows_.size(); ++r) {
        const Cells& c = rows_[r];
        BalanceRowTexts t{c[kNameColumn], c[kAreaColumn], c[kCountColumn], {}};
        std::copy(c.begin() + kFirstBandColumn, c.end(), t.bands.begin());
        out.push_back(std::move(t));
    }
    return out;
}

void BalanceTableModel::setBalanceRows(const std::vector<BalanceRowTexts>& rows)
{
    beginResetModel();
    rows_.clear();
    for (const BalanceRowTexts& t : rows) {
        Cells c{t.name, t.area, t.count};
        std::copy(t.bands.begin(), t.bands.end(), c.begin() + kFirstBandColumn);
        rows_.push_back(std::move(c));
    }
    rows_.emplace_back();
    evaluated_.clear();
    endResetModel();
    emit edited();
}

void BalanceTableModel::setEvaluated(std::vector<BalanceRow> rows)
{
    evaluated_ = std::move(rows);
    emit dataChanged(index(0, 0), index(rowCount() - 1, kBalanceNoteColumn));
}

void BalanceTableModel::keepOneEmptyRow()
{
    if (isEmpty(rows_.back()))
        return;
    beginInsertRows({}, rowCount(), rowCount());
    rows_.emplace_back();
    endInsertRows();
}

int BalanceTableModel::paste(int row, int column, PastedTable table, QStringList* notes)
{
    row = std::clamp(row, 0, rowCount() - 1);
    column = std::clamp(column, 0, kBalanceColumns - 1);
    // A heading over the bands has numbers ("125", "250") and is read as a
    // row; pasted from the name on, a row whose S or n is a word is one.
    std::size_t headings = 0;
    const auto isWord = [](const TableRow& r, std::size_t c) {
        return c < r.cells.size() && !r.cells[c].text.empty() && r.cells[c].problem == CellProblem::NotANumber;
    };
    while (column == kNameColumn && headings < table.rows.size() &&
           (isWord(table.rows[headings], kAreaColumn) || isWord(table.rows[headings], kCountColumn)))
        ++headings;
    table.rows.erase(table.rows.begin(), table.rows.begin() + std::ptrdiff_t(headings));
    table.headerLines += headings;
    if (table.rows.empty()) {
        *notes << QStringLiteral("Der eingefügte Text enthält keine Zeile mit einer Zahl; die Tabelle bleibt, "
                                 "wie sie ist.");
        return 0;
    }
    const int room = kMaxRows - row;
    if (room <= 0) {
        *notes << QStringLiteral("Die Tabelle hat schon %1 Zeilen; mehr nimmt sie nicht auf. Die Tabelle bleibt, "
                                 "wie sie ist.").arg(QLocale().toString(kMaxRows));
        return 0;
    }
    const int count = std::min(int(table.rows.size()), room);
    const int width = kBalanceColumns - column;
    bool cut = table.cellsLeftOut;
    if (row + count + 1 > rowCount()) {
        beginInsertRows({}, rowCount(), row + count);
        rows_.resize(std::size_t(row + count + 1));
        endInsertRows();
    }
    for (int i = 0; i < count; ++i) {
        const std::vector<TableCell>& cells = table.rows[std::size_t(i)].cells;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            if (int(c) < width)
                rows_[std::size_t(row + i)][std::size_t(column) + c] = cells[c].text;
            else
                cut = cut || !cells[c].text.empty();
        }
    }
    emit dataChanged(index(row, 0), index(row + count - 1, kBalanceNoteColumn));
    keepOneEmptyRow();
    *notes << (count == 1 ? QStringLiteral("1 Zeile eingefügt.") : QStringLiteral("%1 Zeilen eingefügt.").arg(count));
    if (table.headerLines > 0)
        *notes << QStringLiteral("Kopfzeilen übersprungen: %1.").arg(table.headerLines);
    if (table.moreRows || count < int(table.rows.size()))
        *notes << QStringLiteral("Die Tabelle hat höchstens %1 Zeilen; die übrigen wurden nicht übernommen.")
                      .arg(QLocale().toString(kMaxRows));
    if (cut)
        *notes << QStringLiteral("Zellen rechts der Spalte 4000 Hz wurden nicht übernommen.");
    if (table.cellsCut)
        *notes << QStringLiteral("Zellen mit mehr als %1 Zeichen wurden gekürzt.").arg(kMaxCellChars);
    emit edited();
    return count;
}

PastedTable firstTableOf(PastedTable table)
{
    // A row begins on the line after the previous one, plus the line breaks
    // inside its quoted cells; a line left out between them was empty.
    for (std::size_t i = 1; i < table.rows.size(); ++i) {
        const TableRow& previous = table.rows[i - 1];
        std::size_t next = previous.line + 1;
        for (const TableCell& cell : previous.cells)
            for (std::size_t c = 0; c < cell.text.size(); ++c)
                next += cell.text[c] == '\n' || (cell.text[c] == '\r' && cell.text[c + 1] != '\n');
        if (table.rows[i].line > next) {
            table.rows.resize(i);
            table.moreRows = false;
            break;
        }
    }
    return table;
}

void BalanceTableModel::clearCells(const QModelIndexList& cells)
{
    bool changed = false;
    for (const QModelIndex& i : cells) {
        if (!i.isValid() || i.column() >= kBalanceColumns)
            continue;
        std::string& text = rows_[std::size_t(i.row())][std::size_t(i.column())];
        changed = changed || !text.empty();
        text.clear();
    }
    if (!changed)
        return;
    // Rows left wholly empty go, but the last one stays.
    beginResetModel();
    std::erase_if(rows_, [](const Cells& c) { return isEmpty(c); });
    rows_.emplace_back();
    evaluated_.clear();
    endResetModel();
    emit edited();
}

TextTable BalanceTableModel::textTable(std::string_view decimalMark, bool withNotes) const
{
    TextTable table;
    const int columns = withNotes ? kBalanceColumns + 1 : kBalanceColumns;
    for (int c = 0; c < columns; ++c)
        table.header.push_back(header(c).toStdString());
    for (std::size_t r = 0; r + 1 < rows_.size(); ++r) {
        std::vector<std::string> cells{rows_[r][kNameColumn]};
        for (int c = kAreaColumn; c < kBalanceColumns; ++c)
            cells.push_back(numberOrText(rows_[r][std::size_t(c)], decimalMark));
        if (withNotes)
            cells.push_back(noteOf(int(r)).toStdString());
        table.rows.push_back(std::move(cells));
    }
    return table;
}

std::string BalanceTableModel::copyText(const QModelIndex& index) const
{
    if (index.column() >= kBalanceColumns)
        return noteOf(index.row()).toStdString();
    const std::string& text = rows_[std::size_t(index.row())][std::size_t(index.column())];
    return index.column() == kNameColumn ? text : numberOrText(text, QLocale().decimalPoint().toStdString());
}

int BalanceTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int BalanceTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kBalanceColumns + 1;
}

QString BalanceTableModel::noteOf(int row) const
{
    return std::size_t(row) < evaluated_.size() ? QString::fromStdString(evaluated_[std::size_t(row)].note) : QString();
}

QVariant BalanceTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    const bool note = column == kBalanceNoteColumn;
    const bool marked = !note && std::size_t(index.row()) < evaluated_.size() &&
                        evaluated_[std::size_t(index.row())].marked[std::size_t(column)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return note ? noteOf(index.row()) : QString::fromStdString(rows_[std::size_t(index.row())][std::size_t(column)]);
    case Qt::ToolTipRole:
        return noteOf(index.row());
    case Qt::TextAlignmentRole:
        return int((note || column == kNameColumn ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        return marked ? QVariant(kMarkedText) : note ? QVariant(kNoteText) : QVariant();
    case Qt::BackgroundRole:
        return marked ? QVariant(kMarkedBackground) : QVariant();
    default:
        return {};
    }
}

bool BalanceTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || index.column() >= kBalanceColumns)
        return false;
    std::string text = shortenedText(value.toString().toStdString());
    std::string& target = rows_[std::size_t(index.row())][std::size_t(index.column())];
    if (target == text)
        return true;
    target = std::move(text);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), kBalanceNoteColumn));
    keepOneEmptyRow();
    emit edited();
    return true;
}

Qt::ItemFlags BalanceTableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() < kBalanceColumns ? f | Qt::ItemIsEditable : f;
}

QVariant BalanceTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section > kBalanceNoteColumn)
        return {};
    if (role == Qt::DisplayRole)
        return header(section);
    if (role == Qt::ToolTipRole)
        return headerTip(section);
    return {};
}

// --- view -------------------------------------------------------------------

BalanceTableView::BalanceTableView(QWidget* parent)
    : CompanionTableView(QStringLiteral("die Tabelle bleibt, wie sie ist"), parent)
{
    setObjectName(QStringLiteral("balanceRows"));
    deleteAction()->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setTabKeyNavigation(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setStretchLastSection(true);
}

void BalanceTableView::setModel(QAbstractItemModel* model)
{
    QTableView::setModel(model);
    // The numbers as wide as "0,00" or their heading, the name wider.
    const int number = fontMetrics().horizontalAdvance(QStringLiteral("000,00")) + 12;
    horizontalHeader()->resizeSection(kNameColumn, fontMetrics().horizontalAdvance(QStringLiteral("Boden Linoleum")) + 12);
    for (int c = kAreaColumn; c < kBalanceColumns; ++c)
        horizontalHeader()->resizeSection(
            c, std::max(number, fontMetrics().horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + 16));
}

BalanceTableModel* BalanceTableView::balanceModel() const { return qobject_cast<BalanceTableModel*>(model()); }

void BalanceTableView::pasteText(const QString& text)
{
    BalanceTableModel* m = balanceModel();
    if (!m)
        return;
    if (text.trimmed().isEmpty()) {
        emit pasted({QStringLiteral("Die Zwischenablage enthält keinen Text zum Einfügen.")});
        return;
    }
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : m->rowCount() - 1;
    const int column = current.isValid() && current.column() < kBalanceColumns ? current.column() : 0;
    TableLimits limits;
    limits.rows = std::size_t(raumbilanz::kMaxRows);
    QStringList notes;
    if (const int rows = m->paste(row, column, parsePastedTable(text.toStdString(), limits), &notes); rows > 0) {
        setCurrentIndex(m->index(row, column));
        selectionModel()->select(QItemSelection(m->index(row, column), m->index(row + rows - 1, kBalanceColumns - 1)),
                                 QItemSelectionModel::ClearAndSelect);
    }
    emit pasted(notes);
}

void BalanceTableView::deleteSelection()
{
    if (BalanceTableModel* m = balanceModel())
        m->clearCells(selectionModel()->selectedIndexes());
}

}  // namespace orvella
