#pragma once
// Checks that a call raises exactly the given run-time error.

#include <gtest/gtest.h>

#include "core/run_error.h"

namespace quorvel {

template <typename F>
void ExpectError(F&& f, ErrorKind kind) {
    try {
        f();
        ADD_FAILURE() << "no error, expected error " << static_cast<int>(kind);
    } catch (const RunTimeError& e) {
        EXPECT_EQ(e.kind(), kind);
    }
}

}  // namespace quorvel
