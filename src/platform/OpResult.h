#pragma once

// What an operation whose failure matters to its caller did: a save, an upload, a download, a
// listing. The type is [[nodiscard]], so a caller that ignores whether it happened does not
// compile.
enum class [[nodiscard]] OpResult{
    Done,      // it happened
    Failed,    // it was tried and failed; the user has been told where the operation says so
    Cancelled, // the user stopped it; nothing more is said
    Refused,   // it was not tried: a precondition failed (a missing setting, a busy connection)
};

[[nodiscard]] inline bool succeeded(OpResult result) {
    return result == OpResult::Done;
}

// The number a message shows for a result, as the transfer messages' "(CODE=%d)" always did:
// 0 done, 1 failed or cancelled, -1 not tried.
[[nodiscard]] inline int resultCode(OpResult result) {
    switch (result) {
    case OpResult::Done:
        return 0;
    case OpResult::Refused:
        return -1;
    default:
        return 1;
    }
}
