#pragma once
// The PC pane's listing: the files of one folder that suit the category and
// the connected titrator, each with a one-line summary read from the file.
#include "app/PaneLine.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct TitratorIdentity;

struct PcListingRequest {
    std::filesystem::path folder;
    int fileType = 4;
    std::uint8_t paneFlags = 0;                 // the show-all and show-CSV bits matter here
    const TitratorIdentity* titrator = nullptr; // null: no titrator connected
};

struct PcListing {
    std::vector<PaneLine> lines;
    int hidden = 0;    // files of the mask that the model filter left out
    std::string error; // why the folder or a filter could not be used; "" when all went well
};

// showFiles: what the PC pane shows for the request. Each file has its size;
// its date is the one it carries, else its modification time.
PcListing listPcPane(const PcListingRequest& request);

// The name of each file of the folder matching any of the masks, once each,
// sorted without regard to case. Hidden files are left out.
std::vector<std::string> matchingFiles(const std::filesystem::path& folder,
                                       const std::vector<std::string>& masks, std::string& error);
