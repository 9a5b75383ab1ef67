#include "transmit/Aes.h"

#include <cstring>

namespace kirvan {

namespace {

constexpr std::uint8_t multiplyByTwo(std::uint8_t x)
{
    return std::uint8_t((x << 1) ^ ((x & 0x80) ? 0x1b : 0));
}

constexpr std::uint8_t multiply(std::uint8_t x, std::uint8_t y)
{
    std::uint8_t product = 0;
    for (; y; y >>= 1, x = multiplyByTwo(x))
        if (y & 1)
            product ^= x;
    return product;
}

// The S-box from its definition: the multiplicative inverse in GF(2^8) and the affine map.
struct Boxes {
    std::array<std::uint8_t, 256> forward{};
    std::array<std::uint8_t, 256> inverse{};
    constexpr Boxes()
    {
        for (int x = 0; x < 256; ++x) {
            std::uint8_t reciprocal = 0;
            for (int y = 1; y < 256 && x != 0; ++y)
                if (multiply(std::uint8_t(x), std::uint8_t(y)) == 1)
                    reciprocal = std::uint8_t(y);
            std::uint8_t s = reciprocal;
            for (int shift = 1; shift <= 4; ++shift)
                s ^= std::uint8_t((reciprocal << shift) | (reciprocal >> (8 - shift)));
            s ^= 0x63;
            forward[std::size_t(x)] = s;
            inverse[s] = std::uint8_t(x);
        }
    }
};

const Boxes& boxes()
{
    static constexpr Boxes table;
    return table;
}

} // namespace

Aes::Aes(QByteArrayView key)
{
    const int words = int(key.size()) / 4;
    if (key.size() != 16 && key.size() != 24 && key.size() != 32)
        return;
    rounds_ = words + 6;
    const int total = 4 * (rounds_ + 1);
    roundKeys_.resize(std::size_t(total) * 4);
    std::memcpy(roundKeys_.data(), key.data(), std::size_t(key.size()));
    std::uint8_t roundConstant = 1;
    for (int i = words; i < total; ++i) {
        std::uint8_t word[4];
        std::memcpy(word, &roundKeys_[std::size_t(i - 1) * 4], 4);
        if (i % words == 0) {
            const std::uint8_t first = word[0];
            word[0] = std::uint8_t(boxes().forward[word[1]] ^ roundConstant);
            word[1] = boxes().forward[word[2]];
            word[2] = boxes().forward[word[3]];
            word[3] = boxes().forward[first];
            roundConstant = multiplyByTwo(roundConstant);
        } else if (words > 6 && i % words == 4) {
            for (std::uint8_t& byte : word)
                byte = boxes().forward[byte];
        }
        for (int j = 0; j < 4; ++j)
            roundKeys_[std::size_t(i) * 4 + std::size_t(j)] = roundKeys_[std::size_t(i - words) * 4 + std::size_t(j)]
                                                              ^ word[j];
    }
}

void Aes::addRoundKey(Block& block, int round) const
{
    for (std::size_t i = 0; i < BlockSize; ++i)
        block[i] ^= roundKeys_[std::size_t(round) * BlockSize + i];
}

void Aes::encryptBlock(Block& block) const
{
    addRoundKey(block, 0);
    for (int round = 1; round <= rounds_; ++round) {
        Block shifted;
        // Bytes go column by column; row r moves r columns to the left.
        for (std::size_t column = 0; column < 4; ++column)
            for (std::size_t row = 0; row < 4; ++row)
                shifted[column * 4 + row] = boxes().forward[block[((column + row) % 4) * 4 + row]];
        if (round != rounds_)
            for (std::size_t column = 0; column < 4; ++column) {
                std::uint8_t* c = &shifted[column * 4];
                const std::uint8_t a0 = c[0], a1 = c[1], a2 = c[2], a3 = c[3];
                c[0] = std::uint8_t(multiply(a0, 2) ^ multiply(a1, 3) ^ a2 ^ a3);
                c[1] = std::uint8_t(a0 ^ multiply(a1, 2) ^ multiply(a2, 3) ^ a3);
                c[2] = std::uint8_t(a0 ^ a1 ^ multiply(a2, 2) ^ multiply(a3, 3));
                c[3] = std::uint8_t(multiply(a0, 3) ^ a1 ^ a2 ^ multiply(a3, 2));
            }
        block = shifted;
        addRoundKey(block, round);
    }
}

void Aes::decryptBlock(Block& block) const
{
    addRoundKey(block, rounds_);
    for (int round = rounds_ - 1; round >= 0; --round) {
        Block shifted;
        for (std::size_t column = 0; column < 4; ++column)
            for (std::size_t row = 0; row < 4; ++row)
                shifted[((column + row) % 4) * 4 + row] = boxes().inverse[block[column * 4 + row]];
        block = shifted;
        addRoundKey(block, round);
        if (round != 0)
            for (std::size_t column = 0; column < 4; ++column) {
                std::uint8_t* c = &block[column * 4];
                const std::uint8_t a0 = c[0], a1 = c[1], a2 = c[2], a3 = c[3];
                c[0] = std::uint8_t(multiply(a0, 14) ^ multiply(a1, 11) ^ multiply(a2, 13) ^ multiply(a3, 9));
                c[1] = std::uint8_t(multiply(a0, 9) ^ multiply(a1, 14) ^ multiply(a2, 11) ^ multiply(a3, 13));
                c[2] = std::uint8_t(multiply(a0, 13) ^ multiply(a1, 9) ^ multiply(a2, 14) ^ multiply(a3, 11));
                c[3] = std::uint8_t(multiply(a0, 11) ^ multiply(a1, 13) ^ multiply(a2, 9) ^ multiply(a3, 14));
            }
    }
}

QByteArray Aes::encryptCbc(QByteArrayView data) const
{
    QByteArray out(data.size(), Qt::Uninitialized);
    Block chain{};
    for (qsizetype at = 0; at + BlockSize <= data.size(); at += BlockSize) {
        Block block;
        for (std::size_t i = 0; i < BlockSize; ++i)
            block[i] = std::uint8_t(data[at + qsizetype(i)]) ^ chain[i];
        encryptBlock(block);
        std::memcpy(out.data() + at, block.data(), BlockSize);
        chain = block;
    }
    return out;
}

QByteArray Aes::decryptCbc(QByteArrayView data) const
{
    QByteArray out(data.size(), Qt::Uninitialized);
    Block chain{};
    for (qsizetype at = 0; at + BlockSize <= data.size(); at += BlockSize) {
        Block block;
        std::memcpy(block.data(), data.data() + at, BlockSize);
        const Block cipher = block;
        decryptBlock(block);
        for (std::size_t i = 0; i < BlockSize; ++i)
            out[at + qsizetype(i)] = char(block[i] ^ chain[i]);
        chain = cipher;
    }
    return out;
}

} // namespace kirvan
