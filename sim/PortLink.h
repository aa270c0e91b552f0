#pragma once

#include <string>

// The COMn symbolic link in the per-user ports folder through which the tool
// finds the simulator like a real modem. The link is removed when the object
// goes, unless someone has replaced it meanwhile.
class PortLink {
public:
    static constexpr int kHighestCom = 16;

    PortLink() = default;
    PortLink(const PortLink&) = delete;
    PortLink& operator=(const PortLink&) = delete;
    ~PortLink() { Remove(); }

    // $CALORA_PORTS_DIR, else $XDG_CONFIG_HOME/Varnel/DORWIN/ports, else
    // ~/.config/Varnel/DORWIN/ports.
    static std::string DefaultFolder();

    // Creates folder if needed and links COM com (1..16) to target; com 0
    // takes the lowest number whose link is missing or points nowhere. A live
    // link or another file of that name is never replaced.
    bool Publish(const std::string& folder, int com, const std::string& target, std::string* error);
    void Remove();

    int Com() const { return m_com; }
    const std::string& Path() const { return m_path; }

private:
    int m_com = 0;
    std::string m_path;
    std::string m_target;
};
