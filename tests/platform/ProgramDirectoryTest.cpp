#include "platform/ProgramDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ProgramDirectory, IsTheResolvedDirectoryOfThisTestProgram) {
    const std::string directory = ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::is_regular_file(directory + "calora_platform_tests"));
    EXPECT_EQ(std::filesystem::canonical(directory).string() + "/", directory);
}

} // namespace
