// SPDX-License-Identifier: GPL-3.0-or-later
// Saving a file the user chose: the file is replaced only when everything
// was written, and a failure leaves the folder as it was and shows one
// German message that names the file, the reason and what to do.

#include "savefile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <stdexcept>

using namespace orvella;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeOld(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("alt") == 3;
}

enum class Failure { WriterGivesUp, WriterThrows, NoFolder, NameIsAFolder };

}  // namespace

Q_DECLARE_METATYPE(Failure)

class TestSaveFile : public QObject {
    Q_OBJECT
private slots:
    void replacesAnExistingFile();
    void failureChangesNothing_data();
    void failureChangesNothing();
    void oneMessageOnFailure();
    void noMessageOnSuccess();
};

void TestSaveFile::replacesAnExistingFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("tabelle.csv");
    QVERIFY(writeOld(path));
    QString reason = "unberührt";
    QVERIFY(writeAtomically(path, [](QSaveFile& f) { return f.write("neu") == 3; }, &reason));
    QCOMPARE(contentOf(path), QByteArray("neu"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"tabelle.csv"});
}

void TestSaveFile::failureChangesNothing_data()
{
    QTest::addColumn<Failure>("failure");
    QTest::newRow("the writer gives up half way") << Failure::WriterGivesUp;
    QTest::newRow("the writer throws") << Failure::WriterThrows;
    QTest::newRow("the folder does not exist") << Failure::NoFolder;
    QTest::newRow("the name is a folder") << Failure::NameIsAFolder;
}

void TestSaveFile::failureChangesNothing()
{
    QFETCH(Failure, failure);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("ordner"));
    const QString existing = dir.filePath("bild.png");
    QVERIFY(writeOld(existing));
    const QString path = failure == Failure::NoFolder        ? dir.filePath("fehlt/bild.png")
                         : failure == Failure::NameIsAFolder ? dir.filePath("ordner")
                                                             : existing;
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QString reason;
    const bool saved = writeAtomically(
        path,
        [failure](QSaveFile& f) {
            f.write("halb");
            if (failure == Failure::WriterThrows)
                throw std::runtime_error("kaputt");
            return failure != Failure::WriterGivesUp;
        },
        &reason);
    QVERIFY(!saved);
    QVERIFY(!reason.isEmpty());
    QCOMPARE(contentOf(existing), QByteArray("alt"));
    // No temporary file left beside the target.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(QDir(dir.filePath("ordner")).isEmpty());
}

void TestSaveFile::oneMessageOnFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("fehlt/studie.csv");
    QWidget parent;
    SaveFailureText text;
    text.title = "Parameterstudie";
    text.objectName = "writeFailure";
    QStringList boxes;
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes << box->objectName() + u'|' + box->windowTitle() + u'|' + box->text() + u'|' +
                         box->informativeText() + u'|' + (box->parentWidget() == &parent ? "parent" : "");
            box->accept();
        }
    });
    answer.start(20);
    QVERIFY(!saveAtomically(&parent, path, [](QSaveFile& f) { return f.write("x") == 1; }, text));
    answer.stop();
    QCOMPARE(boxes.size(), 1);
    const QStringList parts = boxes.first().split(u'|');
    QCOMPARE(parts[0], QString("writeFailure"));
    QCOMPARE(parts[1], QString("Parameterstudie"));
    QCOMPARE(parts[2], QString("Die Datei „%1“ konnte nicht gespeichert werden.").arg(QDir::toNativeSeparators(path)));
    // What to do, and the system's reason in parentheses.
    QVERIFY(parts[3].startsWith("Eine vorhandene Datei dieses Namens bleibt unverändert. Bitte wählen Sie"));
    QVERIFY(parts[3].contains(QRegularExpression("\\n\\(.+\\)$")));
    QCOMPARE(parts[4], QString("parent"));
    QVERIFY(!QFile::exists(path));
}

void TestSaveFile::noMessageOnSuccess()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rechenweg.pdf");
    bool asked = false;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            asked = true;
            box->accept();
        }
    });
    QVERIFY(saveAtomically(nullptr, path, [](QSaveFile& f) { return f.write("%PDF") == 4; }));
    QCoreApplication::processEvents();
    QVERIFY(!asked);
    QCOMPARE(contentOf(path), QByteArray("%PDF"));
}

QTEST_MAIN(TestSaveFile)
#include "tst_savefile.moc"
