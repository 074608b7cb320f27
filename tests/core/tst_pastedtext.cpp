// SPDX-License-Identifier: GPL-3.0-or-later
// Pasted tables and CSV files, cell by cell, and the numbers of a free text.

#include "coretesting.h"
#include "numbers.h"
#include "pastedtext.h"

#include <QTest>

#include <bit>

using namespace orvella;

namespace {

// A cell as one short text: its number, "!" and its text when it has a
// problem, nothing when empty.
QString cellText(const TableCell& c)
{
    if (c.number)
        return QString::number(*c.number, 'g', 15);
    if (c.problem != CellProblem::None)
        return "!" + QString::fromStdString(c.text);
    return QString::fromStdString(c.text);
}

// Rows as "cell|cell/cell|cell".
QString rowsText(const std::vector<TableRow>& rows)
{
    QStringList lines;
    for (const TableRow& row : rows) {
        QStringList cells;
        for (const TableCell& c : row.cells)
            cells << cellText(c);
        lines << cells.join('|');
    }
    return lines.join('/');
}

// Found numbers as "12.5|60.3", "?" for one that was not read.
QString numbersText(const std::vector<FoundNumber>& found)
{
    QStringList out;
    for (const FoundNumber& f : found)
        out << (f.value ? QString::number(*f.value, 'g', 15) : QString("?"));
    return out.join('|');
}

}  // namespace

class TestPastedText : public QObject {
    Q_OBJECT
private slots:
    void readCell_data();
    void readCell();
    void table_data();
    void table();
    void lineNumbersCountQuotedLineBreaks();
    void badBytesDoNotBreakTheTable_data();
    void badBytesDoNotBreakTheTable();
    void numbers_data();
    void numbers();
    void numberPlaces();
    void numbersReadExactly_data();
    void numbersReadExactly();
    void manyNumbers();
    void germanLocaleChangesNothing();
    void limitsBoundTheTable_data();
    void limitsBoundTheTable();
};

void TestPastedText::readCell_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("number");
    QTest::addColumn<int>("problem");
    const int none = int(CellProblem::None), text = int(CellProblem::NotANumber);
    const int marks = int(CellProblem::SeveralMarks), large = int(CellProblem::TooLarge);
    QTest::newRow("decimal comma") << "12,5" << true << 12.5 << none;
    QTest::newRow("decimal point") << "12.5" << true << 12.5 << none;
    QTest::newRow("negative") << "-3" << true << -3.0 << none;
    QTest::newRow("plus sign") << "+7" << true << 7.0 << none;
    QTest::newRow("typeset minus sign U+2212") << "\u22125,5" << true << -5.5 << none;
    QTest::newRow("leading comma") << ",5" << true << 0.5 << none;
    QTest::newRow("trailing point") << "5." << true << 5.0 << none;
    QTest::newRow("exponent") << "1,5E3" << true << 1500.0 << none;
    QTest::newRow("blanks and tabs around") << " \t60 " << true << 60.0 << none;
    QTest::newRow("no-break spaces around") << "\u00a060\u00a0" << true << 60.0 << none;
    QTest::newRow("too small for a double reads as 0") << "1e-400" << true << 0.0 << none;
    QTest::newRow("empty: no number, no problem") << "" << false << 0.0 << none;
    QTest::newRow("blanks only") << "   " << false << 0.0 << none;
    QTest::newRow("word") << "abc" << false << 0.0 << text;
    QTest::newRow("number with a unit") << "12 dB" << false << 0.0 << text;
    QTest::newRow("blank inside") << "1 5" << false << 0.0 << text;
    QTest::newRow("sign alone") << "-" << false << 0.0 << text;
    QTest::newRow("infinity is no number") << "inf" << false << 0.0 << text;
    QTest::newRow("nan is no number") << "nan" << false << 0.0 << text;
    QTest::newRow("hexadecimal is no number here") << "&H1F" << false << 0.0 << text;
    QTest::newRow("exponent without digits") << "3e" << false << 0.0 << text;
    QTest::newRow("German thousands point") << "1.000,5" << false << 0.0 << marks;
    QTest::newRow("English thousands comma") << "1,000.5" << false << 0.0 << marks;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0 << marks;
    QTest::newRow("date") << "12.03.2024" << false << 0.0 << marks;
    QTest::newRow("too large for a double") << "1E999" << false << 0.0 << large;
}

void TestPastedText::readCell()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, number);
    QFETCH(int, problem);
    const TableCell c = orvella::readCell(text.toStdString());
    QCOMPARE(c.number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*c.number, number);
    QCOMPARE(int(c.problem), problem);
    // Every problem has its sentence, and only a problem has one.
    QCOMPARE(c.reason.empty(), problem == int(CellProblem::None));
    QCOMPARE(QString::fromStdString(c.text), text.trimmed());
}

void TestPastedText::table_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("columns");

    QTest::newRow("spreadsheet: tabs, decimal comma, one header line")
        << QByteArray("r\tLp\tSTI\n2\t54\t0,72\n4\t47\t0,64\n") << "\t" << "r|Lp|STI"
        << "2|54|0.72/4|47|0.64" << 3;
    QTest::newRow("CSV of German settings: semicolons, decimal comma, CRLF")
        << QByteArray("r [m];Lp,A,S [dB]\r\n2;44,75\r\n4;47\r\n") << ";" << "r [m]|Lp,A,S [dB]"
        << "2|44.75/4|47" << 2;
    QTest::newRow("CSV of English settings: commas, decimal point, CRLF")
        << QByteArray("r [m],Lp [dB]\r\n2,44.75\r\n4,47\r\n") << "," << "r [m]|Lp [dB]"
        << "2|44.75/4|47" << 2;
    QTest::newRow("CSV of English settings, quoted header with a comma")
        << QByteArray("\"Lp,A,S [dB]\",STI\r\n44.75,0.6\r\n") << "," << "Lp,A,S [dB]|STI" << "44.75|0.6" << 2;
    QTest::newRow("commas without header: a decimal point after the comma makes it a separator")
        << QByteArray("2,54.5\n4,47\n") << "," << "" << "2|54.5/4|47" << 2;
    QTest::newRow("one comma between digits on each line: decimal commas, one column")
        << QByteArray("12,5\n13,75\n") << "" << "" << "12.5/13.75" << 1;
    QTest::newRow("whole numbers with one comma: read as decimal commas")
        << QByteArray("2,54\n4,47") << "" << "" << "2.54/4.47" << 1;
    QTest::newRow("comma and blank separate") << QByteArray("60, 62, 64") << "," << "" << "60|62|64" << 3;
    QTest::newRow("two commas on a line separate") << QByteArray("1,2,3") << "," << "" << "1|2|3" << 3;
    QTest::newRow("German thousands point: one cell, marked, not taken as header")
        << QByteArray("1.000,5\n2.000,25\n") << "" << "" << "!1.000,5/!2.000,25" << 1;
    QTest::newRow("quoted cells hold separators and line breaks")
        << QByteArray("\"a;b\";1\n\"x\ny\";2\n") << ";" << "" << "!a;b|1/!x\ny|2" << 2;
    QTest::newRow("doubled quote inside a quoted cell")
        << QByteArray("\"say \"\"hi\"\"\";5") << ";" << "" << "!say \"hi\"|5" << 2;
    QTest::newRow("quoted decimal comma in a comma CSV")
        << QByteArray("r,L\n\"2,5\",60\n") << "," << "r|L" << "2.5|60" << 2;
    QTest::newRow("text after the closing quote is kept")
        << QByteArray("\"12\" dB;3\n") << ";" << "" << "!12 dB|3" << 2;
    QTest::newRow("quote inside an unquoted cell is a character")
        << QByteArray("12\"5;3\n") << ";" << "" << "!12\"5|3" << 2;
    QTest::newRow("quote never closed: the rest of the text is the cell")
        << QByteArray("1;\"abc\n2;3") << ";" << "" << "1|!abc\n2;3" << 2;
    QTest::newRow("CRLF, LF and CR alone") << QByteArray("1;2\r\n3;4\r5;6\n") << ";" << ""
                                           << "1|2/3|4/5|6" << 2;
    QTest::newRow("ragged rows") << QByteArray("1;2;3\n4\n5;6\n") << ";" << "" << "1|2|3/4/5|6" << 3;
    QTest::newRow("separator at the line end: an empty last cell")
        << QByteArray("1;2;\n") << ";" << "" << "1|2|" << 3;
    QTest::newRow("blank lines and lines of empty cells are left out")
        << QByteArray("\n\n1;2\n\n;;\n  ; \n3;4\n") << ";" << "" << "1|2/3|4" << 2;
    QTest::newRow("header lines before the first number; text rows after it stay")
        << QByteArray("Messung Raum 12\nr;L\n2;54\nSumme;\n") << ";" << "Messung Raum 12/r|L"
        << "2|54/!Summe|" << 2;
    QTest::newRow("byte order mark dropped") << QByteArray("\xEF\xBB\xBFr;L\n2;54") << ";" << "r|L" << "2|54" << 2;
    QTest::newRow("a tab anywhere wins over semicolons") << QByteArray("a;b\t1\n") << "\t" << "" << "!a;b|1" << 2;
    QTest::newRow("tab CSV: commas inside cells are decimal commas")
        << QByteArray("1,5\t2,5\n") << "\t" << "" << "1.5|2.5" << 2;
    QTest::newRow("empty text") << QByteArray("") << "" << "" << "" << 0;
    QTest::newRow("header only") << QByteArray("r;Lp\n") << ";" << "r|Lp" << "" << 2;
}

void TestPastedText::table()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, separator);
    QFETCH(QString, header);
    QFETCH(QString, rows);
    QFETCH(int, columns);
    const PastedTable t = parsePastedTable(std::string_view(text.constData(), std::size_t(text.size())));
    QCOMPARE(t.separator == 0 ? QString() : QString(QChar(t.separator)), separator);
    // Header cells are never numbers, so rowsText shows them as their texts
    // (with "!" for a problem).
    QCOMPARE(rowsText(t.header).remove('!'), header);
    QCOMPARE(rowsText(t.rows), rows);
    QCOMPARE(int(t.columns), columns);
}

void TestPastedText::lineNumbersCountQuotedLineBreaks()
{
    const PastedTable t = parsePastedTable("a;b\r\n\"x\r\ny\";1\n\n2;3\r4;5");
    QCOMPARE(t.rows.size(), std::size_t(3));
    QCOMPARE(t.rows[0].line, std::size_t(2));
    QCOMPARE(t.rows[1].line, std::size_t(5));  // after the quoted break and the blank line
    QCOMPARE(t.rows[2].line, std::size_t(6));
    QCOMPARE(t.header.at(0).line, std::size_t(1));
}

void TestPastedText::badBytesDoNotBreakTheTable_data()
{
    // Latin-1 text given as UTF-8, a cut-off sequence, a lone continuation
    // byte and a NUL: they stay in their cells and never split one.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("rows");
    QTest::newRow("Latin-1 umlaut in the header") << QByteArray("Pegel \xE4;r\n54;2\n") << "54|2";
    QTest::newRow("cut-off sequence at the end") << QByteArray("1;2\n3;\xC3") << "1|2/3|!?";
    QTest::newRow("lone continuation byte in a number cell") << QByteArray("1\x80;2\n") << "!?|2";
    QTest::newRow("NUL byte inside a cell") << QByteArray("1;2\0x\n3;4", 9) << "1|!?/3|4";
}

void TestPastedText::badBytesDoNotBreakTheTable()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, rows);
    const PastedTable t = parsePastedTable(std::string_view(text.constData(), std::size_t(text.size())));
    QStringList shown;
    for (const TableRow& row : t.rows) {
        QStringList cells;
        for (const TableCell& c : row.cells)
            cells << (c.number ? QString::number(*c.number) : c.problem != CellProblem::None ? "!?" : "");
        shown << cells.join('|');
    }
    QCOMPARE(shown.join('/'), rows);
}

void TestPastedText::numbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("numbers");
    QTest::newRow("units and words ignored") << QByteArray("12,5 dB; 60.3 dBA, L=70") << "12.5|60.3|70";
    QTest::newRow("comma and blank separate") << QByteArray("60, 62, 64") << "60|62|64";
    QTest::newRow("several commas without blanks separate") << QByteArray("1,2,3") << "1|2|3";
    QTest::newRow("points with commas: commas separate") << QByteArray("60.5,62.5") << "60.5|62.5";
    QTest::newRow("one comma between digits is a decimal comma") << QByteArray("12,5") << "12.5";
    QTest::newRow("one comma without blank, then comma with blank")
        << QByteArray("60,62, 64") << "60.62|64";
    QTest::newRow("German thousands form: commas separate, 1.000 is 1")
        << QByteArray("1.000,5") << "1|5";
    QTest::newRow("signs") << QByteArray("-3 und +4") << "-3|4";
    QTest::newRow("typeset minus sign") << QByteArray("\xE2\x88\x92" "5 dB") << "-5";
    QTest::newRow("hyphen after a digit is no sign") << QByteArray("60-70 dB") << "60|70";
    QTest::newRow("exponents") << QByteArray("1e3 2E-1 5e+1") << "1000|0.2|50";
    QTest::newRow("exponent letter without digits is a word") << QByteArray("3e dB") << "3";
    QTest::newRow("digits in words are no numbers") << QByteArray("L1 = 60, Lp4m 50, m3") << "60|50";
    QTest::newRow("leading point") << QByteArray("L=.5") << "0.5";
    QTest::newRow("lone marks and signs") << QByteArray(". , - + ,5") << "5";
    QTest::newRow("date is not read") << QByteArray("am 12.03.2024: 55") << "?|55";
    QTest::newRow("too large is not read") << QByteArray("1E999 60") << "?|60";
    QTest::newRow("line breaks and tabs separate") << QByteArray("60\t61\n62\r\n63") << "60|61|62|63";
    QTest::newRow("brackets") << QByteArray("(70) [71]") << "70|71";
    QTest::newRow("invalid UTF-8 around a number") << QByteArray("x\xFF\xFE 5 \xC3") << "5";
    QTest::newRow("non-ASCII letters do not hide numbers") << QByteArray("Σ5 ä6") << "5|6";
    QTest::newRow("empty") << QByteArray("") << "";
    QTest::newRow("words only") << QByteArray("keine Zahl") << "";
}

void TestPastedText::numbers()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, numbers);
    const std::string_view s(text.constData(), std::size_t(text.size()));
    QCOMPARE(numbersText(findNumbers(s)), numbers);
    QCOMPARE(countNumbers(s), findNumbers(s).size());
}

void TestPastedText::numberPlaces()
{
    // Offsets and lengths in bytes, sign and exponent included, so that the
    // window can mark what it read; the pieces of a comma list each alone.
    const std::string text = "L=70 dB, -5e1; 1,2,3";
    const std::vector<FoundNumber> f = findNumbers(text);
    QCOMPARE(f.size(), std::size_t(5));
    const std::vector<std::string> pieces = {"70", "-5e1", "1", "2", "3"};
    for (std::size_t i = 0; i < f.size(); ++i)
        QCOMPARE(QString::fromStdString(text.substr(f[i].offset, f[i].length)),
                 QString::fromStdString(pieces[i]));
}

void TestPastedText::numbersReadExactly_data()
{
    QTest::addColumn<QByteArray>("text");
    for (const char* t : {"62,4", "58.7", "-0.3", "-0,0", "0.1", ".5", "4.35", "000000000000000000000012.5",
                          "123456789012345", "1234567890123456", "9007199254740993", "1.0000000000000002",
                          "0.0000000000000000000001", "0.00000000000000000000001", "72.000000000000000001",
                          "-1e22", "1E-5"})
        QTest::newRow(t) << QByteArray(t);
}

void TestPastedText::numbersReadExactly()
{
    // A found number is the one readPlainNumber reads from its text, to the
    // last bit and the sign of a zero, also where it is read without a string.
    QFETCH(QByteArray, text);
    const std::string s = text.toStdString();
    const std::vector<FoundNumber> f = findNumbers(s);
    const std::optional<double> expected = readPlainNumber(s);
    QCOMPARE(f.size(), std::size_t(1));
    QVERIFY(f.front().value && expected);
    QCOMPARE(std::bit_cast<quint64>(*f.front().value), std::bit_cast<quint64>(*expected));
}

void TestPastedText::manyNumbers()
{
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += std::to_string(40 + i % 50) + ",5 dB; ";
    const std::vector<FoundNumber> f = findNumbers(text);
    QCOMPARE(f.size(), std::size_t(100000));
    QCOMPARE(*f[99999].value, 40 + 99999 % 50 + 0.5);
}

void TestPastedText::germanLocaleChangesNothing()
{
    // The C library's locale (a decimal comma under German settings) must
    // not decide how a cell or a free text is read.
    const test::CLocaleScope german("de_DE.UTF-8");
    if (!german.available())
        QSKIP("the locale de_DE.UTF-8 is not generated here");
    const TableCell point = orvella::readCell("12.5");
    const TableCell comma = orvella::readCell("12,5");
    const PastedTable t = parsePastedTable("r,L\n2,44.75\n");
    const QString found = numbersText(findNumbers("12,5 dB; 60.3 dBA"));
    QCOMPARE(*point.number, 12.5);
    QCOMPARE(*comma.number, 12.5);
    QCOMPARE(rowsText(t.rows), QString("2|44.75"));
    QCOMPARE(found, QString("12.5|60.3"));
}

void TestPastedText::limitsBoundTheTable_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("rows");         // rows read (limit 1000)
    QTest::addColumn<QString>("last");     // the last row read
    QTest::addColumn<QString>("reported"); // moreRows, cellsLeftOut, cellsCut, header lines kept/seen

    QByteArray positions;
    for (int i = 1; i <= 100000; ++i)
        positions += QByteArray::number(i) + ";60\n";
    QTest::newRow("100 000 positions: the first 1000") << positions << 1000 << "1000|60" << "more|-|-|0/0";
    QTest::newRow("blank lines after the limit are not more")
        << QByteArray("1;60\n").repeated(1000) + "\n \n;;\n" << 1000 << "1|60" << "-|-|-|0/0";
    // 20 MiB of separators: one row of empty cells, read past without
    // keeping them.
    QTest::newRow("20 MiB of semicolons") << QByteArray(20 * 1024 * 1024, ';') << 0 << "" << "-|-|-|0/0";
    QTest::newRow("cells past the 64th left out")
        << QByteArray("1") + QByteArray(";2").repeated(69) << 1 << QString("1") + QString("|2").repeated(63)
        << "-|left out|-|0/0";
    QTest::newRow("a cell of 5 million characters is cut")
        << QByteArray(5'000'000, 'x') + ";60" << 1 << QString("!") + QString(200, 'x') + "…|60" << "-|-|cut|0/0";
    // Cut to 200 characters and "…" (three bytes), it is as long as before.
    QTest::newRow("a cell of 203 characters is cut")
        << QByteArray(203, 'x') + ";60" << 1 << QString("!") + QString(200, 'x') + "…|60" << "-|-|cut|0/0";
    QTest::newRow("a cell of 300 umlauts is cut between characters")
        << QString(300, u'ü').toUtf8() + ";60" << 1 << QString("!") + QString(200, u'ü') + "…|60" << "-|-|cut|0/0";
    QTest::newRow("a quoted cell of 5 million characters is cut")
        << "\"" + QByteArray(5'000'000, 'y') + "\";60" << 1 << QString("!") + QString(200, 'y') + "…|60"
        << "-|-|cut|0/0";
    QTest::newRow("100 header lines: 64 kept, all counted")
        << QByteArray("Kopf\n").repeated(100) + "2;60" << 1 << "2|60" << "-|-|-|64/100";
}

// The reader stops at its limits and says what it left out; time and memory
// follow what it keeps.
void TestPastedText::limitsBoundTheTable()
{
    QFETCH(QByteArray, text);
    TableLimits limits;
    limits.rows = 1000;
    const PastedTable t = parsePastedTable(std::string_view(text.constData(), std::size_t(text.size())), limits);
    QTEST(int(t.rows.size()), "rows");
    QTEST(t.rows.empty() ? QString() : rowsText({t.rows.back()}), "last");
    QTEST(QStringList({t.moreRows ? "more" : "-", t.cellsLeftOut ? "left out" : "-", t.cellsCut ? "cut" : "-",
                       QString("%1/%2").arg(t.header.size()).arg(t.headerLines)})
              .join('|'),
          "reported");
}

QTEST_APPLESS_MAIN(TestPastedText)
#include "tst_pastedtext.moc"
