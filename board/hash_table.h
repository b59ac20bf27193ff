// One transposition table's storage: a power of two of entries in a buffer
// the table owns, the slot of a position being its full hash key masked to
// the table's size at each access. A table is resized only between searches
// (the front end does it when a game starts); resizing drops the contents.
// The entry layouts and the probe and store rules are in hash_store.h and
// search/transposition_tables.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace vantrel {

template <class Entry>
class HashTable {
public:
    // A table of 2^bits value-initialised entries; bits from 0 to 30.
    explicit HashTable(int bits) {
        if (!resize(bits)) throw std::bad_alloc();
    }
    HashTable(const HashTable&) = delete;
    HashTable& operator=(const HashTable&) = delete;

    // 2^bits value-initialised entries, the old ones released first so that
    // the two never need to fit in memory at once; false, with a table of
    // the old size emptied, when memory runs out.
    bool resize(int bits) {
        const int old_bits = bits_;
        entries_.reset();
        entries_.reset(new (std::nothrow) Entry[std::size_t{1} << bits]());
        bits_ = bits;
        if (!entries_) {
            bits_ = old_bits;
            entries_.reset(new Entry[std::size_t{1} << bits_]());
        }
        mask_ = (std::uint32_t{1} << bits_) - 1;
        return bits_ == bits;
    }

    Entry& operator[](std::uint32_t key) { return entries_[key & mask_]; }
    const Entry& operator[](std::uint32_t key) const { return entries_[key & mask_]; }

    int bits() const { return bits_; }
    std::size_t size() const { return std::size_t{1} << bits_; }
    Entry* begin() { return entries_.get(); }
    Entry* end() { return entries_.get() + size(); }
    const Entry* begin() const { return entries_.get(); }
    const Entry* end() const { return entries_.get() + size(); }

private:
    std::unique_ptr<Entry[]> entries_;
    std::uint32_t mask_ = 0;
    int bits_ = 0;
};

}  // namespace vantrel
