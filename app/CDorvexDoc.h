#pragma once

#include "platform/CommandTarget.h"

namespace vantor {

// The program's document: it holds nothing, is never modified and handles no command, so
// closing the program never asks to save.
class CDorvexDoc final : public CommandTarget {
public:
    CDorvexDoc() = default;
    ~CDorvexDoc() = default;
    CDorvexDoc(const CDorvexDoc&) = delete;
    CDorvexDoc& operator=(const CDorvexDoc&) = delete;

    bool IsModified() const { return false; }

    bool OnCommand(int commandId) override;
    bool OnUpdateCommandUI(int commandId, CommandUI& ui) override;
};

}  // namespace vantor
