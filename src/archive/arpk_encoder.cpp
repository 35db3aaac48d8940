// Writes the tokens of the parse (archive/arpk_parser.cpp) with the chosen escape byte; a
// large input is parsed in blocks on every core.
#include "archive/arpk_encoder.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "archive/arpk_format.h"
#include "archive/arpk_match_finder.h"
#include "archive/arpk_parser.h"
#include "archive/arpk_quick_finder.h"
#include "archive/byte_reader.h"

namespace {

constexpr std::size_t PROGRESS_STEP = std::size_t{1} << 16;
constexpr int BEST_DEPTH = 32;
// Past the head cache both parses go in blocks of this size, each with a window of its own
// that first takes in some bytes before the block: copies reach back that far across
// its start (the closest parse's also into the whole head, shared). Fixed sizes keep the output the
// same whatever the number of threads.
constexpr std::size_t BLOCK = ARPK_HEAD_CACHE;
constexpr std::size_t BLOCK_REACH = 1u << 20;
// Each block's quick finder first takes in the half of the window nearest the block (the
// head's chains are shared): the farther half found copies for some 0.01 % of the packages
// and cost a sixth of the block's insertions.
constexpr std::size_t QUICK_REACH = ARPK_WINDOW / 2;

// Below this size the closest parse walks its trees on one thread.
constexpr std::size_t SHARED_WALKS_MIN = 1u << 20;

std::size_t coresFor(const ArpkEncoderOptions& options) {
    return std::max(1u, options.threads ? options.threads : std::thread::hardware_concurrency());
}

// Appends the tokens of steps from pos on; returns the position after them.
class TokenWriter {
public:
    TokenWriter(const unsigned char* data, int escape, std::string& out, std::size_t pos)
        : d_(data), e_(escape), out_(out), pos_(pos) {}
    void operator()(const ArpkStep& st) {
        if (st.kind == ArpkStep::LITERAL) {
            // Up to each escape byte at a time; the escape is doubled.
            const unsigned char* p = d_ + pos_;
            const unsigned char* const end = p + st.length;
            while (p < end) {
                const void* e = std::memchr(p, e_, static_cast<std::size_t>(end - p));
                const unsigned char* stop = e ? static_cast<const unsigned char*>(e) + 1 : end;
                out_.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(stop - p));
                if (e) out_.push_back(static_cast<char>(e_));
                p = stop;
            }
        } else if (st.kind == ArpkStep::RUN) {
            const char token[3] = {static_cast<char>(e_),
                                   static_cast<char>(st.length + ARPK_RUN_BIAS),
                                   static_cast<char>(d_[pos_])};
            out_.append(token, 3);
        } else {
            int k = 0;
            arpkCopyCode(e_, st.src, st.length, k);
            char token[8] = {static_cast<char>(e_), static_cast<char>(k)};
            std::size_t n = 2;
            for (int i = 0; i < arpkOffsetBytes(k); ++i)
                token[n++] = static_cast<char>(st.src >> (8 * i));
            for (int i = 0; i < arpkLengthBytes(k); ++i)
                token[n++] = static_cast<char>(st.length >> (8 * i));
            out_.append(token, n);
        }
        pos_ += st.length;
    }
    std::size_t pos() const { return pos_; }

private:
    const unsigned char* d_;
    int e_;
    std::string& out_;
    std::size_t pos_;
};

// The blocks' tokens, parsed by one worker per core; the caller's thread only reports the
// progress, so the callback runs where it was given.
class BlockParse {
public:
    BlockParse(const unsigned char* data, std::size_t size, int escape, int depth)
        : d_(data),
          n_(size),
          e_(escape),
          depth_(depth),
          block_(blockSize(size, depth)),
          parts_(1 + (size - ARPK_HEAD_CACHE + block_ - 1) / block_),
          headDone_(depth <= 0) {
        if (depth > 0) {
            head_ = std::make_unique<ArpkMatchFinder>(data, ARPK_HEAD_CACHE, depth);
            head_->recordWalks();
        }
    }

    void run(std::string& out, const ArpkEncoderOptions& options) {
        std::vector<std::thread> workers;
        const std::size_t count = std::min<std::size_t>(coresFor(options), parts_.size());
        for (std::size_t w = 0; w < count; ++w)
            workers.emplace_back([this, w, count] { work(w, count); });
        {
            std::unique_lock<std::mutex> lock(mutex_);
            std::size_t reported = 0;
            while (finished_ < workers.size()) {
                changed_.wait(lock);
                if (options.progress && done_ - reported >= PROGRESS_STEP && !failure_) {
                    reported = done_;
                    options.progress(reported, n_);
                }
            }
        }
        for (std::thread& t : workers) t.join();
        if (failure_) std::rethrow_exception(failure_);
        for (const std::string& part : parts_) out += part;
    }

private:
    std::size_t begin(std::size_t b) const {
        return b == 0 ? 0 : std::min(n_, ARPK_HEAD_CACHE + (b - 1) * block_);
    }

    // The closest parse's blocks past the head: one, or an even number of equal ones, at most
    // BLOCK each, so that two workers end together (the head's parse, once its trees are
    // walked, is short). A last block of a few bytes left one worker alone for a whole one.
    static std::size_t blockSize(std::size_t size, int depth) {
        const std::size_t rest = size - ARPK_HEAD_CACHE;
        std::size_t blocks = (rest + BLOCK - 1) / BLOCK;
        if (depth <= 0) return BLOCK;
        blocks += blocks > 1 ? blocks % 2 : 0;
        return (rest + blocks - 1) / blocks;
    }

    // The closest parse first walks the head's trees, each worker its share of their
    // buckets; the head's parse and the later blocks' searches of them wait for all shares.
    void work(std::size_t worker, std::size_t workers) {
        try {
            if (head_) {
                head_->walkPart(worker, workers);
                std::unique_lock<std::mutex> lock(mutex_);
                if (++walked_ == workers) headDone_ = true;
                changed_.notify_all();
            }
            for (std::size_t b; (b = next_++) < parts_.size() && !failed_;) parse(b);
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
            failed_ = true;
            headDone_ = true;  // nobody waits for a head that will not come
        }
        std::lock_guard<std::mutex> lock(mutex_);
        ++finished_;
        changed_.notify_all();
    }

    void parse(std::size_t b) {
        const std::size_t from = begin(b), to = begin(b + 1);
        std::string& out = parts_[b];
        out.reserve((to - from) / 2 + 64);
        TokenWriter write(d_, e_, out, from);
        std::size_t counted = from;
        auto emit = [&](const ArpkStep& st) {
            write(st);
            if (write.pos() - counted >= PROGRESS_STEP) count(write.pos() - counted, counted);
        };
        if (depth_ <= 0) {
            // The head's own chains hold every earlier byte; the later blocks' share one.
            if (b == 0) {
                ArpkQuickFinder finder(d_, to, 0, 0, nullptr);
                parseArpkQuickBlock(d_, from, to, e_, finder, emit);
            } else {
                std::call_once(sharedOnce_, [this] {
                    shared_ = std::make_unique<ArpkQuickFinder::Shared>(d_, n_);
                });
                ArpkQuickFinder finder(d_, to, from, QUICK_REACH, shared_.get());
                parseArpkQuickBlock(d_, from, to, e_, finder, emit);
            }
        } else if (b == 0) {
            if (!waitForHead()) return;
            parseArpkBlock(d_, from, to, e_, depth_, *head_, emit);
            head_->dropRecords();
        } else {
            ArpkMatchFinder finder(d_, to, depth_, from, BLOCK_REACH);
            if (!waitForHead()) return;
            finder.shareHead(*head_);
            parseArpkBlock(d_, from, to, e_, depth_, finder, emit);
        }
        count(to - counted, counted);
    }

    bool waitForHead() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return headDone_; });
        return !failed_;
    }

    void count(std::size_t bytes, std::size_t& counted) {
        counted += bytes;
        std::lock_guard<std::mutex> lock(mutex_);
        done_ += bytes;
        changed_.notify_all();
    }

    const unsigned char* d_;
    std::size_t n_;
    int e_;
    int depth_;
    std::size_t block_;
    std::vector<std::string> parts_;
    // The first block's: the closest parse's others search its trees.
    std::unique_ptr<ArpkMatchFinder> head_;
    std::size_t walked_ = 0;  // workers done with their share of the head's walks
    // The quick parse's chains of the head, made by the first block past it that needs them.
    std::once_flag sharedOnce_;
    std::unique_ptr<ArpkQuickFinder::Shared> shared_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool headDone_;  // the head's trees are complete
    std::size_t done_ = 0, finished_ = 0;
    std::exception_ptr failure_;
};

}  // namespace

int leastFrequentByte(const unsigned char* data, std::size_t size) {
    std::vector<std::size_t> count(256, 0);
    for (std::size_t i = 0; i < size; ++i) ++count[data[i]];
    return static_cast<int>(std::min_element(count.begin(), count.end()) - count.begin());
}

std::string encodeArpk(const unsigned char* data, std::size_t size,
                       const ArpkEncoderOptions& options) {
    const int e = options.escape >= 0 ? options.escape & 0xFF : leastFrequentByte(data, size);
    std::string out(ARPK_MAGIC, 4);
    appendLE32(out, static_cast<std::uint32_t>(size));
    out.push_back(static_cast<char>(e));
    out.reserve(size / 2 + 64);
    const int depth = options.best ? BEST_DEPTH : 0;
    if (size > ARPK_HEAD_CACHE) {
        BlockParse(data, size, e, depth).run(out, options);
        return out;
    }
    TokenWriter write(data, e, out, 0);
    std::size_t reported = 0;
    auto emit = [&](const ArpkStep& st) {
        write(st);
        if (options.progress && write.pos() - reported >= PROGRESS_STEP) {
            reported = write.pos();
            options.progress(reported, size);
        }
    };
    if (depth > 0 && size >= SHARED_WALKS_MIN) {
        // The closest parse's walks on every core first; the parse itself then reads them.
        ArpkMatchFinder finder(data, size, depth);
        finder.recordWalks();
        const std::size_t parts = coresFor(options);
        std::vector<std::thread> helpers;
        for (std::size_t p = 1; p < parts; ++p)
            helpers.emplace_back([&finder, p, parts] { finder.walkPart(p, parts); });
        finder.walkPart(0, parts);
        for (std::thread& t : helpers) t.join();
        parseArpkBlock(data, 0, size, e, depth, finder, emit);
        return out;
    }
    // The quick parse runs some ten times faster than the closest, for a few per cent more.
    parseArpk(data, size, e, depth, emit);
    return out;
}
