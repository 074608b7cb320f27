// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"

#include <vector>

namespace orvella {

namespace {

std::vector<WindowCommand>& registry()
{
    static std::vector<WindowCommand> commands;
    return commands;
}

}  // namespace

void addWindowCommand(WindowCommand command) { registry().push_back(std::move(command)); }

void clearWindowCommands() { registry().clear(); }

const std::vector<WindowCommand>& windowCommands() { return registry(); }

}  // namespace orvella
