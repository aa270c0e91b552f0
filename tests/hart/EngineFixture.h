#pragma once

#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "hart/SequenceDisplay.h"
#include "platform/LanguageText.h"
#include "platform/PromptService.h"
#include "tests/hart/AnswerFrames.h"
#include "tests/hart/FakeLink.h"
#include "tests/hart/VirtualClock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

// Records what would have been shown in message boxes.
class RecordingPrompt : public PromptService {
public:
    struct Shown {
        std::string text, caption;
        Icon icon;
    };
    RecordingPrompt() { Install(this); }
    ~RecordingPrompt() override { Install(nullptr); }
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
        m_Shown.push_back({text, caption, icon});
    }
    std::vector<Shown> m_Shown;
};

// Records progress and status as the main window would show them.
class RecordingDisplay : public SequenceDisplay {
public:
    void ShowProgress(bool finished) override { m_Progress.push_back(finished); }
    void SetStatusText(int pane, const std::string& text) override {
        m_Status.push_back(std::to_string(pane) + ":" + text);
    }
    std::vector<bool> m_Progress;
    std::vector<std::string> m_Status;
};

// A protocol object on a fake line in virtual time, with a language file that
// has the sequence layer's texts and a main window that records progress.
class EngineFixture : public ::testing::Test {
protected:
    struct Completion {
        std::uint64_t time;
        int success;
        std::uint8_t command;
        bool operator==(const Completion&) const = default;
        friend std::ostream& operator<<(std::ostream& out, const Completion& c) {
            return out << c.time << " ms: success " << c.success << ", command " << int(c.command);
        }
    };
    using Completions = std::vector<Completion>;

    void SetUp() override {
        // One file per process and test: CTest runs test processes side by side.
        m_LanguageFile = ::testing::TempDir() + "engine_test_lang_" + std::to_string(::getpid()) +
                         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() +
                         ".ini";
        std::ofstream(m_LanguageFile) << "[String]\nstrBusy=Busy\nstrPortFail=Port failed\n"
                                         "strCommunication=Communicating\nstrOpOK=Done\n"
                                         "strOpFail=Failed\nstrCommFail=No answer\n";
        CurrentLanguageFile = m_LanguageFile;
        BusyFlag = false;
        CancelFlag = false;
        g_pMainDialog = &m_Display;
        m_Protocol.SetPortNumber(1);
        m_Protocol.SetLinkOpener(
            [this](int port, SerialLink::BytesCallback onBytes) -> std::unique_ptr<SerialLink> {
                m_OpenedPorts.push_back(port);
                auto link = m_bRefuseOpen ? nullptr
                                          : std::make_unique<FakeLink>(m_Clock, std::move(onBytes));
                m_pLink = link.get();
                return link;
            });
    }

    void TearDown() override {
        g_pMainDialog = nullptr;
        CurrentLanguageFile.clear();
        std::remove(m_LanguageFile.c_str());
    }

    static void Record(void* userData, int success, std::uint8_t command) {
        auto* self = static_cast<EngineFixture*>(userData);
        self->m_Completions.push_back({self->m_Clock.Now(), success, command});
    }

    void Start(std::uint8_t command) {
        ASSERT_TRUE(m_Protocol.EnsureOpen());
        m_Protocol.StartTransaction(this, &EngineFixture::Record, command);
    }

    // Answers every write of the given command with the given frame after delay ms.
    void AnswerWith(std::vector<std::uint8_t> answer, unsigned delay) {
        m_pLink->m_OnWrite = [this, answer, delay](const std::vector<std::uint8_t>&, std::size_t) {
            m_pLink->Receive(answer, delay);
        };
    }

    static std::vector<std::uint8_t> PvAnswer(float pv, std::uint8_t responseCode = 0) {
        return MakeAnswer({.data = Join({{32}, Float(pv)}), .responseCode = responseCode});
    }

    VirtualClock m_Clock;
    RecordingPrompt m_Prompt;
    RecordingDisplay m_Display;
    HartProtocol m_Protocol;
    FakeLink* m_pLink = nullptr; // owned by m_Protocol
    bool m_bRefuseOpen = false;
    std::vector<int> m_OpenedPorts;
    std::vector<Completion> m_Completions;
    std::string m_LanguageFile;
};
