#include "platform/DebugTrace.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(DebugTrace, WritesOneLineCutTo1023BytesAndKeepsErrno) {
    ::testing::internal::CaptureStderr();
    errno = ERANGE;
    DebugTrace("range %d..%s", -5, "10");
    const int errnoAfter = errno;
    DebugTrace("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "range -5..10\n" + std::string(1023, 'x') + "\n");
    EXPECT_EQ(errnoAfter, ERANGE);
}
