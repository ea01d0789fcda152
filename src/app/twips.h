#pragma once

namespace tv {

// Layouts are given in twips; 15 twips make a pixel at 96 dpi and Qt's
// high-DPI scaling takes it from there.
constexpr int twips(int t) { return (t + 7) / 15; }

}  // namespace tv
