// SPDX-License-Identifier: GPL-3.0-or-later
// The history store: entries come back exactly as they were recorded,
// whatever their texts hold; notes, clearing, the calculators list; the
// schema versions and their migration.

#include "evaluationrecord.h"
#include "historymodel.h"
#include "historyschema.h"
#include "historysearch.h"
#include "historystore.h"
#include "historytestsupport.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

Q_DECLARE_METATYPE(orvella::CalculationRecord)
Q_DECLARE_METATYPE(orvella::EvaluationInput)
Q_DECLARE_METATYPE(std::vector<std::string>)

namespace {

void compareRecords(const CalculationRecord& got, const CalculationRecord& want)
{
    QCOMPARE(got.timeUtcMs, want.timeUtcMs);
    QCOMPARE(got.calculatorId, want.calculatorId);
    QCOMPARE(got.window, want.window);
    QCOMPARE(got.calculator, want.calculator);
    QCOMPARE(got.part, want.part);
    QCOMPARE(got.programVersion, want.programVersion);
    QCOMPARE(got.expression, want.expression);
    QCOMPARE(got.note, want.note);
    QCOMPARE(got.inputs.size(), want.inputs.size());
    for (std::size_t i = 0; i < want.inputs.size(); ++i) {
        QCOMPARE(got.inputs[i].key, want.inputs[i].key);
        QCOMPARE(got.inputs[i].label, want.inputs[i].label);
        QCOMPARE(got.inputs[i].unit, want.inputs[i].unit);
        QCOMPARE(got.inputs[i].field, want.inputs[i].field);
        QCOMPARE(got.inputs[i].text, want.inputs[i].text);
        QCOMPARE(got.inputs[i].number, want.inputs[i].number);
    }
    QCOMPARE(got.results.size(), want.results.size());
    for (std::size_t i = 0; i < want.results.size(); ++i) {
        QCOMPARE(got.results[i].key, want.results[i].key);
        QCOMPARE(got.results[i].label, want.results[i].label);
        QCOMPARE(got.results[i].unit, want.results[i].unit);
        QCOMPARE(got.results[i].field, want.results[i].field);
        QCOMPARE(got.results[i].text, want.results[i].text);
    }
}

// An evaluation of rows: their count, beside a background level.
EvaluationOutcome countRows(const EvaluationInput& in, std::string_view)
{
    EvaluationOutcome out;
    ResultValue n = makeResultValue("n", "n", "n", "Anzahl", "", 0);
    n.value = double(in.rows.size() + in.cells.size());
    out.results = {n};
    return out;
}

const EvaluationModel& rowsModel()
{
    static const EvaluationModel model{.id = "tstZeilen", .title = "Zeilen", .ownerTitle = "Probe",
                                       .parameters = {{"LB", "LB", "LB", "Fremdgeräusch", "dB", "", 1}},
                                       .results = {{"n", "n", "n", "Anzahl", "", "", 0}},
                                       .evaluate = countRows};
    return model;
}

// Creates a file as the first schema wrote it, from tests/history/schema1.sql.
bool createSchema1File(const QString& path)
{
    QString script = QString::fromUtf8(fileBytes(QStringLiteral(ORVELLA_SCHEMA1_SQL)));
    QStringList lines = script.split(u'\n');
    lines.removeIf([](const QString& l) { return l.startsWith(QLatin1String("--")); });
    bool ok = !lines.isEmpty();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("schema1"));
        db.setDatabaseName(path);
        ok = ok && db.open();
        for (const QString& statement : lines.join(u'\n').split(QStringLiteral(";\n"), Qt::SkipEmptyParts)) {
            QSqlQuery q(db);
            if (ok && !statement.trimmed().isEmpty() && !q.exec(statement)) {
                qWarning() << statement << q.lastError().text();
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("schema1"));
    return ok;
}

}  // namespace

class TestHistoryStore : public QObject {
    Q_OBJECT
private slots:
    void init();

    void roundTrip_data();
    void roundTrip();
    void idsGrowAndEntriesStaySeparate();
    void noteReplacedAndKept();
    void noteOfMissingEntry();
    void evaluationReplacesItsEntry_data();
    void evaluationReplacesItsEntry();
    void clearLeavesNoTextInTheFile();
    void clearSaysWhenAReaderHoldsTheLog();
    void calculatorsListedOnceByNewestName();
    void nothingOpenedBeforeFirstUse();
    void logCopiedIntoTheFileWhileRecording();

    void newFileIsMarkedWithCurrentSchema();
    void schema1FileIsMigratedAndKeepsItsEntries();
    void migrationStepsRunInOrder();
    void failingMigrationLeavesTheFileAsItWas();
    void missingMigrationStepIsAnError();
    void indexFindsWhatTheTextFinds_data();
    void indexFindsWhatTheTextFinds();

private:
    QString path() const { return dir_->filePath(QStringLiteral("verlauf.sqlite")); }
    std::unique_ptr<QTemporaryDir> dir_;
    QStringList notices_;
};

void TestHistoryStore::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    notices_.clear();
}

void TestHistoryStore::roundTrip_data()
{
    QTest::addColumn<CalculationRecord>("record");

    QTest::newRow("decimal comma in a field") << feuchteRecord("20,5", 20.5);
    QTest::newRow("decimal point in a field") << feuchteRecord("20.5", 20.5);
    // Stored as data: the statement around it must not change.
    QTest::newRow("SQL in a field") << feuchteRecord("'); DROP TABLE entry; --", 0.0, "\" OR 1=1 --");
    {
        CalculationRecord r = feuchteRecord("-3,25e1", -32.5, "  7 ");
        r.inputs[0].label = "Größe ÄÖÜ äöü ß";
        r.results[0].text = "‰ € θ φ";
        r.note = "Büro 2. OG, Südseite; \"Schirm\" 1,6 m\nzweite Zeile\ttab";
        QTest::newRow("umlauts, symbols, quotes, line breaks") << r;
    }
    {
        CalculationRecord r = feuchteRecord("", 0.0, "");
        r.results[0].text.clear();
        QTest::newRow("empty fields") << r;
    }
    QTest::newRow("keypad line") << keypadRecord(1'760'000'123'456);
    {
        CalculationRecord r = feuchteRecord("1E308", 1e308);
        r.calculatorId = "frmSchall.p";
        r.part = "Schalldruckpegel";
        r.inputs[1].number = -0.000123456789012345;
        QTest::newRow("half of a window, extreme numbers") << r;
    }
}

void TestHistoryStore::roundTrip()
{
    QFETCH(CalculationRecord, record);
    HistoryStore store(path());
    const std::optional<std::int64_t> id = store.record(record);
    QVERIFY(id);
    QCOMPARE(store.count(), 1);
    // Read back by a store of its own, as another session would.
    HistoryStore reader(path());
    const std::optional<CalculationRecord> got = reader.entry(*id);
    QVERIFY(got);
    compareRecords(*got, record);
    QCOMPARE(column(reader, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")),
             QStringList({"entry", "entry_search", "entry_search_config", "entry_search_data", "entry_search_docsize",
                          "entry_search_idx", "entry_search_upto", "quantity"}));
}

void TestHistoryStore::idsGrowAndEntriesStaySeparate()
{
    HistoryStore store(path());
    const auto a = store.record(feuchteRecord("20", 20.0));
    const auto b = store.record(feuchteRecord("21", 21.0));
    QVERIFY(a && b);
    QVERIFY(*b > *a);
    QCOMPARE(store.entry(*a)->inputs[0].text, std::string("20"));
    QCOMPARE(store.entry(*b)->inputs[0].text, std::string("21"));
    QVERIFY(!store.entry(*b + 1));
}

void TestHistoryStore::noteReplacedAndKept()
{
    HistoryStore store(path());
    const auto id = store.record(feuchteRecord("20", 20.0));
    QVERIFY(id);
    QVERIFY(store.setNote(*id, QStringLiteral("erste Notiz")));
    QVERIFY(store.setNote(*id, QStringLiteral("Büro '); DROP TABLE entry; --")));
    HistoryStore reader(path());
    QCOMPARE(reader.entry(*id)->note, std::string("Büro '); DROP TABLE entry; --"));
    QCOMPARE(reader.count(), 1);
}

void TestHistoryStore::noteOfMissingEntry()
{
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("20", 20.0)));
    QVERIFY(!store.setNote(999, QStringLiteral("nirgends")));
    QVERIFY(store.isOpen());
}

void TestHistoryStore::evaluationReplacesItsEntry_data()
{
    QTest::addColumn<EvaluationInput>("input");
    QTest::addColumn<std::vector<std::string>>("labels");
    QTest::addColumn<EvaluationInput>("stored");  // as read back: a cell's tab or line break a blank
    QTest::addColumn<std::vector<std::string>>("storedLabels");
    EvaluationInput levels{.rows = {{60.5}, {0.1 + 0.2}, {-3e-7}}, .parameters = {40.25}};
    QTest::newRow("levels, names, background") << levels << std::vector<std::string>{"Lüfter", "Pumpe\tA", ""}
                                               << levels << std::vector<std::string>{"Lüfter", "Pumpe A", ""};
    EvaluationInput positions{.cells = {{"2", "55,3", "0,5", "40"}, {"4", "x\ny", "", "'; DROP TABLE entry"}},
                              .parameters = {std::nullopt}};
    EvaluationInput positionsRead = positions;
    positionsRead.cells[1][1] = "x y";
    QTest::newRow("texts, no background") << positions << std::vector<std::string>{} << positionsRead
                                          << std::vector<std::string>{};
}

// One entry per key: a later state replaces it (its note kept), its rows
// and background level come back as they were, and clearing removes them.
void TestHistoryStore::evaluationReplacesItsEntry()
{
    QFETCH(EvaluationInput, input);
    QFETCH(std::vector<std::string>, labels);
    QFETCH(EvaluationInput, stored);
    QFETCH(std::vector<std::string>, storedLabels);
    EvaluationSnapshot s{.model = &rowsModel(), .key = "k1", .ownerId = "tstOwner", .input = input,
                         .labels = labels, .decimalMark = ",", .timeUtcMs = 1000};
    HistoryStore store(path());
    EvaluationSnapshot first = s;
    first.input.rows.resize(std::min<std::size_t>(1, first.input.rows.size()));
    const auto id = store.record(recordOf(first));
    QVERIFY(id && store.setNote(*id, QStringLiteral("Halle 3")));
    s.timeUtcMs = 2000;
    QCOMPARE(store.record(recordOf(s)), id);
    s.key = "k2";
    QVERIFY(store.record(recordOf(s)) > id);
    QCOMPARE(store.count(), 2);

    HistoryStore reader(path());
    const std::optional<CalculationRecord> got = reader.entry(*id);
    QVERIFY(got);
    QCOMPARE(got->note, std::string("Halle 3"));
    QCOMPARE(got->timeUtcMs, 2000);
    QCOMPARE(got->results.at(0).text, std::to_string(s.rowCount()));
    QCOMPARE(got->inputs.size(), input.parameters.at(0) ? 2u : 1u);
    QCOMPARE(got->inputs.back().text, input.parameters.at(0) ? std::string("40,25") : std::to_string(s.rowCount()));
    const EvaluationSnapshot back = snapshotOf(*got, rowsModel());
    QCOMPARE(back.key, std::string("k1"));
    QCOMPARE(back.ownerId, std::string("tstOwner"));
    QVERIFY(back.input.rows == stored.rows);
    QVERIFY(back.input.cells == stored.cells);
    QVERIFY(back.input.parameters == stored.parameters);
    QVERIFY(back.labels == storedLabels);

    QVERIFY(store.clear());
    QCOMPARE(column(store, "SELECT count(*) FROM evaluation"), QStringList{"0"});
}

void TestHistoryStore::clearLeavesNoTextInTheFile()
{
    const std::string secret = "Geheimprojekt-4711";
    {
        HistoryStore store(path());
        for (int i = 0; i < 50; ++i) {
            CalculationRecord r = feuchteRecord(secret, 1.0);
            r.note = secret;
            QVERIFY(store.record(r));
        }
        QVERIFY(store.clear());
        QCOMPARE(store.count(), 0);
        QVERIFY(store.record(feuchteRecord("20", 20.0)));
        QCOMPARE(store.count(), 1);
    }
    const QByteArray all = fileBytes(path()) + fileBytes(path() + "-wal");
    QVERIFY(!all.isEmpty());
    QVERIFY2(!all.contains(QByteArray::fromStdString(secret)), "a cleared entry is still in the file");
}

void TestHistoryStore::clearSaysWhenAReaderHoldsTheLog()
{
    const QByteArray secret = "Geheimprojekt-0815";
    HistoryStoreOptions quick;
    quick.busyTimeoutMs = 50;
    HistoryStore store(path(), {}, quick);
    for (int i = 0; i < 20; ++i)
        QVERIFY(store.record(feuchteRecord(secret.toStdString(), 1.0)));
    // Another Orvella in the middle of reading the Verlauf.
    OtherConnection reader(path(), {"BEGIN", "SELECT count(*) FROM entry"});
    QVERIFY(reader.ok());
    QVERIFY(store.clear());
    QCOMPARE(store.count(), 0);
    QVERIFY(store.clearingPending());
    QVERIFY(!store.finishClearing());
    QVERIFY(fileBytes(path() + "-wal").contains(secret));

    reader.release();
    QVERIFY(store.finishClearing());
    QVERIFY(!store.clearingPending());
    QVERIFY(!(fileBytes(path()) + fileBytes(path() + "-wal")).contains(secret));
}

void TestHistoryStore::calculatorsListedOnceByNewestName()
{
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("1", 1.0, "1", 1000)));
    QVERIFY(store.record(schallRecord("1", 1200)));
    CalculationRecord renamed = feuchteRecord("1", 1.0, "1", 2000);
    renamed.calculator = "Kritische Feuchte";
    QVERIFY(store.record(renamed));
    QVERIFY(store.record(feuchteRecord("1", 1.0, "1", 1500)));

    const auto list = store.calculators();
    QCOMPARE(list.size(), std::size_t(2));
    QCOMPARE(list[0].first, QStringLiteral("frmFeuchte"));
    QCOMPARE(list[0].second, QStringLiteral("Kritische Feuchte"));
    QCOMPARE(list[1].first, QStringLiteral("frmSchall.l"));
    QCOMPARE(list[1].second, QStringLiteral("Schallleistung - Schalldruck (Schallleistungspegel)"));
}

void TestHistoryStore::nothingOpenedBeforeFirstUse()
{
    const QString nested = dir_->filePath(QStringLiteral("neu/ordner/verlauf.sqlite"));
    HistoryStore store(nested);
    QVERIFY(!store.isOpen());
    QVERIFY(!QFile::exists(nested));
    QVERIFY(store.record(feuchteRecord("20", 20.0)));
    QVERIFY(QFile::exists(nested));
}

void TestHistoryStore::logCopiedIntoTheFileWhileRecording()
{
    // The recording connection never copies its log into the file itself;
    // without the checkpointer's thread the log would grow with every entry,
    // to some 80 MiB after this burst.
    constexpr int kBurst = 3000;
    constexpr qint64 kLimit = 16 * 1024 * 1024;
    HistoryStore store(path());
    CalculationRecord r = feuchteRecord(std::string(300, 'x'), 1.0);
    r.note = std::string(300, 'y');
    for (int i = 0; i < kBurst; ++i)
        QVERIFY(store.record(r));
    // Usually the log is beyond the limit now; on a slow build (sanitizers)
    // the checkpointer may have kept pace with the burst, which is as good.
    // Then calculations at a human pace: once the checkpointer has caught
    // up, the next entry starts the log again from its beginning, cut back
    // to 16 MiB. (A machine under load may need a few seconds.)
    int more = 0;
    qint64 log = 0;
    do {
        QTest::qWait(100);
        QVERIFY(store.record(r));
        ++more;
        log = QFileInfo(path() + "-wal").size();
    } while (log > kLimit && more < 100);
    QVERIFY2(log <= kLimit, qPrintable(QStringLiteral("log of %1 bytes").arg(log)));
    QCOMPARE(store.count(), kBurst + more);
}

void TestHistoryStore::newFileIsMarkedWithCurrentSchema()
{
    HistoryStore store(path());
    QVERIFY(store.open());
    QCOMPARE(column(store, "PRAGMA application_id"), QStringList{QString::number(kHistoryApplicationId)});
    QCOMPARE(column(store, "PRAGMA user_version"), QStringList{QString::number(kHistorySchemaVersion)});
    QCOMPARE(column(store, "PRAGMA journal_mode"), QStringList{"wal"});
    // NORMAL is 1: the log is synced at checkpoints, not at every commit.
    QCOMPARE(column(store, "PRAGMA synchronous"), QStringList{"1"});
    QVERIFY(column(store, "SELECT name FROM sqlite_master WHERE type = 'index'").contains("entry_by_time"));
    // The "ORVL" mark stands in the file's header (offset 68, big-endian).
    store.database().close();
    QCOMPARE(fileBytes(path()).mid(68, 4), QByteArray("ORVL"));
}

void TestHistoryStore::schema1FileIsMigratedAndKeepsItsEntries()
{
    QVERIFY(createSchema1File(path()));
    HistoryStore store(path(), [this](const QString& n) { notices_ << n; });
    QVERIFY(store.open());
    QVERIFY(notices_.isEmpty());
    QCOMPARE(column(store, "PRAGMA user_version"), QStringList{QString::number(kHistorySchemaVersion)});

    const std::optional<CalculationRecord> old = store.entry(7);
    QVERIFY(old);
    QCOMPARE(old->calculatorId, std::string("frmSchall.l"));
    QCOMPARE(old->part, std::string("Schallleistungspegel"));
    QCOMPARE(old->note, std::string("Büro 2. OG"));
    QCOMPARE(old->inputs.size(), std::size_t(2));
    QCOMPARE(old->inputs[0].text, std::string("60,5"));
    QCOMPARE(old->inputs[0].number, 60.5);
    QCOMPARE(old->results.size(), std::size_t(1));
    QCOMPARE(old->results[0].text, std::string("79,53"));

    const auto id = store.record(feuchteRecord("20", 20.0));
    QVERIFY(id);
    QVERIFY(*id > 7);
    QCOMPARE(store.count(), 2);
    QCOMPARE(column(store, "PRAGMA integrity_check"), QStringList{"ok"});
}

void TestHistoryStore::migrationStepsRunInOrder()
{
    HistoryStore store(path());
    QVERIFY(store.open());
    const std::vector<SchemaMigration> steps = {
        {2, {"ALTER TABLE entry ADD COLUMN third TEXT"}},
        {1, {"ALTER TABLE entry ADD COLUMN second TEXT", "UPDATE entry SET second = 'zwei'"}},
    };
    QSqlQuery(store.database()).exec("BEGIN");
    QVERIFY(!migrateSchema(store.database(), 1, 3, steps).isValid());
    QSqlQuery(store.database()).exec("COMMIT");
    QCOMPARE(column(store, "PRAGMA user_version"), QStringList{"3"});
    const QStringList columns = column(store, "SELECT name FROM pragma_table_info('entry')");
    QVERIFY(columns.contains("second"));
    QVERIFY(columns.contains("third"));
}

void TestHistoryStore::failingMigrationLeavesTheFileAsItWas()
{
    QVERIFY(createSchema1File(path()));
    HistoryStore store(path());
    QVERIFY(store.open());
    const std::vector<SchemaMigration> steps = {
        {1, {"ALTER TABLE entry ADD COLUMN added TEXT", "THIS IS NOT SQL"}},
    };
    QSqlQuery(store.database()).exec("BEGIN");
    QVERIFY(migrateSchema(store.database(), 1, 2, steps).isValid());
    QSqlQuery(store.database()).exec("ROLLBACK");
    QCOMPARE(column(store, "PRAGMA user_version"), QStringList{"1"});
    QVERIFY(!column(store, "SELECT name FROM pragma_table_info('entry')").contains("added"));
    QCOMPARE(store.count(), 1);
}

void TestHistoryStore::missingMigrationStepIsAnError()
{
    HistoryStore store(path());
    QVERIFY(store.open());
    const std::vector<SchemaMigration> steps = {{1, {"ALTER TABLE entry ADD COLUMN second TEXT"}}};
    QVERIFY(migrateSchema(store.database(), 1, 3, steps).isValid());
}

void TestHistoryStore::indexFindsWhatTheTextFinds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    QTest::newRow("number, comma") << "60,5" << 1;
    QTest::newRow("number, point") << "60.5" << 1;
    QTest::newRow("two numbers, mixed marks") << "79,53 60.5" << 1;
    QTest::newRow("written with a comma, searched with a point") << "20.5" << 1;
    QTest::newRow("written with a comma, searched with a comma") << "20,5" << 1;
    QTest::newRow("part of a word, any case") << "LEISTUNG" << 1;
    QTest::newRow("part of two numbers") << "0,5" << 2;
    QTest::newRow("umlaut in a note") << "büro" << 1;
    QTest::newRow("a changed note") << "wand süd" << 1;
    QTest::newRow("a word of two letters") << "og" << 1;
    QTest::newRow("a short and a long word") << "og schalldruck" << 1;
    QTest::newRow("unit with a symbol") << "°c" << 1;
    QTest::newRow("an older program's entry") << "nachhallzeit 0,8" << 1;
    QTest::newRow("quotes and wildcards") << "\"50 %_\"" << 0;
    QTest::newRow("nothing") << "trittschall" << 0;
}

void TestHistoryStore::indexFindsWhatTheTextFinds()
{
    QFETCH(QString, text);
    QFETCH(int, found);
    // A file of the first schema, before the search index: it gets the
    // index, which takes its entries in a step; a note changed after is
    // changed in it, and an entry a program without the index writes is
    // found while it is not in it yet.
    QVERIFY(createSchema1File(path()));
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("20,5", 20.5)));
    QVERIFY(!store.indexSearch(256));
    QCOMPARE(store.searchIndexedUpTo(), std::int64_t(8));
    QVERIFY(store.setNote(7, QStringLiteral("Büro 2. OG, Wand Süd")));
    QVERIFY(QSqlQuery(store.database())
                .exec("INSERT INTO entry (time_utc_ms, calculator_id, window, calculator, part, program_version,"
                      " expression, search) VALUES (1770000000000, 'frmDLprognose', 'frmDLprognose', 'DL2', '',"
                      " '1.2.0', '', 'nachhallzeit 0.8 s')"));
    QVERIFY(store.hasSearchIndex());
    QCOMPARE(column(store, "PRAGMA user_version"), QStringList{"1"});

    // What the entries' own text finds, word by word, newest first.
    QStringList conditions;
    QVariantList values;
    const QStringList words = searchWords(text);
    for (const QString& word : words) {
        conditions << QStringLiteral("instr(search, ?) > 0");
        values << word;
    }
    QSqlQuery q(store.database());
    QVERIFY(q.prepare("SELECT id FROM entry WHERE " + conditions.join(" AND ") + " ORDER BY time_utc_ms DESC, id DESC"));
    for (const QVariant& v : values)
        q.addBindValue(v);
    QVERIFY(q.exec());
    std::vector<std::int64_t> expected;
    while (q.next())
        expected.push_back(q.value(0).toLongLong());

    HistoryModel model(store);
    model.setSearchText(text);
    QCOMPARE(model.matchingIds(), expected);
    QCOMPARE(model.rowCount(), found);
    QCOMPARE(int(expected.size()), found);
}

QTEST_GUILESS_MAIN(TestHistoryStore)
#include "tst_historystore.moc"
