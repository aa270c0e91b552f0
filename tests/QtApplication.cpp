#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

// Widgets need one application object for the whole run. gtest_main owns
// main(), so a global environment, registered by a static initialiser before
// main() runs, creates the application before the first test and destroys it
// after the last. Listing the tests (CTest discovery) creates none.
namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override { m_pApp = std::make_unique<QApplication>(s_nArgc, s_pArgv); }
    void TearDown() override { m_pApp.reset(); }

private:
    inline static int s_nArgc = 1;
    inline static char s_szName[] = "calora_qt_tests";
    inline static char* s_pArgv[] = {s_szName, nullptr};
    std::unique_ptr<QApplication> m_pApp;
};

// GoogleTest takes ownership of the environment and deletes it at exit.
[[maybe_unused]] const auto* const g_pQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
