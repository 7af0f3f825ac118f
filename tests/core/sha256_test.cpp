// SHA-256 against the published test vectors (FIPS 180-4 examples and the
// million-'a' message), fed whole and in uneven pieces.

#include "report/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace sonorel {
namespace {

TEST(Sha256, GivesThePublishedDigestsInAnyPieces) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the padding needs a second block.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.size());
        const auto bytes = std::as_bytes(std::span(c.message.data(), c.message.size()));
        Sha256 whole;
        whole.Add(bytes);
        EXPECT_EQ(whole.HexDigest(), c.digest);
        Sha256 pieces;  // 1, 2, 3, ... bytes at a time, across block edges
        for (std::size_t at = 0, n = 1; at < bytes.size(); at += n, ++n)
            pieces.Add(bytes.subspan(at, std::min(n, bytes.size() - at)));
        EXPECT_EQ(pieces.HexDigest(), c.digest);
    }
}

}  // namespace
}  // namespace sonorel
