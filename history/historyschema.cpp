// SPDX-License-Identifier: GPL-3.0-or-later
#include "historyschema.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace orvella {

namespace {

// The first schema, as the first program with a history wrote it. Never
// changed: a later schema is a migration step below.
const char* const kSchema1[] = {
    // One row per calculation. `search` holds the entry's texts and its
    // note folded for the search (historysearch.h).
    "CREATE TABLE entry ("
    " id INTEGER PRIMARY KEY,"
    " time_utc_ms INTEGER NOT NULL,"
    " calculator_id TEXT NOT NULL,"
    " window TEXT NOT NULL,"
    " calculator TEXT NOT NULL,"
    " part TEXT NOT NULL,"
    " program_version TEXT NOT NULL,"
    " expression TEXT NOT NULL,"
    " note TEXT NOT NULL DEFAULT '',"
    " search TEXT NOT NULL)",
    // Newest first. The index also holds what the filter and the search
    // look at, so that a search reads the index alone, in time order, and
    // stops as soon as a page is full; only the rows found are read from
    // the table.
    "CREATE INDEX entry_by_time ON entry (time_utc_ms, id, calculator_id, search)",
    // The inputs and results of an entry, in the order of the window.
    "CREATE TABLE quantity ("
    " entry_id INTEGER NOT NULL REFERENCES entry (id) ON DELETE CASCADE,"
    " kind TEXT NOT NULL CHECK (kind IN ('input', 'result')),"
    " position INTEGER NOT NULL,"
    " key TEXT NOT NULL,"
    " label TEXT NOT NULL,"
    " unit TEXT NOT NULL,"
    " field TEXT NOT NULL,"
    " text TEXT NOT NULL,"
    " number REAL,"
    " PRIMARY KEY (entry_id, kind, position)) WITHOUT ROWID",
};

// The search index. Case-sensitive: both sides are folded already
// (historysearch.h), so it finds exactly what a substring test finds. The
// entries up to `entry_search_upto.id` are in it; the writer adds the newer
// ones in steps while it is idle (HistoryStore::indexSearch), never in an
// entry's own commit. The triggers keep the entries that are in it right
// when any program changes a search text (a note) or removes an entry;
// removing the newest entries lowers the mark, so that an id given again
// counts as not indexed.
const char* const kSearchIndexStatements[] = {
    "CREATE VIRTUAL TABLE entry_search USING fts5("
    " search, content='entry', content_rowid='id', tokenize='trigram case_sensitive 1')",
    "CREATE TABLE entry_search_upto (id INTEGER NOT NULL)",
    "INSERT INTO entry_search_upto VALUES (0)",
    "CREATE TRIGGER entry_search_update AFTER UPDATE OF search ON entry"
    " WHEN old.id <= (SELECT id FROM entry_search_upto) BEGIN"
    " INSERT INTO entry_search (entry_search, rowid, search) VALUES ('delete', old.id, old.search);"
    " INSERT INTO entry_search (rowid, search) VALUES (new.id, new.search); END",
    "CREATE TRIGGER entry_search_delete AFTER DELETE ON entry"
    " WHEN old.id <= (SELECT id FROM entry_search_upto) BEGIN"
    " INSERT INTO entry_search (entry_search, rowid, search) VALUES ('delete', old.id, old.search);"
    " UPDATE entry_search_upto SET id = min(id, coalesce((SELECT max(id) FROM entry), 0)); END",
};

QSqlError run(const QSqlDatabase& db, const QString& statement)
{
    QSqlQuery q(db);
    if (!q.exec(statement))
        return q.lastError();
    return {};
}

// Reads a PRAGMA that returns one integer.
int pragmaValue(const QSqlDatabase& db, const char* name, QSqlError* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(name))) || !q.next()) {
        *error = q.lastError().isValid() ? q.lastError()
                                         : QSqlError(QString(), QStringLiteral("PRAGMA %1 gave no value").arg(QLatin1String(name)),
                                                     QSqlError::StatementError);
        return 0;
    }
    return q.value(0).toInt();
}

}  // namespace

SearchIndex inspectSearchIndex(const QSqlDatabase& db, QSqlError* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT (SELECT count(*) FROM sqlite_master WHERE name = 'entry_search'),"
                               " (SELECT count(*) FROM pragma_module_list WHERE name = 'fts5')")) ||
        !q.next()) {
        *error = q.lastError();
        return SearchIndex::Missing;
    }
    if (q.value(0).toInt() > 0)
        return SearchIndex::Present;
    return q.value(1).toInt() > 0 ? SearchIndex::Missing : SearchIndex::Unavailable;
}

bool hasEvaluationTable(const QSqlDatabase& db, QSqlError* error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'evaluation'")) || !q.next()) {
        *error = q.lastError();
        return false;
    }
    return q.value(0).toInt() > 0;
}

QSqlError createEvaluationTable(const QSqlDatabase& db)
{
    return run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS evaluation ("
                                  " entry_id INTEGER PRIMARY KEY REFERENCES entry (id) ON DELETE CASCADE,"
                                  " key TEXT NOT NULL UNIQUE,"
                                  " owner_id TEXT NOT NULL,"
                                  " rows TEXT NOT NULL)"));
}

QSqlError createSearchIndex(const QSqlDatabase& db)
{
    for (const char* statement : kSearchIndexStatements)
        if (QSqlError e = run(db, QLatin1String(statement)); e.isValid())
            return e;
    return {};
}

QString searchIndexQuery(const QStringList& words)
{
    QStringList phrases;
    for (const QString& word : words)
        if (word.toUcs4().size() >= 3)
            phrases << u'"' + QString(word).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return phrases.join(u' ');
}

SchemaInspection inspectSchema(const QSqlDatabase& db)
{
    SchemaInspection result;
    const int applicationId = pragmaValue(db, "application_id", &result.error);
    if (!result.ok())
        return result;
    result.version = pragmaValue(db, "user_version", &result.error);
    if (!result.ok())
        return result;
    if (applicationId == kHistoryApplicationId) {
        if (result.version <= 0)
            result.state = SchemaState::Foreign;
        else if (result.version > kHistorySchemaVersion)
            result.state = SchemaState::Newer;
        else if (result.version < kHistorySchemaVersion)
            result.state = SchemaState::Older;
        else
            result.state = SchemaState::Current;
        return result;
    }
    if (applicationId != 0) {
        result.state = SchemaState::Foreign;
        return result;
    }
    // Reading the table list also reads the first page in full, which finds
    // a file that is damaged beyond its header.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) {
        result.error = q.lastError();
        return result;
    }
    result.state = q.value(0).toInt() == 0 ? SchemaState::Empty : SchemaState::Foreign;
    return result;
}

const std::vector<SchemaMigration>& historyMigrations()
{
    static const std::vector<SchemaMigration> migrations;
    return migrations;
}

QSqlError migrateSchema(const QSqlDatabase& db, int version, int target,
                        const std::vector<SchemaMigration>& migrations)
{
    while (version < target) {
        const SchemaMigration* step = nullptr;
        for (const SchemaMigration& m : migrations)
            if (m.from == version)
                step = &m;
        if (!step)
            return QSqlError(QString(), QStringLiteral("no migration from schema %1").arg(version),
                             QSqlError::UnknownError);
        for (const QString& statement : step->statements)
            if (QSqlError e = run(db, statement); e.isValid())
                return e;
        ++version;
        if (QSqlError e = run(db, QStringLiteral("PRAGMA user_version = %1").arg(version)); e.isValid())
            return e;
    }
    return {};
}

QSqlError createSchema(const QSqlDatabase& db)
{
    for (const char* statement : kSchema1)
        if (QSqlError e = run(db, QLatin1String(statement)); e.isValid())
            return e;
    if (QSqlError e = run(db, QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId));
        e.isValid())
        return e;
    if (QSqlError e = run(db, QStringLiteral("PRAGMA user_version = 1")); e.isValid())
        return e;
    return migrateSchema(db, 1, kHistorySchemaVersion, historyMigrations());
}

}  // namespace orvella
