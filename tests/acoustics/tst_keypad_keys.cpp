// SPDX-License-Identifier: GPL-3.0-or-later
// frmCalculator from the keyboard: typed keys give what the same keys give
// clicked with the mouse, wherever the focus is; each key counts once, however
// fast it comes; Ctrl+C copies the display as a number, Ctrl+V types the key
// characters of the clipboard's text and nothing else.

#include "commands.h"
#include "frmcalculator.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// The object name of the key with this caption.
QString keyNamed(const QString& caption)
{
    static const QMap<QString, QString> others = {{"x", "cmdOperator(1)"}, {"+", "cmdOperator(3)"},
                                                  {".", "cmdPoint"},       {"=", "cmdEqual"},
                                                  {"C", "cmdAllClear"},    {"0", "cmdNumber(9)"}};
    if (others.contains(caption))
        return others[caption];
    return QStringLiteral("cmdNumber(%1)").arg(caption.toInt() - 1);
}

void clickKeys(const QWidget* window, const QString& captions)
{
    for (const QString& key : captions.split(u' ', Qt::SkipEmptyParts))
        click(window, keyNamed(key));
}

// Types blank-separated keys into `at`: a single character as the key that
// writes it; "KP" and a character as the numeric keypad's key; Return,
// Enter (the keypad's), Escape, Delete, Backspace, Space; and "Ctrl+" or
// "Alt+" before a character.
void typeKeys(QWidget* at, const QString& keys)
{
    static const QMap<QString, Qt::Key> named = {
        {"Return", Qt::Key_Return}, {"Escape", Qt::Key_Escape}, {"Delete", Qt::Key_Delete},
        {"Backspace", Qt::Key_Backspace}, {"Space", Qt::Key_Space}, {"F5", Qt::Key_F5}};
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (named.contains(key))
            QTest::keyClick(at, named[key]);
        else if (key == u"Enter")
            QTest::keyClick(at, Qt::Key_Enter, Qt::KeypadModifier);
        else if (key.startsWith(u"KP"))
            QTest::keyClick(at, key.at(2).toLatin1(), Qt::KeypadModifier);
        else if (key.startsWith(u"Ctrl+"))
            QTest::keyClick(at, key.back().toLatin1(), Qt::ControlModifier);
        else if (key.startsWith(u"Alt+"))
            QTest::keyClick(at, key.back().toLatin1(), Qt::AltModifier);
        else
            QTest::keyClick(at, key.front().toLatin1());
    }
}

struct Opened {
    std::unique_ptr<CalculatorForm> form;
    CalculatorWindow* window;
};

Opened openKeypad()
{
    auto form = makeCalculatorForm([] {});
    form->show();
    auto* w = qobject_cast<CalculatorWindow*>(form->window());
    return {std::move(form), w};
}

QString display(const QWidget* window) { return textOf(window, QStringLiteral("txtDisplay")); }

}  // namespace

class TestKeypadKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initProgram(); }
    void cleanup()
    {
        processDeferredDeletes();
        QApplication::clipboard()->clear();
    }

    void typedLikeClicked_data();
    void typedLikeClicked();
    void keyShowsItsButtonPressed();
    void keyAndMouseOnTheSameButton();
    void copyDisplay_data();
    void copyDisplay();
    void paste_data();
    void paste();
    void longPasteTypesItsFirstKeys();
    void windowCommandsStillWork();
};

void TestKeypadKeys::typedLikeClicked_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("shown");

    const QString seven = "cmdNumber(6)";  // the focus on opening
    QTest::newRow("60 + 60 Return") << seven << "6 0 + 6 0 Return" << "6 0 + 6 0 =" << " 63";
    QTest::newRow("Return in the display") << "txtDisplay" << "5 0 + 4 0 Return" << "5 0 + 4 0 =" << " 50.4";
    QTest::newRow("Return on CLOSE is =") << "cmdUload" << "6 0 * 4 Return" << "6 0 x 4 =" << " 66";
    QTest::newRow("Return on C is =") << "cmdAllClear" << "7 0 + 7 0 Return" << "7 0 + 7 0 =" << " 73";
    QTest::newRow("= key") << seven << "6 0 x 1 0 =" << "6 0 x 1 0 =" << " 70";
    QTest::newRow("x, order matters") << seven << "4 x 6 0 =" << "4 x 6 0 =" << " 21.8";
    QTest::newRow("capital X") << seven << "6 0 X 2 =" << "6 0 x 2 =" << " 63";
    QTest::newRow("numeric keypad") << "txtDisplay" << "KP8 KP0 KP+ KP6 KP0 Enter" << "8 0 + 6 0 =" << " 80";
    QTest::newRow("keypad multiply") << seven << "KP6 KP0 KP* KP2 Enter" << "6 0 x 2 =" << " 63";
    QTest::newRow("comma is the point") << seven << "6 0 x 0 , 5 =" << "6 0 x 0 . 5 =" << " 57";
    QTest::newRow("keypad separator comma") << seven << "KP, KP5 x 1 =" << ". 5 x 1 =" << " 0.5";
    QTest::newRow("keypad separator point") << seven << "1 KP. 2 KP. 5" << "1 . 2 . 5" << "1.25";
    QTest::newRow("Escape is C") << seven << "6 0 + 5 Escape 7 =" << "6 0 + 5 C 7 =" << "7";
    QTest::newRow("Delete is C in the display") << "txtDisplay" << "1 2 . 5 Delete" << "1 2 . 5 C" << "0";
    // Each press counts, however fast the next one follows.
    QTest::newRow("repeated digit") << seven << "6 6 6" << "6 6 6" << "666";
    QTest::newRow("repeated digit after point") << "txtDisplay" << ". 5 5 5" << ". 5 5 5" << "0.555";
    QTest::newRow("chained result") << seven << "6 0 + 6 0 = + 6 0 Return" << "6 0 + 6 0 = + 6 0 =" << " 64.8";
    // Keys that map to nothing do nothing.
    QTest::newRow("other keys ignored") << seven << "6 a - / F5 Backspace 0 + 6 0 =" << "6 0 + 6 0 =" << " 63";
    QTest::newRow("editing keys ignored in the display") << "txtDisplay" << "6 0 Backspace Space =" << "6 0 =" << "60";
    QTest::newRow("Ctrl and Alt with a digit ignored") << seven << "6 Ctrl+7 Alt+8 0" << "6 0" << "60";
    QTest::newRow("failing = leaves the display") << seven << "6 0 x 0 =" << "6 0 x 0 =" << "0";
}

void TestKeypadKeys::typedLikeClicked()
{
    QFETCH(QString, focus);
    QFETCH(QString, typed);
    QFETCH(QString, clicked);

    Opened byKeys = openKeypad();
    QWidget* at = byKeys.window->findChild<QWidget*>(focus);
    QVERIFY(at);
    at->setFocus();
    typeKeys(at, typed);

    Opened byMouse = openKeypad();
    clickKeys(byMouse.window, clicked);

    QTEST(display(byKeys.window), "shown");
    QCOMPARE(display(byKeys.window), display(byMouse.window));
    QCOMPARE(byKeys.window->state(), byMouse.window->state());
    QVERIFY(byKeys.window->isVisible());  // Return on CLOSE does not close
}

void TestKeypadKeys::keyShowsItsButtonPressed()
{
    Opened k = openKeypad();
    QPushButton* six = buttonOf(k.window, "cmdNumber(5)");
    QSignalSpy clicked(six, &QPushButton::clicked);
    QTest::keyClick(k.window->focusWidget(), '6');
    // Clicked at once, shown pressed for a moment.
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(display(k.window), QStringLiteral("6"));
    QVERIFY(six->isDown());
    QTRY_VERIFY_WITH_TIMEOUT(!six->isDown(), 1000);
}

void TestKeypadKeys::keyAndMouseOnTheSameButton()
{
    Opened k = openKeypad();
    QPushButton* six = buttonOf(k.window, "cmdNumber(5)");
    // A mouse click while the key's press is still shown counts.
    QTest::keyClick(k.window->focusWidget(), '6');
    QTest::mousePress(six, Qt::LeftButton);
    QTest::qWait(200);  // longer than the key's press is shown
    QVERIFY(six->isDown());
    QTest::mouseRelease(six, Qt::LeftButton);
    QCOMPARE(display(k.window), QStringLiteral("66"));
    // The key while the mouse holds the button: both count, and the button
    // stays down until the mouse lets it go.
    QTest::mousePress(six, Qt::LeftButton);
    QTest::keyClick(k.window->focusWidget(), '6');
    QTest::qWait(200);
    QVERIFY(six->isDown());
    QTest::mouseRelease(six, Qt::LeftButton);
    QVERIFY(!six->isDown());
    QCOMPARE(display(k.window), QStringLiteral("6666"));
}

void TestKeypadKeys::copyDisplay_data()
{
    QTest::addColumn<QString>("decimalMark");
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("copied");  // with a point for the decimal mark

    for (const char* mark : {"point", "comma"}) {
        QTest::addRow("result without its blank, %s", mark) << mark << "6 0 + 6 0 =" << "cmdNumber(6)" << "63";
        QTest::addRow("fraction, %s", mark) << mark << ". 5" << "cmdUload" << "0.5";
        QTest::addRow("negative result, %s", mark) << mark << "0 x . 9 =" << "cmdNumber(6)" << "-0.5";
        // The display's own copy would take its selection as it stands.
        QTest::addRow("display focused and selected, %s", mark)
            << mark << "5 0 + 4 0 =" << "txtDisplay" << "50.4";
    }
}

void TestKeypadKeys::copyDisplay()
{
    QFETCH(QString, decimalMark);
    QFETCH(QString, clicked);
    QFETCH(QString, focus);
    QFETCH(QString, copied);
    LocaleScope locale(localeNamed(decimalMark));
    Opened k = openKeypad();
    clickKeys(k.window, clicked);
    const QString shown = display(k.window);
    QWidget* at = k.window->findChild<QWidget*>(focus);
    at->setFocus();
    if (auto* box = qobject_cast<QLineEdit*>(at))
        box->selectAll();

    QTest::keyClick(at, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), inLocale(copied, decimalMark));
    QCOMPARE(display(k.window), shown);
}

void TestKeypadKeys::paste_data()
{
    QTest::addColumn<QString>("text");  // on the clipboard
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("stopped");  // calculations that stopped

    QTest::newRow("number with unit") << "12,5 dB" << "12.5" << 0;
    QTest::newRow("a whole calculation") << "60+60=" << " 63" << 0;
    QTest::newRow("a sentence: only its keys") << "Lp = 60 dB\n+ 60 dB =" << " 63" << 0;
    QTest::newRow("lines of a spreadsheet: the digits run on") << "60\t\r\n4*\r\n" << "604" << 0;
    QTest::newRow("junk") << "abc äöü €µ -/()\t\r\n\u0665\U0001F600" << "0" << 0;
    QTest::newRow("empty") << "" << "0" << 0;
    QTest::newRow("long text, one key at its end") << QString(200000, u'a') + "7" << "7" << 0;
    // 400 digits cannot be read as a number: "+" fails as when typed.
    QTest::newRow("unreadable display") << QString(400, u'9') + "+6" << QString(400, u'9') + "6" << 1;
}

void TestKeypadKeys::paste()
{
    QFETCH(QString, text);
    QFETCH(int, stopped);

    Opened pasted = openKeypad();
    QSignalSpy pastedStops(pasted.window, &CalculatorWindow::calculationStopped);
    QApplication::clipboard()->setText(text);
    QTest::keyClick(pasted.window->focusWidget(), Qt::Key_V, Qt::ControlModifier);
    QTEST(display(pasted.window), "shown");
    QCOMPARE(pastedStops.count(), stopped);
    QCOMPARE(QApplication::clipboard()->text(), text);

    // The same keys typed by hand.
    Opened typed = openKeypad();
    QSignalSpy typedStops(typed.window, &CalculatorWindow::calculationStopped);
    QString keys;
    for (const QChar c : text)
        if (QStringLiteral("0123456789.,+*xX=").contains(c))
            keys += c;
    QTest::keyClicks(typed.window->focusWidget(), keys);
    QCOMPARE(display(pasted.window), display(typed.window));
    QCOMPARE(pasted.window->state(), typed.window->state());
    QCOMPARE(pastedStops.count(), typedStops.count());
}

void TestKeypadKeys::longPasteTypesItsFirstKeys()
{
    // More key characters than a display can sensibly hold: the first
    // thousand are typed, the rest dropped, and the keypad stays usable.
    Opened k = openKeypad();
    QApplication::clipboard()->setText(QString(300, u'1') + "x" + QString(1000, u'2') + "=");
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(k.window->focusWidget(), Qt::Key_Insert, Qt::ShiftModifier);  // paste too
    QVERIFY2(timer.elapsed() < 5000, "a long paste must not hang the window");
    QCOMPARE(display(k.window), QString(699, u'2'));
    QCOMPARE(k.window->state()[3], (std::pair<std::string, std::string>{"pendingOperator", "x"}));
    QTest::keyClick(k.window->focusWidget(), Qt::Key_Escape);
    QCOMPARE(display(k.window), QStringLiteral("0"));
}

void TestKeypadKeys::windowCommandsStillWork()
{
    // F1 (help) and Ctrl+Shift+C (copy) are window commands; the keypad's
    // keys do not take them, not even in the display.
    clearWindowCommands();
    int help = 0;
    int copy = 0;
    addWindowCommand({"Hilfe und Rechenweg", QKeySequence(Qt::Key_F1), {}, [&help](DesignedWindow&) { ++help; }});
    addWindowCommand({"Kopieren", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), {},
                      [&copy](DesignedWindow&) { ++copy; }});
    Opened k = openKeypad();
    QVERIFY(QTest::qWaitForWindowActive(k.window));
    for (const char* focus : {"cmdNumber(6)", "txtDisplay", "cmdUload"}) {
        QWidget* at = k.window->findChild<QWidget*>(focus);
        at->setFocus();
        QTest::keyClick(at, Qt::Key_F1);
        QTest::keyClick(at, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    }
    clearWindowCommands();
    QCOMPARE(help, 3);
    QCOMPARE(copy, 3);
    QCOMPARE(display(k.window), QStringLiteral("0"));
}

QTEST_MAIN(TestKeypadKeys)
#include "tst_keypad_keys.moc"
