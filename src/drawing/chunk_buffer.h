// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The window of the input the tokenizers parse: a fixed buffer refilled chunk by chunk, with
// the unconsumed tail of the previous chunk carried over, so memory stays bounded whatever
// the file size (a mapped file would count every touched page as resident).

#include <QString>
#include <cstddef>
#include <functional>
#include <memory>

namespace drawing {

class ChunkBuffer {
public:
    // Fills up to `capacity` bytes at `into`; returns the count, 0 at the end, -1 on error.
    using ReadFn = std::function<long long(char* into, long long capacity)>;

    // `maxCarry`: the longest piece of input (a line, a value) a tokenizer may need whole.
    ChunkBuffer(ReadFn read, std::size_t chunkSize, std::size_t maxCarry);

    const char* data() const { return m_buffer.get(); }
    const char* end() const { return m_buffer.get() + m_size; }
    bool atEnd() const { return m_atEnd; }
    // Bytes consumed and dropped before data(): turns a pointer into a file offset.
    long long offsetOf(const char* p) const { return m_dropped + (p - m_buffer.get()); }
    std::size_t maxCarry() const { return m_maxCarry; }

    // Drops everything before `keepFrom`, then reads the next chunk after what is kept.
    // Returns false on a read error (readError() says so). Leaves room for `kSlack` more
    // bytes after end() so a tokenizer can append a sentinel.
    bool refill(const char* keepFrom);
    bool readError() const { return m_readError; }

    // Appends one byte after end(); allowed once the input is at its end.
    void appendSentinel(char c);

    static constexpr std::size_t kSlack = 16;

private:
    ReadFn m_read;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity;
    std::size_t m_chunkSize;
    std::size_t m_maxCarry;
    std::size_t m_size = 0;
    long long m_dropped = 0;
    bool m_atEnd = false;
    bool m_readError = false;
};

}  // namespace drawing
