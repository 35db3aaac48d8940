// The encoder's parse on crafted inputs: each stream is decoded by the token rules alone,
// checked against the copy rules (no overlap, every source wholly in the decoder's head cache
// or wholly in its window of recent output), and held to the size its cheapest tokens allow,
// by the quick parse and by the closest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "archive/arpk_decoder.h"
#include "archive/arpk_encoder.h"
#include "archive/arpk_format.h"
#include "archive_fixture.h"

namespace {

struct Decoded {
    std::string out;
    std::size_t copies = 0, runs = 0;
    std::vector<std::uint32_t> sources;  // of every copy, in order
    std::string fault;
};

Decoded decodeTokens(const std::string& packed) {
    Decoded r;
    const unsigned e = static_cast<unsigned char>(packed.at(8));
    std::size_t i = 9;
    auto next = [&]() -> unsigned {
        return i < packed.size() ? static_cast<unsigned char>(packed[i++]) : 0;
    };
    while (i < packed.size() && r.fault.empty()) {
        unsigned c = next();
        if (c != e) {
            r.out.push_back(static_cast<char>(c));
            continue;
        }
        unsigned k = next();
        if (k == e) {
            r.out.push_back(static_cast<char>(c));
        } else if (k >= 10) {
            r.out.append(k - 5, static_cast<char>(next()));
            ++r.runs;
        } else {
            std::uint32_t off = 0, len = 0;
            int ob = k % 5 == 0 ? 1 : k % 5, lb = k / 5 + 1;
            for (int b = 0; b < ob; ++b) off |= next() << (8 * b);
            for (int b = 0; b < lb; ++b) len |= next() << (8 * b);
            if (std::uint64_t{off} + len > r.out.size())
                r.fault = "copy past the output";
            else if (off + len > ARPK_HEAD_CACHE &&
                     r.out.size() - off + std::max<std::size_t>(len, ARPK_WINDOW_MARGIN) >
                         ARPK_WINDOW)
                r.fault = "copy from neither the head nor the window";
            else
                r.out += r.out.substr(off, len);
            ++r.copies;
            r.sources.push_back(off);
        }
    }
    return r;
}

std::string randomBytes(std::mt19937& rng, std::size_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
}

struct Case {
    const char* name;
    int escape;
    std::function<std::string(std::mt19937&)> make;
    // The largest stream the cheapest tokens need for this input.
    std::function<std::size_t(const std::string&)> bound;
};

const Case CASES[] = {
    // 40 slices of 20 bytes from the first 256: each copy is four bytes.
    {"head copies", 200,
     [](std::mt19937& rng) {
         std::string head = randomBytes(rng, 250), s = head;
         for (int i = 0; i < 40; ++i) s += head.substr(rng() % 230, 20);
         return s;
     },
     [](const std::string&) { return std::size_t{9 + 250 * 2 + 40 * 4}; }},
    // A repeat of a phrase just past 64 KiB must come from its copy in the first 64 KiB
    // (five bytes), not from the nearer one beyond it (six bytes).
    {"cheaper older source", 7,
     [](std::mt19937& rng) {
         std::string phrase = randomBytes(rng, 30);
         std::string s = randomBytes(rng, 1000) + phrase + randomBytes(rng, 70000);
         for (int i = 0; i < 100; ++i) s += phrase + randomBytes(rng, 1);
         return s;
     },
     [](const std::string& s) {
         std::size_t escapes = 0;
         for (char c : s) escapes += static_cast<unsigned char>(c) == 7;
         return 9 + 71030 + escapes + 30 + 6 + 100 * (5 + 2);
     }},
    // Runs of every length around the escape's own run code, then the escape in a run.
    {"runs beside the escape", 15,
     [](std::mt19937&) {
         std::string s;
         for (int n = 1; n < 300; ++n) s += std::string(n, static_cast<char>('a' + n % 20)) + "|";
         return s + std::string(100, '\x0F');
     },
     [](const std::string&) {
         std::size_t total = 9 + 2 * 3 + 1;  // the escape run: a run token and a doubled E
         for (int n = 1; n < 300; ++n) total += 1 + (n < 5 ? n : n <= 250 ? 3 : 6);
         return total + 100;
     }},
    // Past the cached head, repeats within the window are copied, short ones too.
    {"window copies", 255,
     [](std::mt19937& rng) {
         std::string s = randomBytes(rng, ARPK_HEAD_CACHE + 200000);
         s += s.substr(ARPK_HEAD_CACHE + 1000, 5000) + s.substr(ARPK_HEAD_CACHE + 9000, 20);
         return s;
     },
     [](const std::string& s) {
         std::size_t escapes = 0;
         for (char c : s) escapes += static_cast<unsigned char>(c) == 255;
         return 9 + ARPK_HEAD_CACHE + 200000 + escapes + 7 + 6;
     }},
};

TEST(ArpkParse, CraftedInputsDecodeExactlyAndCheaply) {
    for (const Case& c : CASES)
        for (bool best : {false, true}) {
            SCOPED_TRACE(best ? "closest parse" : "quick parse");
            std::mt19937 rng(42);
            std::string data = c.make(rng);
            ArpkEncoderOptions options;
            options.escape = c.escape;
            options.best = best;
            std::string packed = encodeArpk(reinterpret_cast<const unsigned char*>(data.data()),
                                            data.size(), options);
            Decoded d = decodeTokens(packed);
            ASSERT_EQ(d.fault, "") << c.name;
            ASSERT_TRUE(d.out == data) << c.name;
            // The quick parse may miss a cheaper split; an eighth more is its allowance.
            std::size_t bound = c.bound(data);
            EXPECT_LE(packed.size(), best ? bound : bound + bound / 8) << c.name;
            EXPECT_GT(d.copies + d.runs, 0u) << c.name;
        }
}

// The closest parse keeps copies near: of equally cheap sources it takes the nearest, and a
// copy from more than 1 MiB back only when it saves two bytes against literals.
TEST(ArpkParse, CopiesStayNearUnlessFarOnesSaveEnough) {
    constexpr std::size_t NEAR = 1u << 20;
    const std::size_t NONE = 0;
    struct Row {
        const char* what;
        std::size_t phrase, far;  // the phrase's length, and where its first copy lies
        bool nearToo;             // a second copy within 1 MiB of the end
        std::size_t expected;     // the source of the last copy (NONE: no copy, literals)
    } rows[] = {
        {"equally cheap: the nearer", 40, 100000, true, 1},
        {"far, two-byte offset, longer: the cheaper", 40, 1000, true, 1000},
        {"only far, saving two bytes", 8, 100000, false, 100000},
        {"only far, saving one byte", 7, 100000, false, NONE},
        {"near, saving one byte", 7, 100000, true, 1},
    };
    for (const Row& row : rows) {
        std::mt19937 rng(7);
        std::string phrase = randomBytes(rng, row.phrase);
        std::string data = randomBytes(rng, NEAR + 200000);
        const std::size_t near = data.size() - 1000;
        data.replace(row.far, row.phrase, phrase);
        if (row.nearToo) data.replace(near, row.phrase, phrase);
        // The far copy one byte longer where the near one competes: the cheaper offset wins.
        if (row.far == 1000) data[row.far + row.phrase] = 'x', data[near + row.phrase] = 'y';
        data += phrase + (row.far == 1000 ? "x" : "");
        ArpkEncoderOptions options;
        options.best = true;
        options.escape = 0;
        std::string packed =
            encodeArpk(reinterpret_cast<const unsigned char*>(data.data()), data.size(), options);
        Decoded d = decodeTokens(packed);
        ASSERT_TRUE(d.fault.empty() && d.out == data) << row.what << ": " << d.fault;
        const std::size_t expected = row.expected == 1 ? near : row.expected;
        // Random data repeats no four bytes by chance here: any copy is the phrase's.
        if (expected == NONE)
            EXPECT_TRUE(d.sources.empty()) << row.what;
        else
            EXPECT_EQ(d.sources.empty() ? NONE : d.sources.back(), expected) << row.what;
    }
}

// Where the parses of a large input split it: the end of the head cache, then every further
// 8 MiB (the closest parse shares the rest out evenly instead: at this size in halves).
constexpr std::size_t FIRST_BORDER = ARPK_HEAD_CACHE, SECOND_BORDER = 2 * ARPK_HEAD_CACHE;

// A periodic filling (cheap to parse) with random stretches around both borders, each holding
// a phrase straddling the border whose source lies before it, a long run, and a phrase
// repeated past the border.
std::string borderInput(std::size_t size) {
    std::mt19937 rng(33);
    const std::string period = randomBytes(rng, 50000);
    std::string s;
    while (s.size() < size) s += period;
    s.resize(size);
    for (std::size_t border : {FIRST_BORDER, SECOND_BORDER}) {
        if (border - 40000 >= size) continue;
        std::string noise = randomBytes(rng, 80000);
        s.replace(border - 40000, std::min<std::size_t>(80000, size - (border - 40000)), noise, 0,
                  std::min<std::size_t>(80000, size - (border - 40000)));
        auto put = [&](std::size_t at, const std::string& bytes) {
            if (at < size) s.replace(at, std::min(bytes.size(), size - at), bytes, 0, size - at);
        };
        put(border - 100, s.substr(border - 30000, 200));
        put(border + 400, std::string(1000, 'r'));
        put(border + 2000, s.substr(border - 20000, 300));
    }
    return s;
}

class ArpkBlocks : public archive_test::ArchiveTest {
protected:
    std::string decoded(const std::string& packed) {
        ArchiveContext context(fake.system());
        const int r = unpackArpk(writePackage(packed), path("temp.arh"), context);
        EXPECT_EQ(r, 0) << lastMessage();
        return testing_support::readFile(dir.path() / "temp.arh");
    }
};

// Inputs ending on either side of each border, by both parses: the decoder gives them back
// whole, every copy follows its rules, and the repeats past a border are copies from before it.
TEST_F(ArpkBlocks, BordersRoundTripAndCopiesCrossThem) {
    const std::size_t sizes[] = {0,
                                 1,
                                 FIRST_BORDER - 1,
                                 FIRST_BORDER,
                                 FIRST_BORDER + 1,
                                 FIRST_BORDER + 20000,
                                 SECOND_BORDER + 1};
    const std::string whole = borderInput(SECOND_BORDER + 1);
    for (std::size_t size : sizes)
        for (bool best : {false, true}) {
            SCOPED_TRACE(std::to_string(size) + (best ? " closest" : " quick"));
            const std::string data = whole.substr(0, size);
            ArpkEncoderOptions options;
            options.best = best;
            const std::string packed = encodeArpk(
                reinterpret_cast<const unsigned char*>(data.data()), data.size(), options);
            ASSERT_TRUE(decoded(packed) == data);
            Decoded d = decodeTokens(packed);
            ASSERT_EQ(d.fault, "");
            ASSERT_TRUE(d.out == data);
            for (std::size_t border : {FIRST_BORDER, SECOND_BORDER}) {
                if (size < border + 2300) continue;
                // The repeated phrase comes from its first place, the straddling one from its
                // source on both sides of the border.
                auto from = [&](std::size_t lo, std::size_t hi) {
                    return std::count_if(d.sources.begin(), d.sources.end(),
                                         [&](std::uint32_t src) { return src >= lo && src < hi; });
                };
                EXPECT_GE(from(border - 20000, border - 19700), 1) << border;
                EXPECT_GE(from(border - 30000, border - 29800), 1) << border;
            }
            // Literals for the random stretches, a few bytes for the rest.
            std::size_t random = std::min<std::size_t>(size, 50000);
            for (std::size_t border : {FIRST_BORDER, SECOND_BORDER})
                if (border - 40000 < size)
                    random += std::min<std::size_t>(80000, size - (border - 40000));
            EXPECT_LE(packed.size(), 9 + random + random / 100 + size / 400 + 64);
        }
}

// The blocks are parsed on several threads; the bytes do not depend on their number or timing.
TEST(ArpkBlockThreads, AnyNumberOfThreadsGivesTheSameBytes) {
    const std::string whole = borderInput(SECOND_BORDER + 30000);
    struct Row {
        const char* what;
        bool best;
        std::size_t size;
        std::vector<unsigned> threads;  // besides one per core
    } rows[] = {
        {"quick", false, whole.size(), {0, 1, 3}},
        // The closest parse takes long: two other counts, one of them odd (its head's trees
        // are walked by all threads, the buckets shared out among them).
        {"closest", true, whole.size(), {1, 3}},
        {"closest, the head alone", true, 2u << 20, {1, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto pack = [&](unsigned threads) {
            ArpkEncoderOptions options;
            options.best = row.best;
            options.threads = threads;
            return encodeArpk(reinterpret_cast<const unsigned char*>(whole.data()), row.size,
                              options);
        };
        const std::string first = pack(0);
        for (unsigned threads : row.threads) EXPECT_TRUE(pack(threads) == first) << threads;
    }
}

}  // namespace
