// SPDX-License-Identifier: GPL-3.0-or-later
#include "checked.h"

namespace orvella {

const char* ArithmeticError::what() const noexcept
{
    switch (fault_) {
    case ArithmeticFault::Overflow: return "overflow";
    case ArithmeticFault::DivisionByZero: return "division by zero";
    case ArithmeticFault::InvalidOperation: return "invalid operation";
    }
    return "arithmetic error";
}

double checkedResult(double x, ArithmeticFault infiniteFault)
{
    if (std::isnan(x))
        throw ArithmeticError(ArithmeticFault::InvalidOperation);
    if (std::isinf(x))
        throw ArithmeticError(infiniteFault);
    return x;
}

Real operator/(Real a, Real b)
{
    if (b.v_ == 0.0)
        throw ArithmeticError(a.v_ == 0.0 ? ArithmeticFault::InvalidOperation
                                          : ArithmeticFault::DivisionByZero);
    return Real(checkedResult(a.v_ / b.v_));
}

Real pow(Real base, Real exponent)
{
    const double b = base.value();
    const double e = exponent.value();
    if (b == 0.0 && e < 0.0)
        throw ArithmeticError(ArithmeticFault::DivisionByZero);
    return Real(checkedResult(std::pow(b, e)));
}

Real ln(Real x)
{
    if (!(x.value() > 0.0))
        throw ArithmeticError(ArithmeticFault::InvalidOperation);
    return Real(checkedResult(std::log(x.value())));
}

}  // namespace orvella
