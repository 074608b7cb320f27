// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history as a table, newest first: time, calculator, inputs, results
// and the note, which can be edited in place. Rows are read in pages of
// kFetchSize as a view asks for them (canFetchMore/fetchMore); each page is
// one short query from where the last one ended, so no read stays open on
// the file between pages (an open read would hold back the log's
// checkpoints while calculations are recorded). A read that fails shows
// nothing found (readFailed()), and never stops the history.

#include "historystore.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace orvella {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { TimeColumn, CalculatorColumn, InputsColumn, ResultsColumn, NoteColumn, ColumnCount };
    enum Role {
        EntryIdRole = Qt::UserRole + 1,  // the entry's id (every column)
        CalculatorIdRole,                // the calculator's id: "frmSchall.l"
    };
    static constexpr int kFetchSize = 256;
    // A search that the index answers with at most this many entries reads
    // them through it, each by its id; one with more reads the entries
    // newest first until a page is full, after 200 entries read per entry
    // found with 100 000 entries spread evenly.
    static constexpr int kIndexedAtMost = 512;

    // A model over `store`, which must outlive it and belong to the same
    // thread, showing the entries of these calculators (every entry when
    // empty); reads its first page at once.
    explicit HistoryModel(HistoryStore& store, QObject* parent = nullptr);
    HistoryModel(HistoryStore& store, const QStringList& calculatorIds, QObject* parent = nullptr);

    // Only entries of these calculators (their ids); every entry when empty.
    void setCalculatorFilter(const QStringList& calculatorIds);
    // Only entries whose texts or note contain every word of `text`, in any
    // case, numbers in either decimal mark; every entry when it is blank.
    // Only the first words are taken (searchWords()); searchCut() tells.
    void setSearchText(const QString& text);
    bool searchCut() const { return searchCut_; }
    // Whether the last read failed (another program holding the file, a
    // damaged file): the rows then show nothing found.
    bool readFailed() const { return readFailed_; }

    // Writes an edited note; true when it is written or will be. Without
    // one, notes go to the store directly.
    using NoteWriter = std::function<bool(std::int64_t id, const QString& note)>;
    void setNoteWriter(NoteWriter writer) { noteWriter_ = std::move(writer); }
    // Reads from the first page again: after a cleared or replaced history.
    void reload();
    // Puts the entries recorded since the first row was read above it, so
    // that a view keeps its selection and scroll position. More than a
    // page of them: reads from the first page again instead.
    void fetchNewer();
    // The ids of every entry the filter and the search find, newest first,
    // read now (not only the rows fetched so far); empty after a failure.
    std::vector<std::int64_t> matchingIds();

    std::int64_t entryId(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The note column: writes the note to the database first; false (and
    // the old note kept) when that failed.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex& parent = {}) const override;
    void fetchMore(const QModelIndex& parent = {}) override;

private:
    struct Row {
        std::int64_t id = 0;
        std::int64_t timeUtcMs = 0;
        QString calculatorId;
        QString calculator;
        QString inputs;
        QString results;
        QString note;
    };

    // The next page after the last row read; empty at the end and after a
    // failure, which the store handles.
    std::vector<Row> nextPage();
    // Whether the search index finds at most kIndexedAtMost entries,
    // counting those not in it yet.
    bool fewFoundInIndex() const;
    // The ids the index finds (the query and the indexed mark bound), with
    // every entry not in it yet.
    static QString indexedIds();
    // "FROM entry": through the search index, the entries it finds are read
    // by their ids (NOT INDEXED keeps SQLite from reading the time index
    // whole instead); otherwise newest first through the time index.
    QString fromEntries() const;
    // The conditions of the filter and the search, with their values.
    void filterConditions(QStringList* conditions, QVariantList* values) const;
    // A page of rows older than the last row read (`newer`: newer than the
    // first, at most kFetchSize + 1 of them).
    bool readPage(std::vector<Row>* page, QSqlError* error, bool newer = false) const;
    bool readQuantities(std::vector<Row>* page, QSqlError* error) const;

    HistoryStore& store_;
    QStringList calculatorIds_;
    QStringList words_;
    // The search words as the search index's query (historyschema.h), and
    // whether the rows are looked up through the index: when it finds few
    // entries. Words found in very many entries are found sooner by reading
    // the entries newest first until a page is full.
    QString indexQuery_;
    bool throughIndex_ = false;
    std::int64_t indexedUpTo_ = -1;
    bool searchCut_ = false;
    bool readFailed_ = false;
    NoteWriter noteWriter_;
    std::vector<Row> rows_;
    bool atEnd_ = false;
};

}  // namespace orvella
