// SPDX-License-Identifier: GPL-3.0-or-later
#include "keypadmodel.h"

#include "checked.h"
#include "keypad.h"
#include "levellistdescription.h"
#include "numbers.h"

#include <algorithm>
#include <charconv>

namespace orvella {

KeypadState keypadStateOf(const WindowState& state)
{
    const auto text = [&](std::string_view key) -> std::string {
        for (const auto& [k, v] : state)
            if (k == key)
                return v;
        return {};
    };
    const auto number = [&](std::string_view key) {
        std::string s = text(key);
        std::replace(s.begin(), s.end(), ',', '.');
        double value = 0.0;
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
        return error == std::errc() && end == s.data() + s.size() ? value : 0.0;
    };
    KeypadState k;
    k.display = text("display");
    k.operand1 = number("operand1");
    k.operand2 = number("operand2");
    k.pendingOperator = text("pendingOperator");
    k.newEntry = text("newEntry") == "1";
    k.result = number("result");
    return k;
}

namespace {

// One operation of the keypad with the given operands, worked with the
// keypad's own functions.
std::string operation(bool times, double level, double second, const WorkedWriter& out)
{
    const std::string a = out.exact(level);
    const std::string b = out.exact(second);
    const std::string bp = second < 0 ? "(" + b + ")" : b;
    const std::string tenth = out.text("{c:energyExponent}");
    std::string s = times ? "L = 10 · lg(10<sup>" + tenth + " · " + a + "</sup> · " + bp + ")"
                          : "L = 10 · lg(10<sup>" + tenth + " · " + a + "</sup> + 10<sup>" + tenth + " · " +
                                bp + "</sup>)";
    try {
        const double value = times ? multiplyLevel(level, second) : addLevels(level, second);
        const double rounded = roundHalfEven(value, 1);
        s += " = " + out.rounded(value) + " dB → Anzeige " + out.shown(displayText(rounded));
    } catch (const ArithmeticError& error) {
        const std::string reason =
            times && !(second > 0.0)
                ? "die Anzahl n = " + b +
                      " ist nicht größer als 0, und der Logarithmus ist nur für positive Zahlen definiert."
            : error.fault() == ArithmeticFault::Overflow
                ? "die Schallenergie übersteigt den Zahlenbereich des Rechners (Überlauf)."
                : "die Rechnung ist für diese Werte nicht definiert.";
        s += " – " + out.stop("<b>keine endliche Lösung</b>: " + reason);
    }
    return s;
}

// The state, then what "=" would compute, or with nothing pending both keys
// with the operands of the last calculation.
void writeWorked(const WindowState& state, WorkedWriter& out)
{
    const KeypadState k = keypadStateOf(state);
    const std::string operand1 = out.exact(k.operand1);
    const std::string operand2 = out.exact(k.operand2);
    std::vector<std::pair<std::string, std::string>> rows = {
        {"Anzeige", out.shown(k.display)},
        {"Operand 1", operand1},
        {"Operand 2", operand2},
        {"offene Rechnung", k.pendingOperator.empty() ? std::string("keine") : out.shown(k.pendingOperator)},
        {"nächste Ziffer", k.newEntry ? "beginnt eine neue Zahl" : "wird angehängt"},
    };
    // A recorded state before its "=" knows no earlier result.
    if (std::any_of(state.begin(), state.end(), [](const auto& entry) { return entry.first == "result"; }))
        rows.emplace_back("letztes Ergebnis", out.exact(k.result));
    out.table(rows);

    if (!k.pendingOperator.empty()) {
        double value = 0.0;
        try {
            value = ReadNumber(k.display);
        } catch (const ArithmeticError&) {
            out.paragraph(out.stop("<b>Keine endliche Lösung:</b> „=“ bricht schon beim Lesen der Anzeige ab, "
                                   "weil sie eine Zahl ist, die zu groß ist, um gelesen zu werden."));
            return;
        }
        const std::string second = out.exact(value);
        const bool times = k.pendingOperator == "x";
        out.paragraph("Offen ist „" + k.pendingOperator + "“ mit Operand 1 = " + operand1 +
                      " dB. „=“ nimmt die Anzeige als Operand 2 (" + second + ") und rechnet:");
        out.formula(operation(times, k.operand1, value, out));
        out.paragraph(times ? "Das ist der Pegel von " + second + " gleich lauten Quellen mit je " + operand1 +
                                  " dB."
                            : "Das ist der Gesamtpegel zweier unabhängiger Quellen mit " + operand1 +
                                  " dB und " + second + " dB.");
        return;
    }
    if (k.operand1 == 0.0 && k.operand2 == 0.0 && k.result == 0.0) {
        out.paragraph("Noch keine Rechnung: Pegel eingeben, „+“ oder „x“ drücken, den zweiten "
                      "Pegel oder die Anzahl eingeben und „=“ drücken.");
        return;
    }
    out.paragraph("Keine Rechnung offen. Die beiden Rechenarten mit den Operanden der letzten "
                  "Rechnung, Operand 1 = " +
                  operand1 + " und Operand 2 = " + operand2 + ":");
    out.formula("„+“ (zwei Quellen mit " + operand1 + " dB und " + operand2 +
                " dB): " + operation(false, k.operand1, k.operand2, out));
    out.formula("„x“ (" + operand2 + " Quellen mit je " + operand1 +
                " dB): " + operation(true, k.operand1, k.operand2, out));
}

// Before the "=" of a recorded line: operand 1 taken, its operator
// pending, operand 2 in the display (keypadRecord writes the line as
// "<operand 1> <operator> <operand 2> = <result>").
WindowState stateBeforeEqual(const WindowState& recorded, const std::string& expression)
{
    WindowState state;
    std::string operand2;
    for (const auto& [key, value] : recorded) {
        if (key == "operand1")
            state.emplace_back(key, value);
        else if (key == "operand2")
            operand2 = value;
    }
    const std::size_t times = expression.find(" x ");
    const std::size_t plus = expression.find(" + ");
    const std::string op = times < plus ? "x" : plus != std::string::npos ? "+" : "";
    state.emplace_back("pendingOperator", op);
    state.emplace_back("display", operand2);
    state.emplace_back("newEntry", "1");
    return state;
}

Handbook keypadHandbook()
{
    Handbook h;
    h.answers =
        "Ein Taschenrechner für Schallpegel mit den beiden Rechenarten der Dezibel-Rechnung: „+“ für den "
        "Gesamtpegel zweier Quellen, „x“ für den Pegel mehrerer gleich lauter Quellen. Für alle, die "
        "schnell Pegel zusammenfassen wollen, etwa mehrere Geräte in einem Raum.";
    h.sections.push_back(
        {"Was die Tasten bedeuten",
         "<p><b>„+“ addiert zwei Pegel energetisch:</b> das Ergebnis ist der Gesamtpegel zweier "
         "inkohärenter, voneinander unabhängiger Schallquellen. Addiert werden nicht die Pegel, sondern "
         "die Schallenergien:</p>"
         "<p style=\"margin-left:24px\">L = 10 · lg(10<sup>{c:energyExponent} · L<sub>1</sub></sup> + "
         "10<sup>{c:energyExponent} · L<sub>2</sub></sup>)</p>"
         "<p>Zwei gleich laute Quellen ergeben rund 3 dB mehr als eine; ist eine Quelle viel leiser "
         "als die andere, ändert sie den Gesamtpegel kaum.</p>"
         "<p><b>„x“ vervielfacht die Schallenergie eines Pegels:</b> das Ergebnis ist der Pegel von n "
         "gleich lauten Quellen:</p>"
         "<p style=\"margin-left:24px\">L = 10 · lg(10<sup>{c:energyExponent} · L<sub>1</sub></sup> · n) "
         "= L<sub>1</sub> + 10 · lg n</p>"
         "<p>Die doppelte Anzahl ergibt rund 3 dB mehr, die zehnfache 10 dB mehr. Zuerst den Pegel, "
         "dann die Anzahl eingeben: die Reihenfolge zählt.</p>"
         "<p>Ziffern und Punkt bauen die Zahl in der Anzeige auf. Eine Rechentaste übernimmt die "
         "Anzeige als Operand 1, „=“ die Anzeige als Operand 2 und rechnet; das Ergebnis wird auf "
         "eine Nachkommastelle gerundet (bei genau halber Stelle zur geraden Ziffer) und immer mit "
         "Punkt angezeigt, mit einem Leerzeichen vor nicht negativen Werten. „C“ setzt alles auf "
         "0.</p>"
         "<p>Eine Rechentaste rechnet eine offene Rechnung nicht aus: bei 1 + 2 + 3 = ersetzt das "
         "zweite „+“ den ersten Operanden, das Ergebnis ist 2 + 3. Für mehr als zwei Pegel nach "
         "jedem Paar „=“ drücken und mit „+“ weiterrechnen – das Ergebnis wird zum nächsten "
         "Operanden 1. Operanden und eine offene Rechnung bleiben auch nach CLOSE erhalten, bis "
         "„C“ gedrückt wird.</p>"});
    h.sections.push_back(
        {"Grenzen",
         "<p>„x“ mit einer Anzahl von 0 oder weniger hat keinen Logarithmus; Pegel über etwa "
         "{k:3082.5} dB übersteigen den Zahlenbereich; eine Anzeige mit mehr Ziffern, als eine "
         "Zahl fassen kann, lässt sich nicht lesen. Das Fenster gibt dann einen Signalton und "
         "zeigt den Hinweis „" +
             std::string(kCalculationStoppedHint) +
             "“; die Anzeige und die Operanden bleiben, nur Operand 2 hat schon den Wert der Anzeige "
             "übernommen.</p>"});
    return h;
}

}  // namespace

const CalculatorModel& keypadModel()
{
    static const CalculatorModel model{
        .id = "frmCalculator",
        .window = "frmCalculator",
        .title = "dB Calculator",
        .handbook = keypadHandbook(),
        .constants = {{"energyExponent", "", kEnergyExponentPerDb}},
        .stateWorked = {"Rechenweg mit den aktuellen Operanden", writeWorked, stateBeforeEqual},
        // A column of levels summed, averaged and corrected for background
        // noise; F2, as the keypad has no parameter study.
        .companions = {{"Pegelliste…", "F2", "orvella_levellist", kLevelListId}},
    };
    return model;
}

CalculationRecord keypadRecord(std::string_view operand1Text, double operand1, std::string_view op,
                               std::string_view operand2Text, double operand2, std::string_view resultText)
{
    const auto trimmed = [](std::string_view s) {
        while (!s.empty() && s.front() == ' ')
            s.remove_prefix(1);
        while (!s.empty() && s.back() == ' ')
            s.remove_suffix(1);
        return std::string(s);
    };
    const std::string display = "txtDisplay";
    const bool times = op == "x";
    CalculationRecord r = recordOf(keypadModel(), {}, {}, {});
    r.inputs.push_back({"operand1", "Operand 1", "dB", display, std::string(operand1Text), operand1});
    // "x" multiplies a level by a count of sources, which has no unit.
    r.inputs.push_back({"operand2", "Operand 2", times ? "" : "dB", display, std::string(operand2Text), operand2});
    r.results.push_back({"result", "Ergebnis", "dB", display, std::string(resultText)});
    r.expression = trimmed(operand1Text) + " " + std::string(op) + " " + trimmed(operand2Text) + " = " +
                   trimmed(resultText);
    return r;
}

}  // namespace orvella
