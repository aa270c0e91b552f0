#pragma once

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// The simulated transmitter as a separate process on its own pseudo-terminal,
// published as COMn in a private ports folder. Tests, benchmarks and the soak
// start it this way.
class SimulatorProcess {
public:
    // With errorPath, the simulator's standard error (its --log) goes to that
    // file.
    SimulatorProcess(int com, std::vector<std::string> options, const std::string& errorPath = {}) {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("calora_e2e_" + std::to_string(::getpid()) + "_" + std::to_string(com));
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder);
        ::setenv("CALORA_PORTS_DIR", m_Folder.c_str(), 1);

        options.insert(options.begin(), {CALORA_SIM_PATH, "--com", std::to_string(com)});
        std::vector<char*> argv(options.size() + 1); // ends in a null pointer
        std::ranges::transform(options, argv.begin(), [](std::string& arg) { return arg.data(); });
        // Close-on-exec: the simulator keeps only what dup2 hands it.
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        m_nPid = ::fork();
        if (m_nPid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            if (!errorPath.empty()) {
                const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
                ::dup2(::open(errorPath.c_str(), flags, 0644), STDERR_FILENO);
            }
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        // The simulator prints its ready line within moments; a read that
        // ends (the process died) fails the wait.
        std::string line;
        char c = 0;
        while (line.size() < 512 && ::read(out[0], &c, 1) == 1 && c != '\n') {
            line.push_back(c);
        }
        ::close(out[0]);
        m_bReady = c == '\n' && line.starts_with("COM" + std::to_string(com) + " ready on ");
    }

    ~SimulatorProcess() {
        Stop(SIGTERM);
        ::unsetenv("CALORA_PORTS_DIR");
        std::filesystem::remove_all(m_Folder);
    }

    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    bool Ready() const { return m_bReady; }

    // Ends the simulator at once, as a modem pulled from its socket: no
    // tidying up, its COM link is left dangling.
    void Unplug() { Stop(SIGKILL); }

private:
    void Stop(int signal) {
        if (m_nPid > 0) {
            ::kill(m_nPid, signal);
            ::waitpid(m_nPid, nullptr, 0);
            m_nPid = -1;
        }
    }

    pid_t m_nPid = -1;
    bool m_bReady = false;
    std::filesystem::path m_Folder;
};
