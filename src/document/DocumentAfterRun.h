#pragma once

// What a PAR document does once a verify/repair run ended well (clean-up, a
// post-processing rule or an extraction, closing), made for each document by
// its controller. The document calls it from the reader of the main output pipe
// at the end of a run, and on the main thread when a waiting extraction gets
// the scheduler's turn.
class DocumentAfterRun {
public:
    virtual ~DocumentAfterRun() = default;

    // True when an extraction now holds the next turn, so the run must not ask
    // for the next document itself.
    virtual bool performAfterRunActions() = 0;
    virtual void startExclusiveExtraction() = 0;
};
