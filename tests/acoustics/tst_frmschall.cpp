// SPDX-License-Identifier: GPL-3.0-or-later
// The converter window through its real widgets: both directions, the comma
// fix, regional decimal marks and the Abort/Retry/Ignore error path.

#include "frmschall.h"
#include "testsupport.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace orvella;
using namespace orvella::test;

namespace {

// Answers the error question with a scripted list and counts the questions.
struct ScriptedAnswers {
    QList<ErrorChoice> answers;
    int asked = 0;
    ErrorQuestion question()
    {
        return [this](QWidget*) {
            ++asked;
            return answers.isEmpty() ? ErrorChoice::Abort : answers.takeFirst();
        };
    }
};

const QStringList kFields = {"txPegel_l", "txAbstand_l", "txLeistug_l",
                             "txLeistug_p", "txAbstand_p", "txPegel_p"};

QStringList textsOf(const QWidget* w)
{
    QStringList texts;
    for (const QString& name : kFields)
        texts << textOf(w, name);
    return texts;
}

}  // namespace

class TestFrmSchall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void init();
    void cleanup();

    void designTexts();
    void powerLevel_data();
    void powerLevel();
    void pressureLevel_data();
    void pressureLevel();
    void halvesStayApart();
    void zeroDistance_data();
    void zeroDistance();
    void unreadableLevelIgnored();
    void overflowTakesTheErrorPath();
    void realMessageBox();
    void buttonsInTheUsersLanguage();

private:
    std::unique_ptr<CalculatorForm> form;
    QWidget* window = nullptr;
    ScriptedAnswers script;
};

void TestFrmSchall::init()
{
    script = {};
    setErrorQuestion(script.question());
    form = makeSchallForm([] {});
    form->show();
    window = form->window();
    QVERIFY(window);
}

void TestFrmSchall::cleanup()
{
    setErrorQuestion({});
    form.reset();
    processDeferredDeletes();
}

void TestFrmSchall::designTexts()
{
    QCOMPARE(window->objectName(), QString("frmSchall"));
    QCOMPARE(textsOf(window), QStringList({"50", "1", "0", "66", "1", "0"}));
    QVERIFY(window->focusWidget());
    QCOMPARE(window->focusWidget()->objectName(), QString("cmdUload"));
    QVERIFY(window->windowTitle().startsWith("Orvella" + QString(142, u' ')));
}

void TestFrmSchall::powerLevel_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("levelAfter");
    QTest::addColumn<QString>("distanceAfter");
    QTest::addColumn<QString>("result");
    for (const QString mark : {"point", "comma"}) {
        const QByteArray m = mark.toLatin1();
        QTest::newRow(m + ": design texts") << mark << "50" << "1" << "50" << "1" << "60.99";
        QTest::newRow(m + ": 10 m") << mark << "50" << "10" << "50" << "10" << "80.99";
        QTest::newRow(m + ": doubling adds 6.02 dB") << mark << "50" << "2" << "50" << "2" << "67.01";
        QTest::newRow(m + ": level with decimal comma") << mark << "50,5" << "1" << "50.5" << "1" << "61.49";
        QTest::newRow(m + ": distance with decimal comma") << mark << "50" << "2,5" << "50" << "2.5" << "68.95";
        QTest::newRow(m + ": negative distance like its absolute value") << mark << "50" << "-1" << "50" << "-1" << "60.99";
        QTest::newRow(m + ": non-numeric level reads as 0 dB") << mark << "abc" << "1" << "abc" << "1" << "10.99";
        QTest::newRow(m + ": two commas count up to the second") << mark << "50,5,7" << "1" << "50.5,7" << "1" << "61.49";
        QTest::newRow(m + ": whole result without decimals") << mark << "49.01" << "1" << "49.01" << "1" << "60";
    }
}

void TestFrmSchall::powerLevel()
{
    QFETCH(QString, mark);
    QFETCH(QString, level);
    QFETCH(QString, distance);
    QFETCH(QString, levelAfter);
    QFETCH(QString, distanceAfter);
    QFETCH(QString, result);
    LocaleScope locale(localeNamed(mark));
    setTextOf(window, "txPegel_l", level);
    setTextOf(window, "txAbstand_l", distance);
    click(window, "cmdRun_l");
    QCOMPARE(textOf(window, "txPegel_l"), levelAfter);
    QCOMPARE(textOf(window, "txAbstand_l"), distanceAfter);
    // The result is comma-fixed after writing: a point under either setting.
    QCOMPARE(textOf(window, "txLeistug_l"), result);
    QCOMPARE(script.asked, 0);
}

void TestFrmSchall::pressureLevel_data()
{
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QString>("result");
    for (const QString mark : {"point", "comma"}) {
        const QByteArray m = mark.toLatin1();
        QTest::newRow(m + ": design texts") << mark << "66" << "1" << "55.01";
        QTest::newRow(m + ": 2 m") << mark << "66" << "2" << "48.99";
        QTest::newRow(m + ": level with decimal comma") << mark << "66,5" << "1" << "55.51";
        QTest::newRow(m + ": blank inside the number") << mark << "6 6" << "1" << "55.01";
    }
}

void TestFrmSchall::pressureLevel()
{
    QFETCH(QString, mark);
    QFETCH(QString, level);
    QFETCH(QString, distance);
    QFETCH(QString, result);
    LocaleScope locale(localeNamed(mark));
    setTextOf(window, "txLeistug_p", level);
    setTextOf(window, "txAbstand_p", distance);
    click(window, "cmdRun_p");
    QCOMPARE(textOf(window, "txPegel_p"), result);
}

void TestFrmSchall::halvesStayApart()
{
    LocaleScope locale(localeNamed("comma"));
    setTextOf(window, "txLeistug_p", "1,5");
    setTextOf(window, "txAbstand_p", "2,5");
    setTextOf(window, "txPegel_p", "right result");
    click(window, "cmdRun_l");
    QCOMPARE(textsOf(window), QStringList({"50", "1", "60.99", "1,5", "2,5", "right result"}));

    setTextOf(window, "txPegel_l", "3,5");
    setTextOf(window, "txLeistug_l", "left result");
    setTextOf(window, "txLeistug_p", "66");
    setTextOf(window, "txAbstand_p", "1");
    click(window, "cmdRun_p");
    QCOMPARE(textsOf(window), QStringList({"3,5", "1", "left result", "66", "1", "55.01"}));
}

void TestFrmSchall::zeroDistance_data()
{
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("result");
    const int abort = int(ErrorChoice::Abort), retry = int(ErrorChoice::Retry),
              ignore = int(ErrorChoice::Ignore);
    QTest::newRow("0: Abort keeps the result field") << "0" << QList<int>{abort} << 1 << "previous";
    QTest::newRow("0: Ignore writes 0") << "0" << QList<int>{ignore} << 1 << "0";
    QTest::newRow("0: Retry asks again, then Abort") << "0" << QList<int>{retry, retry, abort} << 3 << "previous";
    QTest::newRow("0: Retry, then Ignore writes 0") << "0" << QList<int>{retry, ignore} << 2 << "0";
    QTest::newRow("empty distance reads as 0") << "" << QList<int>{ignore} << 1 << "0";
    QTest::newRow("text distance reads as 0") << "weit" << QList<int>{abort} << 1 << "previous";
}

void TestFrmSchall::zeroDistance()
{
    QFETCH(QString, distance);
    QFETCH(QList<int>, answers);
    QFETCH(int, questions);
    QFETCH(QString, result);
    for (const QString& half : {QString("l"), QString("p")}) {
        script.asked = 0;
        script.answers.clear();
        for (int a : answers)
            script.answers << ErrorChoice(a);
        const QString resultField = half == "l" ? "txLeistug_l" : "txPegel_p";
        setTextOf(window, "txAbstand_" + half, distance);
        setTextOf(window, resultField, "previous");
        click(window, "cmdRun_" + half);
        QCOMPARE(script.asked, questions);
        QCOMPARE(textOf(window, resultField), result);
        // The window stays usable: the next click starts afresh.
        setTextOf(window, "txAbstand_" + half, "1");
        click(window, "cmdRun_" + half);
        QCOMPARE(textOf(window, resultField), half == "l" ? QString("60.99") : QString("55.01"));
    }
}

void TestFrmSchall::unreadableLevelIgnored()
{
    // A level too large to read fails in its reading step; Ignore leaves the
    // level 0 and the click goes on with the distance.
    script.answers = {ErrorChoice::Ignore};
    setTextOf(window, "txPegel_l", "1E999");
    setTextOf(window, "txAbstand_l", "2,0");
    click(window, "cmdRun_l");
    QCOMPARE(script.asked, 1);
    QCOMPARE(textOf(window, "txAbstand_l"), QString("2.0"));
    QCOMPARE(textOf(window, "txLeistug_l"), QString("17.01"));

    // Abort in the same step: the distance is not even comma-fixed.
    script.answers = {ErrorChoice::Abort};
    setTextOf(window, "txAbstand_l", "3,0");
    click(window, "cmdRun_l");
    QCOMPARE(textOf(window, "txAbstand_l"), QString("3,0"));
    QCOMPARE(textOf(window, "txLeistug_l"), QString("17.01"));
}

void TestFrmSchall::overflowTakesTheErrorPath()
{
    script.answers = {ErrorChoice::Abort};
    setTextOf(window, "txAbstand_p", "1e200");
    setTextOf(window, "txPegel_p", "kept");
    click(window, "cmdRun_p");
    QCOMPARE(script.asked, 1);
    QCOMPARE(textOf(window, "txPegel_p"), QString("kept"));
}

void TestFrmSchall::realMessageBox()
{
    setErrorQuestion({});
    setTextOf(window, "txAbstand_l", "0");
    setTextOf(window, "txLeistug_l", "previous");
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool abortIsDefault = false;
    int shown = 0;
    // Retry once (the box comes back), then Ignore.
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, answer);
            return;
        }
        ++shown;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        abortIsDefault = box->defaultButton() == box->button(QMessageBox::Abort);
        QAbstractButton* choice = box->button(shown == 1 ? QMessageBox::Retry : QMessageBox::Ignore);
        QTimer::singleShot(0, choice, [choice] { choice->click(); });
        if (shown == 1)
            QTimer::singleShot(10, answer);
    };
    QTimer::singleShot(10, answer);
    click(window, "cmdRun_l");
    QCOMPARE(shown, 2);
    QCOMPARE(title, QString(" Tessaly Service"));
    QCOMPARE(text, QString("Bitte Schalldruckpegel und Abstand angeben!"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    QVERIFY(abortIsDefault);
    QCOMPARE(textOf(window, "txLeistug_l"), QString("0"));
}

void TestFrmSchall::buttonsInTheUsersLanguage()
{
    LocaleScope locale(localeNamed("comma"));
    installQtTranslations();
    QMessageBox box(QMessageBox::Warning, "t", "x",
                    QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
    QCOMPARE(box.button(QMessageBox::Abort)->text().remove('&'), QString("Abbrechen"));
    QCOMPARE(box.button(QMessageBox::Retry)->text().remove('&'), QString("Wiederholen"));
    QCOMPARE(box.button(QMessageBox::Ignore)->text().remove('&'), QString("Ignorieren"));
}

QTEST_MAIN(TestFrmSchall)
#include "tst_frmschall.moc"
