// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parameter study without Qt: the points of a range, the calculation of
// every point with the calculator's own description, and the table of
// texts that the window shows, copies and saves (written by texttable.h).
//
// A study takes the calculator's field texts as they stand, reads them with
// the window's own rules (readInput: comma fix on a copy, then ReadNumber),
// replaces one input by each point of a range and computes each point with
// the calculator's `compute`, never throwing. The points are rounded to the
// decimals the table shows them with, so that typing a point's text into the
// calculator gives exactly the point's results.

#include "calculation.h"
#include "texttable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvella {

inline constexpr int kMinStudyPoints = 2;
inline constexpr int kMaxStudyPoints = 1001;
// The most decimals a point of a range is written with.
inline constexpr int kMaxPointDecimals = 12;

// A range as the user asked for it.
struct RangeRequest {
    double from = 0.0;
    double to = 1.0;
    int points = 101;
    Spacing spacing = Spacing::Linear;
};

// The range that is computed, and what had to be changed to compute it.
struct StudyRangePlan {
    double from = 0.0;
    double to = 1.0;
    int points = 2;
    Spacing spacing = Spacing::Linear;
    bool swapped = false;      // "von" was greater than "bis"
    bool pointsClamped = false;  // "Punkte" lay outside 2 to 1001
    bool logFallback = false;  // logarithmic asked for a range that reaches 0 or below
};

// Puts a requested range in order: the ends swapped when reversed, the number
// of points kept within 2 to 1001, linear spacing when a logarithmic range
// reaches 0 or below.
StudyRangePlan planRange(const RangeRequest& request);

// `n` points (at least 2) from `from` to `to`, both above 0, with an even
// ratio between neighbours: evenly spaced on a logarithmic axis. The two
// ends are `from` and `to` themselves.
std::vector<double> logSpacedPoints(double from, double to, int n);

// The points of a planned range, from its start to its end: evenly spaced, or
// with an even ratio for logarithmic spacing. Each is rounded to `decimals`
// places (see pointDecimals); the two ends are the range's ends.
std::vector<double> rangePoints(const StudyRangePlan& plan, int decimals);

// The fewest decimals (at most kMaxPointDecimals) that write `value` exactly.
int exactDecimals(double value);

// The decimals the points of a range are written with: enough that both ends
// are written as given and neighbouring points stay apart (one more than the
// smallest step needs), at most kMaxPointDecimals.
int pointDecimals(const StudyRangePlan& plan);

// The range offered for an input when it becomes the variable: the input's
// study range, widened to take in the current value when there is one.
// A logarithmic range widened to 0 or below becomes linear.
StudyRange defaultStudyRange(const InputQuantity& input, std::optional<double> current);

// One study: the calculator's field texts (in the order of model.inputs), the
// input that varies and its range.
struct StudyRequest {
    const CalculatorModel* model = nullptr;
    std::vector<std::string> texts;
    int variable = 0;
    RangeRequest range;
};

struct StudyOutcome {
    StudyRangePlan plan;
    int xDecimals = 0;       // the decimals the points are written with
    std::vector<double> xs;  // the points
    // Per point: the results in the order of model.results; empty when the
    // point has no answer (the arithmetic failed, or a result cannot be
    // written, or a fixed input could not be read).
    std::vector<std::vector<double>> results;
    int answered = 0;  // the number of points with an answer
    // The fixed input whose text cannot be read (too large); -1 when all can.
    int unreadableInput = -1;
    // The value of each input as read; nullopt where the text cannot be read.
    std::vector<std::optional<double>> inputs;
    // The calculator's own inputs computed as they stand: the current point.
    std::optional<double> currentX;
    std::vector<double> currentResults;  // empty when the current inputs have no answer
};

// Reads the texts, computes every point and the current inputs. Never throws.
StudyOutcome runStudy(const StudyRequest& request);

// The results of one calculation as the window would write them, or nothing
// when it has no answer there or a result cannot be written (FormatResult
// overflows): the window then writes nothing either.
std::optional<std::vector<double>> answerAt(const CalculatorModel& model,
                                            const std::vector<double>& inputs);

// The cell text of a value: FormatResult with the decimals and decimal mark,
// or `missing` when there is no value or it cannot be written.
std::string cellText(std::optional<double> value, int decimals, std::string_view decimalMark,
                     std::string_view missing);

// "Hraum [m]"; the symbol alone for a quantity without a unit is "αcell [-]",
// as the calculator's labels write it.
std::string columnHeader(const Quantity& q);

// The study as a table: a column for the variable and one per result, a row
// per point. A point without an answer gets `missing` in its result cells.
TextTable studyTable(const CalculatorModel& model, int variable, const StudyOutcome& outcome,
                     std::string_view decimalMark, std::string_view missing);

// A number typed into "von" or "bis": a plain number in either decimal mark
// (readPlainNumber); nullopt when the text is not one or is too large for a
// double.
std::optional<double> parseRangeNumber(std::string_view text);

}  // namespace orvella
