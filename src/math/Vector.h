#pragma once
// Single-precision vectors. Square roots are taken in double on the float
// value and rounded back, so results are the same on every compiler.

#include <cmath>

struct Vector2 {
    float x = 0.0f, y = 0.0f;
};

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vector3 operator*(const Vector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
inline Vector2 operator-(const Vector2& a, const Vector2& b) { return {a.x - b.x, a.y - b.y}; }

inline float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline float length(const Vector3& v) { return static_cast<float>(std::sqrt(static_cast<double>(dot(v, v)))); }

// Multiplies by the reciprocal of the length, as the matrix code expects.
inline Vector3 normalize(const Vector3& v) { return v * (1.0f / length(v)); }
