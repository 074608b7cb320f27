// SPDX-License-Identifier: GPL-3.0-or-later
#include "steps.h"

namespace orvella {

bool runSteps(const std::vector<std::function<void()>>& steps,
              const std::function<ErrorChoice()>& ask)
{
    for (const auto& step : steps) {
        for (;;) {
            try {
                step();
                break;
            } catch (...) {
                const ErrorChoice choice = ask();
                if (choice == ErrorChoice::Abort)
                    return false;
                if (choice == ErrorChoice::Ignore)
                    break;
            }
        }
    }
    return true;
}

}  // namespace orvella
