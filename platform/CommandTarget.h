#pragma once

#include "platform/CommandUI.h"

namespace vantor {

// A link in the command route (view, document, frame, application). A command goes to the
// first target that handles it; so does the question whether it is enabled or checked.
class CommandTarget {
public:
    // Runs the handler of the command; false when this target has none.
    virtual bool OnCommand(int commandId) = 0;
    // Fills in the command's state; false when this target has no enabling handler for it.
    // Called whenever a menu opens and each time the program goes idle, so it must be cheap.
    virtual bool OnUpdateCommandUI(int commandId, CommandUI& ui) = 0;

protected:
    CommandTarget() = default;
    ~CommandTarget() = default;
    CommandTarget(const CommandTarget&) = default;
    CommandTarget& operator=(const CommandTarget&) = default;
};

}  // namespace vantor
