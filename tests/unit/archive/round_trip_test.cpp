// Random trees packed plain and compressed (with several escape bytes) extract to the same
// bytes and times; the encoder's output decodes to exactly its input.
#include <gtest/gtest.h>

#include <random>

#include "archive/archive_writer.h"
#include "archive/arpk_encoder.h"
#include "archive_fixture.h"

namespace {

using archive_test::ArchiveTest;

// Text, random bytes, long runs and repeats, so that every kind of token appears.
std::string content(std::mt19937& rng, std::size_t size) {
    static const char* const words[] = {"alpha ", "beta ", "gamma\n", "delta ", "\xFF\xFE "};
    std::string s;
    while (s.size() < size) {
        switch (rng() % 4) {
            case 0: s += words[rng() % 5]; break;
            case 1: s.append(1 + rng() % 600, static_cast<char>(rng())); break;
            case 2:
                for (int i = rng() % 64; i > 0; --i) s.push_back(static_cast<char>(rng()));
                break;
            case 3:
                if (!s.empty()) {
                    std::size_t from = rng() % s.size();
                    s += s.substr(from, rng() % 5000);
                }
                break;
        }
    }
    s.resize(size);
    return s;
}

std::vector<ArchiveEntry> randomTree(std::mt19937& rng) {
    std::vector<ArchiveEntry> entries;
    int files = 1 + rng() % 12;
    for (int i = 0; i < files; ++i) {
        ArchiveEntry e;
        int depth = rng() % 3;
        for (int d = 0; d < depth; ++d) e.name += "d" + std::to_string(rng() % 3) + "\\";
        e.name += "f" + std::to_string(i) + ".dat";
        std::size_t size = rng() % 4 == 0 ? 0 : rng() % (rng() % 2 ? 300 : 120000);
        e.data = content(rng, size);
        e.accessTime = static_cast<std::int32_t>(100000000 + rng() % 1000000000);
        e.modifyTime = static_cast<std::int32_t>(100000000 + rng() % 1000000000);
        entries.push_back(e);
    }
    return entries;
}

TEST_F(ArchiveTest, RandomTreesRoundTrip) {
    std::mt19937 rng(20240611);
    const int escapes[] = {-1, 0, 5, 9, 10, 255};
    for (int round = 0; round < 12; ++round) {
        std::vector<ArchiveEntry> entries = randomTree(rng);
        std::string archive, error;
        ASSERT_TRUE(buildFileArchive(entries, archive, error)) << error;
        ArpkEncoderOptions options;
        options.escape = escapes[round % 6];
        options.best = round % 2 == 1;
        std::string packed = encodeArpk(reinterpret_cast<const unsigned char*>(archive.data()),
                                        archive.size(), options);
        for (const std::string* package : {&archive, &packed}) {
            std::filesystem::remove_all(dir.path() / "out");
            ASSERT_EQ(extract(*package), 0)
                << round << " escape " << options.escape << ": " << lastMessage();
            for (const ArchiveEntry& e : entries) {
                std::string native = e.name;
                for (char& c : native)
                    if (c == '\\') c = '/';
                std::int64_t access = 0, modify = 0;
                ASSERT_TRUE(platform::systemFileSystem().getFileTimes(out() + "/" + native, access,
                                                                      modify));
                EXPECT_EQ(access, e.accessTime) << e.name;
                EXPECT_EQ(modify, e.modifyTime) << e.name;
                EXPECT_TRUE(readOut(native) == e.data) << round << " " << e.name;
            }
        }
    }
}

// Runs of every length next to escape bytes whose value collides with a run or copy code.
TEST(ArpkEncoder, CodesNeverCollideWithTheEscape) {
    // The escape values that are also copy codes, the run codes at both ends, and others.
    for (int escape : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 64, 128, 200, 254, 255}) {
        std::string data;
        for (int n = 1; n < 260; n += 7) data += std::string(n, static_cast<char>(n));
        data += data.substr(3, 300) + std::string(70000, '\0') + data.substr(0, 2000);
        data.push_back(static_cast<char>(escape));
        ArpkEncoderOptions options;
        options.escape = escape;
        std::string packed =
            encodeArpk(reinterpret_cast<const unsigned char*>(data.data()), data.size(), options);
        ASSERT_EQ(static_cast<unsigned char>(packed[8]), escape);
        // Decode by the token rules, independently of the production decoder.
        std::string out;
        std::size_t i = 9;
        auto next = [&]() -> unsigned {
            return i < packed.size() ? static_cast<unsigned char>(packed[i++]) : 0;
        };
        while (i < packed.size()) {
            unsigned c = next();
            if (c != static_cast<unsigned>(escape)) {
                out.push_back(static_cast<char>(c));
                continue;
            }
            unsigned k = next();
            if (k == c) {
                out.push_back(static_cast<char>(c));
            } else if (k >= 10) {
                out.append(k - 5, static_cast<char>(next()));
            } else {
                std::uint32_t off = 0, len = 0;
                int ob = k % 5 == 0 ? 1 : k % 5, lb = k / 5 + 1;
                for (int b = 0; b < ob; ++b) off |= next() << (8 * b);
                for (int b = 0; b < lb; ++b) len |= next() << (8 * b);
                ASSERT_LE(off + len, out.size()) << escape;
                out += out.substr(off, len);
            }
        }
        ASSERT_TRUE(out == data) << "escape " << escape;
    }
}

TEST(ArpkEncoder, EscapeIsTheLeastFrequentByte) {
    std::string data(1000, 'a');
    for (int v = 0; v < 256; ++v)
        if (v != 'q' && v != 'a') data += std::string(2, static_cast<char>(v));
    data += "q";
    EXPECT_EQ(leastFrequentByte(reinterpret_cast<const unsigned char*>(data.data()), data.size()),
              'q');
    std::string packed =
        encodeArpk(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    EXPECT_EQ(packed[8], 'q');
    EXPECT_LT(packed.size(), data.size());
}

}  // namespace
