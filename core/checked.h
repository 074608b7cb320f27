// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Checked double arithmetic shared by every calculator.
//
// A calculation is written with Real values so that it reads like the formula
// it implements; every operation checks its own result and throws
// ArithmeticError the moment it overflows to infinity, divides by zero or has
// no defined value (NaN, the logarithm of x <= 0, a negative base under a
// fractional power). Underflow to zero is an ordinary result.
//
// Qt-free on purpose: the formula functions and their tests use it without a
// QApplication. Window code catches ArithmeticError at the click handler, so
// no exception ever reaches Qt's event loop.

#include <cmath>
#include <exception>

namespace orvella {

enum class ArithmeticFault { Overflow, DivisionByZero, InvalidOperation };

class ArithmeticError : public std::exception {
public:
    explicit ArithmeticError(ArithmeticFault fault) noexcept : fault_(fault) {}
    ArithmeticFault fault() const noexcept { return fault_; }
    const char* what() const noexcept override;

private:
    ArithmeticFault fault_;
};

// Returns x when it is a finite number; throws InvalidOperation for NaN and
// `infiniteFault` for an infinity.
double checkedResult(double x, ArithmeticFault infiniteFault = ArithmeticFault::Overflow);

class Real {
public:
    constexpr Real(double v = 0.0) : v_(v) {}  // NOLINT: implicit on purpose, literals mix in
    constexpr double value() const { return v_; }

    friend Real operator+(Real a, Real b) { return Real(checkedResult(a.v_ + b.v_)); }
    friend Real operator-(Real a, Real b) { return Real(checkedResult(a.v_ - b.v_)); }
    friend Real operator*(Real a, Real b) { return Real(checkedResult(a.v_ * b.v_)); }
    friend Real operator/(Real a, Real b);
    friend Real operator-(Real a) { return Real(-a.v_); }

private:
    double v_;
};

// a ^ b; fails for a negative base under a non-integer power and for 0 ^ negative.
Real pow(Real base, Real exponent);
// Natural logarithm; fails for x <= 0.
Real ln(Real x);
// |x|, never fails.
inline Real abs(Real x) { return Real(std::fabs(x.value())); }

}  // namespace orvella
