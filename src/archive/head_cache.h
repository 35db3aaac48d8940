#pragma once
// The first bytes of a growing output, kept in memory in chunks up to a limit, so memory
// grows with what was really produced, never with what a header declares.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class HeadCache {
  public:
    HeadCache(std::size_t limit, std::size_t chunk) : limit_(limit), chunk_(chunk) {}
    // Offers bytes written at position pos; keeps what continues the cache below the limit.
    void append(std::int64_t pos, const unsigned char* p, std::size_t n);
    // True (and dst filled) when [offset, offset + n) lies in the cache.
    bool copy(std::int64_t offset, std::size_t n, unsigned char* dst) const;
    std::size_t size() const { return size_; }

  private:
    std::size_t limit_, chunk_, size_ = 0;
    bool frozen_ = false;  // an allocation failed; the file serves from here on
    std::vector<std::unique_ptr<unsigned char[]>> chunks_;
};
