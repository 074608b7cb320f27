// SPDX-License-Identifier: GPL-3.0-or-later
#include "historymodel.h"

#include "historyschema.h"
#include "historysearch.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>

#include <algorithm>

namespace orvella {

namespace {

// "n placeholders": "?, ?, ?".
QString placeholders(qsizetype n)
{
    QStringList list;
    list.fill(QStringLiteral("?"), n);
    return list.join(QStringLiteral(", "));
}

// The text matched literally by LIKE ... ESCAPE '\'.
QString likeEscaped(QString text)
{
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'%', QStringLiteral("\\%"));
    text.replace(u'_', QStringLiteral("\\_"));
    return text;
}

}  // namespace

HistoryModel::HistoryModel(HistoryStore& store, QObject* parent) : HistoryModel(store, {}, parent) {}

HistoryModel::HistoryModel(HistoryStore& store, const QStringList& calculatorIds, QObject* parent)
    : QAbstractTableModel(parent), store_(store), calculatorIds_(calculatorIds)
{
    reload();
}

void HistoryModel::setCalculatorFilter(const QStringList& calculatorIds)
{
    calculatorIds_ = calculatorIds;
    reload();
}

void HistoryModel::setSearchText(const QString& text)
{
    words_ = searchWords(text, &searchCut_);
    indexQuery_ = searchIndexQuery(words_);
    reload();
}

void HistoryModel::reload()
{
    // The first page is read inside the reset, so that a view sees the
    // reset and its rows at once, without inserts of its own in between.
    beginResetModel();
    rows_.clear();
    atEnd_ = false;
    readFailed_ = false;
    throughIndex_ = false;
    if (!indexQuery_.isEmpty() && store_.open() && store_.hasSearchIndex()) {
        indexedUpTo_ = store_.searchIndexedUpTo();
        throughIndex_ = indexedUpTo_ >= 0 && fewFoundInIndex();
    }
    rows_ = nextPage();
    endResetModel();
}

std::int64_t HistoryModel::entryId(int row) const
{
    return row >= 0 && row < int(rows_.size()) ? rows_[std::size_t(row)].id : 0;
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const Row& row = rows_[std::size_t(index.row())];
    if (role == EntryIdRole)
        return qint64(row.id);
    if (role == CalculatorIdRole)
        return row.calculatorId;
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case TimeColumn:
        return QDateTime::fromMSecsSinceEpoch(row.timeUtcMs).toLocalTime().toString(
            QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case CalculatorColumn:
        return row.calculator;
    case InputsColumn:
        return row.inputs;
    case ResultsColumn:
        return row.results;
    case NoteColumn:
        return row.note;
    default:
        return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return QStringLiteral("Zeit");
    case CalculatorColumn:
        return QStringLiteral("Rechner");
    case InputsColumn:
        return QStringLiteral("Eingaben");
    case ResultsColumn:
        return QStringLiteral("Ergebnisse");
    case NoteColumn:
        return QStringLiteral("Notiz");
    default:
        return {};
    }
}

Qt::ItemFlags HistoryModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == NoteColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool HistoryModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.column() != NoteColumn ||
        index.row() >= int(rows_.size()))
        return false;
    Row& row = rows_[std::size_t(index.row())];
    const QString note = value.toString();
    if (!(noteWriter_ ? noteWriter_(row.id, note) : store_.setNote(row.id, note)))
        return false;
    row.note = note;
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    return true;
}

bool HistoryModel::canFetchMore(const QModelIndex& parent) const { return !parent.isValid() && !atEnd_; }

void HistoryModel::fetchMore(const QModelIndex& parent)
{
    if (parent.isValid() || atEnd_)
        return;
    std::vector<Row> page = nextPage();
    if (page.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(page.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
    endInsertRows();
}

std::vector<HistoryModel::Row> HistoryModel::nextPage()
{
    std::vector<Row> page;
    QSqlError error;
    if (store_.open() && readPage(&page, &error) && readQuantities(&page, &error)) {
        atEnd_ = page.size() < std::size_t(kFetchSize);
        return page;
    }
    atEnd_ = true;
    // Nothing found; the history goes on. A file that was found damaged
    // is moved aside by the next write, and the view learns it from the
    // reload the notice leads to.
    readFailed_ = true;
    if (error.isValid())
        store_.handleReadFailure(error);
    return {};
}

void HistoryModel::fetchNewer()
{
    if (rows_.empty()) {
        reload();
        return;
    }
    std::vector<Row> page;
    QSqlError error;
    if (!store_.open() || !readPage(&page, &error, true) || !readQuantities(&page, &error)) {
        if (error.isValid())
            store_.handleReadFailure(error);
        return;
    }
    if (page.empty())
        return;
    // An evaluation's entry that changed comes again with its new time: the
    // table is read again instead of showing it twice.
    const bool again = std::any_of(page.begin(), page.end(), [this](const Row& newer) {
        return std::any_of(rows_.begin(), rows_.end(), [&](const Row& row) { return row.id == newer.id; });
    });
    if (page.size() > std::size_t(kFetchSize) || again) {
        reload();
        return;
    }
    beginInsertRows({}, 0, int(page.size()) - 1);
    rows_.insert(rows_.begin(), std::make_move_iterator(page.begin()), std::make_move_iterator(page.end()));
    endInsertRows();
}

std::vector<std::int64_t> HistoryModel::matchingIds()
{
    std::vector<std::int64_t> ids;
    if (!store_.open())
        return ids;
    QStringList conditions;
    QVariantList values;
    filterConditions(&conditions, &values);
    QString sql = QStringLiteral("SELECT id") + fromEntries();
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY time_utc_ms DESC, id DESC");
    QSqlError error;
    {
        QSqlQuery q(store_.database());
        q.setForwardOnly(true);
        if (q.prepare(sql)) {
            for (const QVariant& v : values)
                q.addBindValue(v);
            if (q.exec())
                while (q.next())
                    ids.push_back(q.value(0).toLongLong());
        }
        error = q.lastError();
    }
    if (error.isValid()) {
        store_.handleReadFailure(error);
        return {};
    }
    return ids;
}

bool HistoryModel::fewFoundInIndex() const
{
    // Counts no further than the bound: the index hands out its entries one
    // by one, so that a word in every entry costs no more than a rare one.
    // The entries not in the index yet count as found.
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT count(*) FROM (%1 LIMIT %2)").arg(indexedIds()).arg(kIndexedAtMost + 1));
    q.addBindValue(indexQuery_);
    q.addBindValue(qint64(indexedUpTo_));
    // A failed count reads the entries instead; that read reports a failure.
    return q.exec() && q.next() && q.value(0).toInt() <= kIndexedAtMost;
}

QString HistoryModel::indexedIds()
{
    return QStringLiteral("SELECT rowid FROM entry_search WHERE entry_search MATCH ?"
                          " UNION ALL SELECT id FROM entry WHERE id > ?");
}

QString HistoryModel::fromEntries() const
{
    return throughIndex_ ? QStringLiteral(" FROM entry NOT INDEXED") : QStringLiteral(" FROM entry");
}

void HistoryModel::filterConditions(QStringList* conditions, QVariantList* values) const
{
    if (!calculatorIds_.isEmpty()) {
        *conditions << QStringLiteral("calculator_id IN (%1)").arg(placeholders(calculatorIds_.size()));
        for (const QString& id : calculatorIds_)
            *values << id;
    }
    if (throughIndex_) {
        *conditions << QStringLiteral("id IN (%1)").arg(indexedIds());
        *values << indexQuery_ << qint64(indexedUpTo_);
    }
    // Every word is also looked for in the entries' own text: the index
    // finds no word shorter than three characters.
    for (const QString& word : words_) {
        // LIKE (with the word's own % and _ escaped) is about twice as fast
        // as instr(), which counts characters. Both sides are folded
        // already, so LIKE's folding of ASCII letters changes nothing.
        *conditions << QStringLiteral("search LIKE ? ESCAPE '\\'");
        *values << u'%' + likeEscaped(word) + u'%';
    }
}

bool HistoryModel::readPage(std::vector<Row>* page, QSqlError* error, bool newer) const
{
    QStringList conditions;
    QVariantList values;
    filterConditions(&conditions, &values);
    int limit = kFetchSize;
    if (newer) {
        conditions << QStringLiteral("(time_utc_ms, id) > (?, ?)");
        values << qint64(rows_.front().timeUtcMs) << qint64(rows_.front().id);
        limit = kFetchSize + 1;
    } else if (!rows_.empty()) {
        conditions << QStringLiteral("(time_utc_ms, id) < (?, ?)");
        values << qint64(rows_.back().timeUtcMs) << qint64(rows_.back().id);
    }
    QString sql = QStringLiteral("SELECT id, time_utc_ms, calculator_id, calculator, part, expression, note") +
                  fromEntries();
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY time_utc_ms DESC, id DESC LIMIT %1").arg(limit);

    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        *error = q.lastError();
        return false;
    }
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    while (q.next()) {
        Row row;
        row.id = q.value(0).toLongLong();
        row.timeUtcMs = q.value(1).toLongLong();
        row.calculatorId = q.value(2).toString();
        CalculationRecord names;
        names.calculator = q.value(3).toString().toStdString();
        names.part = q.value(4).toString().toStdString();
        row.calculator = QString::fromStdString(calculatorDisplayName(names));
        row.inputs = q.value(5).toString();  // the keypad's line stands for its inputs
        row.note = q.value(6).toString();
        page->push_back(std::move(row));
    }
    if (q.lastError().isValid()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

bool HistoryModel::readQuantities(std::vector<Row>* page, QSqlError* error) const
{
    if (page->empty())
        return true;
    QHash<qint64, Row*> byId;
    for (Row& row : *page)
        byId.insert(row.id, &row);
    QSqlQuery q(store_.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT entry_id, kind, label, text, unit FROM quantity"
                                  " WHERE entry_id IN (%1) ORDER BY entry_id, kind, position")
                       .arg(placeholders(qsizetype(page->size()))))) {
        *error = q.lastError();
        return false;
    }
    for (const Row& row : *page)
        q.addBindValue(qint64(row.id));
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    // Inputs are shown only where there is no keypad line in their place.
    QHash<qint64, bool> keepInputs;
    for (const Row& row : *page)
        keepInputs.insert(row.id, row.inputs.isEmpty());
    while (q.next()) {
        Row* row = byId.value(q.value(0).toLongLong());
        if (!row)
            continue;
        const bool input = q.value(1).toString() == QLatin1String("input");
        if (input && !keepInputs.value(row->id))
            continue;
        QString item = q.value(2).toString() + QStringLiteral(": ") + q.value(3).toString();
        if (const QString unit = q.value(4).toString(); !unit.isEmpty())
            item += u' ' + unit;
        QString& list = input ? row->inputs : row->results;
        if (!list.isEmpty())
            list += QStringLiteral("; ");
        list += item;
    }
    if (q.lastError().isValid()) {
        *error = q.lastError();
        return false;
    }
    return true;
}

}  // namespace orvella
