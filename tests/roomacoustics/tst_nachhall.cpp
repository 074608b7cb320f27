// SPDX-License-Identifier: GPL-3.0-or-later
// The reverberation calculator after DIN 18041: its stops through the
// description, and its window made from the description with the worked
// examples under both decimal marks, opened from the menu's context menu.

#include "calculationrecord.h"
#include "clipboard.h"
#include "describedform.h"
#include "nachhallmodel.h"
#include "shell.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

const QStringList kResultFields = {"txTsoll", "txAV", "txAerf", "txT", "txDeltaA", "txUrteil"};

// The position of the group whose text starts with `code` ("A3").
double groupNumber(const QString& code)
{
    const auto& choices = nachhallModel().inputs[0].choices;
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (QString::fromStdString(choices[i]).startsWith(code + u' '))
            return double(i + 1);
    return 0.0;
}

QString groupText(const QString& code)
{
    return QString::fromStdString(nachhallModel().inputs[0].choices[std::size_t(groupNumber(code)) - 1]);
}

}  // namespace

class TestNachhall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void cleanup();

    void stopsWithItsReason_data();
    void stopsWithItsReason();

    void windowFromTheDescription();
    void calculatesInTheWindow_data();
    void calculatesInTheWindow();
    void stopLeavesTheResults();
    void copiedAndRecordedWithTheGroupsText();
    void openedFromTheMenuAndClosedBackToIt();

private:
    QWidget* open();
    std::unique_ptr<CalculatorForm> form_;
};

void TestNachhall::cleanup()
{
    form_.reset();
    processDeferredDeletes();
}

QWidget* TestNachhall::open()
{
    form_ = makeDescribedForm([] {}, nachhallModel());
    form_->show();
    return form_->window();
}

void TestNachhall::stopsWithItsReason_data()
{
    QTest::addColumn<QString>("groupField");
    QTest::addColumn<QStringList>("vha");
    QTest::addColumn<QString>("step");
    QTest::newRow("A3 below 30 m³") << groupText("A3") << QStringList{"29.9", "3", "10"} << "volume";
    QTest::newRow("A4 from 500 m³") << groupText("A4") << QStringList{"500", "3", "10"} << "volume";
    QTest::newRow("A2 below 50 m³") << groupText("A2") << QStringList{"40", "3", "10"} << "volume";
    QTest::newRow("A1 from 1000 m³") << groupText("A1") << QStringList{"1000", "3", "10"} << "volume";
    QTest::newRow("B3 without height") << groupText("B3") << QStringList{"100", "", "10"} << "volume";
    QTest::newRow("no absorption") << groupText("A3") << QStringList{"180", "3", "0"} << "t";
    QTest::newRow("no group") << "C7" << QStringList{"180", "3", "10"} << "group";
}

void TestNachhall::stopsWithItsReason()
{
    QFETCH(QString, groupField);
    QFETCH(QStringList, vha);
    QFETCH(QString, step);
    const CalculatorModel& m = nachhallModel();
    const Evaluation e = evaluateTexts(m, {groupField.toStdString(), vha[0].toStdString(), vha[1].toStdString(),
                                           vha[2].toStdString()});
    QVERIFY(!e.ok);
    QCOMPARE(QString::fromStdString(e.failedStep), step);
    QVERIFY(m.stopReason(e.failedStep, e.fault) != nullptr);
}

void TestNachhall::windowFromTheDescription()
{
    QWidget* w = open();
    QCOMPARE(w->objectName(), QStringLiteral("frmNachhall"));
    // Inputs, the calculate button, the results, CLOSE: in the order of the
    // description; the list passes the focus to its text field, one stop.
    QCOMPARE(focusChain(w, "txGruppe_list").join(u' '),
             QStringList({"txGruppe_list", "txGruppe", "txVolumen", "txHoehe", "txAbsorption", "cmdRunNachhall", "txTsoll",
                          "txAV", "txAerf", "txT", "txDeltaA", "txUrteil", "cmdUload"})
                 .join(u' '));
    const auto* list = w->findChild<QComboBox*>("txGruppe_list");
    QVERIFY(w->focusWidget() == list || w->focusWidget() == list->lineEdit());
    // Each field named with its label and unit, as the copy and screen readers read it.
    QStringList names;
    for (const QString& f : {"txGruppe", "txVolumen", "txAbsorption", "txTsoll", "txAV", "txUrteil"})
        names << fieldOf(w, f)->accessibleName();
    QCOMPARE(names, (QStringList{"Raumgruppe", "Raumvolumen [m³]", "Vorhandene Absorptionsfläche (500–1000 Hz) [m²]",
                                 "Soll-Nachhallzeit [s]", "Gefordertes Verhältnis A/V [m⁻¹]", "Urteil"}));
    QCOMPARE(list->count(), 10);
    QCOMPARE(textOf(w, "txGruppe"), groupText("A3"));
}

// Expected by hand, lg as log10, Sabine 0.163 s/m:
//   A3 180 m³: 0.32·2.25527 − 0.17 = 0.55169 s; A/V 0.163/0.55169 = 0.29546;
//     0.163·180/0.55169 = 53.18 m²; T = 29.34/50 = 0.5868 s; ΔA = 3.18 m².
//   A1 500 m³: 0.45·2.69897 + 0.07 = 1.28454 s; 0.163/1.28454 = 0.12689; 81.5/1.28454 = 63.45 m²;
//     T = 81.5/125.
//   A5 12 000 m³: 2 s; 0.163/2; 0.163·12000/2 = 978 m²; T = 1956/1000.
//   B4 h 3.2 m: 1/(2.13 + 4.69·0.50515) = 1/4.49915 = 0.22226 m⁻¹; T_soll 0.163·4.49915 = 0.73336 s;
//     ·100 m³ = 22.23 m²; T = 16.3/25.
//   B2 h 2.5 m: 0.15 m⁻¹ (the other branch: 1/(4.8 + 4.69·0.39794) = 0.1500); 0.163/0.15 = 1.08667 s;
//     ·50 = 7.5 m²; T = 8.15/5.
//   B1: no requirement, A/V 0; T = 16.3/10.
void TestNachhall::calculatesInTheWindow_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("vha");      // V, h, A as typed
    QTest::addColumn<QStringList>("results");  // with a point
    // A text typed into the list's field chooses its entry, as the Verlauf does.
    for (const QString mark : {"point", "comma"}) {
        const auto row = [&mark](const char* name) -> QTestData& {
            return QTest::addRow("%s, %s", name, qPrintable(mark)) << mark;
        };
        row("A3 classroom") << "A3" << QStringList{"180", "3", "50"}
                            << QStringList{"0.552", "0.2955", "53.2", "0.587", "3.2", "nicht erfüllt"};
        row("A1 music room") << "A1" << QStringList{"500", "4", "125"}
                             << QStringList{"1.285", "0.1269", "63.4", "0.652", "0", "erfüllt"};
        row("A5 hall from 10 000 m³") << "A5" << QStringList{"12000", "8", "1000"}
                                      << QStringList{"2", "0.0815", "978", "1.956", "0", "erfüllt"};
        row("B4, height typed with a comma") << "B4" << QStringList{"100", "3,2", "25"}
                                             << QStringList{"0.733", "0.2223", "22.2", "0.652", "0", "erfüllt"};
        row("B2 at 2.5 m") << "B2" << QStringList{"50", "2.5", "5"}
                           << QStringList{"1.087", "0.15", "7.5", "1.63", "2.5", "nicht erfüllt"};
        row("B1 none") << "B1" << QStringList{"100", "3", "10"}
                       << QStringList{"–", "0", "0", "1.63", "0", "keine Anforderung"};
    }
}

void TestNachhall::calculatesInTheWindow()
{
    QFETCH(QString, mark);
    QFETCH(QString, group);
    QFETCH(QStringList, vha);
    QFETCH(QStringList, results);
    LocaleScope locale(localeNamed(mark));
    QWidget* w = open();
    setTextOf(w, "txGruppe", groupText(group));
    QCOMPARE(w->findChild<QComboBox*>("txGruppe_list")->currentIndex() + 1, int(groupNumber(group)));
    setTextOf(w, "txVolumen", vha[0]);
    setTextOf(w, "txHoehe", vha[1]);
    setTextOf(w, "txAbsorption", vha[2]);
    click(w, "cmdRunNachhall");
    QStringList shown;
    for (const QString& f : kResultFields)
        shown << textOf(w, f);
    QStringList expected;
    for (const QString& r : results)
        expected << inLocale(r, mark);
    QCOMPARE(shown, expected);
}

void TestNachhall::stopLeavesTheResults()
{
    QWidget* w = open();
    click(w, "cmdRunNachhall");  // the starting texts: A3, 180 m³
    const QString before = textOf(w, "txAerf");
    QVERIFY(!before.isEmpty());
    QSignalSpy stopped(qobject_cast<CalculatorWindow*>(w), &CalculatorWindow::calculationStopped);
    setTextOf(w, "txVolumen", "6000");
    click(w, "cmdRunNachhall");
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(textOf(w, "txAerf"), before);
}

void TestNachhall::copiedAndRecordedWithTheGroupsText()
{
    std::vector<CalculationRecord> records;
    setCalculationObserver([&records](const CalculationRecord& r) { records.push_back(r); });
    auto* w = qobject_cast<CalculatorWindow*>(open());
    setTextOf(w, "txGruppe", groupText("B1"));
    click(w, "cmdRunNachhall");
    setCalculationObserver({});
    QCOMPARE(records.size(), std::size_t(1));
    QCOMPARE(QString::fromStdString(records[0].inputs[0].text), groupText("B1"));
    QCOMPARE(records[0].inputs[0].number, groupNumber("B1"));
    QCOMPARE(QString::fromStdString(records[0].results.back().text), QStringLiteral("keine Anforderung"));
    // One frame: no heading rows; the list's text in its row, in the order of the window.
    const CopyTable table = copyTableOf(*w);
    QCOMPARE(table.rows.size(), std::size_t(10));
    QCOMPARE(QString::fromStdString(table.rows[0].label + "=" + table.rows[0].value),
             "Raumgruppe=" + groupText("B1"));
    QCOMPARE(QString::fromStdString(table.rows[9].value), QStringLiteral("keine Anforderung"));
}

void TestNachhall::openedFromTheMenuAndClosedBackToIt()
{
    Shell shell;
    shell.menu().show();
    QWidget* menu = shell.menu().window();
    auto* entry = menu->findChild<QAction*>("openReverberation");
    QVERIFY(entry);
    QCOMPARE(entry->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_6));
    entry->trigger();
    processDeferredDeletes();
    QWidget* w = visibleWindow("frmNachhall");
    QVERIFY(w);
    QVERIFY(!shell.menu().isLoaded());
    click(w, "cmdUload");
    processDeferredDeletes();
    QVERIFY(visibleWindow("frmOption"));
    QVERIFY(!visibleWindow("frmNachhall"));
}

QTEST_MAIN(TestNachhall)
#include "tst_nachhall.moc"
