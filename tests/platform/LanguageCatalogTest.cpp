#include "platform/LanguageCatalog.h"
#include "platform/ProgramDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(LanguageCatalog, IniFilesOfAnyCaseThatNameALanguageInFileNameOrder) {
    const fs::path dir = fs::temp_directory_path() / ("calora-lang-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    auto write = [&dir](const char* name, const char* text) { std::ofstream(dir / name) << text; };
    EXPECT_TRUE(LanguageCatalog::Discover(dir.string()).empty());
    write("z.ini", "[Lang]\nLanguage=Zulu\n");
    write("B.INI", "[Lang]\nLanguage=Basque\n");
    write("a.ini", "[String]\nstrOpOK=no language section\n");
    write("0.txt", "[Lang]\nLanguage=Text\n");
    write(".ini", "[Lang]\nLanguage=No name\n");
    fs::create_directory(dir / "0.ini");
    const auto found = LanguageCatalog::Discover(dir.string());
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(std::tie(found[0].name, found[0].path, found[1].name),
              std::tuple("Basque", (dir / "B.INI").string(), "Zulu"));
    EXPECT_EQ(LanguageCatalog::IndexOf(found, "Zulu"), 1);
    EXPECT_EQ(LanguageCatalog::IndexOf(found, "zulu"), -1);
    EXPECT_TRUE(LanguageCatalog::Discover((dir / "missing").string()).empty());
    EXPECT_TRUE(LanguageCatalog::Discover("").empty());
    fs::remove_all(dir);
}

TEST(ProgramDirectory, IsTheResolvedDirectoryOfThisTestProgram) {
    const std::string directory = ProgramDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_TRUE(fs::is_regular_file(directory + "calora_platform_tests"));
    EXPECT_EQ(fs::canonical(directory).string() + "/", directory) << "resolved, ending in '/'";
}
