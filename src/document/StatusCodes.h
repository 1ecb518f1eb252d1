#pragma once

#include <cstdint>

// File status codes of a set's files. The numbers are their identity: they are
// stored, logged and used to form string-table keys ("FileStatus%d").
namespace FileCode {
inline constexpr int32_t NotExamined = 0;
inline constexpr int32_t Intact = 1;
inline constexpr int32_t Damaged = 2;
inline constexpr int32_t FoundUnderOtherName = 3;
inline constexpr int32_t Missing = 4;
inline constexpr int32_t MissingRecoverable = 5;
inline constexpr int32_t MissingUnrecoverable = 6;
inline constexpr int32_t DamagedRecoverable = 7;
inline constexpr int32_t DamagedUnrecoverable = 8;
inline constexpr int32_t Repaired = 9;
inline constexpr int32_t ToBeProtected = 10;

// The files a user is told are not OK.
constexpr bool isNotOK(int32_t code) {
    return code == Damaged || code == Missing || code == MissingUnrecoverable ||
           code == DamagedUnrecoverable;
}
} // namespace FileCode

// Document status codes ("DocStatus%d").
namespace DocStatus {
inline constexpr int32_t Idle = 0;
inline constexpr int32_t Verifying = 1;
inline constexpr int32_t Repairing = 2;
inline constexpr int32_t Aborted = 3;
inline constexpr int32_t RepairImpossible = 4;
inline constexpr int32_t AllIntact = 5;
inline constexpr int32_t AllIntactWrongNames = 6;
inline constexpr int32_t Repaired = 7;
inline constexpr int32_t RepairedWrongNames = 8;
inline constexpr int32_t NotARecoveryFile = 9;
inline constexpr int32_t ReadyToCreate = 10;
inline constexpr int32_t Creating = 11;
inline constexpr int32_t Created = 12;
inline constexpr int32_t RestorableIntact = 13;
inline constexpr int32_t RestorableIntactWrongNames = 14;
inline constexpr int32_t HelperErrors = 15;
inline constexpr int32_t WaitingForTurn = 16;
// The helper wrote nothing and used no processor time for too long and was stopped.
inline constexpr int32_t HelperStalled = 17;

// Outcomes after which the after-run actions and the extraction test run.
constexpr bool isSuccessfulOutcome(int32_t status) {
    return status == AllIntact || status == AllIntactWrongNames || status == Repaired ||
           status == RepairedWrongNames || status == RestorableIntact ||
           status == RestorableIntactWrongNames;
}

constexpr bool isRunInProgress(int32_t status) {
    return status == Verifying || status == Repairing || status == Creating;
}

enum class DisplayClass { Neutral, Success, Failure, Waiting };

constexpr DisplayClass displayClass(int32_t status) {
    if (isSuccessfulOutcome(status) || status == Created)
        return DisplayClass::Success;
    if (status == Aborted || status == RepairImpossible || status == NotARecoveryFile ||
        status == HelperErrors || status == HelperStalled)
        return DisplayClass::Failure;
    if (status == WaitingForTurn)
        return DisplayClass::Waiting;
    return DisplayClass::Neutral;
}
} // namespace DocStatus
