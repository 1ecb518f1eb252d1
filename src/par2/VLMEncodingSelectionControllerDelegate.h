#pragma once

#include <cstdint>

class EncodingSelectionController;

// Learns how the file-name encoding chooser ended: return code 1 for OK with
// the chosen encoding, 0 for cancel (the encoding is then the default, 5).
class VLMEncodingSelectionControllerDelegate {
public:
    virtual ~VLMEncodingSelectionControllerDelegate() = default;
    virtual void encodingSelectionController(EncodingSelectionController* controller,
                                             int returnCode, uint32_t selectedEncoding) = 0;
};
