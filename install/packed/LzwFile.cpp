// LZW with codes of 9 to 15 bits. Codes 0 to 255 are the bytes, 256 ends
// the stream, 257 widens the codes by one bit from the next code on, 258
// restarts the dictionary, and 259 up to 32767 name strings in the order
// they were made. The encoder extends the current string while the
// dictionary knows it; when it does not, it writes the string's code, adds
// string + byte as the next code and starts again from the byte. It writes
// 257 as soon as the next code passes the current width's largest value and
// 258 when it passes 32767; the decoder follows the stream's control codes.
// A code equal to the next code is the string just made: the previous string
// and its own first byte.
//
// The encoder finds (string, byte) in a 35023-slot hash table probed with a
// step derived from the slot. The decoder keeps each code's length and first
// byte, so a string is written straight into the caller's buffer from its
// last byte back.
//
// Contract: Read never writes outside the caller's count nor reads outside
// the member; a code beyond the next one, a first code that is not a byte,
// a widening past 15 bits or a dictionary that would pass code 32767 ends
// decoding with a short count.

#include "install/packed/LzwFile.h"

#include <algorithm>
#include <new>

CLzwFile::CLzwFile() : CPackedFile(kindLzw)
{
}

bool CLzwFile::Open(const std::string& path, unsigned mode, CFileException* error)
{
    // A reader needs only the decoder's table, a writer only the hash.
    const bool reading = (mode & ~0x70u) == modeRead;
    try {
        m_key.assign(reading ? 0 : tableSize, 0);
        m_code.assign(reading ? 0 : tableSize, 0);
        m_dict.assign(reading ? maxCode + 1 : 0, Entry{});
        m_pending.clear();
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int c = 0; reading && c < 256; ++c)
        m_dict[c] = Entry{0, 1, static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c), 0};
    return CPackedFile::Open(path, mode, error);
}

void CLzwFile::ResetEncoder()
{
    std::fill(m_key.begin(), m_key.end(), 0u);
    m_nNextCode = firstCode;
    m_nWidth = 9;
    m_nThreshold = 511;
}

void CLzwFile::ResetDecoder()
{
    m_nNextCode = firstCode;
    m_nWidth = 9;
    m_nThreshold = 511;
    m_nOld = -1;
}

void CLzwFile::StartMember()
{
    if (IsWriting())
        ResetEncoder();
    else
        ResetDecoder();
    m_bStarted = false;
    m_nString = 0;
    m_pending.clear();
    m_nPendingPos = 0;
    m_bEnded = false;
}

std::uint32_t CLzwFile::Read(void* buffer, std::uint32_t count)
{
    if (!IsReading())
        return 0;
    auto* const out = static_cast<std::uint8_t*>(buffer);
    std::uint32_t o = 0;
    if (m_nPendingPos < m_pending.size()) {
        auto k = static_cast<std::uint32_t>(std::min<std::size_t>(count, m_pending.size() - m_nPendingPos));
        std::memcpy(out, m_pending.data() + m_nPendingPos, k);
        m_nPendingPos += k;
        o = k;
    }
    if (m_bEnded)
        return o;

    CBitInput in = m_in;
    Entry* const dict = m_dict.data();
    int next = m_nNextCode, width = m_nWidth, old = m_nOld;
    // Codes below this are ordinary strings; everything else (the string
    // being made, control codes, a fresh start, a full dictionary, damage)
    // takes the slower path.
    auto limit = [&] { return old < 0 || next > maxCode ? 0 : next; };
    int fast = limit();
    while (o < count) {
        if (in.count < 15)
            in.Fill();
        const int code = static_cast<int>(in.Peek(width));
        in.Skip(width);
        if (in.Overrun())
            break;
        std::uint32_t length;
        std::uint8_t first;
        const bool fresh = code == next;
        if (code < fast && static_cast<unsigned>(code - endCode) >= 3u) {
            length = dict[code].length;
            first = dict[code].first;
        } else if (old < 0) {
            // A fresh start: the first code is a byte.
            if (code > 255)
                break;
            out[o++] = static_cast<std::uint8_t>(code);
            old = code;
            fast = limit();
            continue;
        } else if (code >= endCode && code < firstCode) {
            if (code == flushCode) {
                next = firstCode;
                width = 9;
                old = -1;
                fast = 0;
                continue;
            }
            if (code == bumpCode && width < 15) {
                ++width;
                continue;
            }
            break;   // the end, or a widening past 15 bits
        } else if (fresh && next <= maxCode) {
            // The string being made: the previous one and its first byte.
            length = dict[old].length + 1u;
            first = dict[old].first;
        } else {
            break;   // not defined yet, or no room for another string
        }
        std::uint8_t* dest;
        if (count - o >= length) {
            dest = out + o;
        } else {
            m_pending.resize(length);
            dest = m_pending.data();
        }
        std::uint8_t* p = dest + length;
        int k = code;
        if (fresh) {
            *--p = first;
            k = old;
        }
        while (k > 255) {
            *--p = dict[k].last;
            k = dict[k].parent;
        }
        *--p = static_cast<std::uint8_t>(k);
        if (dest == out + o) {
            o += length;
        } else {
            const std::uint32_t part = count - o;
            std::memcpy(out + o, dest, part);
            m_nPendingPos = part;
            o = count;
        }
        const Entry& prev = dict[old];
        dict[next] = Entry{static_cast<std::uint16_t>(old), static_cast<std::uint16_t>(prev.length + 1), first,
                           prev.first, 0};
        ++next;
        old = code;
        fast = next > maxCode ? 0 : next;
    }
    if (o < count)
        m_bEnded = true;
    m_in = in;
    m_nNextCode = next;
    m_nWidth = width;
    m_nOld = old;
    return o;
}

bool CLzwFile::FinishMember()
{
    if (!IsReading() || m_bEnded || m_nPendingPos < m_pending.size())
        return false;
    m_bEnded = true;
    if (m_in.count < 15)
        m_in.Fill();
    const int code = static_cast<int>(m_in.Peek(m_nWidth));
    m_in.Skip(m_nWidth);
    return code == endCode && !m_in.Overrun();
}

void CLzwFile::WritePacked(const void* data, std::uint32_t count)
{
    if (!IsWriting() || count == 0)
        return;
    m_nUnpackedSize += count;
    const auto* p = static_cast<const std::uint8_t*>(data);
    const auto* const end = p + count;
    if (!m_bStarted) {
        m_nString = *p++;
        m_bStarted = true;
    }
    CBitOutput out = m_out;
    std::uint32_t* const key = m_key.data();
    std::uint16_t* const code = m_code.data();
    int str = m_nString, next = m_nNextCode, width = m_nWidth, threshold = m_nThreshold;
    for (; p < end; ++p) {
        const int c = *p;
        const std::uint32_t want = (static_cast<std::uint32_t>(str) << 8 | static_cast<std::uint32_t>(c)) + 1;
        int index = (c << 7) ^ str;
        const int step = index == 0 ? 1 : tableSize - index;
        for (;;) {
            const std::uint32_t k = key[index];
            if (k == want) {
                str = code[index];
                break;
            }
            if (k == 0) {
                key[index] = want;
                code[index] = static_cast<std::uint16_t>(next++);
                out.Put(static_cast<std::uint32_t>(str), width);
                str = c;
                if (next > maxCode) {
                    out.Put(flushCode, width);
                    std::fill(m_key.begin(), m_key.end(), 0u);
                    next = firstCode;
                    width = 9;
                    threshold = 511;
                } else if (next > threshold) {
                    out.Put(bumpCode, width);
                    ++width;
                    threshold = threshold * 2 + 1;
                }
                break;
            }
            index -= step;
            if (index < 0)
                index += tableSize;
        }
    }
    m_out = out;
    m_nString = str;
    m_nNextCode = next;
    m_nWidth = width;
    m_nThreshold = threshold;
}

void CLzwFile::EndMember()
{
    if (m_bStarted)
        m_out.Put(static_cast<std::uint32_t>(m_nString), m_nWidth);
    m_out.Put(endCode, m_nWidth);
}
