#pragma once

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
    SimulatorProcess(int com, std::vector<std::string> options, const std::string& errorPath = {})
        : m_nCom(com) {
        m_Folder = std::filesystem::temp_directory_path() /
                   ("calora_e2e_" + std::to_string(::getpid()) + "_" + std::to_string(com));
        std::filesystem::remove_all(m_Folder);
        std::filesystem::create_directories(m_Folder);
        ::setenv("CALORA_PORTS_DIR", m_Folder.c_str(), 1);

        std::vector<std::string> args{CALORA_SIM_PATH, "--com", std::to_string(com)};
        args.insert(args.end(), options.begin(), options.end());
        int out[2];
        if (::pipe(out) != 0) {
            return;
        }
        m_nPid = ::fork();
        if (m_nPid == 0) {
            ::dup2(out[1], STDOUT_FILENO);
            const int error = errorPath.empty()
                                  ? -1
                                  : ::open(errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (error >= 0) {
                ::dup2(error, STDERR_FILENO);
                ::close(error);
            }
            ::close(out[0]);
            ::close(out[1]);
            std::vector<char*> argv;
            for (auto& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]);
        m_bReady = WaitForReadyLine(out[0]);
        ::close(out[0]);
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

    // The simulator prints its ready line within moments; a read that ends
    // (the process died) fails the wait.
    bool WaitForReadyLine(int fd) const {
        const std::string expected = "COM" + std::to_string(m_nCom) + " ready on ";
        std::string text;
        char c = 0;
        while (text.size() < 512 && ::read(fd, &c, 1) == 1 && c != '\n') {
            text.push_back(c);
        }
        return c == '\n' && text.starts_with(expected);
    }

    int m_nCom;
    pid_t m_nPid = -1;
    bool m_bReady = false;
    std::filesystem::path m_Folder;
};
