// SPDX-License-Identifier: GPL-3.0-or-later
// The Verlauf window with the program's real calculator windows: where its
// filter starts, the search in either decimal mark, "Übernehmen" putting an
// entry back so that the calculator shows what it showed then (and only an
// entry of its own calculator), the note edited in place, the window
// following the history (new entries, cleared, switched off, a notice), and
// the exports: Ctrl+C, CSV in the user's decimal mark, the report as PDF and
// as ODF text with the worked calculation of each entry.

#include "companions.h"
#include "evaluationrecord.h"
#include "historytestsupport.h"
#include "levellistdescription.h"
#include "numbers.h"
#include "shell.h"
#include "testsupport.h"
#include "verlaufreport.h"
#include "verlaufwindow.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// The texts of a calculation in a window: its inputs as typed, then the
// results it wrote.
struct Shown {
    QStringList inputs;
    QStringList results;
};

const CalculatorModel* modelWithId(const std::string& id)
{
    for (const CalculatorModel* m : allCalculatorModels())
        if (m->id == id)
            return m;
    return nullptr;
}

QStringList fieldTexts(const QWidget* window, const std::vector<std::string>& fields)
{
    QStringList texts;
    for (const std::string& f : fields)
        texts << textOf(window, QString::fromStdString(f));
    return texts;
}

std::vector<std::string> inputFields(const CalculatorModel& m)
{
    std::vector<std::string> f;
    for (const InputQuantity& q : m.inputs)
        f.push_back(q.field);
    return f;
}

std::vector<std::string> resultFields(const CalculatorModel& m)
{
    std::vector<std::string> f;
    for (const Quantity& q : m.results)
        f.push_back(q.field);
    return f;
}

// Types `texts` into the model's input fields and clicks its calculate
// button; the window's calculate path records the calculation.
Shown calculateIn(QWidget* window, const CalculatorModel& m, const QStringList& texts)
{
    for (std::size_t i = 0; i < m.inputs.size(); ++i)
        setTextOf(window, QString::fromStdString(m.inputs[i].field), texts.value(int(i)));
    click(window, QString::fromStdString(m.calculateButton));
    return {fieldTexts(window, inputFields(m)), fieldTexts(window, resultFields(m))};
}

QStringList rowsShown(const VerlaufWindow& w, int column)
{
    QStringList texts;
    for (int row = 0; row < w.model()->rowCount(); ++row)
        texts << w.model()->index(row, column).data().toString();
    return texts;
}

QString runTool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestVerlaufWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filterStartsAtTheOwner_data();
    void filterStartsAtTheOwner();
    void searchInEitherDecimalMark_data();
    void searchInEitherDecimalMark();
    void applyShowsWhatTheWindowShowedThen_data();
    void applyShowsWhatTheWindowShowedThen();
    void applyOnlyForTheOwnersCalculators();
    void noteEditedInPlace();
    void f2EditsTheNoteFromAnyColumn();
    void followsTheHistory();
    void clearAsksFirst();
    void clearSaysWhatAReaderHoldsBack();
    void noticeInTheWindow();
    void textShownAsTyped();
    void copySelectedOrFound();
    void largeCopyAsksFirst_data();
    void largeCopyAsksFirst();
    void csvInTheUsersDecimalMark();
    void reportAsPdfAndOdf();
    void keypadReportWorksItsEqual_data();
    void keypadReportWorksItsEqual();
    void levelListReportedWithItsRows_data();
    void levelListReportedWithItsRows();

private:
    // The calculator window a menu button opens; the menu for an empty name.
    QWidget* owner(const QString& button, const QString& window);
    VerlaufWindow* openVerlauf(QWidget* owner);
    // A second Verlauf of every calculator on the same history, as a window
    // of its own (while a calculator is open the menu is unloaded).
    std::unique_ptr<VerlaufWindow> secondVerlauf();
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<HistoryHub> hub_;
    std::unique_ptr<Shell> shell_;
};

void TestVerlaufWindow::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestVerlaufWindow::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    hub_ = std::make_unique<HistoryHub>(dir_->filePath("share/orvella/verlauf.sqlite"),
                                        dir_->filePath("config/orvella.conf"));
    shell_ = std::make_unique<Shell>();
    shell_->menu().show();
    setVerlaufQuestion({});
    setVerlaufFileDialog({});
    // As the program does: every completed calculation into the history.
    setCalculationObserver([this](const CalculationRecord& r) { hub_->record(r); });
}

void TestVerlaufWindow::cleanup()
{
    setCalculationObserver({});
    shell_.reset();
    processDeferredDeletes();
    hub_.reset();
}

QWidget* TestVerlaufWindow::owner(const QString& button, const QString& window)
{
    if (button.isEmpty())
        return shell_->menu().window();
    return openFromMenu(shell_->menu(), button, window);
}

VerlaufWindow* TestVerlaufWindow::openVerlauf(QWidget* owner)
{
    auto* designed = qobject_cast<DesignedWindow*>(owner);
    if (!designed)
        return nullptr;
    return qobject_cast<VerlaufWindow*>(openVerlaufWindow(companionRequest(*designed), *hub_));
}

std::unique_ptr<VerlaufWindow> TestVerlaufWindow::secondVerlauf()
{
    CompanionRequest request;
    request.title = QStringLiteral("Orvella");
    request.models = allCalculatorModels();
    request.allModels = request.models;
    return std::make_unique<VerlaufWindow>(request, *hub_);
}

void TestVerlaufWindow::filterStartsAtTheOwner_data()
{
    QTest::addColumn<QString>("button");  // empty: the menu
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("calculators");  // of the rows shown
    QTest::addColumn<bool>("applies");

    QTest::newRow("menu: every entry") << "" << "frmOption" << "Alle Rechner"
                                       << QStringList{"frmSchall.p", "frmFeuchte", "frmSchall.l", "frmTemperatur"}
                                       << false;
    QTest::newRow("critical humidity: its own")
        << "Command3" << "frmFeuchte" << "Kritische Feuchte Calculator" << QStringList{"frmFeuchte"} << true;
    QTest::newRow("converter: both halves") << "Command2" << "frmSchall" << "Schallleistung - Schalldruck"
                                            << QStringList{"frmSchall.p", "frmSchall.l"} << true;
    QTest::newRow("open-plan office: none yet")
        << "Command5" << "frmDLprognose" << "Großraumbüro DL2 Prognose" << QStringList{} << true;
}

void TestVerlaufWindow::filterStartsAtTheOwner()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QString, filter);
    QFETCH(QStringList, calculators);
    QFETCH(bool, applies);

    CalculationRecord r = feuchteRecord("20", 20.0, "10", 1000);
    r.calculatorId = "frmTemperatur";
    QVERIFY(hub_->record(r));
    QVERIFY(hub_->record(schallRecord("60", 2000)));
    QVERIFY(hub_->record(feuchteRecord("21", 21.0, "10", 3000)));
    r = schallRecord("60", 4000);
    r.calculatorId = "frmSchall.p";
    QVERIFY(hub_->record(r));

    QWidget* w = owner(button, window);
    QVERIFY(w);
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->windowTitle(), QStringLiteral("Verlauf – Orvella"));
    QCOMPARE(verlauf->parentWidget(), w);
    QCOMPARE(verlauf->calculatorFilter()->currentText().trimmed(), filter);
    QStringList shown;
    for (int row = 0; row < verlauf->model()->rowCount(); ++row)
        shown << verlauf->model()->index(row, 0).data(HistoryModel::CalculatorIdRole).toString();
    QCOMPARE(shown, calculators);
    QCOMPARE(verlauf->findChild<QPushButton*>("verlaufApply")->isVisibleTo(verlauf), applies);
    // A second command raises the same window; the calculator's CLOSE takes it along.
    QCOMPARE(openVerlauf(w), verlauf);
    if (!button.isEmpty()) {
        QPointer<VerlaufWindow> guard(verlauf);
        click(w, "cmdUload");
        processDeferredDeletes();
        QVERIFY(guard.isNull());
    }
}

void TestVerlaufWindow::searchInEitherDecimalMark_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("inputs");  // the rows found, newest first

    const QString comma = "Schalldruckpegel: 60,5 dB; Abstand: 4 m";
    const QString point = "Schalldruckpegel: 60.5 dB; Abstand: 4 m";
    QTest::newRow("with a comma") << "60,5" << QStringList{point, comma};
    QTest::newRow("with a point") << "60.5" << QStringList{point, comma};
    QTest::newRow("a label and a number") << "abstand 4" << QStringList{point, comma, "Schalldruckpegel: 70 dB; Abstand: 4 m"};
    QTest::newRow("nothing") << "60,6" << QStringList{};
}

void TestVerlaufWindow::searchInEitherDecimalMark()
{
    QFETCH(QString, text);
    QFETCH(QStringList, inputs);
    QVERIFY(hub_->record(schallRecord("70", 1000)));
    QVERIFY(hub_->record(schallRecord("60,5", 2000)));
    QVERIFY(hub_->record(schallRecord("60.5", 3000)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command2", "frmSchall"));
    QVERIFY(verlauf);
    QTest::keyClicks(verlauf->searchField(), text);
    // The search waits for a pause in the typing.
    QTRY_COMPARE(rowsShown(*verlauf, HistoryModel::InputsColumn), inputs);
}

void TestVerlaufWindow::applyShowsWhatTheWindowShowedThen_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QStringList>("since");  // typed and calculated afterwards

    QTest::newRow("critical humidity, decimal comma")
        << "Command3" << "frmFeuchte" << "frmFeuchte" << QStringList{"20,5", "9.25"} << QStringList{"21", "9"};
    QTest::newRow("critical temperature") << "Command4" << "frmTemperatur" << "frmTemperatur"
                                          << QStringList{"-7,5"} << QStringList{"5"};
    QTest::newRow("open-plan office")
        << "Command5" << "frmDLprognose" << "frmDLprognose"
        << QStringList{"0,8", "0.6", "1,6", "24", "12", "2,8", "58,5", "4"}
        << QStringList{"0,7", "0.5", "1,4", "20", "10", "3", "60", "5"};
    QTest::newRow("converter, left half") << "Command2" << "frmSchall" << "frmSchall.l"
                                          << QStringList{"72,5", "2"} << QStringList{"80", "3"};
    QTest::newRow("converter, right half") << "Command2" << "frmSchall" << "frmSchall.p"
                                           << QStringList{"88", "3,5"} << QStringList{"70", "2"};
    QTest::newRow("text after the number") << "Command3" << "frmFeuchte" << "frmFeuchte"
                                           << QStringList{"22 Grad", "12"} << QStringList{"18", "7"};
}

void TestVerlaufWindow::applyShowsWhatTheWindowShowedThen()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QString, model);
    QFETCH(QStringList, texts);
    QFETCH(QStringList, since);
    const CalculatorModel* m = modelWithId(model.toStdString());
    QVERIFY(m);
    QWidget* w = owner(button, window);
    QVERIFY(w);

    const Shown then = calculateIn(w, *m, texts);
    // Something else since: other inputs, other results.
    const Shown later = calculateIn(w, *m, since);
    QVERIFY(later.results != then.results);

    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->model()->rowCount(), 2);
    verlauf->table()->setCurrentIndex(verlauf->model()->index(1, HistoryModel::ResultsColumn));
    const std::int64_t applied = verlauf->model()->entryId(1);
    QVERIFY(verlauf->findChild<QPushButton*>("verlaufApply")->isEnabled());
    QTest::keyClick(verlauf->table(), Qt::Key_Return);

    QCOMPARE(fieldTexts(w, inputFields(*m)), then.inputs);
    QCOMPARE(fieldTexts(w, resultFields(*m)), then.results);
    // The calculation ran again and is recorded again, at the top; the
    // Verlauf stays at the entry that was put back.
    QCOMPARE(verlauf->model()->rowCount(), 3);
    QCOMPARE(verlauf->model()->index(0, HistoryModel::InputsColumn).data(),
             verlauf->model()->index(2, HistoryModel::InputsColumn).data());
    QVERIFY(verlauf->isVisible());
    QCOMPARE(verlauf->model()->entryId(verlauf->table()->currentIndex().row()), applied);
}

void TestVerlaufWindow::applyOnlyForTheOwnersCalculators()
{
    QWidget* w = owner("Command3", "frmFeuchte");
    const Shown then = calculateIn(w, *modelWithId("frmFeuchte"), {"18", "8"});
    QVERIFY(hub_->record(schallRecord("60", QDateTime::currentMSecsSinceEpoch() + 1000)));
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    verlauf->calculatorFilter()->setCurrentIndex(0);  // every calculator
    QCOMPARE(verlauf->model()->rowCount(), 2);
    QCOMPARE(verlauf->model()->index(0, 0).data(HistoryModel::CalculatorIdRole).toString(), "frmSchall.l");

    setTextOf(w, "txRaum", "30");
    verlauf->table()->setCurrentIndex(verlauf->model()->index(0, 0));
    QVERIFY(!verlauf->canApply(0));
    QVERIFY(!verlauf->findChild<QPushButton*>("verlaufApply")->isEnabled());
    QVERIFY(!verlauf->apply());
    QTest::mouseDClick(verlauf->table()->viewport(), Qt::LeftButton, {},
                       verlauf->table()->visualRect(verlauf->model()->index(0, 1)).center());
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("30"));
    QCOMPARE(fieldTexts(w, resultFields(*modelWithId("frmFeuchte"))), then.results);

    // A double click on its own entry puts it back.
    QTest::mouseDClick(verlauf->table()->viewport(), Qt::LeftButton, {},
                       verlauf->table()->visualRect(verlauf->model()->index(1, 1)).center());
    QCOMPARE(textOf(w, "txRaum"), QStringLiteral("18"));

    // From the menu nothing is put back.
    click(w, "cmdUload");
    VerlaufWindow* menuVerlauf = openVerlauf(shell_->menu().window());
    QVERIFY(menuVerlauf);
    QVERIFY(!menuVerlauf->findChild<QPushButton*>("verlaufApply")->isVisibleTo(menuVerlauf));
    for (int row = 0; row < menuVerlauf->model()->rowCount(); ++row)
        QVERIFY(!menuVerlauf->canApply(row));
}

void TestVerlaufWindow::noteEditedInPlace()
{
    QVERIFY(hub_->record(feuchteRecord("20", 20.0, "10", 1000)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command3", "frmFeuchte"));
    QVERIFY(verlauf);
    verlauf->show();
    QVERIFY(QTest::qWaitForWindowExposed(verlauf));
    const QModelIndex note = verlauf->model()->index(0, HistoryModel::NoteColumn);
    // A double click on the note edits it instead of putting the entry back.
    QTest::mouseDClick(verlauf->table()->viewport(), Qt::LeftButton, {},
                       verlauf->table()->visualRect(note).center());
    auto* editor = verlauf->table()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->insert("Schirmhöhe 1,6 m angenommen");
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits after the key has been handled.
    QTRY_COMPARE(note.data().toString(), QStringLiteral("Schirmhöhe 1,6 m angenommen"));
    QCOMPARE(QString::fromStdString(hub_->store().entry(verlauf->model()->entryId(0))->note),
             QStringLiteral("Schirmhöhe 1,6 m angenommen"));
    // Found in either decimal mark.
    verlauf->searchField()->setText("schirmhöhe 1.6");
    QTest::keyClick(verlauf->searchField(), Qt::Key_Return);
    QCOMPARE(verlauf->model()->rowCount(), 1);
}

void TestVerlaufWindow::f2EditsTheNoteFromAnyColumn()
{
    QVERIFY(hub_->record(feuchteRecord("20", 20.0, "10", 1000)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command3", "frmFeuchte"));
    QVERIFY(verlauf);
    verlauf->show();
    QVERIFY(QTest::qWaitForWindowExposed(verlauf));
    verlauf->table()->setCurrentIndex(verlauf->model()->index(0, HistoryModel::ResultsColumn));
    // As the menu's "Notiz bearbeiten" says: the note, whichever cell is current.
    QTest::keyClick(verlauf->table(), Qt::Key_F2);
    auto* editor = verlauf->table()->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    QCOMPARE(verlauf->table()->indexAt(editor->geometry().center()).column(), int(HistoryModel::NoteColumn));
}

void TestVerlaufWindow::followsTheHistory()
{
    QWidget* w = owner("Command3", "frmFeuchte");
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->model()->rowCount(), 0);
    calculateIn(w, *modelWithId("frmFeuchte"), {"20", "10"});
    calculateIn(w, *modelWithId("frmFeuchte"), {"21", "10"});
    QCOMPARE(rowsShown(*verlauf, HistoryModel::InputsColumn),
             (QStringList{"Raumtemperatur: 21 °C; Oberflächentemperatur: 10 °C",
                          "Raumtemperatur: 20 °C; Oberflächentemperatur: 10 °C"}));
    // Closed, it is only hidden; opened again it shows what came meanwhile.
    verlauf->close();
    calculateIn(w, *modelWithId("frmFeuchte"), {"19", "10"});
    QCOMPARE(openVerlauf(w), verlauf);
    QCOMPARE(rowsShown(*verlauf, HistoryModel::InputsColumn).value(0),
             "Raumtemperatur: 19 °C; Oberflächentemperatur: 10 °C");

    // "Verlauf führen" off in one window: the other's box follows, the
    // setting is kept, nothing more is recorded.
    const std::unique_ptr<VerlaufWindow> menuVerlauf = secondVerlauf();
    auto* box = verlauf->findChild<QCheckBox*>("verlaufEnabled");
    auto* otherBox = menuVerlauf->findChild<QCheckBox*>("verlaufEnabled");
    QVERIFY(box->isChecked());
    box->click();
    QVERIFY(!hub_->isEnabled());
    QVERIFY(!otherBox->isChecked());
    QVERIFY(verlauf->statusLabel()->text().contains("„Verlauf führen“ ist aus"));
    QVERIFY(fileBytes(dir_->filePath("config/orvella.conf")).contains("fuehren=false"));
    calculateIn(w, *modelWithId("frmFeuchte"), {"22", "10"});
    QCOMPARE(verlauf->model()->rowCount(), 3);
    QCOMPARE(hub_->store().count(), 3);
    otherBox->click();
    QVERIFY(box->isChecked());
    QVERIFY(hub_->isEnabled());
}

void TestVerlaufWindow::clearAsksFirst()
{
    for (int i = 0; i < 3; ++i)
        QVERIFY(hub_->record(feuchteRecord(std::to_string(i), i, "10", 1000 + i)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command3", "frmFeuchte"));
    const std::unique_ptr<VerlaufWindow> menuVerlauf = secondVerlauf();
    QStringList asked;
    bool answer = false;
    setVerlaufQuestion([&](QWidget*, const QString& title, const QString& text) {
        asked << title + ": " + text;
        return answer;
    });
    auto* clear = verlauf->findChild<QPushButton*>("verlaufClear");
    clear->click();
    QCOMPARE(asked.size(), 1);
    QVERIFY(asked.front().startsWith("Verlauf löschen: Alle Einträge des Verlaufs löschen?"));
    QCOMPARE(hub_->store().count(), 3);
    QCOMPARE(verlauf->model()->rowCount(), 3);
    answer = true;
    clear->click();
    QCOMPARE(hub_->store().count(), 0);
    QCOMPARE(verlauf->model()->rowCount(), 0);
    QCOMPARE(menuVerlauf->model()->rowCount(), 0);
}

void TestVerlaufWindow::clearSaysWhatAReaderHoldsBack()
{
    QVERIFY(hub_->record(feuchteRecord("Geheimprojekt-0815", 1.0)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command3", "frmFeuchte"));
    setVerlaufQuestion([](QWidget*, const QString&, const QString&) { return true; });
    // Another Orvella in the middle of reading the Verlauf.
    auto reader = std::make_unique<OtherConnection>(hub_->databasePath(),
                                                    QStringList{"BEGIN", "SELECT count(*) FROM entry"});
    QVERIFY(reader->ok());
    QVERIFY(verlauf->clearHistory());
    QCOMPARE(verlauf->model()->rowCount(), 0);
    QVERIFY2(verlauf->statusLabel()->text().contains("stehen noch im Protokoll „verlauf.sqlite-wal“"),
             qPrintable(verlauf->statusLabel()->text()));
    // Finished as soon as the reader lets go.
    reader.reset();
    QTRY_VERIFY(!verlauf->statusLabel()->text().contains("Protokoll"));
    const QString path = hub_->databasePath();
    QVERIFY(!(fileBytes(path) + fileBytes(path + "-wal")).contains("Geheimprojekt-0815"));
}

void TestVerlaufWindow::noticeInTheWindow()
{
    // A file where the history's folder should be: it cannot be created.
    QVERIFY(writeFileBytes(dir_->filePath("blocked"), "x"));
    hub_ = std::make_unique<HistoryHub>(dir_->filePath("blocked/orvella/verlauf.sqlite"),
                                        dir_->filePath("config/orvella.conf"));
    QStringList notices;
    hub_->setNotifier([&](const QString& n) { notices << n; });
    QWidget* w = owner("Command3", "frmFeuchte");
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(verlauf->statusLabel()->text(), notices.front());
    QCOMPARE(verlauf->model()->rowCount(), 0);
    // The calculator computes as before; nothing is recorded, no second notice.
    const Shown shown = calculateIn(w, *modelWithId("frmFeuchte"), {"20", "10"});
    QCOMPARE(shown.results, asShown(QStringList{"52.57", "42.06", "31.54"}));
    QCOMPARE(notices.size(), 1);
    QCOMPARE(hub_->lastNotice(), notices.front());
}

void TestVerlaufWindow::textShownAsTyped()
{
    QWidget* w = owner("Command3", "frmFeuchte");
    const QString typed = "'); DROP TABLE entry; -- <b>fett</b>";
    calculateIn(w, *modelWithId("frmFeuchte"), {typed, "10"});
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->model()->rowCount(), 1);
    QCOMPARE(verlauf->model()->index(0, HistoryModel::InputsColumn).data().toString(),
             "Raumtemperatur: " + typed + " °C; Oberflächentemperatur: 10 °C");
    // The report shows the text, not markup made of it.
    QTextDocument document;
    buildReport(&document, verlauf->exportedEntries(), verlauf->reportSettings());
    QVERIFY(document.toPlainText().contains("„" + typed + "“"));
    QCOMPARE(hub_->store().count(), 1);
}

void TestVerlaufWindow::copySelectedOrFound()
{
    for (int i = 0; i < 300; ++i)
        QVERIFY(hub_->record(schallRecord(std::to_string(40 + i) + ",5", 1000 + i)));
    QVERIFY(hub_->record(feuchteRecord("20", 20.0, "10", 5000)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command2", "frmSchall"));
    QVERIFY(verlauf);
    QCOMPARE(verlauf->model()->rowCount(), 256);  // one page read so far

    // Nothing selected: every entry the filter finds, not only the rows read.
    QTest::keyClick(verlauf->table(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QStringList lines = copied->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 301);
    QCOMPARE(lines.front(),
             "Datum\tUhrzeit\tRechner\tSchalldruckpegel [dB]\tAbstand [m]\tSchallleistungspegel [dB]\tNotiz\t"
             "Programmversion");
    const QString date = QDateTime::fromMSecsSinceEpoch(1299).toLocalTime().toString("dd.MM.yyyy\tHH:mm:ss");
    QCOMPARE(lines.at(1), date + "\tSchallleistung - Schalldruck (Schallleistungspegel)\t" + asShown("339.5") +
                              "\t4\t" + asShown("79.53") + "\t\t1.1.0");
    QVERIFY(copied->html().contains("<table"));

    // Two rows selected: those two.
    verlauf->table()->selectionModel()->select(verlauf->model()->index(2, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    verlauf->table()->selectionModel()->select(verlauf->model()->index(0, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(verlauf->table(), Qt::Key_C, Qt::ControlModifier);
    lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.at(1).contains(asShown("339.5")));
    QVERIFY(lines.at(2).contains(asShown("337.5")));

    // Entries of several calculators: their inputs and results as text.
    verlauf->calculatorFilter()->setCurrentIndex(0);
    verlauf->searchField()->setText("20 10");
    QTest::keyClick(verlauf->searchField(), Qt::Key_Return);
    QCOMPARE(verlauf->model()->rowCount(), 1);
    verlauf->searchField()->clear();
    QTest::keyClick(verlauf->searchField(), Qt::Key_Return);
    verlauf->table()->selectionModel()->select(verlauf->model()->index(0, 0),
                                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    verlauf->table()->selectionModel()->select(verlauf->model()->index(1, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    verlauf->copyEntries();
    lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.front(), "Datum\tUhrzeit\tRechner\tEingaben\tErgebnisse\tNotiz\tProgrammversion");
    QVERIFY(lines.at(1).endsWith("\tKritische Feuchte Calculator\tRaumtemperatur: 20 °C; Oberflächentemperatur: "
                                 "10 °C\tOberflächenkondensation: 52,57 %; Schimmelpilzbildungsgefahr: 65,72 %\t\t1.1.0"));
}

void TestVerlaufWindow::largeCopyAsksFirst_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no: nothing copied") << false;
    QTest::newRow("yes: every entry") << true;
}

void TestVerlaufWindow::largeCopyAsksFirst()
{
    QFETCH(bool, answer);
    {
        HistoryStore store(hub_->databasePath());
        for (int i = 0; i < 1001; ++i)
            QVERIFY(store.record(schallRecord(std::to_string(i), 1000 + i)));
    }
    VerlaufWindow* verlauf = openVerlauf(owner("Command2", "frmSchall"));
    QVERIFY(verlauf);
    QStringList asked;
    setVerlaufQuestion([&](QWidget*, const QString& title, const QString& text) {
        asked << title + ": " + text;
        return answer;
    });
    QApplication::clipboard()->setText("vorher");
    QTest::keyClick(verlauf->table(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].startsWith("Kopieren: Das sind 1001 Einträge."), qPrintable(asked[0]));
    const QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), answer ? 1002 : 1);
}

void TestVerlaufWindow::csvInTheUsersDecimalMark()
{
    QVERIFY(hub_->record(schallRecord("60.5", 1000)));
    QVERIFY(hub_->record(schallRecord("61,25", 2000)));
    VerlaufWindow* verlauf = openVerlauf(owner("Command2", "frmSchall"));
    QVERIFY(verlauf);
    const QString path = dir_->filePath("export/verlauf");
    QVERIFY(QDir().mkpath(dir_->filePath("export")));
    setVerlaufFileDialog([&](QWidget*, const QString&, const QString& suggested, const QString&, QString*) {
        return suggested.endsWith("Verlauf.csv") ? path : QString();
    });
    QVERIFY(verlauf->saveCsv());
    const QByteArray csv = fileBytes(path + ".csv");
    const bool comma = QLocale().decimalPoint() == ",";
    const QString sep = comma ? ";" : ",";
    const QStringList lines = QString::fromUtf8(csv).remove(QChar(0xFEFF)).split("\r\n", Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(1).section(sep, 3, 5), QStringList({asShown("61.25"), "4", asShown("79.53")}).join(sep));
    QCOMPARE(lines.at(2).section(sep, 3, 3), asShown("60.5"));
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    // Cancelled: nothing written.
    setVerlaufFileDialog([](QWidget*, const QString&, const QString&, const QString&, QString*) { return QString(); });
    QVERIFY(!verlauf->saveCsv());
}

void TestVerlaufWindow::reportAsPdfAndOdf()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() || QStandardPaths::findExecutable("unzip").isEmpty())
        QSKIP("pdftotext (poppler-utils) or unzip is not installed");
    QWidget* w = owner("Command3", "frmFeuchte");
    const Shown shown = calculateIn(w, *modelWithId("frmFeuchte"), {"20,5", "10"});
    QVERIFY(hub_->store().setNote(1, QStringLiteral("Büro 2. OG, Außenwand Nord")));
    QVERIFY(hub_->record(schallRecord("72,5", QDateTime::currentMSecsSinceEpoch() + 1000)));
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    verlauf->calculatorFilter()->setCurrentIndex(0);
    const CalculationRecord feuchte = *hub_->store().entry(1);

    QString offered;
    setVerlaufFileDialog([&](QWidget*, const QString&, const QString&, const QString& filters, QString*) {
        offered = filters;
        return dir_->filePath("bericht.pdf");
    });
    QVERIFY(verlauf->saveReport());
    QCOMPARE(offered, QStringLiteral("PDF-Dokument (*.pdf);;ODF-Textdokument (*.odt)"));
    const QString pdf = runTool("pdftotext", {"-layout", dir_->filePath("bericht.pdf"), "-"});
    setVerlaufFileDialog([&](QWidget*, const QString&, const QString&, const QString&, QString* selected) {
        *selected = "ODF-Textdokument (*.odt)";
        return dir_->filePath("bericht");
    });
    QVERIFY(verlauf->saveReport());
    const QString odf = runTool("unzip", {"-p", dir_->filePath("bericht.odt"), "content.xml"});
    QVERIFY(runTool("unzip", {"-p", dir_->filePath("bericht.odt"), "mimetype"}) ==
            "application/vnd.oasis.opendocument.text");

    const QString mark = QLocale().decimalPoint();
    for (const QString& text : {QStringLiteral("Verlauf – Orvella"), QStringLiteral("Kritische Feuchte Calculator"),
                                QStringLiteral("Schallleistung - Schalldruck (Schallleistungspegel)"),
                                QStringLiteral("Gerechnet am ") + entryDate(feuchte) + " um " + entryTime(feuchte) +
                                    " Uhr mit Orvella 1.1.0",
                                QStringLiteral("Büro 2. OG, Außenwand Nord"), QStringLiteral("„20,5“"),
                                QStringLiteral("„72,5“"), QStringLiteral("Rechenweg"),
                                // the worked calculation: the input as read, a result as written
                                "20" + mark + "5", QStringLiteral("Korrosionsgefahr"), shown.results.at(2),
                                QStringLiteral("Sättigungsdampfdruck")}) {
        QVERIFY2(pdf.simplified().contains(text), qPrintable("PDF: " + text));
        QVERIFY2(odf.contains(text.toHtmlEscaped()), qPrintable("ODF: " + text));
    }
    // Newest first, in both.
    QVERIFY(pdf.indexOf("Schallleistung - Schalldruck") < pdf.indexOf("Kritische Feuchte Calculator"));
    QVERIFY(odf.indexOf("Schallleistung - Schalldruck") < odf.indexOf("Kritische Feuchte Calculator"));
}

void TestVerlaufWindow::keypadReportWorksItsEqual_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("worked");  // with a point for the decimal mark

    QTest::newRow("plus") << QStringList{"cmdNumber(5)", "cmdNumber(9)", "cmdOperator(3)", "cmdNumber(5)",
                                         "cmdNumber(9)", "cmdEqual"}
                          << "60 + 60 = 63" << "Offen ist „+“ mit Operand 1 = 60 dB";
    QTest::newRow("times") << QStringList{"cmdNumber(6)", "cmdNumber(9)", "cmdOperator(1)", "cmdNumber(3)",
                                          "cmdEqual"}
                           << "70 x 4 = 76" << "Offen ist „x“ mit Operand 1 = 70 dB";
}

void TestVerlaufWindow::keypadReportWorksItsEqual()
{
    QFETCH(QStringList, keys);
    QFETCH(QString, line);
    QFETCH(QString, worked);
    QWidget* w = owner("Command1", "frmCalculator");
    QVERIFY(w);
    for (const QString& key : keys)
        click(w, key);
    // Something else after it: the report works the recorded "=", not the window's state now.
    for (const char* key : {"cmdNumber(0)", "cmdOperator(3)", "cmdNumber(1)", "cmdEqual"})
        click(w, key);
    VerlaufWindow* verlauf = openVerlauf(w);
    QVERIFY(verlauf);
    QCOMPARE(verlauf->model()->rowCount(), 2);
    QCOMPARE(verlauf->model()->index(1, HistoryModel::InputsColumn).data().toString(), line);
    QTextDocument document;
    buildReport(&document, {*hub_->store().entry(verlauf->model()->entryId(1))}, verlauf->reportSettings());
    const QString text = document.toPlainText();
    QVERIFY2(text.contains(worked), qPrintable(text));
    // The display as the window shows it, its leading blank included.
    QVERIFY2(text.contains("→ Anzeige „ " + line.section(" = ", 1) + "“"), qPrintable(text));
    QVERIFY2(!text.contains("letztes Ergebnis"), qPrintable(text));
}

void TestVerlaufWindow::levelListReportedWithItsRows_data()
{
    QTest::addColumn<int>("levels");
    QTest::addColumn<bool>("cut");
    QTest::newRow("every level") << 3 << false;
    QTest::newRow("the first of many") << int(kReportRows) + 1 << true;
}

// An evaluation's entry is reported with its parameters, results and rows
// in the user's decimal mark (the first kReportRows), not with a worked
// calculation of a calculator.
void TestVerlaufWindow::levelListReportedWithItsRows()
{
    QFETCH(int, levels);
    QFETCH(bool, cut);
    const QString mark = QLocale().decimalPoint();
    EvaluationSnapshot s{.model = &levelListModel(), .key = "k", .input = {.parameters = {30.5}},
                         .labels = std::vector<std::string>(std::size_t(levels), "Pumpe"),
                         .decimalMark = mark.toStdString(), .timeUtcMs = 1};
    for (int i = 0; i < levels; ++i)
        s.input.rows.push_back({50.25 + i});
    ReportSettings settings;
    settings.decimalMark = mark;
    const QString page = reportHtml({recordOf(s)}, settings);
    for (const QString& shown : QStringList{"Pegelliste (dB Calculator)", "Pegel [dB]", "Pumpe",
                                            "Fremdgeräusch (wahlweise)", "„30" + mark + "5“", "50" + mark + "25"})
        QVERIFY2(page.contains(shown), qPrintable(shown));
    QCOMPARE(page.count("Pumpe"), std::min(levels, int(kReportRows)));
    QCOMPARE(page.contains("Die ersten 200 von 201 Zeilen"), cut);
    QVERIFY(!page.contains("Rechenweg"));
}

QTEST_MAIN(TestVerlaufWindow)
#include "tst_verlaufwindow.moc"
