#pragma once
// Deterministic noise on a periodic lattice, so that textures made from it
// tile: with period p, noise(x + p, y) == noise(x, y) == noise(x, y + p).
// Values depend only on the seed and the coordinates, never on global state.

#include <cstdint>

// The random points of the 3 x 3 lattice cells around a position.
struct NearbyPoints {
    static constexpr int count = 9;
    float distance[count];
    uint32_t id[count];  // hash of the point's cell
};

class Noise {
public:
    explicit Noise(uint32_t seed) : seed(seed) {}

    // Gradient (Perlin-style) noise in about [-1, 1], period cells per tile.
    float gradient(float x, float y, int period) const;

    // Sum of octaves of gradient noise, each twice the frequency and gain
    // times the amplitude of the one before; normalised to about [-1, 1].
    float fractal(float x, float y, int period, int octaves, float gain = 0.5f) const;

    // One random point per lattice cell, for the cells around (x, y).
    NearbyPoints nearbyPoints(float x, float y, int period) const;

    // A hash of a lattice cell and the seed, spread over 32 bits.
    uint32_t hash(int x, int y) const;
    // The hash mapped to [0, 1).
    float random(int x, int y) const;

private:
    uint32_t seed;
};
