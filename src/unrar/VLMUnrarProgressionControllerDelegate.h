#pragma once

class UnrarProgressionController;

// The document side of an extraction: a PAR document's after-run actions or an
// UnrarDocument. Held weakly by the controller; a delegate that goes away first
// detaches with setDelegate(nullptr). Every call arrives on the main thread, in
// this order: unrarSucceeded (success only), unrarFinished, then
// unrarProgressionControllerDidEnd, after which the delegate may drop the
// controller.
class VLMUnrarProgressionControllerDelegate {
public:
    virtual ~VLMUnrarProgressionControllerDelegate() = default;

    // After a successful extraction, once the segments were dealt with.
    virtual void unrarSucceeded() {}
    // The extraction is over, whatever its outcome (also when it was canceled
    // while it waited for its turn).
    virtual void unrarFinished() = 0;
    virtual void unrarProgressionControllerDidEnd(UnrarProgressionController* controller) = 0;
};
