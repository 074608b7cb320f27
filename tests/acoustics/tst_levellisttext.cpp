// SPDX-License-Identifier: GPL-3.0-or-later
// The level list as text: levels and names taken from pasted text, a level
// written back. (The help page of the level list: tests/help/tst_evaluationpages.cpp.)

#include "levellisttext.h"

#include <QTest>

using namespace orvella;

namespace {

// "60.5=Lüfter|62" : the levels with a point, each with "=name" when named.
QString pastedSummary(const PastedLevels& p)
{
    QStringList out;
    for (const PastedLevel& l : p.levels) {
        QString s = QString::number(l.levelDb, 'g', QLocale::FloatingPointShortest);
        if (!l.name.empty())
            s += u'=' + QString::fromStdString(l.name);
        out << s;
    }
    return out.join(u'|');
}

}  // namespace

class TestLevelListText : public QObject {
    Q_OBJECT
private slots:
    void levelsFromPastedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("levels");
        QTest::addColumn<int>("unreadable");
        QTest::newRow("both decimal marks, units ignored") << "12,5 dB\n60.3 dBA" << "12.5|60.3" << 0;
        QTest::newRow("a spreadsheet column, CRLF") << "60,1\r\n62,4\r\n\r\n58\r\n" << "60.1|62.4|58" << 0;
        QTest::newRow("a word and a number: the name") << "Lüfter: 65 dB\nPumpe = 70,5" << "65=Lüfter|70.5=Pumpe"
                                                       << 0;
        QTest::newRow("tab-separated name and level") << "MP1\t62,3\nMP2\t63,1" << "62.3=MP1|63.1=MP2" << 0;
        // Digits that continue a word are part of it; "Pos 3" holds a number.
        QTest::newRow("several numbers on a line: no names") << "Pos 3 62\n60, 61, 62" << "3|62|60|61|62" << 0;
        QTest::newRow("negative and exponent") << "-3 dB; 1e2" << "-3|100" << 0;
        QTest::newRow("a date is not read") << "12.03.2024 Messung 61,5" << "61.5" << 1;
        QTest::newRow("a number too large") << "1E999 60" << "60" << 1;
        QTest::newRow("no number") << "Pegel in dB\nkeine Werte" << "" << 0;
        QTest::newRow("a no-break space before the number") << "Kompressor\u00a070" << "70=Kompressor" << 0;
        QTest::newRow("empty") << "" << "" << 0;
        QTest::newRow("a name of 5 million characters is cut")
            << QString(5'000'000, u'x') + ": 60" << "60=" + QString(200, u'x') + "…" << 0;
    }

    void levelsFromPastedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, levels);
        QFETCH(int, unreadable);
        const PastedLevels p = levelsFromText(text.toStdString());
        QCOMPARE(pastedSummary(p), levels);
        QCOMPARE(int(p.unreadable), unreadable);
    }

    void manyNumbers()
    {
        std::string text;
        for (int i = 0; i < 100000; ++i)
            text += i % 2 ? "60,5\n" : "61.5 dB\n";
        const PastedLevels p = levelsFromText(text);
        QCOMPARE(p.levels.size(), std::size_t(100000));
        QCOMPARE(p.levels.front().levelDb, 61.5);
        QCOMPARE(p.levels.back().levelDb, 60.5);
    }

    void levelsOfAColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("columns");  // as levelColumns finds them
        QTest::addColumn<int>("column");   // the one taken
        QTest::addColumn<QString>("levels");
        QTest::addColumn<int>("skipped");
        const QString meter = "Pos 1: 61,05 dB(A)\nPos 2: 60 dB(A)\r\nPos 3: 62,3 dB(A)\n";
        QTest::newRow("a numbered meter export: the last column")
            << meter << 2 << 2 << "61.05=Pos 1|60=Pos 2|62.3=Pos 3" << 0;
        QTest::newRow("a numbered meter export: the first column") << meter << 2 << 1 << "1=Pos|2=Pos|3=Pos" << 0;
        // The heading's date and time are three numbers: not a row.
        QTest::newRow("a heading with a date is skipped")
            << "Messung 12.03.2024 10:15\n" + meter << 2 << 2 << "61.05=Pos 1|60=Pos 2|62.3=Pos 3" << 1;
        QTest::newRow("of two counts equally common, the larger")
            << "1 60\n1 2 61" << 3 << 3 << "61=1 2" << 1;
        QTest::newRow("an unreadable number in the column") << "A 1 1E999\nB 2 60" << 2 << 2 << "60=B 2" << 0;
        QTest::newRow("one number a line: every number") << "60\n61,5" << 0 << 0 << "60|61.5" << 0;
        QTest::newRow("one line of several numbers: every number") << "60 61 62" << 0 << 0 << "60|61|62" << 0;
        QTest::newRow("lines of many numbers: every number")
            << QString("1 ").repeated(20) + "\n" + QString("2 ").repeated(20) << 0 << 0
            << QString("1|").repeated(20) + QString("2|").repeated(19) + "2" << 0;
    }

    // Pasted lines that each hold several numbers are a table: one column
    // of it holds the levels, the others (position numbers) do not.
    void levelsOfAColumn()
    {
        QFETCH(QString, text);
        QFETCH(int, column);
        const std::string utf8 = text.toStdString();
        const LevelColumns found = levelColumns(utf8);
        QTEST(int(found.columns), "columns");
        const PastedLevels p = levelsFromText(utf8, {std::size_t(column), found.columns});
        QTEST(pastedSummary(p), "levels");
        QTEST(int(p.linesSkipped), "skipped");
    }

    void levelsAndColumnsInOnePass_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("most");
        QTest::newRow("a table") << "Pos 1: 61,05 dB(A)\nPos 2: 60 dB(A)\nPos 3: 62,3 dB(A)" << 100;
        QTest::newRow("every number, room for all") << "Lüfter: 65 dB\n60 61 62\n63" << 100;
        // The line on which the room ends still counts with all its numbers.
        QTest::newRow("the room ends within a line") << "1 2 3\n4 5 6\n7 8 9\n10 11\n12 13" << 4;
        QTest::newRow("the room ends at a line's end") << "1 2 3\n4 5 6\n7 8" << 3;
        QTest::newRow("a line of more numbers than a table has") << QString("1 ").repeated(18) + "\n1 2" << 2;
        QTest::newRow("unreadable numbers") << "1E999 60\n12.03.2024 5\n7" << 1;
    }

    // A paste reads the text once for what levelsFromText (every number)
    // and levelColumns each read.
    void levelsAndColumnsInOnePass()
    {
        QFETCH(QString, text);
        QFETCH(int, most);
        const std::string utf8 = text.toStdString();
        const LevelsAndColumns both = levelsAndColumns(utf8, std::size_t(most));
        const PastedLevels levels = levelsFromText(utf8, {}, std::size_t(most));
        const LevelColumns columns = levelColumns(utf8);
        QCOMPARE(pastedSummary(both.levels), pastedSummary(levels));
        QCOMPARE(both.levels.unreadable, levels.unreadable);
        QCOMPARE(both.levels.moreLevels, levels.moreLevels);
        QCOMPARE(both.columns.columns, columns.columns);
        QCOMPARE(both.columns.lines, columns.lines);
    }

    void levelWrittenBack_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 60.0 << "," << "60";
        QTest::newRow("decimal comma") << 62.5 << "," << "62,5";
        QTest::newRow("decimal point") << 62.5 << "." << "62.5";
        QTest::newRow("every digit kept") << 60.123456789 << "," << "60,123456789";
        QTest::newRow("negative") << -3.25 << "," << "-3,25";
        QTest::newRow("negative zero") << -0.0 << "," << "0";
    }

    void levelWrittenBack()
    {
        QFETCH(double, level);
        QFETCH(QString, mark);
        QTEST(QString::fromStdString(levelText(level, mark.toStdString())), "text");
    }
};

QTEST_APPLESS_MAIN(TestLevelListText)
#include "tst_levellisttext.moc"
