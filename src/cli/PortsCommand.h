#pragma once
// veltran-cli ports: every port VELTRAN can use, as the settings dialog and the
// Communication menu see them.
#include <iosfwd>

struct PortsOptions {
    bool json = false; // JSON Lines (field names in README)
};

// One line per port number 1..16 (its device or address, and whether it can be
// opened now), then one per USB adapter that no number names yet. Exit 0.
int cmdPorts(const PortsOptions& options, std::ostream& out, std::ostream& err);
