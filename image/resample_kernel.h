// The cubic B-spline kernel of the picture resampler, in single precision.
#pragma once

namespace orbilux {

inline float BSplinePositive(float u) {
    return u > 0.0f ? u : 0.0f;
}

// K(t) = (P(t+2)^3 - 4 P(t+1)^3 + 6 P(t)^3 - 4 P(t-1)^3) / 6, zero beyond 2,
// with P(u) = max(u, 0); the sixth is the single-precision constant.
inline float BSplineKernel(float t) {
    if (t > 2.0f) return 0.0f;
    const float a = BSplinePositive(t + 2.0f);
    const float b = BSplinePositive(t + 1.0f);
    const float c = BSplinePositive(t);
    const float d = BSplinePositive(t - 1.0f);
    return 0.16666667f * (a * a * a - 4.0f * (b * b * b) + 6.0f * (c * c * c) - 4.0f * (d * d * d));
}

}  // namespace orbilux
