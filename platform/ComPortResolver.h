#pragma once

#include <string>
#include <vector>

// The tool names ports as "COM1" … "COM16", as engineers know them. On Linux
// COM n is, first, a link named COMn in the per-user ports folder (made by
// hand for a real modem, or by the simulated transmitter); otherwise the n-th
// serial device present, USB adapters first.
class ComPortResolver {
public:
    // $CALORA_PORTS_DIR, else $XDG_CONFIG_HOME/Varnel/DORWIN/ports, else
    // ~/.config/Varnel/DORWIN/ports; no trailing slash.
    static std::string PortsFolder();
    // The device for COM n, or "" when there is none.
    static std::string DevicePath(int portNumber);
    // Device names (without /dev/) in COM order: ttyUSB*, then ttyACM*, then
    // ttyS*, each in numeric order; other names are dropped.
    static std::vector<std::string> OrderDevices(std::vector<std::string> names);
};
