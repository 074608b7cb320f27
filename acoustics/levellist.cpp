// SPDX-License-Identifier: GPL-3.0-or-later
#include "levellist.h"

#include "checked.h"
#include "numbers.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

// 10^(0.1·x): the energy ratio of x dB, multiplied by 0.1 as the keypad does.
Real energy(double levelDb) { return pow(Real(10.0), Real(kEnergyExponentPerDb) * Real(levelDb)); }

// The largest level Lmax and S = Σ 10^((Li − Lmax)/10), 1 ≤ S ≤ n.
struct FactoredEnergy {
    double maxDb;
    double sum;
};

FactoredEnergy factoredEnergy(std::span<const double> levels)
{
    if (levels.empty())
        throw ArithmeticError(ArithmeticFault::InvalidOperation);
    for (const double l : levels)
        checkedResult(l);
    const double max = *std::max_element(levels.begin(), levels.end());
    Real sum = 0.0;
    for (const double l : levels)
        sum = sum + energy(l - max);
    return {max, sum.value()};
}

// LΣ = Lmax + 10·lg S and Lm = Lmax + 10·lg(S / n). The mean is not taken
// as LΣ − 10·lg n: n equal levels then give their level exactly (S / n = 1,
// lg 1 = 0).
double sumDb(const FactoredEnergy& f) { return (Real(f.maxDb) + Real(10.0) * Log10(f.sum)).value(); }
double meanDb(const FactoredEnergy& f, std::size_t n)
{
    return (Real(f.maxDb) + Real(10.0) * Log10((Real(f.sum) / double(n)).value())).value();
}

bool withinLimit(double levelDb) { return std::fabs(levelDb) <= kLevelListLimitDb; }

std::vector<ResultValue> emptyResults()
{
    const auto level = [](const char* key, const char* symbol, const char* html, const char* label) {
        return makeResultValue(key, symbol, html, label, "dB", kLevelListDecimals);
    };
    return {
        makeResultValue("n", "n", "n", "Anzahl der Pegel", "", 0),
        level("sum", "LΣ", "L<sub>Σ</sub>", "energetische Summe"),
        level("mean", "Lm", "L<sub>m</sub>", "energetischer Mittelwert"),
        level("arithmetic", "Larith", "L<sub>arith</sub>", "arithmetischer Mittelwert"),
        level("stddev", "s", "s", "Standardabweichung (Stichprobe, n − 1)"),
        level("min", "Lmin", "L<sub>min</sub>", "kleinster Pegel"),
        level("max", "Lmax", "L<sub>max</sub>", "größter Pegel"),
        level("sumMinusMax", "LΣ − Lmax", "L<sub>Σ</sub> − L<sub>max</sub>", "Beitrag der übrigen Pegel"),
    };
}

// The result with this key, which is always there.
ResultValue& result(std::vector<ResultValue>& results, std::string_view key) { return *findResult(results, key); }

// Sets the value `f` computes, or the note `why` when its arithmetic fails.
template <class F>
void compute(ResultValue& r, const char* why, F&& f)
{
    try {
        r.value = f();
    } catch (const ArithmeticError&) {
        r.value.reset();
        r.note = why;
    }
}

std::vector<ResultValue> statistics(std::span<const double> levels, std::vector<TraceEntry>* trace = nullptr)
{
    const auto traced = [trace](const char* key, double value) {
        if (trace)
            trace->push_back({key, value});
    };
    std::vector<ResultValue> results = emptyResults();
    const std::size_t n = levels.size();
    result(results, "n").value = double(n);
    if (n == 0) {
        for (ResultValue& r : results)
            if (r.quantity.key != "n")
                r.note = "Keine Pegel eingegeben.";
        return results;
    }

    const bool allFinite =
        std::all_of(levels.begin(), levels.end(), [](double l) { return std::isfinite(l); });
    const bool allWithin = std::all_of(levels.begin(), levels.end(), withinLimit);
    const char* beyond =
        "Mindestens ein Pegel liegt außerhalb von ±300 dB; damit wird nicht energetisch gerechnet.";
    if (allWithin) {
        // One pass over the energies for both.
        const FactoredEnergy f = factoredEnergy(levels);
        traced("S", f.sum);
        compute(result(results, "sum"), beyond, [&] { return sumDb(f); });
        compute(result(results, "mean"), beyond, [&] { return meanDb(f, n); });
    } else {
        result(results, "sum").note = beyond;
        result(results, "mean").note = beyond;
        result(results, "sumMinusMax").note = beyond;
    }

    if (allFinite) {
        const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
        result(results, "min").value = *lo;
        result(results, "max").value = *hi;
        if (const auto& sum = result(results, "sum").value)
            result(results, "sumMinusMax").value = *sum - *hi;
    } else {
        const char* notFinite = "Mindestens ein Pegel ist keine endliche Zahl.";
        result(results, "min").note = notFinite;
        result(results, "max").note = notFinite;
    }

    ResultValue& arithmetic = result(results, "arithmetic");
    compute(arithmetic, "Die Summe der Pegel liegt außerhalb des Zahlenbereichs.", [&] {
        Real sum = 0.0;
        for (const double l : levels)
            sum = sum + l;
        traced("total", sum.value());
        return (sum / double(n)).value();
    });

    // Two passes: the squares of the deviations from the mean, not the
    // difference of Σ Li² and n·L̄², which loses the digits of a small
    // spread around a large level.
    ResultValue& stddev = result(results, "stddev");
    if (n < 2) {
        stddev.note = "Für die Standardabweichung sind mindestens zwei Pegel nötig.";
    } else if (arithmetic.value) {
        compute(stddev, "Die Summe der Abweichungsquadrate liegt außerhalb des Zahlenbereichs.", [&] {
            Real squares = 0.0;
            for (const double l : levels) {
                const Real d = Real(l) - *arithmetic.value;
                squares = squares + d * d;
            }
            traced("squares", squares.value());
            return std::sqrt((squares / double(n - 1)).value());
        });
    } else {
        stddev.note = arithmetic.note;
    }
    dropUnwritable(results);
    return results;
}

// Notes on the results of corrected levels of which at least one is only an
// upper bound. Sums, means and extremes grow with every level, so they are
// upper bounds too; the spread and the others' share are not.
void markUpperBounds(std::vector<ResultValue>& results)
{
    const char* bound = "Obere Grenze: mindestens ein Pegel liegt höchstens 6 dB über dem Fremdgeräusch.";
    const char* rough = "Nur ein Anhalt: mindestens ein Pegel ist nur eine obere Grenze.";
    for (ResultValue& r : results) {
        if (!r.value || r.quantity.key == "n")
            continue;
        const bool grows = r.quantity.key != "stddev" && r.quantity.key != "sumMinusMax";
        r.note = grows ? bound : rough;
    }
}

}  // namespace

double energeticSumDb(std::span<const double> levels) { return sumDb(factoredEnergy(levels)); }

double energeticMeanDb(std::span<const double> levels)
{
    return meanDb(factoredEnergy(levels), levels.size());
}

std::string backgroundFlagText(BackgroundFlag flag)
{
    switch (flag) {
    case BackgroundFlag::NoCorrection: return "keine Korrektur nötig";
    case BackgroundFlag::Corrected: return "korrigiert";
    case BackgroundFlag::MeasurementLimit: return "Grenze der Messung";
    case BackgroundFlag::NotCorrected: return "nicht korrigiert";
    }
    return {};
}

BackgroundCorrection correctForBackground(double levelDb, double backgroundDb)
{
    BackgroundCorrection c;
    c.levelDb = levelDb;
    c.correctedDb = levelDb;
    if (!withinLimit(levelDb) || !withinLimit(backgroundDb)) {
        c.flag = BackgroundFlag::NotCorrected;
        return c;
    }
    c.deltaDb = levelDb - backgroundDb;
    if (c.deltaDb > kNoCorrectionAboveDb) {
        c.flag = BackgroundFlag::NoCorrection;
    } else if (c.deltaDb > kMeasurementLimitDb) {
        c.flag = BackgroundFlag::Corrected;
        // Energy of the level minus that of the background: 10^(−ΔL/10) < 1
        // here, so the logarithm's argument lies between 0.968 and 0.749.
        c.k1Db = -(Real(10.0) * Log10((Real(1.0) - energy(-c.deltaDb)).value())).value();
    } else {
        c.flag = BackgroundFlag::MeasurementLimit;
        c.k1Db = kLimitCorrectionDb;
    }
    c.correctedDb = levelDb - c.k1Db;
    return c;
}

LevelListEvaluation evaluateLevelList(std::span<const double> levels, std::optional<double> backgroundDb)
{
    LevelListEvaluation e;
    e.results = statistics(levels, &e.trace);
    e.backgroundDb = backgroundDb;
    if (!backgroundDb)
        return e;
    if (!withinLimit(*backgroundDb)) {
        e.backgroundNote = "Das Fremdgeräusch liegt außerhalb von ±300 dB; die Pegel werden nicht korrigiert.";
        return e;
    }
    std::vector<double> corrected;
    corrected.reserve(levels.size());
    e.corrections.reserve(levels.size());
    bool anyBound = false;
    for (const double l : levels) {
        e.corrections.push_back(correctForBackground(l, *backgroundDb));
        corrected.push_back(e.corrections.back().correctedDb);
        anyBound = anyBound || e.corrections.back().upperBound();
    }
    e.correctedResults = statistics(corrected);
    if (anyBound)
        markUpperBounds(e.correctedResults);
    return e;
}

}  // namespace orvella
