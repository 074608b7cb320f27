// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tables of the history database and their versions. The file carries
// its own mark (PRAGMA application_id) so that a database of another
// program is never taken for ours, and its schema version (PRAGMA
// user_version). A new file is created with the first schema and brought
// up to the current one by the same migrations that update an older file,
// so every migration runs on every new file. docs/history-schema.md
// describes the tables.

#include <QSqlError>
#include <QString>
#include <QStringList>

#include <vector>

class QSqlDatabase;

namespace orvella {

// "ORVL" in the database header's application id.
constexpr int kHistoryApplicationId = 0x4F52564C;
// The schema this program writes.
constexpr int kHistorySchemaVersion = 1;

// What a database file holds, read from its header and its table list.
enum class SchemaState {
    Empty,    // no tables and no mark: a new file
    Current,  // ours, at kHistorySchemaVersion
    Older,    // ours, at an older version: to be migrated
    Newer,    // ours, written by a newer program: not to be touched
    Foreign,  // another program's database, or ours without a version
};

struct SchemaInspection {
    SchemaState state = SchemaState::Empty;
    int version = 0;
    QSqlError error;  // set when the file could not be read; state is then meaningless
    bool ok() const { return !error.isValid(); }
};

SchemaInspection inspectSchema(const QSqlDatabase& db);

// The statements of one migration step, from `from` to from + 1.
struct SchemaMigration {
    int from;
    std::vector<QString> statements;
};

// The steps from the first schema on, in order.
const std::vector<SchemaMigration>& historyMigrations();

// Runs the steps of `migrations` from `version` up to `target`, setting
// user_version after each. Runs inside the caller's transaction, so that a
// failing step leaves the file as it was. Returns the first error.
QSqlError migrateSchema(const QSqlDatabase& db, int version, int target,
                        const std::vector<SchemaMigration>& migrations);

// Creates the first schema in an empty database, marks it as ours and
// migrates it to the current version; inside the caller's transaction.
QSqlError createSchema(const QSqlDatabase& db);

// The search index: an SQLite full-text table over `entry.search` with the
// trigram tokenizer, which finds any part of a word of three or more
// characters, the mark up to which entries are in it, and the triggers
// that keep it right. It leaves the schema's version as it is: a program
// without it reads and writes the file as before; its new entries are
// indexed later like any other.
enum class SearchIndex { Present, Missing, Unavailable };
// Whether the file has the index; Unavailable when SQLite has no FTS5.
SearchIndex inspectSearchIndex(const QSqlDatabase& db, QSqlError* error);
// Creates the index, empty (entries are added by the writer in steps);
// inside the caller's transaction.
QSqlError createSearchIndex(const QSqlDatabase& db);
// The rows of the entries that are evaluations of a table (a list of levels,
// of positions; evaluationrecord.h): the key that stays the same for one
// list, the calculator it belongs to, and its rows as one text. Added with
// the first such entry, inside its transaction, leaving the schema's
// version as it is: a program without it shows such an entry as a
// calculation with its parameters and results, and removing the entry
// (clearing the history) removes its rows (ON DELETE CASCADE).
bool hasEvaluationTable(const QSqlDatabase& db, QSqlError* error);
// Creates the table unless the file has it.
QSqlError createEvaluationTable(const QSqlDatabase& db);

// The text that SQLite's MATCH takes for the search words that the index
// can find (three characters or more): each as a phrase, all required.
// Empty when no word is that long.
QString searchIndexQuery(const QStringList& words);

}  // namespace orvella
