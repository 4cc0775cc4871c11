#pragma once
// veltran-cli commands that talk to the titrator.
#include <iosfwd>

struct LinkOptions;

// identify: connects like the Connect button and prints one line
// "model=QX502 typeCode=2 titType=1 modelCode=QX502C series=QX50x firmware=3.00"
// (json: one JSON object with those fields).
// Exit 0; 3 with the status text when the link does not come up; 4 when the
// titrator answers but is not identified or its firmware is refused.
int cmdIdentify(const LinkOptions& options, bool json, std::ostream& out, std::ostream& err);
