#pragma once
// What the renderers need to know of the connected titrator; the caller fills it
// from the link's identification (or the CLI from its options).
enum class Series { None, QX50x, QX53x };

struct TitratorInfo {
    float firmware = 0; // 0 while no titrator was identified
    Series series = Series::None;
    int deviceType = 0; // 1..4, 31..34
};

// Kinds of titrator: 0 ordinary, 2 and 3 the two Karl Fischer kinds.
inline constexpr int kKindOrdinary = 0;
inline constexpr int kKindKarlFischer = 2;
inline constexpr int kKindKarlFischer2 = 3;
