// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader announces: every text field is named by the label in
// front of it (its padding blanks collapsed), every button and keypad key by
// its caption, through the accessibility interface that assistive technology
// queries, for every window opened through the program's shell.

#include "accessibility.h"
#include "shell.h"
#include "testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// The menu button that opens each window; empty for the menu itself.
const std::pair<const char*, const char*> kWindows[] = {
    {"frmOption", ""},           {"frmCalculator", "Command1"}, {"frmSchall", "Command2"},
    {"frmFeuchte", "Command3"},  {"frmTemperatur", "Command4"}, {"frmDLprognose", "Command5"},
};

QString accessibleName(QObject* o)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(o);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void spokenCaption_data();
    void spokenCaption();
    void controlNames_data();
    void controlNames();
    void everyControlNamed_data();
    void everyControlNamed();
    void fieldLabelledByItsLabel_data();
    void fieldLabelledByItsLabel();

private:
    QWidget* open(const QString& menuButton);
    std::unique_ptr<Shell> shell;
};

void TestAccessibility::initTestCase()
{
    initProgram();
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestAccessibility::init()
{
    shell = std::make_unique<Shell>();
    shell->menu().show();
}

void TestAccessibility::cleanup()
{
    shell.reset();
    processDeferredDeletes();
}

QWidget* TestAccessibility::open(const QString& menuButton)
{
    QWidget* menu = visibleWindow("frmOption");
    if (!menu || menuButton.isEmpty())
        return menu;
    click(menu, menuButton);
    processDeferredDeletes();
    const QList<QWidget*> windows = visibleWindows();
    return windows.size() == 1 ? windows.front() : nullptr;
}

void TestAccessibility::spokenCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    QTest::newRow("run of blanks before the unit") << "Raumtemperatur" + blanks(29) + "[C°]"
                                                   << "Raumtemperatur [C°]";
    QTest::newRow("leading blank dropped") << " Grenztemperatur" << "Grenztemperatur";
    QTest::newRow("several runs") << "Schallpegel" + blanks(2) + "der Sprache" + blanks(2) +
                                         "in 1m Abstand" + blanks(10) + "[dB]"
                                  << "Schallpegel der Sprache in 1m Abstand [dB]";
    QTest::newRow("trailing blanks dropped") << "CLOSE   " << "CLOSE";
    QTest::newRow("single blanks kept") << "dB Calculator" << "dB Calculator";
    QTest::newRow("only blanks") << blanks(5) << "";
    QTest::newRow("empty") << "" << "";
}

void TestAccessibility::spokenCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    QCOMPARE(orvella::spokenCaption(caption), spoken);
}

void TestAccessibility::controlNames_data()
{
    QTest::addColumn<QString>("menuButton");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    const auto row = [](const char* window, const char* button, const char* control, const char* name) {
        QTest::addRow("%s %s", window, control) << button << control << QString::fromUtf8(name);
    };
    row("frmOption", "", "Command1", "dB Calculator");
    row("frmOption", "", "Command2", "Schallleistung - Schalldruck");
    row("frmOption", "", "Command4", "KritischeTemperatur Calculator");
    row("frmOption", "", "Command5", "Großraumbüro DL2 Prognose");
    row("frmOption", "", "Command9", "Orvella");
    row("frmOption", "", "Frame3", "Raumakustik");

    // The keypad: the display after its frame, each key its digit or operator.
    row("frmCalculator", "Command1", "txtDisplay", "dB Calculator");
    row("frmCalculator", "Command1", "cmdNumber(0)", "1");
    row("frmCalculator", "Command1", "cmdNumber(6)", "7");
    row("frmCalculator", "Command1", "cmdNumber(9)", "0");
    row("frmCalculator", "Command1", "cmdOperator(1)", "x");
    row("frmCalculator", "Command1", "cmdOperator(3)", "+");
    row("frmCalculator", "Command1", "cmdPoint", ".");
    row("frmCalculator", "Command1", "cmdEqual", "=");
    row("frmCalculator", "Command1", "cmdAllClear", "C");
    row("frmCalculator", "Command1", "cmdUload", "CLOSE");

    // The converter: inputs after their labels, each result after the button
    // that computes it (the row has no label).
    row("frmSchall", "Command2", "txPegel_l", "Schalldruckpegel [dB]");
    row("frmSchall", "Command2", "txAbstand_l", "Abstand [m]");
    row("frmSchall", "Command2", "txLeistug_l", "Schallleistungspegel [dB]");
    row("frmSchall", "Command2", "txLeistug_p", "Schallleistungspegel [dB]");
    row("frmSchall", "Command2", "txAbstand_p", "Abstand [m]");
    row("frmSchall", "Command2", "txPegel_p", "Schalldruckpegel [dB]");
    row("frmSchall", "Command2", "cmdRun_l", "Schallleistungspegel [dB]");
    row("frmSchall", "Command2", "cmdRun_p", "Schalldruckpegel [dB]");
    row("frmSchall", "Command2", "cmdUload", "CLOSE");

    row("frmFeuchte", "Command3", "txRaum", "Raumtemperatur [C°]");
    row("frmFeuchte", "Command3", "txOberflaeche", "Oberflächentemperatur [C°]");
    row("frmFeuchte", "Command3", "txKondens", "Oberflächenkondensation [%]");
    row("frmFeuchte", "Command3", "txSchimel", "Schimmelpilzbildungsgefahr [%]");
    row("frmFeuchte", "Command3", "txKorrosion", "Korrosionsgefahr [%]");
    row("frmFeuchte", "Command3", "cmdRun_Feuchte", "Grenzfeuchte");
    row("frmFeuchte", "Command3", "Label1", "Raumtemperatur [C°]");

    // Labels sit 60 twips lower than their fields here.
    row("frmTemperatur", "Command4", "txAussen", "Außentemperatur [°C]");
    row("frmTemperatur", "Command4", "txFeuchte1", "Relative Feuchte [%]");
    row("frmTemperatur", "Command4", "txKondens", "Oberflächenkondensation [°C]");
    row("frmTemperatur", "Command4", "txSchimel", "Schimmelpilzbildungsgefahr [°C]");
    row("frmTemperatur", "Command4", "cmdRun_Grenzen", "Grenztemperatur");

    row("frmDLprognose", "Command5", "txHraum", "Raumhöhe [m]");
    row("frmDLprognose", "Command5", "txLraum", "Raumlänge [m]");
    row("frmDLprognose", "Command5", "txWraum", "Raumbreite [m]");
    row("frmDLprognose", "Command5", "txHscreen", "Stellwandhöhe [m]");
    row("frmDLprognose", "Command5", "txALPHAcell", "Mittlerer Absorptionsgrad [-]");
    // Its label reaches one pixel into the field's box.
    row("frmDLprognose", "Command5", "txALPHAhori", "Mittlerer Absorptionsgrad Stellwände + Wände [-]");
    row("frmDLprognose", "Command5", "txR", "Abstand [m]");
    row("frmDLprognose", "Command5", "txL1", "Schallpegel der Sprache in 1m Abstand [dB]");
    row("frmDLprognose", "Command5", "txDL2", "Pegelminderung pro Abstandsverdopplung [dB]");
    row("frmDLprognose", "Command5", "txL4", "Schallpegel in 4m Abstand [dB]");
    row("frmDLprognose", "Command5", "txLr", "Schallegel Abstand Rm [dB]");
    row("frmDLprognose", "Command5", "cmdRUNDL", "Berechnung");
}

void TestAccessibility::controlNames()
{
    QFETCH(QString, menuButton);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QWidget* window = open(menuButton);
    QVERIFY(window);
    QWidget* w = window->findChild<QWidget*>(control);
    QVERIFY2(w, qPrintable(control));
    QCOMPARE(accessibleName(w), name);
}

void TestAccessibility::everyControlNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("menuButton");
    for (const auto& [window, button] : kWindows)
        QTest::newRow(window) << window << button;
}

// No control is announced by its role alone, by its contents or with a run
// of blanks; the window itself is announced by its caption.
void TestAccessibility::everyControlNamed()
{
    QFETCH(QString, window);
    QFETCH(QString, menuButton);
    QWidget* w = open(menuButton);
    QVERIFY(w);
    QCOMPARE(w->objectName(), window);
    QVERIFY(accessibleName(w).startsWith("Orvella"));
    QVERIFY(!accessibleName(w).contains("  "));

    int fields = 0;
    for (QWidget* c : w->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(c) && !qobject_cast<QAbstractButton*>(c) &&
            !qobject_cast<QLabel*>(c) && !qobject_cast<QGroupBox*>(c))
            continue;
        const QString name = accessibleName(c);
        const QByteArray what = (c->objectName() + ": '" + name + "'").toUtf8();
        QVERIFY2(!name.isEmpty(), what.constData());
        QVERIFY2(!name.contains("  "), what.constData());
        QVERIFY2(name == name.trimmed(), what.constData());
        if (auto* field = qobject_cast<QLineEdit*>(c)) {
            ++fields;
            QVERIFY2(name != field->text(), what.constData());
            QVERIFY2(!name.front().isDigit(), what.constData());
        }
    }
    QVERIFY(window == "frmOption" || fields > 0);
}

void TestAccessibility::fieldLabelledByItsLabel_data()
{
    QTest::addColumn<QString>("menuButton");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("label");
    QTest::newRow("frmFeuchte txRaum") << "Command3" << "txRaum" << "Label1";
    QTest::newRow("frmFeuchte txKorrosion") << "Command3" << "txKorrosion" << "Label7";
    QTest::newRow("frmTemperatur txFeuchte1") << "Command4" << "txFeuchte1" << "Label2";
    QTest::newRow("frmSchall txAbstand_p") << "Command2" << "txAbstand_p" << "Label4";
    QTest::newRow("frmDLprognose txR") << "Command5" << "txR" << "Label9";
    QTest::newRow("frmDLprognose txLr") << "Command5" << "txLr" << "Label11";
}

// Assistive technology also finds the label through the labelled-by relation.
void TestAccessibility::fieldLabelledByItsLabel()
{
    QFETCH(QString, menuButton);
    QFETCH(QString, field);
    QFETCH(QString, label);
    QWidget* window = open(menuButton);
    QVERIFY(window);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(fieldOf(window, field));
    QVERIFY(iface);
    // Qt also names the surrounding frame as a label; of the labels proper,
    // only the one on the field's row.
    QStringList labels;
    for (const auto& [other, relation] : iface->relations(QAccessible::Label))
        if (qobject_cast<QLabel*>(other->object()))
            labels << other->object()->objectName();
    QCOMPARE(labels, QStringList{label});
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
