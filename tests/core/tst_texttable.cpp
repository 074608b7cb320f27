// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways a table of texts is written: tab-separated lines, an HTML
// table and CSV, each with its one escaping rule, for the copied window and
// the study alike.

#include "texttable.h"

#include <QTest>

using namespace orvella;

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// A caption, a header, a heading across the table and two rows, with every
// character one of the writers has to escape.
const TextTable kTable{{"Lp [dB]", "r <m>"},
                       {{"Linke Hälfte"}, {"a\tb", "1,5"}, {"say \"x\"", "a;b\r\nc"}},
                       "Schall & Druck"};

}  // namespace

class TestTextTable : public QObject {
    Q_OBJECT
private slots:
    void tabSeparated();
    void html();
    void htmlNumbersAlignRight();
    void csv_data();
    void csv();
    void withoutCaptionOrHeader();
    void formulaCellsStayText_data();
    void formulaCellsStayText();
};

void TestTextTable::tabSeparated()
{
    // Tabs and line breaks in a cell would split it: blanks instead.
    QCOMPARE(text(tabSeparatedText(kTable)),
             QString("Schall & Druck\nLp [dB]\tr <m>\nLinke Hälfte\na b\t1,5\nsay \"x\"\ta;b  c\n"));
}

void TestTextTable::html()
{
    // Markup escaped, "ä" as a numeric reference, the heading across both
    // columns, and the line break kept inside its cell.
    QCOMPARE(text(htmlTable(kTable)),
             QString("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n"
                     "<caption>Schall &amp; Druck</caption>\n"
                     "<tr><th>Lp [dB]</th><th>r &lt;m&gt;</th></tr>\n"
                     "<tr><th colspan=\"2\">Linke H&#228;lfte</th></tr>\n"
                     "<tr><td>a\tb</td><td>1,5</td></tr>\n"
                     "<tr><td>say &quot;x&quot;</td><td>a;b\r\nc</td></tr>\n"
                     "</table>\n"));
    // Characters beyond the first 65536 and broken UTF-8 stay one reference each.
    const TextTable wide{{}, {{"\xF0\x9D\x9C\x8B", "\xFF"}}};
    QVERIFY(text(htmlTable(wide)).contains("<td>&#120587;</td><td>&#65533;</td>"));
}

void TestTextTable::htmlNumbersAlignRight()
{
    TextTable numbers{{"x", "y"}, {{"1", "2"}}};
    numbers.alignRight = true;
    QVERIFY(text(htmlTable(numbers)).contains("<tr><td align=\"right\">1</td><td align=\"right\">2</td></tr>"));
    // The header stays a header.
    QVERIFY(text(htmlTable(numbers)).contains("<tr><th>x</th><th>y</th></tr>"));
}

void TestTextTable::csv_data()
{
    QTest::addColumn<bool>("decimalComma");
    QTest::addColumn<QString>("expected");
    // A cell is quoted when it holds the separator, a quote or a line break;
    // a quote inside is doubled. A tab needs no quotes.
    QTest::newRow("decimal comma: semicolons")
        << true
        << QString("Schall & Druck\r\nLp [dB];r <m>\r\nLinke Hälfte\r\na\tb;1,5\r\n"
                   "\"say \"\"x\"\"\";\"a;b\r\nc\"\r\n");
    QTest::newRow("decimal point: commas")
        << false
        << QString("Schall & Druck\r\nLp [dB],r <m>\r\nLinke Hälfte\r\na\tb,\"1,5\"\r\n"
                   "\"say \"\"x\"\"\",\"a;b\r\nc\"\r\n");
}

void TestTextTable::csv()
{
    QFETCH(bool, decimalComma);
    QTEST(text(csvText(kTable, decimalComma)), "expected");
}

void TestTextTable::withoutCaptionOrHeader()
{
    // Neither an empty first line nor an empty header row.
    const TextTable rows{{}, {{"a", "1"}}};
    QCOMPARE(text(tabSeparatedText(rows)), QString("a\t1\n"));
    QCOMPARE(text(csvText(rows, true)), QString("a;1\r\n"));
    QCOMPARE(text(htmlTable(rows)),
             QString("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n<tr><td>a</td><td>1</td></tr>\n"
                     "</table>\n"));
    // A table of one column has no headings: its rows are cells.
    const TextTable column{{"x"}, {{"1"}, {"2"}}};
    QVERIFY(!text(htmlTable(column)).contains("colspan"));
    QCOMPARE(text(htmlTable(column)).count("<td>"), 2);
}

void TestTextTable::formulaCellsStayText_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("a formula") << "=1+1" << "'=1+1";
    QTest::newRow("a plus before text") << "+Pumpe" << "'+Pumpe";
    QTest::newRow("a minus before text") << "-3,5 dB" << "'-3,5 dB";
    QTest::newRow("an at sign") << "@SUM(A1)" << "'@SUM(A1)";
    // Quoted for the separator after the apostrophe is put in front.
    QTest::newRow("a formula with the separator") << "=A1;B1" << "\"'=A1;B1\"";
    QTest::newRow("a negative number") << "-3,5" << "-3,5";
    QTest::newRow("text that only holds a sign") << "Lp = -3" << "Lp = -3";
}

// A text cell that a spreadsheet would run as a formula is written as text;
// numbers keep their sign.
void TestTextTable::formulaCellsStayText()
{
    QFETCH(QString, cell);
    const TextTable table{{}, {{cell.toStdString()}}};
    QFETCH(QString, written);
    QCOMPARE(text(csvText(table, true)), written + "\r\n");
}

QTEST_APPLESS_MAIN(TestTextTable)
#include "tst_texttable.moc"
