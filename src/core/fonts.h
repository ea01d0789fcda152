#pragma once

namespace tv {

// Maps the faces the layouts are drawn for onto installed CJK faces: the
// fixed-pitch one to faces whose full-width characters are exactly two
// half-width columns.
void installFontSubstitutions();

}  // namespace tv
