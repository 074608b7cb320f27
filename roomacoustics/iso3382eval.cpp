// SPDX-License-Identifier: GPL-3.0-or-later
#include "iso3382eval.h"

#include "checked.h"
#include "evaluationmodel.h"
#include "iso3382.h"
#include "levellist.h"
#include "numbers.h"
#include "pastedtext.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

using namespace iso3382;

// log2(r / 1 m) as ln r / ln 2, like the program's common logarithm.
double log2Distance(double distanceM) { return (ln(distanceM) / ln(2.0)).value(); }

// A number in a note: a distance bound or a speech transmission index.
std::string noteNumber(double value, std::string_view mark) { return FormatResult(value, kStiDecimals, mark); }

std::vector<ResultValue> emptyResults()
{
    const int d = kResultDecimals;
    return {
        makeResultValue("D2S", "D2,S", "D<sub>2,S</sub>",
                        "Räumliche Abklingrate des A-bewerteten Sprachschalldruckpegels", "dB", d),
        makeResultValue("Lp4m", "Lp,A,S,4m", "L<sub>p,A,S,4m</sub>",
                        "A-bewerteter Sprachschalldruckpegel in 4 m Abstand", "dB", d),
        makeResultValue("rC", "rC", "r<sub>C</sub>", "Komfortabstand", "m", d),
        makeResultValue("rD", "rD", "r<sub>D</sub>", "Ablenkungsabstand", "m", d),
        makeResultValue("rP", "rP", "r<sub>P</sub>", "Vertraulichkeitsabstand", "m", d),
        makeResultValue("LpB", "Lp,A,B", "L<sub>p,A,B</sub>",
                        "A-bewerteter Hintergrundgeräuschpegel (energetisches Mittel)", "dB", d),
        makeResultValue("n", "n", "n", "Anzahl der ausgewerteten Positionen", "", 0),
    };
}

// The result with this key, which is always there.
ResultValue& result(std::vector<ResultValue>& results, std::string_view key) { return *findResult(results, key); }

void appendSentence(std::string& note, std::string_view sentence)
{
    if (!note.empty())
        note += ' ';
    note += sentence;
}

// What a cell of a column must hold.
struct ColumnRule {
    int column;             // PositionColumn
    const char* symbol;
    bool required;          // an empty cell is marked
    double lo;              // the smallest value allowed ...
    bool loOpen;            // ... or the bound that must be exceeded
    double hi;              // the largest value allowed
    std::string outOfRange; // the sentence for a value outside
};

// Reads a cell into `value` when it is a number the rule allows; marks it
// with a sentence otherwise.
void readColumn(PositionRow& row, const ColumnRule& rule, const std::string& text,
                std::optional<double>& value)
{
    const TableCell cell = readCell(text);
    std::string problem;
    if (cell.problem != CellProblem::None) {
        problem = std::string(rule.symbol) + ": " + cell.reason;
    } else if (!cell.number) {
        if (rule.required)
            problem = std::string(rule.symbol) + " fehlt.";
    } else if (const double v = *cell.number; v < rule.lo || (rule.loOpen && v == rule.lo) || v > rule.hi) {
        problem = rule.outOfRange;
    } else {
        value = v;
    }
    if (!problem.empty()) {
        row.marked[std::size_t(rule.column)] = true;
        appendSentence(row.note, problem);
    }
}

// The least-squares line through (x, y) on centred sums; nothing when all x
// are equal (no slope is determined).
struct Fit {
    double slope;
    double intercept;
};

std::optional<Fit> leastSquares(const std::vector<double>& x, const std::vector<double>& y)
{
    if (std::adjacent_find(x.begin(), x.end(), std::not_equal_to<>()) == x.end())
        return std::nullopt;
    try {
        const double n = double(x.size());
        Real sx = 0.0, sy = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            sx = sx + x[i];
            sy = sy + y[i];
        }
        const Real xMean = sx / n;
        const Real yMean = sy / n;
        Real sxx = 0.0, sxy = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const Real dx = Real(x[i]) - xMean;
            sxx = sxx + dx * dx;
            sxy = sxy + dx * (Real(y[i]) - yMean);
        }
        const Real slope = sxy / sxx;
        return Fit{slope.value(), (yMean - slope * xMean).value()};
    } catch (const ArithmeticError&) {
        return std::nullopt;  // x so close together that Σ (x − x̄)² vanishes
    }
}

std::string positionsText(std::size_t count, const char* what)
{
    if (count == 0)
        return std::string("Keine Position") + what;
    return "Nur " + std::to_string(count) + (count == 1 ? " Position" : " Positionen") + what;
}

// The note of every result of a regression that cannot be computed with
// `count` positions, or empty when there are enough. `what` describes the
// positions counted (" zwischen 2 m und 16 m").
std::string tooFewNote(std::size_t count, const std::string& what)
{
    if (count >= std::size_t(kMinPositions))
        return {};
    return positionsText(count, what.c_str()) + "; mindestens " + std::to_string(kMinPositions) +
           " sind nötig.";
}

void setNote(std::vector<ResultValue>& results, std::initializer_list<const char*> keys,
             const std::string& note)
{
    for (const char* key : keys)
        result(results, key).note = note;
}

// Marks `r` "extrapoliert" when its value, as shown, lies outside the range.
void markExtrapolated(ResultValue& r, double fromM, double toM)
{
    const std::optional<double> shown = shownValue(r);
    if (shown && (*shown < fromM || *shown > toM))
        r.note = "extrapoliert";
}

// Sets the distance at which a falling line reaches `target`.
void distanceWhere(ResultValue& r, const RegressionLine& line, double target, std::string_view mark)
{
    try {
        const double distance = ((Real(target) - line.intercept) / line.slope).value();
        if (!(distance > 0.0)) {
            r.note = "Die Regressionsgerade liegt schon bei 0 m unter STI = " + noteNumber(target, mark) + ".";
            return;
        }
        r.value = distance;
        markExtrapolated(r, line.fromM, line.toM);
    } catch (const ArithmeticError&) {
        r.note = "Der Abstand ist zu groß, um ihn zu berechnen.";
    }
}

// The least-squares line of `value` over the distances of the positions
// (at least one), over log2(r / 1 m) or over r; nothing when all positions
// lie at one distance.
std::optional<RegressionLine> fitLine(const std::vector<const PositionRow*>& positions,
                                      std::optional<double> PositionRow::*value, bool overLog2Distance)
{
    RegressionLine line;
    line.overLog2Distance = overLog2Distance;
    line.fromM = line.toM = positions.front()->distanceM.value();
    line.points = int(positions.size());
    std::vector<double> x, y;
    for (const PositionRow* p : positions) {
        const double r = p->distanceM.value();
        x.push_back(overLog2Distance ? log2Distance(r) : r);
        y.push_back((p->*value).value());
        line.fromM = std::min(line.fromM, r);
        line.toM = std::max(line.toM, r);
    }
    const std::optional<Fit> fit = leastSquares(x, y);
    if (!fit)
        return std::nullopt;
    line.slope = fit->slope;
    line.intercept = fit->intercept;
    return line;
}

void speechLevelRegression(Iso3382Evaluation& e, const std::vector<const PositionRow*>& used,
                           const std::string& rangeText)
{
    std::vector<ResultValue>& results = e.results;
    if (const std::string note = tooFewNote(used.size(), rangeText); !note.empty()) {
        setNote(results, {"D2S", "Lp4m", "rC", "n"}, note);
        return;
    }
    e.speechLevelLine = fitLine(used, &PositionRow::speechLevelDb, true);
    if (!e.speechLevelLine) {
        setNote(results, {"D2S", "Lp4m", "rC"},
                "Alle Positionen liegen in derselben Entfernung; die Regressionsgerade ist nicht bestimmt.");
        return;
    }
    const RegressionLine& line = *e.speechLevelLine;
    ResultValue& decay = result(results, "D2S");
    ResultValue& level4m = result(results, "Lp4m");
    decay.value = -line.slope;
    level4m.value = line.at(kReferenceDistanceM);
    if (kReferenceDistanceM < line.fromM || kReferenceDistanceM > line.toM)
        level4m.note = "extrapoliert";

    ResultValue& comfort = result(results, "rC");
    if (!(*decay.value > 0.0)) {
        comfort.note = "Der Sprachpegel nimmt mit der Entfernung nicht ab.";
        return;
    }
    try {
        const Real exponent = (Real(*level4m.value) - kComfortLevelDb) / *decay.value;
        comfort.value = (Real(kReferenceDistanceM) * pow(Real(2.0), exponent)).value();
        markExtrapolated(comfort, line.fromM, line.toM);
    } catch (const ArithmeticError&) {
        comfort.note = "Der Komfortabstand ist zu groß, um ihn zu berechnen.";
    }
}

void stiRegression(Iso3382Evaluation& e, const std::vector<const PositionRow*>& used,
                   const std::string& rangeText, std::string_view mark)
{
    std::vector<const PositionRow*> withSti;
    for (const PositionRow* p : used)
        if (p->sti)
            withSti.push_back(p);
    const bool anySti = std::any_of(e.positions.begin(), e.positions.end(),
                                    [](const PositionRow& p) { return p.sti.has_value(); });
    if (!anySti) {
        setNote(e.results, {"rD", "rP"}, "Keine STI-Werte angegeben.");
        return;
    }
    if (const std::string note = tooFewNote(withSti.size(), " mit STI" + rangeText); !note.empty()) {
        setNote(e.results, {"rD", "rP"}, note);
        return;
    }
    e.stiLine = fitLine(withSti, &PositionRow::sti, false);
    if (!e.stiLine) {
        setNote(e.results, {"rD", "rP"},
                "Alle Positionen mit STI liegen in derselben Entfernung; "
                "die Regressionsgerade ist nicht bestimmt.");
        return;
    }
    if (!(e.stiLine->slope < 0.0)) {
        setNote(e.results, {"rD", "rP"}, "Der STI nimmt mit der Entfernung nicht ab.");
        return;
    }
    distanceWhere(result(e.results, "rD"), *e.stiLine, kDistractionSti, mark);
    distanceWhere(result(e.results, "rP"), *e.stiLine, kPrivacySti, mark);
}

void backgroundMean(Iso3382Evaluation& e)
{
    std::vector<double> levels;
    for (const PositionRow& p : e.positions)
        if (p.backgroundDb && (p.use == PositionUse::Used || p.use == PositionUse::OutsideRange))
            levels.push_back(*p.backgroundDb);
    ResultValue& background = result(e.results, "LpB");
    if (levels.empty()) {
        background.note = "Keine Hintergrundpegel angegeben.";
        return;
    }
    background.value = energeticMeanDb(levels);
}

TargetRating rate(const std::vector<ResultValue>& results, const char* key, const char* symbol,
                  bool atLeast, double target, const char* unit, std::string_view mark)
{
    TargetRating t;
    t.key = key;
    t.requirement = std::string(symbol) + (atLeast ? " ≥ " : " ≤ ") +
                    FormatResult(target, kResultDecimals, mark) + " " + unit;
    if (const std::optional<double> shown = shownValue(*findResult(results, key)))
        t.met = guidanceMet({key, target, atLeast ? Bound::AtLeast : Bound::AtMost, symbol, false}, *shown);
    return t;
}

std::optional<int> propagationLevel(const std::vector<ResultValue>& results)
{
    const std::optional<double> decay = shownValue(*findResult(results, "D2S"));
    const std::optional<double> level4m = shownValue(*findResult(results, "Lp4m"));
    if (!decay || !level4m)
        return std::nullopt;
    for (const PropagationLevel& p : kPropagationLevels)
        if (guidanceMet({"D2S", p.minDecayDb, Bound::AtLeast, "D2,S", false}, *decay).value_or(false) &&
            guidanceMet({"Lp4m", p.maxLevelAt4mDb, Bound::AtMost, "Lp,A,S,4m", false}, *level4m).value_or(false))
            return p.level;
    return 0;
}

}  // namespace

double RegressionLine::at(double distanceM) const
{
    const double x = overLog2Distance ? log2Distance(distanceM) : distanceM;
    return (Real(intercept) + Real(slope) * x).value();
}

PositionRow readPosition(const PositionTexts& texts, std::string_view decimalMark)
{
    PositionRow row;
    const bool allEmpty = readCell(texts.distance).text.empty() && readCell(texts.speechLevel).text.empty() &&
                          readCell(texts.sti).text.empty() && readCell(texts.background).text.empty();
    if (allEmpty)
        return row;

    const std::string levelLimit = "außerhalb von ±" + noteNumber(kLevelLimitDb, decimalMark) + " dB.";
    readColumn(row,
               {kDistanceColumn, "r", true, 0.0, true, HUGE_VAL, "Die Entfernung r muss größer als 0 m sein."},
               texts.distance, row.distanceM);
    readColumn(row, {kSpeechLevelColumn, "Lp,A,S", true, -kLevelLimitDb, false, kLevelLimitDb,
                     "Lp,A,S liegt " + levelLimit},
               texts.speechLevel, row.speechLevelDb);
    readColumn(row, {kStiColumn, "STI", false, 0.0, false, 1.0, "Der STI muss zwischen 0 und 1 liegen."},
               texts.sti, row.sti);
    readColumn(row, {kBackgroundColumn, "Lp,A,B", false, -kLevelLimitDb, false, kLevelLimitDb,
                     "Lp,A,B liegt " + levelLimit},
               texts.background, row.backgroundDb);

    if (std::find(row.marked.begin(), row.marked.end(), true) != row.marked.end()) {
        row.use = PositionUse::LeftOut;
        row.note = "Nicht ausgewertet: " + row.note;
        row.distanceM.reset();
        row.speechLevelDb.reset();
        row.sti.reset();
        row.backgroundDb.reset();
    } else if (*row.distanceM < kMinDistanceM || *row.distanceM > kMaxDistanceM) {
        row.use = PositionUse::OutsideRange;
        row.note = "Außerhalb von " + noteNumber(kMinDistanceM, decimalMark) + " m bis " +
                   noteNumber(kMaxDistanceM, decimalMark) + " m: nicht in den Regressionen.";
    } else {
        row.use = PositionUse::Used;
    }
    return row;
}

Iso3382Evaluation evaluateIso3382(const std::vector<PositionTexts>& rows, std::string_view decimalMark)
{
    Iso3382Evaluation e;
    e.results = emptyResults();
    e.positions.reserve(rows.size());
    for (const PositionTexts& texts : rows)
        e.positions.push_back(readPosition(texts, decimalMark));

    std::vector<const PositionRow*> used;
    for (const PositionRow& p : e.positions)
        if (p.use == PositionUse::Used)
            used.push_back(&p);
    result(e.results, "n").value = double(used.size());

    const bool anyRow = std::any_of(e.positions.begin(), e.positions.end(),
                                    [](const PositionRow& p) { return p.use != PositionUse::Empty; });
    if (!anyRow) {
        for (ResultValue& r : e.results)
            if (r.quantity.key != "n")
                r.note = "Keine Messpositionen eingegeben.";
    } else {
        const std::string rangeText = " zwischen " + noteNumber(kMinDistanceM, decimalMark) + " m und " +
                                      noteNumber(kMaxDistanceM, decimalMark) + " m";
        speechLevelRegression(e, used, rangeText);
        stiRegression(e, used, rangeText, decimalMark);
        backgroundMean(e);
    }
    dropUnwritable(e.results);

    e.rating = {
        rate(e.results, "D2S", "D2,S", true, kGoodDecayDb, "dB", decimalMark),
        rate(e.results, "Lp4m", "Lp,A,S,4m", false, kGoodLevelAt4mDb, "dB", decimalMark),
        rate(e.results, "rD", "rD", false, kGoodDistractionDistanceM, "m", decimalMark),
    };
    e.propagationLevel = propagationLevel(e.results);
    return e;
}

}  // namespace orvella
