// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/chunk_buffer.h"

#include <cstring>

namespace drawing {

ChunkBuffer::ChunkBuffer(ReadFn read, std::size_t chunkSize, std::size_t maxCarry)
    : m_read(std::move(read)),
      m_capacity(chunkSize + maxCarry + kSlack),
      m_chunkSize(chunkSize),
      m_maxCarry(maxCarry) {
    // Not zeroed: a large buffer's untouched pages then cost nothing for a small file.
    m_buffer.reset(new char[m_capacity]);
}

bool ChunkBuffer::refill(const char* keepFrom) {
    const std::size_t kept = static_cast<std::size_t>(end() - keepFrom);
    const std::size_t dropped = static_cast<std::size_t>(keepFrom - m_buffer.get());
    if (kept > 0 && dropped > 0) std::memmove(m_buffer.get(), keepFrom, kept);
    m_dropped += static_cast<long long>(dropped);
    m_size = kept;
    if (m_atEnd) {
        std::memset(m_buffer.get() + m_size, 0, kSlack);
        return true;
    }
    // Whatever is kept, the next read fits: kept never exceeds maxCarry for a caller that
    // checks, and the buffer has room for a chunk after that.
    std::size_t room = m_size + kSlack < m_capacity ? m_capacity - kSlack - m_size : 0;
    // Read at least as much as is carried over, so a long line costs linear time even with
    // small chunks.
    const std::size_t want = m_chunkSize > kept ? m_chunkSize : kept;
    if (room > want) room = want;
    while (room > 0) {
        const long long got = m_read(m_buffer.get() + m_size, static_cast<long long>(room));
        if (got < 0) {
            m_readError = true;
            m_atEnd = true;
            return false;
        }
        if (got == 0) {
            m_atEnd = true;
            break;
        }
        m_size += static_cast<std::size_t>(got);
        room -= static_cast<std::size_t>(got);
        // A short read is not the end: pipes and slow file systems return less than asked.
    }
    // The tokenizers read whole words that may cross the end of the data into the slack.
    std::memset(m_buffer.get() + m_size, 0, kSlack);
    return true;
}

void ChunkBuffer::appendSentinel(char c) {
    if (m_size < m_capacity) m_buffer[m_size++] = c;
}

}  // namespace drawing
