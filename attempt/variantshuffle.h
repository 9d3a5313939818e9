#pragma once

// The variant shuffle: the correct variant is shown at a drawn place, and the
// variant stored there takes the correct one's place; the others stay. The
// exchange is its own inverse, so the same function maps a shown place to
// the stored variant and a stored variant to its shown place.
namespace VariantShuffle {

// `place` is where the correct variant (stored as `correct`) was shown.
constexpr int exchanged(int number, int correct, int place)
{
    if (number == place)
        return correct;
    if (number == correct)
        return place;
    return number;
}

} // namespace VariantShuffle
