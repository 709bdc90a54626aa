#pragma once
// SHA-256 (FIPS 180-4), for comparing decoded pictures with recorded digests.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

class Sha256 {
public:
    void update(std::span<const std::uint8_t> bytes);
    // Pads and finishes; the object must not be updated afterwards.
    std::array<std::uint8_t, 32> finish();

private:
    void compressBlock();

    std::array<std::uint32_t, 8> state_{0x6a09e667u, 0xbb67ae85u, 0x3c6ef372u, 0xa54ff53au,
                                        0x510e527fu, 0x9b05688cu, 0x1f83d9abu, 0x5be0cd19u};
    std::array<std::uint8_t, 64> block_{};
    std::size_t blockFill_ = 0;
    std::uint64_t totalBytes_ = 0;
};

// Lowercase hex digest of `bytes`.
std::string sha256Hex(std::span<const std::uint8_t> bytes);
