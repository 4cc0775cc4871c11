#pragma once
// The language texts of the network ports.
#include "core/Language.h"
#include "core/Text.h"

#include <string>
#include <vector>

constexpr int kTextRefused = 49;         // "%v refused the connection"
constexpr int kTextNoAnswer = 50;        // "%v did not answer within %v s"
constexpr int kTextHostNotFound = 51;    // "%v: host not found"
constexpr int kTextClosed = 52;          // "%v closed the connection"
constexpr int kTextNoComPort = 53;       // "%v does not offer RFC 2217 (COM-PORT-OPTION)"
constexpr int kTextSettingRefused = 54;  // "%v refused %v"
constexpr int kTextSettingSilent = 55;   // "%v did not answer %v"
constexpr int kTextNotAnAddress = 56;    // "%v is not a network port address: ..."
constexpr int kTextLineSet = 57;         // trace: "%v: line set: %v"
constexpr int kTextControlSilent = 58;   // trace: "%v: %v was not answered"
constexpr int kTextNetUnreachable = 59;  // "%v: the network is unreachable"
constexpr int kTextHostUnreachable = 60; // "%v: no route to the host"
constexpr int kTextNoNameServer = 75;    // "%v: the name server did not answer"
constexpr int kTextClosedAtOnce = 76;    // "%v closed the connection at once: ... in use ...?"
constexpr int kTextNotRfc2217 = 77;      // "%v answered, but not as an RFC 2217 server"
constexpr int kTextConnectFailed = 78;   // "%v: the connection failed: %v"

// Language text `number` with the values filled in.
inline std::string netText(int number, const std::vector<std::string>& values) {
    return formatMsg(langText(number), values);
}
