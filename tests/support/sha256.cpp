#include "tests/support/sha256.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t RoundConstants[64] = {
    0x428a2f98u, 0x71374491u, 0xb5c0fbcfu, 0xe9b5dba5u, 0x3956c25bu, 0x59f111f1u, 0x923f82a4u, 0xab1c5ed5u,
    0xd807aa98u, 0x12835b01u, 0x243185beu, 0x550c7dc3u, 0x72be5d74u, 0x80deb1feu, 0x9bdc06a7u, 0xc19bf174u,
    0xe49b69c1u, 0xefbe4786u, 0x0fc19dc6u, 0x240ca1ccu, 0x2de92c6fu, 0x4a7484aau, 0x5cb0a9dcu, 0x76f988dau,
    0x983e5152u, 0xa831c66du, 0xb00327c8u, 0xbf597fc7u, 0xc6e00bf3u, 0xd5a79147u, 0x06ca6351u, 0x14292967u,
    0x27b70a85u, 0x2e1b2138u, 0x4d2c6dfcu, 0x53380d13u, 0x650a7354u, 0x766a0abbu, 0x81c2c92eu, 0x92722c85u,
    0xa2bfe8a1u, 0xa81a664bu, 0xc24b8b70u, 0xc76c51a3u, 0xd192e819u, 0xd6990624u, 0xf40e3585u, 0x106aa070u,
    0x19a4c116u, 0x1e376c08u, 0x2748774cu, 0x34b0bcb5u, 0x391c0cb3u, 0x4ed8aa4au, 0x5b9cca4fu, 0x682e6ff3u,
    0x748f82eeu, 0x78a5636fu, 0x84c87814u, 0x8cc70208u, 0x90befffau, 0xa4506cebu, 0xbef9a3f7u, 0xc67178f2u};

}  // namespace

void Sha256::update(std::span<const std::uint8_t> bytes) {
    totalBytes_ += bytes.size();
    // Whole blocks are copied at once: the tests hash pictures of many megabytes.
    while (!bytes.empty()) {
        const std::size_t taken = std::min(bytes.size(), block_.size() - blockFill_);
        std::memcpy(block_.data() + blockFill_, bytes.data(), taken);
        blockFill_ += taken;
        bytes = bytes.subspan(taken);
        if (blockFill_ == block_.size()) {
            compressBlock();
            blockFill_ = 0;
        }
    }
}

std::array<std::uint8_t, 32> Sha256::finish() {
    const std::uint64_t totalBits = totalBytes_ * 8u;
    // A 1 bit, zeros up to 56 bytes into a block, then the 64-bit length.
    block_[blockFill_++] = 0x80;
    if (blockFill_ > 56) {
        while (blockFill_ < 64) block_[blockFill_++] = 0;
        compressBlock();
        blockFill_ = 0;
    }
    while (blockFill_ < 56) block_[blockFill_++] = 0;
    for (int i = 7; i >= 0; --i) block_[blockFill_++] = static_cast<std::uint8_t>(totalBits >> (8 * i));
    compressBlock();
    blockFill_ = 0;

    std::array<std::uint8_t, 32> digest{};
    for (std::size_t i = 0; i < 8; ++i) {
        for (std::size_t b = 0; b < 4; ++b) {
            digest[4 * i + b] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * b));
        }
    }
    return digest;
}

// Plain arrays and expressions rather than helpers: the sanitizer build is
// unoptimised, and a call per rotation made large pictures slow to hash.
void Sha256::compressBlock() {
    std::uint32_t w[64];
    const std::uint8_t* in = block_.data();
    for (int t = 0; t < 16; ++t, in += 4) {
        w[t] = std::uint32_t{in[0]} << 24 | std::uint32_t{in[1]} << 16 | std::uint32_t{in[2]} << 8 | in[3];
    }
    for (int t = 16; t < 64; ++t) {
        const std::uint32_t a = w[t - 15], b = w[t - 2];
        const std::uint32_t s0 = (a >> 7 | a << 25) ^ (a >> 18 | a << 14) ^ (a >> 3);
        const std::uint32_t s1 = (b >> 17 | b << 15) ^ (b >> 19 | b << 13) ^ (b >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    std::uint32_t e = state_[4], f = state_[5], g = state_[6], h = state_[7];
    for (int t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = (e >> 6 | e << 26) ^ (e >> 11 | e << 21) ^ (e >> 25 | e << 7);
        const std::uint32_t temp1 = h + sum1 + ((e & f) ^ (~e & g)) + RoundConstants[t] + w[t];
        const std::uint32_t sum0 = (a >> 2 | a << 30) ^ (a >> 13 | a << 19) ^ (a >> 22 | a << 10);
        const std::uint32_t temp2 = sum0 + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + temp1;
        d = c;
        c = b;
        b = a;
        a = temp1 + temp2;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
    state_[5] += f;
    state_[6] += g;
    state_[7] += h;
}

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    Sha256 hash;
    hash.update(bytes);
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : hash.finish()) {
        hex.push_back(Digits[byte >> 4]);
        hex.push_back(Digits[byte & 15]);
    }
    return hex;
}
