// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small helper for the tests of the Qt-free cores: the C library's locale
// for one test.

#include <clocale>
#include <string>

namespace orvella::test {

// Sets the C library's locale (LC_ALL) until destroyed; `available()` is
// false, and nothing has changed, when the locale is not generated.
class CLocaleScope {
public:
    explicit CLocaleScope(const char* name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        available_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~CLocaleScope() { std::setlocale(LC_ALL, previous_.c_str()); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;
    bool available() const { return available_; }

private:
    std::string previous_;
    bool available_ = false;
};

}  // namespace orvella::test
