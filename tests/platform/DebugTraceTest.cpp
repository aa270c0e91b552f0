#include "platform/DebugTrace.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

TEST(DebugTrace, WritesOneLineCutTo1023BytesAndKeepsErrno) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    const int saved = dup(STDERR_FILENO);
    dup2(fileno(file), STDERR_FILENO);
    errno = ERANGE;
    DebugTrace("range %d..%s", -5, "10");
    const int errnoAfter = errno;
    DebugTrace("%s", std::string(5000, 'x').c_str());
    dup2(saved, STDERR_FILENO);
    close(saved);

    std::string text(2000, '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text, "range -5..10\n" + std::string(1023, 'x') + "\n");
    EXPECT_EQ(errnoAfter, ERANGE);
}

} // namespace
