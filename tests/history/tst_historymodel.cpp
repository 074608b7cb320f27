// SPDX-License-Identifier: GPL-3.0-or-later
// The history as a table: newest first, read lazily in pages of 256, the
// filter by calculator, the search for text and for numbers in either
// decimal mark (bounded: a pasted paragraph neither fails nor stops the
// history), and the note edited in place.

#include "historymodel.h"
#include "historysearch.h"
#include "historytestsupport.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

QStringList columnTexts(const HistoryModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

}  // namespace

class TestHistoryModel : public QObject {
    Q_OBJECT
private slots:
    void init();

    void foldForSearch_data();
    void foldForSearch();

    void newestFirstInPagesOf256();
    void equalTimesNewestRecordFirst();
    void columnsShowWhatWasRecorded();
    void filterByCalculator();
    void search_data();
    void search();
    void searchReadsPastTheFirstPage();
    void hugeSearchIsCutAndRecordingGoesOn_data();
    void hugeSearchIsCutAndRecordingGoesOn();
    void noteEditedInPlace();
    void reloadShowsNewEntries();
    void newerEntriesGoAboveTheRowsRead();
    void moreThanAPageOfNewerEntriesReload();
    void matchingIdsBeyondTheRowsRead();

private:
    QString path() const { return dir_->filePath(QStringLiteral("verlauf.sqlite")); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void TestHistoryModel::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

void TestHistoryModel::foldForSearch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");
    QTest::newRow("decimal comma") << "60,5" << "60.5";
    QTest::newRow("decimal point stays") << "60.5" << "60.5";
    QTest::newRow("comma before a digit only") << ",5" << ".5";
    QTest::newRow("comma after a digit only") << "60," << "60.";
    QTest::newRow("comma between words stays") << "Raum, Büro" << "raum, büro";
    QTest::newRow("umlauts folded") << "ÄÖÜ Größe" << "äöü größe";
    QTest::newRow("two numbers") << "1,5;2,25" << "1.5;2.25";
}

void TestHistoryModel::foldForSearch()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(orvella::foldForSearch(text), folded);
}

void TestHistoryModel::newestFirstInPagesOf256()
{
    HistoryStore store(path());
    // Recorded in an order that is not the order of their times.
    for (int i = 0; i < 600; ++i)
        QVERIFY(store.record(feuchteRecord(std::to_string(i), i, "10", 1'000'000 + (i * 7919) % 600 * 1000)));

    HistoryModel model(store);
    QCOMPARE(model.rowCount(), 256);
    QVERIFY(model.canFetchMore({}));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 512);
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 600);
    QVERIFY(!model.canFetchMore({}));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 600);

    // Every entry once, by time from the newest on.
    QSet<qint64> ids;
    qint64 previousTime = std::numeric_limits<qint64>::max();
    for (int row = 0; row < model.rowCount(); ++row) {
        const qint64 id = model.entryId(row);
        ids.insert(id);
        const qint64 time = store.entry(id)->timeUtcMs;
        QVERIFY2(time < previousTime, qPrintable(QString::number(row)));
        previousTime = time;
    }
    QCOMPARE(ids.size(), 600);
    // Qt's model checks, last: they fetch every page themselves. (Qt 6.4's
    // tester takes a fetch right after a reset for a change in the middle of
    // the reset, so the searches below stay within one page.)
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setSearchText("599");
    QCOMPARE(model.rowCount(), 1);
    model.setSearchText("kein Treffer");
    QCOMPARE(model.rowCount(), 0);
}

void TestHistoryModel::equalTimesNewestRecordFirst()
{
    HistoryStore store(path());
    std::vector<std::int64_t> ids;
    for (int i = 0; i < 300; ++i)
        ids.push_back(*store.record(feuchteRecord(std::to_string(i), i, "10", 5000)));
    HistoryModel model(store);
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 300);
    for (int row = 0; row < 300; ++row)
        QCOMPARE(model.entryId(row), ids[std::size_t(299 - row)]);
}

void TestHistoryModel::columnsShowWhatWasRecorded()
{
    HistoryStore store(path());
    CalculationRecord r = feuchteRecord("'); DROP TABLE entry; --", 0.0, "10,5", 1000);
    r.note = "Büro 2. OG";
    QVERIFY(store.record(r));
    QVERIFY(store.record(keypadRecord(2000)));

    HistoryModel model(store);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.headerData(HistoryModel::InputsColumn, Qt::Horizontal).toString(), QStringLiteral("Eingaben"));
    QCOMPARE(model.index(0, HistoryModel::CalculatorColumn).data().toString(), QStringLiteral("dB Calculator"));
    QCOMPARE(model.index(0, HistoryModel::InputsColumn).data().toString(), QStringLiteral("60 + 60 = 63"));
    QCOMPARE(model.index(0, HistoryModel::ResultsColumn).data().toString(), QStringLiteral("Ergebnis:  63 dB"));
    QCOMPARE(model.index(0, HistoryModel::NoteColumn).data().toString(), QString());
    QCOMPARE(model.index(1, HistoryModel::InputsColumn).data().toString(),
             QStringLiteral("Raumtemperatur: '); DROP TABLE entry; -- °C; Oberflächentemperatur: 10,5 °C"));
    QCOMPARE(model.index(1, HistoryModel::ResultsColumn).data().toString(),
             QStringLiteral("Oberflächenkondensation: 52,57 %; Schimmelpilzbildungsgefahr: 65,72 %"));
    QCOMPARE(model.index(1, HistoryModel::NoteColumn).data().toString(), QStringLiteral("Büro 2. OG"));
    QCOMPARE(model.index(1, HistoryModel::TimeColumn).data().toString(),
             QDateTime::fromMSecsSinceEpoch(1000).toLocalTime().toString("dd.MM.yyyy HH:mm:ss"));
    QCOMPARE(model.index(1, HistoryModel::TimeColumn).data(HistoryModel::CalculatorIdRole).toString(),
             QStringLiteral("frmFeuchte"));
    QVERIFY(model.flags(model.index(1, HistoryModel::NoteColumn)) & Qt::ItemIsEditable);
    QVERIFY(!(model.flags(model.index(1, HistoryModel::InputsColumn)) & Qt::ItemIsEditable));
}

void TestHistoryModel::filterByCalculator()
{
    HistoryStore store(path());
    for (int i = 0; i < 30; ++i) {
        QVERIFY(store.record(feuchteRecord("20", 20.0, "10", 3 * i)));
        QVERIFY(store.record(schallRecord("60", 3 * i + 1)));
        QVERIFY(store.record(keypadRecord(3 * i + 2)));
    }
    HistoryModel model(store);
    QCOMPARE(model.rowCount(), 90);
    model.setCalculatorFilter({"frmSchall.l"});
    QCOMPARE(model.rowCount(), 30);
    for (int row = 0; row < 30; ++row)
        QCOMPARE(model.index(row, 0).data(HistoryModel::CalculatorIdRole).toString(), QStringLiteral("frmSchall.l"));
    model.setCalculatorFilter({"frmSchall.l", "frmCalculator"});
    QCOMPARE(model.rowCount(), 60);
    model.setCalculatorFilter({"frmSchall.p"});
    QCOMPARE(model.rowCount(), 0);
    model.setCalculatorFilter({});
    QCOMPARE(model.rowCount(), 90);
}

void TestHistoryModel::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("calculators");  // of the rows found, newest first

    const QStringList none;
    QTest::newRow("number with a comma finds both marks") << "60,5" << QStringList{"frmSchall.l", "frmSchall.l"};
    QTest::newRow("number with a point finds both marks") << "60.5" << QStringList{"frmSchall.l", "frmSchall.l"};
    QTest::newRow("result written with a comma, searched with a point") << "52.57" << QStringList{"frmFeuchte"};
    QTest::newRow("label in another case") << "RAUMTEMPERATUR" << QStringList{"frmFeuchte"};
    QTest::newRow("umlaut in another case") << "OBERFLÄCHEN" << QStringList{"frmFeuchte"};
    QTest::newRow("the note") << "büro" << QStringList{"frmFeuchte"};
    QTest::newRow("calculator name") << "dB calc" << QStringList{"frmCalculator"};
    QTest::newRow("all words, anywhere") << "63 60" << QStringList{"frmCalculator"};
    QTest::newRow("SQL as text") << "'); drop" << QStringList{"frmSchall.l"};
    // LIKE's wildcards and its escape character are searched as they stand.
    QTest::newRow("a percent sign is no wildcard") << "%" << QStringList{"frmFeuchte"};
    QTest::newRow("an underscore is no wildcard") << "a_b" << none;
    QTest::newRow("an underscore found") << "x_1" << QStringList{"frmFeuchte"};
    QTest::newRow("a backslash found") << "c:\\projekte" << QStringList{"frmFeuchte"};
    QTest::newRow("a backslash before a wildcard") << "\\%" << none;
    QTest::newRow("blank: everything") << "   " << QStringList{"frmCalculator", "frmSchall.l", "frmSchall.l", "frmSchall.l", "frmFeuchte"};
    QTest::newRow("nothing found") << "Nachhallzeit" << none;
}

void TestHistoryModel::search()
{
    QFETCH(QString, text);
    QFETCH(QStringList, calculators);

    HistoryStore store(path());
    CalculationRecord feuchte = feuchteRecord("20", 20.0, "10", 1000);
    feuchte.note = "Büro Süd, C:\\Projekte\\x_1";
    QVERIFY(store.record(feuchte));
    QVERIFY(store.record(schallRecord("60,5", 2000)));
    QVERIFY(store.record(schallRecord("60.5", 3000)));
    QVERIFY(store.record(schallRecord("'); DROP TABLE entry; --", 4000)));
    QVERIFY(store.record(keypadRecord(5000)));

    HistoryModel model(store);
    model.setSearchText(text);
    QStringList found;
    for (int row = 0; row < model.rowCount(); ++row)
        found << model.index(row, 0).data(HistoryModel::CalculatorIdRole).toString();
    if (text == "'); drop")
        QCOMPARE(model.rowCount(), 1);
    QCOMPARE(found, calculators);
    QCOMPARE(store.count(), 5);
}

void TestHistoryModel::searchReadsPastTheFirstPage()
{
    HistoryStore store(path());
    for (int i = 0; i < 700; ++i)
        QVERIFY(store.record(i % 2 ? schallRecord("60", i) : feuchteRecord("20", 20.0, "10", i)));
    HistoryModel model(store);
    model.setSearchText("schalldruckpegel 60");
    QCOMPARE(model.rowCount(), 256);
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 350);
    QVERIFY(!model.canFetchMore({}));
    const QStringList names = columnTexts(model, HistoryModel::CalculatorColumn);
    QCOMPARE(names.count(QStringLiteral("Schallleistung - Schalldruck (Schallleistungspegel)")), 350);
}

void TestHistoryModel::hugeSearchIsCutAndRecordingGoesOn_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    const QString words = QStringLiteral("raumtemperatur ").repeated(1001);
    QTest::newRow("1001 words, all in the entry") << words << 1;
    QTest::newRow("1001 words, the last one nowhere") << words + "nachhallzeit" << 1;
    QTest::newRow("one word of 60 000 characters") << QString(60000, u'x') << 0;
}

void TestHistoryModel::hugeSearchIsCutAndRecordingGoesOn()
{
    QFETCH(QString, text);
    QFETCH(int, found);
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("20", 20.0)));
    HistoryModel model(store);
    model.setSearchText(text);
    QVERIFY(model.searchCut());
    QVERIFY(!model.readFailed());
    QCOMPARE(model.rowCount(), found);
    // The store goes on recording, and the search goes back to all.
    QVERIFY(store.record(feuchteRecord("21", 21.0)));
    QVERIFY(!store.isOff());
    model.setSearchText("raumtemperatur");
    QVERIFY(!model.searchCut());
    QCOMPARE(model.rowCount(), 2);
}

void TestHistoryModel::noteEditedInPlace()
{
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("20", 20.0, "10", 1000)));
    QVERIFY(store.record(feuchteRecord("21", 21.0, "10", 2000)));
    HistoryModel model(store);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const QModelIndex note = model.index(1, HistoryModel::NoteColumn);
    QVERIFY(model.setData(note, QStringLiteral("Erste Fassung")));
    QVERIFY(model.setData(note, QStringLiteral("Schirmhöhe 1,6 m angenommen")));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(note.data().toString(), QStringLiteral("Schirmhöhe 1,6 m angenommen"));
    QVERIFY(!model.setData(model.index(1, HistoryModel::InputsColumn), QStringLiteral("x")));

    // Kept in the file, and found by the search in either decimal mark.
    HistoryModel other(store);
    QCOMPARE(other.index(1, HistoryModel::NoteColumn).data().toString(),
             QStringLiteral("Schirmhöhe 1,6 m angenommen"));
    other.setSearchText("Fassung");
    QCOMPARE(other.rowCount(), 0);
    other.setSearchText("SCHIRMHÖHE 1.6");
    QCOMPARE(other.rowCount(), 1);
    QCOMPARE(other.index(0, HistoryModel::InputsColumn).data().toString(),
             QStringLiteral("Raumtemperatur: 20 °C; Oberflächentemperatur: 10 °C"));
}

void TestHistoryModel::reloadShowsNewEntries()
{
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("20", 20.0, "10", 1000)));
    HistoryModel model(store);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(store.record(schallRecord("60", 2000)));
    model.reload();
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, 0).data(HistoryModel::CalculatorIdRole).toString(), QStringLiteral("frmSchall.l"));
    QVERIFY(store.clear());
    model.reload();
    QCOMPARE(model.rowCount(), 0);
}

void TestHistoryModel::newerEntriesGoAboveTheRowsRead()
{
    HistoryStore store(path());
    for (int i = 0; i < 300; ++i)
        QVERIFY(store.record(feuchteRecord(std::to_string(i), i, "10", 1000 + i)));
    HistoryModel model(store);
    model.setCalculatorFilter({"frmSchall.l"});
    QVERIFY(store.record(schallRecord("50", 500)));
    model.setCalculatorFilter({"frmSchall.l", "frmFeuchte"});
    model.fetchMore({});
    QCOMPARE(model.rowCount(), 301);
    const qint64 oldest = model.entryId(300);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    // Newer entries: one the filter takes, one it leaves out, one more.
    QVERIFY(store.record(schallRecord("61", 5000)));
    QVERIFY(store.record(keypadRecord(5001)));
    QVERIFY(store.record(feuchteRecord("neu", 0.0, "10", 5002)));
    model.fetchNewer();
    QCOMPARE(reset.size(), 0);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.front().at(1).toInt(), 0);
    QCOMPARE(inserted.front().at(2).toInt(), 1);
    QCOMPARE(model.rowCount(), 303);
    QCOMPARE(model.index(0, HistoryModel::InputsColumn).data().toString(),
             QStringLiteral("Raumtemperatur: neu °C; Oberflächentemperatur: 10 °C"));
    QCOMPARE(model.index(1, 0).data(HistoryModel::CalculatorIdRole).toString(), QStringLiteral("frmSchall.l"));
    QCOMPARE(model.entryId(302), oldest);
    // Nothing new: nothing changes.
    model.fetchNewer();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(model.rowCount(), 303);
}

void TestHistoryModel::moreThanAPageOfNewerEntriesReload()
{
    HistoryStore store(path());
    QVERIFY(store.record(feuchteRecord("alt", 0.0, "10", 1000)));
    HistoryModel model(store);
    for (int i = 0; i < HistoryModel::kFetchSize + 1; ++i)
        QVERIFY(store.record(feuchteRecord(std::to_string(i), i, "10", 2000 + i)));
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.fetchNewer();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), HistoryModel::kFetchSize);
    QCOMPARE(model.index(0, HistoryModel::InputsColumn).data().toString(),
             QStringLiteral("Raumtemperatur: 256 °C; Oberflächentemperatur: 10 °C"));
    model.fetchMore({});
    QCOMPARE(model.rowCount(), HistoryModel::kFetchSize + 2);
}

void TestHistoryModel::matchingIdsBeyondTheRowsRead()
{
    HistoryStore store(path());
    std::vector<std::int64_t> schall;
    for (int i = 0; i < 600; ++i) {
        if (i % 2)
            schall.push_back(*store.record(schallRecord(i % 3 ? "60,5" : "70", i)));
        else
            QVERIFY(store.record(feuchteRecord("60,5", 60.5, "10", i)));
    }
    HistoryModel model(store);
    model.setCalculatorFilter({"frmSchall.l"});
    QCOMPARE(model.rowCount(), 256);
    std::vector<std::int64_t> expected(schall.rbegin(), schall.rend());
    QCOMPARE(model.matchingIds(), expected);
    model.setSearchText("60.5");
    expected.clear();
    for (auto it = schall.rbegin(); it != schall.rend(); ++it)
        if (store.entry(*it)->inputs[0].text == "60,5")
            expected.push_back(*it);
    QCOMPARE(expected.size(), std::size_t(200));
    QCOMPARE(model.matchingIds(), expected);
    QCOMPARE(model.rowCount(), 200);
}

QTEST_GUILESS_MAIN(TestHistoryModel)
#include "tst_historymodel.moc"
