#pragma once

#include <QString>

#include <vector>

namespace tarvik {

// The commands of the main window; the code is also the permission code.
struct CommandInfo {
    int code;
    QString category; // top-level menu
    QString caption;
};

const std::vector<CommandInfo> &commandCatalogue();
const CommandInfo *findCommand(int code);

} // namespace tarvik
