#pragma once
/// A small 3-vector for tree geometry.
#include <cmath>

/// Three floats with the usual vector operations.
struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
inline float norm(Vec3 a) { return std::sqrt(dot(a, a)); }
/// `a` scaled to length 1; `a` itself when it is (almost) zero.
inline Vec3 normalized(Vec3 a)
{
    const float n = norm(a);
    return n > 1e-12f ? a * (1.0f / n) : a;
}
