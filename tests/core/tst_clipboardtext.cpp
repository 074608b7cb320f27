// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a copied window: which field texts are numbers and how they
// are written in the user's decimal mark, and the table as tab-separated
// lines and as HTML.

#include "clipboardtext.h"

#include <QTest>

using namespace orvella;

class TestClipboardText : public QObject {
    Q_OBJECT
private slots:
    void plainNumber_data();
    void plainNumber();
    void tables();
};

void TestClipboardText::plainNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("copied");  // what the copy writes

    // A comma-fixed or point-typed field under German settings, and back.
    QTest::newRow("52.57 under a comma") << "52.57" << "," << "52,57";
    // The comma fix reads 1,000 as 1: a spreadsheet must not see a thousand.
    QTest::newRow("1,000 under a point is one") << "1,000" << "." << "1.000";
    QTest::newRow("negative") << "-3.2" << "," << "-3,2";
    QTest::newRow("leading point gets a zero") << ".5" << "," << "0,5";
    QTest::newRow("trailing point dropped") << "5." << "," << "5";
    QTest::newRow("exponent with fraction and sign") << "1.5E+15" << "," << "1,5E+15";
    QTest::newRow("surrounding blanks trimmed") << "  63 " << "," << "63";
    QTest::newRow("many digits kept exactly") << "12345678901234567890.123" << ","
                                              << "12345678901234567890,123";
    QTest::newRow("a mark of two bytes") << "0.5" << "\u066B" << "0\u066B5";
    // Not plain numbers: copied as they stand.
    QTest::newRow("empty result field") << "" << "," << "";
    QTest::newRow("German thousands point") << "1.000,5" << "." << "1.000,5";
    QTest::newRow("blank between digits") << "1 5" << "," << "1 5";
    QTest::newRow("unit after the number") << "20 °C" << "," << "20 °C";
    QTest::newRow("sign and mark alone") << "-," << "." << "-,";
    QTest::newRow("exponent without digits") << "2.5E" << "," << "2.5E";
}

void TestClipboardText::plainNumber()
{
    QFETCH(QString, text);
    QFETCH(QString, mark);
    QFETCH(QString, copied);
    const std::string out = numberOrText(text.toStdString(), mark.toStdString());
    QCOMPARE(QString::fromStdString(out), copied);
}

void TestClipboardText::tables()
{
    const CopyTable table{"Feuchte <Calculator>",
                          {{"Schallleistungspegel", "", true},
                           {"Raumtemperatur [C°]", "20,5", false},
                           {"A & B", "a\tb\n\"c\"", false}}};
    // A tab or line break in a cell would split the row.
    QCOMPARE(QString::fromStdString(tableAsText(table)),
             QStringLiteral("Feuchte <Calculator>\nSchallleistungspegel\n"
                            "Raumtemperatur [C°]\t20,5\nA & B\ta b \"c\"\n"));
    QCOMPARE(QString::fromStdString(tableAsHtml(table)),
             QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
                            "<caption>Feuchte &lt;Calculator&gt;</caption>\n"
                            "<tr><th colspan=\"2\">Schallleistungspegel</th></tr>\n"
                            "<tr><td>Raumtemperatur [C&#176;]</td><td>20,5</td></tr>\n"
                            "<tr><td>A &amp; B</td><td>a\tb\n&quot;c&quot;</td></tr>\n"
                            "</table>\n"));
}

QTEST_APPLESS_MAIN(TestClipboardText)
#include "tst_clipboardtext.moc"
