#include "sim/PtyEndpoint.h"
#include "sim/PortLink.h"

#include "tests/sim/SimulatorHarness.h"
#include "tests/sim/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads from fd until a whole answer has arrived or two seconds have passed.
Bytes ReadAnswer(int fd) {
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < deadline) {
        const auto parsed = WireFrames::Parse(received);
        if (parsed && parsed->m_length == received.size()) {
            break;
        }
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, 50) > 0) {
            std::array<std::uint8_t, 256> chunk{};
            const ssize_t count = ::read(fd, chunk.data(), chunk.size());
            if (count > 0) {
                received.insert(received.end(), chunk.begin(), chunk.begin() + count);
            }
        }
    }
    return received;
}

TEST(PtyEndpoint, PublishesAPortThatAnswersAndRemovesItAtTheEnd) {
    TempFolder folder;
    ASSERT_EQ(::setenv("CALORA_PORTS_DIR", (folder.Path() + "/ports").c_str(), 1), 0);
    const std::string ports = PortLink::DefaultFolder();
    ::unsetenv("CALORA_PORTS_DIR");
    ASSERT_EQ(ports, folder.Path() + "/ports");

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
        EXPECT_EQ(std::filesystem::read_symlink(linkPath), endpoint.DevicePath());
        PortLink taken;
        EXPECT_FALSE(taken.Publish(ports, 2, endpoint.DevicePath(), &error));

        Simulator simulator(SimulatorHarness::Fast(), nullptr);
        std::atomic<bool> stop{false};
        std::thread serving([&] { simulator.Run(endpoint, stop); });

        // The tool opens, asks, closes, and does it again: the line survives.
        for (int round = 0; round < 2; ++round) {
            const int fd = ::open(linkPath.c_str(), O_RDWR | O_NOCTTY);
            ASSERT_GE(fd, 0);
            const Bytes request = WireFrames::ShortRequest(0);
            ASSERT_EQ(::write(fd, request.data(), request.size()),
                      static_cast<ssize_t>(request.size()));
            const Bytes received = ReadAnswer(fd);
            ::close(fd);
            const auto answer = WireFrames::Parse(received);
            ASSERT_TRUE(answer) << "round " << round;
            EXPECT_TRUE(answer->m_checksumOk);
            EXPECT_EQ(answer->m_byteCount, 14);
            EXPECT_EQ(answer->m_data[0], 254);
        }
        stop = true;
        serving.join();
    }
    EXPECT_FALSE(std::filesystem::is_symlink(linkPath));
    EXPECT_TRUE(std::filesystem::exists(ports + "/COM1"));
}

} // namespace
