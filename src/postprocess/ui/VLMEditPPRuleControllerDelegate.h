#pragma once

#include "postprocess/PostProcessRule.h"

#include <optional>

class EditPPRuleController;

// Receives the end of a rule editor: the new rule, or nothing when the user cancelled.
class VLMEditPPRuleControllerDelegate {
public:
    virtual ~VLMEditPPRuleControllerDelegate() = default;
    virtual void editPPRuleController(EditPPRuleController* controller,
                                      const std::optional<PostProcessRule>& rule) = 0;
};
