#pragma once
// What the settings dialog's port list offers: the port numbers that can be
// opened now, and the USB adapters that no number names yet and that can be
// opened now, each under the free number the port survey gave it. Choosing an
// adapter (or a network port the user added) stores its [Ports] mapping once
// it has opened, so nobody has to edit config.ini to use it.
#include "link/ComPorts.h"

#include <functional>
#include <string>
#include <vector>

class Host;
class Serial;
struct Settings;

struct PortChoice {
    int number = 0;
    std::string device;      // what the number will mean
    std::string description; // the adapter's name and maker, "" for a plain number
    bool newMapping = false; // the number must be mapped to `device` before it is opened
};

std::vector<PortChoice> portChoices(const PortSurvey& survey);

// The text of a choice in the list: " COM n" and what it stands for.
std::string portChoiceText(const PortChoice& choice);

// OK's port part: opens the choice's port (chooseComPort). A new mapping stays in
// config.ini only when the port opened; otherwise the file is put back as it was.
bool openPortChoice(Serial& serial, Settings& settings, const PortChoice& choice, Host& host);

// The choice for a network port the user added and that answered: the number
// that already names the address, else the first number neither in use nor
// offered among `choices` as a new mapping; number 0 when none is free.
PortChoice networkPortChoice(const std::string& address, const std::vector<PortChoice>& choices,
                             const PortResolver& addressOf, const AddressTest& inUse);
