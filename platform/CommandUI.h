#pragma once

namespace vantor {

// What an enabling handler decides for one command: enabled, and checked for commands that
// carry a check mark. Every command starts out enabled and unchecked.
struct CommandUI {
    bool enabled = true;
    bool checked = false;
};

}  // namespace vantor
