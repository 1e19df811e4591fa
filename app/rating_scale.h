#pragma once
// Ratings run the other way round from stars: the scale is spelt out wherever
// a rating is shown or asked for.

namespace snapcrate {

inline constexpr char kRatingScaleText[] = "1 = best \u2026 6 = worst";

}  // namespace snapcrate
