#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <vector>

namespace kirvan {

// The AES block cipher (128, 192 and 256-bit keys) in CBC mode with a zero initial vector, as
// alarm receivers encrypt their messages. The receivers' texts are padded to whole blocks by the
// sender, so no padding is added or removed here.
class Aes {
public:
    static constexpr int BlockSize = 16;

    // A key of 16, 24 or 32 bytes; `valid()` is false for any other length.
    explicit Aes(QByteArrayView key);
    bool valid() const { return rounds_ != 0; }

    // `data` is a whole number of blocks.
    QByteArray encryptCbc(QByteArrayView data) const;
    QByteArray decryptCbc(QByteArrayView data) const;

private:
    using Block = std::array<std::uint8_t, BlockSize>;
    void encryptBlock(Block& block) const;
    void decryptBlock(Block& block) const;
    void addRoundKey(Block& block, int round) const;

    int rounds_ = 0;
    std::vector<std::uint8_t> roundKeys_;
};

} // namespace kirvan
