#pragma once
// A linear RGB colour, channels nominally in [0, 1].

struct Color {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color operator*(Color a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Color mix(Color a, Color b, float t) { return a * (1.0f - t) + b * t; }
