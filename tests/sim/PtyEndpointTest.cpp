// Answering over the pseudo-terminal is proven by every test that runs the
// simulator as a program; here, how its COM link is chosen and removed.
#include "sim/PtyEndpoint.h"
#include "sim/PortLink.h"

#include "tests/sim/SimTestSupport.h"

#include <fstream>

TEST(PtyEndpoint, PublishesTheLowestFreePortAndRemovesItAtTheEnd) {
    TempFolder folder;
    ASSERT_EQ(::setenv("CALORA_PORTS_DIR", folder.File("ports").c_str(), 1), 0);
    const std::string ports = PortLink::DefaultFolder();
    ::unsetenv("CALORA_PORTS_DIR");
    ASSERT_EQ(ports, folder.File("ports"));
    // COM1 is some other file, COM2 the link of a simulator that died: the
    // lowest usable number is 2.
    std::filesystem::create_directories(ports);
    std::ofstream(ports + "/COM1") << "not a link";
    std::filesystem::create_symlink("/nonexistent/pts", ports + "/COM2");

    PtyEndpoint endpoint;
    std::string error;
    ASSERT_TRUE(endpoint.Open(&error)) << error;
    {
        PortLink link;
        ASSERT_TRUE(link.Publish(ports, 0, endpoint.DevicePath(), &error)) << error;
        EXPECT_EQ(link.Com(), 2);
        EXPECT_EQ(std::filesystem::read_symlink(link.Path()), endpoint.DevicePath());
        EXPECT_FALSE(PortLink().Publish(ports, 2, endpoint.DevicePath(), &error));
    }
    EXPECT_FALSE(std::filesystem::is_symlink(ports + "/COM2"));
    EXPECT_TRUE(std::filesystem::exists(ports + "/COM1"));
}
