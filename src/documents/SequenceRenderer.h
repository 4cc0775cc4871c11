#pragma once
// Sample-changer sequences (seq????.mtd) as fixed-width text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct SequenceRecord {
    struct Addition { // reagent additions 1 and 2
        std::int16_t pump = 0, time = 0, height = 0, wait = 0, waitTime = 0, stirSpeed = 0,
                     positionHeight = 0;
    };
    struct Rinse { // rinse blocks 1 to 3
        std::int16_t type = 0, beaker = 0, time = 0, height = 0, waitTime = 0, stir = 0,
                     stirSpeed = 0, pump = 0;
    };
    std::string nam, sid;
    std::int64_t tsp = 0;
    std::string rev, mid;
    std::string mna; // ", " and the method name when there is one
    std::string lmid;
    std::string lmna; // like mna
    std::int16_t mbb = 0, pwf = 0, thh = 0, tht = 0, stt = 0, sct = 0, stb = 0;
    std::string inf;
    std::int16_t bhg = 0, slp = 0, slt = 0, slh = 0;
    std::array<Addition, 2> additions{};
    std::int16_t afm = 0, afp = 0, aft = 0, afh = 0, afsp = 0, afst = 0;
    std::array<Rinse, 3> rinses{};
};

SequenceRecord readSequenceRecord(std::string_view text);

std::string renderSequence(const std::string& text, int width, int indent);
