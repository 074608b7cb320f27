// SPDX-License-Identifier: GPL-3.0-or-later
// FormatResult on any double, with 0, 1 or 2 decimals and either decimal mark.
//
// Input: 8 bytes of the double's bit pattern (little-endian), then one byte
// whose value modulo 3 gives the decimals. A shorter input is padded with
// zero bytes. The text input "t:<number> <decimals>" (see corpus/) is read
// with strtod instead, so that seeds can name their values.
//
// Checks (fuzzsupport.h, checkFormatted): a value that is not finite, or
// whose rounding overflows, is reported as ArithmeticError; otherwise the
// text is a plain number with at most that many decimals, no trailing
// zeros, never "-0", and reads back (after the comma fix when the mark is a
// comma) as the rounded value to the 15 significant digits written.

#include "fuzzsupport.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    double value = 0.0;
    int decimals = 0;
    if (size >= 2 && data[0] == 't' && data[1] == ':') {
        const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
        char* end = nullptr;
        value = std::strtod(text.c_str(), &end);
        decimals = static_cast<int>(std::strtol(end, nullptr, 10) % 3);
        if (decimals < 0)
            decimals = -decimals;
    } else {
        std::uint8_t bytes[9] = {};
        std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
        std::memcpy(&value, bytes, sizeof value);
        decimals = bytes[8] % 3;
    }

    if (!std::isfinite(value)) {
        for (const char* mark : {".", ","}) {
            try {
                orvella::FormatResult(value, decimals, mark);
                fuzz::fail("a value that is not finite was formatted", fuzz::show(value));
            } catch (const orvella::ArithmeticError&) {
            }
        }
        return 0;
    }
    fuzz::checkFormatted(value, decimals);
    return 0;
}
