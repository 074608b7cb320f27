// SPDX-License-Identifier: GPL-3.0-or-later
// The level list as text: levels and names taken from pasted text, a level
// written back, and the help page worked with the user's levels.

#include "levellisthelp.h"
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

QString page(const std::vector<double>& levels, std::optional<double> background, const char* mark)
{
    return QString::fromStdString(levelListHelpPage(levels, evaluateLevelList(levels, background), mark));
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

    // The worked calculation holds the user's numbers and the results as
    // the window writes them, in the user's decimal mark.
    void helpWorkedWithTheLevels_data()
    {
        QTest::addColumn<QString>("levels");
        QTest::addColumn<double>("background");  // NaN: none
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("absent");
        const double none = std::nan("");
        // 60 + 10·lg 8 = 69.0309.
        QTest::newRow("8 × 60 dB, comma")
            << "60 60 60 60 60 60 60 60" << none << ","
            << QStringList{"n = 8 Pegel", "= 8", "10 · lg 8 = 69,0309 dB → <b>69,03 dB</b>",
                           "lg(8 / 8) = 60 dB → <b>60 dB</b>", "480 / 8"}
            << QStringList{"69.03", "Fremdgeräusch L<sub>B</sub> ="};
        QTest::newRow("8 × 60 dB, point") << "60 60 60 60 60 60 60 60" << none << "."
                                          << QStringList{"<b>69.03 dB</b>", "10<sup>0.1 · L"}
                                          << QStringList{"69,03", "0,1 ·"};
        // K1 = −10·lg(1 − 10^−1) = 0.457575; 78.7 is only an upper bound.
        QTest::newRow("background: corrected and at the limit")
            << "70 80" << 75.0 << ","
            << QStringList{"L<sub>B</sub> = 75 dB", "70 − 75 = −5 dB", "80 − 75 = 5 dB", "Grenze der Messung",
                           "≤ 78,7 dB", "1,3 dB"}
            << QStringList{};
        QTest::newRow("70 over 60 dB") << "70" << 60.0 << ","
                                       << QStringList{"10<sup>−0,1 · 10</sup>) = 0,457575 dB", "69,54 dB",
                                                      "korrigiert"}
                                       << QStringList{"Grenze der Messung</td>"};
        QTest::newRow("a long list is cut") << "1 2 3 4 5 6 7 8 9 10" << none << ","
                                            << QStringList{"n = 10 Pegel", "8; …", " + …", "(8 − 10)"}
                                            << QStringList{"; 9;", "(9 − 10)"};
        QTest::newRow("a level beyond 300 dB") << "60 400" << none << ","
                                               << QStringList{"außerhalb von ±300 dB"}
                                               << QStringList{"L<sub>Σ</sub> = L<sub>max</sub> + 10 · lg S ="};
        QTest::newRow("empty list") << "" << none << "," << QStringList{"Die Liste ist leer"}
                                    << QStringList{"n = 0"};
    }

    void helpWorkedWithTheLevels()
    {
        QFETCH(QString, levels);
        QFETCH(double, background);
        QFETCH(QString, mark);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        std::vector<double> l;
        for (const QString& t : levels.split(u' ', Qt::SkipEmptyParts))
            l.push_back(t.toDouble());
        const QString html = page(l, std::isnan(background) ? std::nullopt : std::optional<double>(background),
                                  mark.toLatin1().constData());
        for (const QString& s : shown)
            QVERIFY2(html.contains(s), qPrintable(s));
        for (const QString& s : absent)
            QVERIFY2(!html.contains(s), qPrintable(s));
    }

    // The rules the page states are the numbers the correction uses.
    void helpStatesTheRules()
    {
        const QString html = page({}, std::nullopt, ",");
        for (const char* s : {"ΔL &gt; 15 dB", "6 dB &lt; ΔL ≤ 15 dB", "ΔL ≤ 6 dB", "K<sub>1</sub> = 1,3 dB",
                              "zwei Nachkommastellen", "keine Stellen vor", "ISO 3744", "ISO 10140-4", "±300 dB",
                              "Strg+Umschalt+C", "CSV speichern…"})
            QVERIFY2(html.contains(QString::fromUtf8(s)), s);
    }
};

QTEST_APPLESS_MAIN(TestLevelListText)
#include "tst_levellisttext.moc"
