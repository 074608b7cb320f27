// SPDX-License-Identifier: GPL-3.0-or-later
// The formula lines the help shows are the formulas the calculators compute
// with. Each line of a description, its placeholders filled with the
// calculation's own numbers at full precision, is evaluated as arithmetic
// and must give the value the calculation traced for its step: a coefficient
// the help shows that differs from the constant the formula code uses
// changes the line's value. And a line names its coefficients ({c:name},
// from the description); it never types one as a number ({k:...}).

#include "dlprognosemodel.h"
#include "moisturemodels.h"
#include "nachhallmodel.h"
#include "schallmodel.h"

#include <QTest>

#include <charconv>
#include <cmath>
#include <optional>
#include <stdexcept>

using namespace orvella;

Q_DECLARE_METATYPE(const CalculatorModel*)

namespace {

// --- a small evaluator for the formulas as the help writes them -------------
//
//   expr   := term (("+" | "−") term)*
//   term   := unary (("·" | "/") unary)*
//   unary  := "−" unary | ("lg" | "ln") unary | power
//   power  := primary ("<sup>" expr "</sup>")?
//   primary:= number | "(" expr ")" | "|" expr "|"
// Other words (a unit such as "m") are passed over.
class Formula {
public:
    explicit Formula(std::string text) : s_(std::move(text)) {}

    double value()
    {
        const double v = expr();
        skipBlanks();
        if (i_ != s_.size())
            fail("text after the formula");
        return v;
    }

private:
    [[noreturn]] void fail(const char* what) const
    {
        throw std::runtime_error(std::string(what) + " at " + std::to_string(i_) + " in " + s_);
    }

    void skipBlanks()
    {
        for (;;) {
            while (i_ < s_.size() && s_[i_] == ' ')
                ++i_;
            // A word that is no function is a unit.
            std::size_t j = i_;
            while (j < s_.size() && std::isalpha(static_cast<unsigned char>(s_[j])))
                ++j;
            const std::string word = s_.substr(i_, j - i_);
            if (word.empty() || word == "lg" || word == "ln")
                return;
            i_ = j;
        }
    }

    bool take(std::string_view token)
    {
        skipBlanks();
        if (s_.compare(i_, token.size(), token) != 0)
            return false;
        i_ += token.size();
        return true;
    }

    double expr()
    {
        double v = term();
        for (;;) {
            if (take("+"))
                v += term();
            else if (take("−"))
                v -= term();
            else
                return v;
        }
    }

    double term()
    {
        double v = unary();
        for (;;) {
            if (take("·"))
                v *= unary();
            else if (take("/"))
                v /= unary();
            else
                return v;
        }
    }

    double unary()
    {
        if (take("−"))
            return -unary();
        if (take("lg"))
            return std::log10(unary());
        if (take("ln"))
            return std::log(unary());
        return power();
    }

    double power()
    {
        const double base = primary();
        if (!take("<sup>"))
            return base;
        const double exponent = expr();
        if (!take("</sup>"))
            fail("no </sup>");
        return std::pow(base, exponent);
    }

    double primary()
    {
        if (take("(")) {
            const double v = expr();
            if (!take(")"))
                fail("no )");
            return v;
        }
        if (take("|")) {
            const double v = expr();
            if (!take("|"))
                fail("no closing |");
            return std::fabs(v);
        }
        skipBlanks();
        double v = 0.0;
        const auto [end, error] = std::from_chars(s_.data() + i_, s_.data() + s_.size(), v);
        if (error != std::errc())
            fail("no number");
        i_ = std::size_t(end - s_.data());
        return v;
    }

    std::string s_;
    std::size_t i_ = 0;
};

// A number as the evaluator reads it, exactly, in parentheses for its sign.
std::string exact(double v)
{
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return "(" + std::string(buffer, result.ptr) + ")";
}

std::optional<double> traced(const std::vector<TraceEntry>& steps, std::string_view key)
{
    for (const TraceEntry& e : steps)
        if (e.key == key)
            return e.value;
    return std::nullopt;
}

// The line's formula with the numbers of the calculation in place of its
// placeholders; {k:...} is kept as it stands, to be found by the caller.
std::string filled(const CalculatorModel& model, const FormulaLine& line, const std::vector<double>& inputs,
                   const std::vector<TraceEntry>& steps)
{
    std::string out;
    const std::string& f = line.formula;
    std::size_t i = 0;
    while (i < f.size()) {
        const std::size_t open = f.find('{', i);
        if (open == std::string::npos || open + 2 >= f.size() || f[open + 2] != ':') {
            out += f.substr(i);
            break;
        }
        const std::size_t close = f.find('}', open);
        out += f.substr(i, open - i);
        const char kind = f[open + 1];
        const std::string key = f.substr(open + 3, close - open - 3);
        std::optional<double> number;
        if (kind == 'i' && model.inputIndex(key) >= 0)
            number = inputs[std::size_t(model.inputIndex(key))];
        else if (kind == 's')
            number = traced(steps, key);
        else if (kind == 'c') {
            for (const NamedNumber& c : line.coefficients)
                if (c.name == key && !number)
                    number = c.value;
            if (const NamedNumber* c = model.constant(key); c && !number)
                number = c->value;
        }
        if (!number)
            throw std::runtime_error("no number for " + f.substr(open, close - open + 1));
        out += exact(*number);
        i = close + 1;
    }
    return out;
}

// The steps whose formula line, evaluated, misses the traced value.
QStringList mismatches(const CalculatorModel& model, const std::vector<double>& inputs, int* checked)
{
    QStringList wrong;
    const auto check = [&](const FormulaLine& line, const std::vector<TraceEntry>& steps) {
        const std::optional<double> expected = traced(steps, line.step);
        if (!expected)
            return;  // not reached, or where the calculation stopped
        const double got = Formula(filled(model, line, inputs, steps)).value();
        ++*checked;
        if (!(std::fabs(got - *expected) <= 1e-9 * std::max(1.0, std::fabs(*expected))))
            wrong << QStringLiteral("%1: %2 instead of %3")
                         .arg(QString::fromStdString(line.step))
                         .arg(got, 0, 'g', 17)
                         .arg(*expected, 0, 'g', 17);
    };
    const Evaluation e = evaluate(model, inputs);
    for (const FormulaLine& line : model.formulaLines(&e))
        check(line, e.steps);
    if (e.ok)
        for (const DerivedValue& d : model.derived) {
            Trace trace;
            try {
                d.compute(e.results, &trace);
            } catch (const ArithmeticError&) {
            }
            std::vector<TraceEntry> steps = e.steps;
            steps.insert(steps.end(), trace.entries().begin(), trace.entries().end());
            for (const FormulaLine& line : d.lines)
                check(line, steps);
        }
    return wrong;
}

const CalculatorModel* const kModels[] = {&schallPowerModel(), &schallPressureModel(), &feuchteModel(),
                                          &temperaturModel(), &dlPrognoseModel(), &nachhallModel()};

}  // namespace

class TestFormulaLines : public QObject {
    Q_OBJECT
private slots:
    void linesGiveTheTracedValues_data();
    void linesGiveTheTracedValues();
    void linesNameTheirCoefficients_data();
    void linesNameTheirCoefficients();
    void aShownCoefficientThatDiffersIsFound();
};

void TestFormulaLines::linesGiveTheTracedValues_data()
{
    QTest::addColumn<const CalculatorModel*>("model");
    QTest::addColumn<QList<double>>("inputs");
    QTest::addColumn<int>("lines");  // the lines with a traced value

    QTest::newRow("power level, 50 dB at 1 m") << &schallPowerModel() << QList<double>{50, 1} << 3;
    QTest::newRow("power level, negative distance") << &schallPowerModel() << QList<double>{80, -3} << 3;
    QTest::newRow("pressure level, 66 dB at 2 m") << &schallPressureModel() << QList<double>{66, 2} << 3;
    QTest::newRow("humidity, over water") << &feuchteModel() << QList<double>{20, 10} << 5;
    QTest::newRow("humidity, both over ice") << &feuchteModel() << QList<double>{-5, -10} << 5;
    QTest::newRow("humidity, surface at 0 °C takes the ice form") << &feuchteModel() << QList<double>{20, 0} << 5;
    QTest::newRow("temperature, below 0 °C") << &temperaturModel() << QList<double>{-3.2} << 8;
    QTest::newRow("temperature, in the 65 % band") << &temperaturModel() << QList<double>{5} << 8;
    QTest::newRow("temperature, above the band") << &temperaturModel() << QList<double>{12} << 8;
    QTest::newRow("temperature, mould limit over ice") << &temperaturModel() << QList<double>{-64} << 8;
    // With the comfort distance derived from the results.
    QTest::newRow("prognosis, design texts")
        << &dlPrognoseModel() << QList<double>{0.1, 0.1, 1, 30, 15, 3, 58, 8} << 7;
    QTest::newRow("prognosis, high screens, R below 4 m")
        << &dlPrognoseModel() << QList<double>{0.3, 0.5, 2.5, 40, 20, 3.5, 60, 2} << 7;
    // DL2 below 0: no comfort distance, the lines before it still hold.
    QTest::newRow("prognosis, negative screens")
        << &dlPrognoseModel() << QList<double>{0.1, 0.1, -5, 30, 15, 3, 58, 8} << 5;
    // Reverberation: group (position), V, h, A; each branch of the groups.
    QTest::newRow("reverberation, A3 classroom") << &nachhallModel() << QList<double>{3, 180, 3, 40} << 6;
    QTest::newRow("reverberation, A5 from 10 000 m³, met")
        << &nachhallModel() << QList<double>{5, 12000, 8, 1000} << 6;
    QTest::newRow("reverberation, B4 above 2.5 m") << &nachhallModel() << QList<double>{9, 100, 3.2, 10} << 6;
    QTest::newRow("reverberation, B2 at 2.5 m") << &nachhallModel() << QList<double>{7, 50, 2.5, 5} << 5;
}

void TestFormulaLines::linesGiveTheTracedValues()
{
    QFETCH(const CalculatorModel*, model);
    QFETCH(QList<double>, inputs);
    QFETCH(int, lines);
    int checked = 0;
    const QStringList wrong = mismatches(*model, std::vector<double>(inputs.begin(), inputs.end()), &checked);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
    QCOMPARE(checked, lines);
}

void TestFormulaLines::linesNameTheirCoefficients_data()
{
    QTest::addColumn<const CalculatorModel*>("model");
    for (const CalculatorModel* m : kModels)
        QTest::newRow(m->id.c_str()) << m;
}

void TestFormulaLines::linesNameTheirCoefficients()
{
    QFETCH(const CalculatorModel*, model);
    std::vector<FormulaLine> lines = model->formulaLines(nullptr);
    for (const DerivedValue& d : model->derived)
        lines.insert(lines.end(), d.lines.begin(), d.lines.end());
    QVERIFY(!lines.empty());
    for (const FormulaLine& line : lines) {
        QVERIFY2(line.formula.find("{k:") == std::string::npos, line.formula.c_str());
        // Every named coefficient is one of the line or of the description.
        for (std::size_t at = line.formula.find("{c:"); at != std::string::npos;
             at = line.formula.find("{c:", at + 1)) {
            const std::string name = line.formula.substr(at + 3, line.formula.find('}', at) - at - 3);
            bool known = model->constant(name) != nullptr;
            for (const NamedNumber& c : line.coefficients)
                known = known || c.name == name;
            QVERIFY2(known, name.c_str());
        }
    }
}

void TestFormulaLines::aShownCoefficientThatDiffersIsFound()
{
    // The prognosis with one coefficient of its DL2 line shown as 0.18
    // instead of the 0.17 the formula computes with.
    CalculatorModel shown = dlPrognoseModel();
    bool changed = false;
    for (NamedNumber& c : shown.constants)
        if (c.name == "dl2Length") {
            c.value = 0.18;
            changed = true;
        }
    QVERIFY(changed);
    int checked = 0;
    const QStringList wrong = mismatches(shown, {0.1, 0.1, 1, 30, 15, 3, 58, 8}, &checked);
    QCOMPARE(wrong.size(), 1);
    QVERIFY2(wrong.first().startsWith("dl2: "), qPrintable(wrong.first()));
}

QTEST_APPLESS_MAIN(TestFormulaLines)
#include "tst_formulalines.moc"
