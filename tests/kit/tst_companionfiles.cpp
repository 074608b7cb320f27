// SPDX-License-Identifier: GPL-3.0-or-later
// The companions' file chooser: the suffix of the chosen filter is added to
// a name without one, the folder is remembered per kind of file, and CSV
// tables are saved in the user's settings with a byte-order mark.

#include "companionfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace orvella;

class TestCompanionFiles : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setFileDialog({}); }
    void suffixOfTheChosenFilter_data();
    void suffixOfTheChosenFilter();
    void folderRememberedPerKind();
    void csvTablesOneAfterTheOther();
};

void TestCompanionFiles::suffixOfTheChosenFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosenFilter");
    QTest::addColumn<QString>("saved");
    const QString png = "PNG-Bild (*.png)";
    const QString svg = "SVG-Grafik (*.svg)";
    QTest::newRow("no suffix: the first filter's") << "bild" << png << "bild.png";
    QTest::newRow("no suffix: the chosen filter's") << "bild" << svg << "bild.svg";
    QTest::newRow("an offered suffix is kept") << "bild.SVG" << png << "bild.SVG";
    QTest::newRow("a suffix not offered gets one") << "bild.jpg" << png << "bild.jpg.png";
    QTest::newRow("a dot in a folder's name is no suffix") << "a.b/bild" << svg << "a.b/bild.svg";
}

void TestCompanionFiles::suffixOfTheChosenFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, chosenFilter);
    QFETCH(QString, saved);
    QString offered;
    setFileDialog([&](QWidget*, const QString&, const QString&, const QString& filters, QString* selected) {
        offered = filters;
        *selected = chosenFilter;
        return typed;
    });
    QCOMPARE(askSaveFile(nullptr, FileKind::Image, "Diagramm speichern", "x",
                         {"PNG-Bild (*.png)", "SVG-Grafik (*.svg)"}),
             saved);
    QCOMPARE(offered, QString("PNG-Bild (*.png);;SVG-Grafik (*.svg)"));
}

void TestCompanionFiles::folderRememberedPerKind()
{
    QTemporaryDir csvDir;
    QString suggested;
    setFileDialog([&](QWidget*, const QString&, const QString& s, const QString&, QString*) {
        suggested = s;
        return QString();
    });
    QVERIFY(saveCsvTables(nullptr, csvDir.filePath("a.csv"), {}, false));
    askSaveFile(nullptr, FileKind::Csv, "CSV speichern", "Studie a/b", {"CSV-Dateien (*.csv)"});
    QCOMPARE(suggested, QDir(csvDir.path()).filePath("Studie a-b.csv"));
    askSaveFile(nullptr, FileKind::Image, "Diagramm speichern", "Bild", {"PNG-Bild (*.png)"});
    QVERIFY(!suggested.startsWith(csvDir.path()));

    // A file opened starts in the folder of its kind, and its own folder is
    // the one offered next, for opening and saving alike.
    QTemporaryDir openDir;
    const QString opened = QDir(openDir.path()).filePath("m.csv");
    setFileDialog([&](QWidget*, const QString&, const QString& s, const QString&, QString*) {
        suggested = s;
        return opened;
    });
    QCOMPARE(askOpenFile(nullptr, FileKind::Csv, "CSV öffnen", {"CSV-Dateien (*.csv)"}), opened);
    QCOMPARE(suggested, csvDir.path());
    askSaveFile(nullptr, FileKind::Csv, "CSV speichern", "x", {"CSV-Dateien (*.csv)"});
    QCOMPARE(suggested, QDir(openDir.path()).filePath("x.csv"));
    setFileDialog({});
}

void TestCompanionFiles::csvTablesOneAfterTheOther()
{
    QTemporaryDir dir;
    TextTable first;
    first.header = {"L [dB]"};
    first.rows = {{"60,5"}};
    TextTable second;
    second.rows = {{"Lüfter", "65"}};
    QVERIFY(saveCsvTables(nullptr, dir.filePath("t.csv"), {first, second}, true));
    QFile file(dir.filePath("t.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFL [dB]\r\n60,5\r\n\r\nLüfter;65\r\n"));
}

QTEST_MAIN(TestCompanionFiles)
#include "tst_companionfiles.moc"
