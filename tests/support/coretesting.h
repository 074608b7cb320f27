// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small helpers for the tests of the Qt-free cores: the processor time of a
// computation, and the C library's locale for one test.

#include <clocale>
#include <ctime>
#include <string>

namespace orvella::test {

// The processor time this thread has used so far, in ms. Time limits are
// checked against it, not against the clock: on a busy machine the clock
// also counts the time other programs had.
inline double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// How much slower the sanitizer builds run; time limits are multiplied by it.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr double kSanitizerSlowdown = 10.0;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr double kSanitizerSlowdown = 10.0;
#else
inline constexpr double kSanitizerSlowdown = 1.0;
#endif
#else
inline constexpr double kSanitizerSlowdown = 1.0;
#endif

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
