// SPDX-License-Identifier: GPL-3.0-or-later
// frmCalculator from the keyboard: typed keys give what the same keys give
// clicked with the mouse, wherever the focus is; each key counts once, however
// fast it comes; Ctrl+C and Ctrl+Shift+C copy the display as a number, Ctrl+V
// types the key characters of the clipboard's text and nothing else.

#include "clipboard.h"
#include "commands.h"
#include "frmcalculator.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

// Clicks the keys with these blank-separated captions.
void clickKeys(const QWidget* window, const QString& captions)
{
    for (const QString& caption : captions.split(u' ', Qt::SkipEmptyParts)) {
        QPushButton* key = nullptr;
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == caption)
                key = b;
        QVERIFY2(key, qPrintable(caption));
        QTest::mouseClick(key, Qt::LeftButton);
    }
}

// Types blank-separated keys into `at`: a character as the key that writes
// it, "KP" and a character as the numeric keypad's key, else a key sequence
// ("Return", "Del", "Ctrl+7").
void typeKeys(QWidget* at, const QString& keys)
{
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (key.size() == 1 || key.startsWith(u"KP")) {
            const auto modifier = key.size() == 1 ? Qt::NoModifier : Qt::KeypadModifier;
            QTest::keyClick(at, key.back().toLatin1(), modifier);
        } else {
            const QKeyCombination k = QKeySequence(key)[0];
            QVERIFY2(k.key() != Qt::Key_unknown && k.key() != 0, qPrintable(key));
            QTest::keyClick(at, k.key(), k.keyboardModifiers());
        }
    }
}

// A keypad window of its own, shown.
struct Opened {
    std::unique_ptr<CalculatorForm> form = makeCalculatorForm([] {});
    CalculatorWindow* window = (form->show(), qobject_cast<CalculatorWindow*>(form->window()));
    QWidget* focus() const { return window->focusWidget(); }
    QString display() const { return textOf(window, QStringLiteral("txtDisplay")); }
};

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

    void typedLikeClicked_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QString>("shown");

        const QString seven = "cmdNumber(6)";  // the focus on opening
        // Keys that map to nothing do nothing; Return on a key is "=", not that key.
        QTest::newRow("other keys ignored, Return") << seven << "6 a - / F5 Backspace 0 + 6 0 Return"
                                                    << "6 0 + 6 0 =" << " 63";
        QTest::newRow("Return in the display") << "txtDisplay" << "5 0 + 4 0 Return" << "5 0 + 4 0 =" << " 50.4";
        QTest::newRow("Return on CLOSE is =") << "cmdUload" << "6 0 * 4 Return" << "6 0 x 4 =" << " 66";
        QTest::newRow("capital X, order matters") << seven << "4 X 6 0 =" << "4 x 6 0 =" << " 21.8";
        QTest::newRow("numeric keypad") << "txtDisplay" << "KP6 KP0 KP* KP2 Enter" << "6 0 x 2 =" << " 63";
        QTest::newRow("comma is the point") << seven << "6 0 x 0 , 5 =" << "6 0 x 0 . 5 =" << " 57";
        QTest::newRow("keypad separator comma") << seven << "1 KP, 2 5" << "1 . 2 5" << "1.25";
        QTest::newRow("Escape is C") << seven << "6 0 + 5 Esc 7 =" << "6 0 + 5 C 7 =" << "7";
        QTest::newRow("Delete is C in the display") << "txtDisplay" << "1 2 . 5 Del" << "1 2 . 5 C" << "0";
        // Each press counts, however fast the next one follows.
        QTest::newRow("repeated digit") << seven << "6 6 6" << "6 6 6" << "666";
        QTest::newRow("editing keys ignored in the display")
            << "txtDisplay" << "6 0 Backspace Space =" << "6 0 =" << "60";
        QTest::newRow("Ctrl and Alt with a digit ignored") << seven << "6 Ctrl+7 Alt+8 0" << "6 0" << "60";
    }

    void typedLikeClicked()
    {
        QFETCH(QString, focus);
        QFETCH(QString, typed);
        QFETCH(QString, clicked);

        Opened byKeys;
        QWidget* at = byKeys.window->findChild<QWidget*>(focus);
        QVERIFY(at);
        at->setFocus();
        typeKeys(at, typed);

        Opened byMouse;
        clickKeys(byMouse.window, clicked);

        QTEST(byKeys.display(), "shown");
        QCOMPARE(byKeys.display(), byMouse.display());
        QCOMPARE(byKeys.window->state(), byMouse.window->state());
        QVERIFY(byKeys.window->isVisible());  // Return on CLOSE does not close
    }

    void keyShowsItsButtonPressedBesideTheMouse()
    {
        Opened k;
        QPushButton* six = buttonOf(k.window, "cmdNumber(5)");
        // Clicked at once, shown pressed for a moment.
        QTest::keyClick(k.focus(), '6');
        QVERIFY(six->isDown());
        QTRY_VERIFY_WITH_TIMEOUT(!six->isDown(), 1000);
        // A mouse click while the key's press is still shown counts, and the
        // button stays down while the mouse holds it.
        QTest::keyClick(k.focus(), '6');
        QTest::mousePress(six, Qt::LeftButton);
        QTest::qWait(200);  // longer than the key's press is shown
        QVERIFY(six->isDown());
        QTest::mouseRelease(six, Qt::LeftButton);
        QCOMPARE(k.display(), QStringLiteral("666"));
        // The key while the mouse holds the button: both count, and the button
        // stays down until the mouse lets it go.
        QTest::mousePress(six, Qt::LeftButton);
        QTest::keyClick(k.focus(), '6');
        QTest::qWait(200);
        QVERIFY(six->isDown());
        QTest::mouseRelease(six, Qt::LeftButton);
        QVERIFY(!six->isDown());
        QCOMPARE(k.display(), QStringLiteral("66666"));
    }

    void paste_data()
    {
        QTest::addColumn<QString>("text");  // on the clipboard
        QTest::addColumn<QString>("pasteKey");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stopped");  // calculations that stopped

        const QString v = "Ctrl+V";
        QTest::newRow("a sentence: only its keys") << "Lp = 60,0 dB\n+ 60 dB =" << v << " 63" << 0;
        QTest::newRow("junk") << "abc äöü €µ -/()\t\r\n\u0665\U0001F600" << v << "0" << 0;
        QTest::newRow("long text, one key at its end") << QString(200000, u'a') + "7" << v << "7" << 0;
        // 400 digits cannot be read as a number: "+" fails as when typed.
        QTest::newRow("unreadable display") << QString(400, u'9') + "+6" << v << QString(400, u'9') + "6" << 1;
        // More keys than a display can sensibly hold: the first thousand are typed.
        QTest::newRow("1302 keys, Shift+Insert") << QString(300, u'1') + "x" + QString(1000, u'2') + "="
                                                 << "Shift+Ins" << QString(699, u'2') << 0;
    }

    void paste()
    {
        QFETCH(QString, text);
        QFETCH(QString, pasteKey);
        QFETCH(int, stopped);

        Opened pasted;
        QSignalSpy pastedStops(pasted.window, &CalculatorWindow::calculationStopped);
        QApplication::clipboard()->setText(text);
        typeKeys(pasted.focus(), pasteKey);
        QTEST(pasted.display(), "shown");
        QCOMPARE(pastedStops.count(), stopped);
        QCOMPARE(QApplication::clipboard()->text(), text);

        // The same keys typed by hand, the first thousand of them.
        Opened typed;
        QString keys;
        for (const QChar c : text)
            if (QStringLiteral("0123456789.,+*xX=").contains(c))
                keys += c;
        QTest::keyClicks(typed.focus(), keys.left(1000));
        QCOMPARE(pasted.display(), typed.display());
        QCOMPARE(pasted.window->state(), typed.window->state());
    }

    void copyAndWindowCommands()
    {
        // Ctrl+C copies the display's number in the user's mark wherever the focus
        // is (the display's own copy would take " 50.4" as it stands). F1 and
        // Ctrl+Shift+C stay window commands: no key of the keypad takes them.
        LocaleScope locale(localeNamed("comma"));
        clearWindowCommands();
        installCopyCommand();
        int help = 0;
        addWindowCommand({"Hilfe", QKeySequence(Qt::Key_F1), {}, [&help](DesignedWindow&) { ++help; }});
        Opened k;
        clickKeys(k.window, "5 0 + 4 0 =");
        QVERIFY(QTest::qWaitForWindowActive(k.window));
        for (const char* focus : {"cmdNumber(6)", "txtDisplay", "cmdUload"}) {
            QWidget* at = k.window->findChild<QWidget*>(focus);
            at->setFocus();
            if (auto* box = qobject_cast<QLineEdit*>(at))
                box->selectAll();
            for (const char* copy : {"Ctrl+C", "Ctrl+Shift+C"}) {
                QApplication::clipboard()->clear();
                typeKeys(at, copy);
                QVERIFY2(QApplication::clipboard()->text() == "50,4", qPrintable(QString(copy) + " in " + focus));
            }
            QTest::keyClick(at, Qt::Key_F1);
        }
        clearWindowCommands();
        QCOMPARE(help, 3);
        QCOMPARE(k.display(), QStringLiteral(" 50.4"));
    }
};

QTEST_MAIN(TestKeypadKeys)
#include "tst_keypad_keys.moc"
