#include "sim/PtyEndpoint.h"
#include "sim/PortLink.h"

#include "tests/sim/SimTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

// Reads from fd until a whole answer has arrived, waiting at most two seconds
// for each piece.
Bytes ReadAnswer(int fd) {
    Bytes received;
    std::array<std::uint8_t, 256> chunk{};
    pollfd entry{fd, POLLIN, 0};
    while (!WireFrames::Parse(received) && ::poll(&entry, 1, 2000) > 0) {
        const ssize_t count = ::read(fd, chunk.data(), chunk.size());
        received.insert(received.end(), chunk.begin(), chunk.begin() + std::max<ssize_t>(count, 0));
    }
    return received;
}

TEST(PtyEndpoint, PublishesAPortThatAnswersAndRemovesItAtTheEnd) {
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
    std::string linkPath;
    {
        PortLink link;
        ASSERT_TRUE(link.Publish(ports, 0, endpoint.DevicePath(), &error)) << error;
        EXPECT_EQ(link.Com(), 2);
        linkPath = link.Path();
        EXPECT_FALSE(PortLink().Publish(ports, 2, endpoint.DevicePath(), &error));

        Simulator simulator(SimulatorHarness::Fast(), nullptr);
        std::atomic<bool> stop{false};
        std::thread serving([&] { simulator.Run(endpoint, stop); });
        // The tool opens, asks, closes, and does it again: the line survives.
        for (int round = 0; round < 2; ++round) {
            const int fd = ::open(linkPath.c_str(), O_RDWR | O_NOCTTY);
            const Bytes request = WireFrames::ShortRequest(0);
            EXPECT_EQ(::write(fd, request.data(), request.size()),
                      static_cast<ssize_t>(request.size()));
            const auto answer = WireFrames::Parse(ReadAnswer(fd));
            ::close(fd);
            EXPECT_TRUE(answer && answer->m_checksumOk && answer->m_data[0] == 254) << round;
        }
        stop = true;
        serving.join();
    }
    EXPECT_FALSE(std::filesystem::is_symlink(linkPath));
    EXPECT_TRUE(std::filesystem::exists(ports + "/COM1"));
}

} // namespace
