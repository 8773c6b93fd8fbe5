#include "install/packed/PackedFile.h"

#include <algorithm>
#include <bit>
#include <new>

#include "framework/LittleEndian.h"
#include "install/packed/HuffFile.h"
#include "install/packed/LzssFile.h"
#include "install/packed/LzwFile.h"
#include "install/packed/StoredFile.h"

// The bit accumulators load and store whole words in stream order.
static_assert(std::endian::native == std::endian::little, "the bit accumulators assume a little-endian host");

namespace {

const char* const kTags[3] = {"QJFFHUFF", "QJFFLZSS", "QJFFLZW "};

} // namespace

// Matches no codec's tag, so every reader treats such an archive as stored.
const char* const CPackedFile::storedTag = "QJFFSTOR";
std::uint32_t CPackedFile::s_nBaseOffset = 0;

void CBitInput::FillSlow()
{
    while (count <= 56) {
        if (next < end) {
            bits |= static_cast<std::uint64_t>(*next++) << (56 - count);
            count += 8;
        } else if (!file || !file->MoreInput(*this)) {
            // Past the member: zero bits, counted so the decoder can tell.
            padding += 8;
            count += 8;
        }
    }
}

void CBitOutput::DrainSlow()
{
    while (count >= 8) {
        if (next == end)
            file->FlushOutput(*this);
        *next++ = static_cast<std::uint8_t>(bits >> 56);
        bits <<= 8;
        count -= 8;
    }
}

void CBitOutput::Flush()
{
    if (count & 7)
        count = (count + 7) & ~7;   // the low bits are already zero
    DrainSlow();
}

const char* CPackedFile::TagOf(int kind)
{
    return kind >= 0 && kind < 3 ? kTags[kind] : storedTag;
}

CPackedFile::CPackedFile(int kind) : m_nKind(kind)
{
}

CPackedFile::~CPackedFile()
{
    // An unfinished member cannot be completed here (Close may throw), so
    // the file is only let go.
    ReleaseBuffer();
    Abort();
}

void CPackedFile::ReleaseBuffer()
{
    m_buffer.reset();
    m_in = CBitInput();
    m_out = CBitOutput();
}

bool CPackedFile::Open(const std::string& path, unsigned mode, CFileException* error)
{
    if (m_bOpen)
        Abort();
    m_bOpen = m_bReading = m_bWriting = false;
    m_bWalkKnown = false;
    ReleaseBuffer();
    m_buffer.reset(new (std::nothrow) std::uint8_t[bufferSize]);
    if (!m_buffer)
        return false;

    const unsigned access = mode & ~0x70u;   // share flags pass through
    if (access == modeRead || access == modeWrite) {
        int found = DetectPackedKind(path);
        // Appending with another codec would leave a member nobody can read.
        if (access == modeWrite && found != m_nKind) {
            ReleaseBuffer();
            return false;
        }
        m_nKind = found;
    } else if (access != (modeCreate | modeWrite)) {
        ReleaseBuffer();
        return false;
    }

    m_nUnpackedSize = m_nPackedSize = 0;
    m_nIndex = m_nAvailable = m_nMemberLeft = m_nFlushed = 0;
    m_nBufferPos = 0;
    m_nBufferFilled = 0;
    m_nOpenMode = access;
    if (!CFile::Open(path, mode, error))
        return false;

    try {
        std::uint8_t header[16] = {};
        if (access == modeWrite) {
            m_nHeaderPos = SeekToEnd();
            CFile::Write(header, 8);
        } else if (access == modeRead) {
            if (m_nKind >= 0) {
                Seek(static_cast<std::int64_t>(s_nBaseOffset) + 8, begin);
                const std::uint32_t got = CFile::Read(header, 8);
                if (got == 8) {
                    m_nUnpackedSize = GetLe32(header);
                    m_nPackedSize = GetLe32(header + 4);
                }
                m_nMemberLeft = m_nPackedSize;
                m_nBufferPos = static_cast<std::uint64_t>(s_nBaseOffset) + 8 + got;
            } else {
                m_nUnpackedSize = m_nPackedSize = m_nMemberLeft = GetLength();
            }
            m_nHeaderPos = s_nBaseOffset + 8;
        } else {
            // Stored files get a tag and header too, so that members can be
            // appended and found like those of the coded kinds.
            std::memcpy(header, TagOf(m_nKind), 8);
            CFile::Write(header, 16);
            m_nHeaderPos = 8;
        }
    } catch (const CFileException& e) {
        if (error)
            *error = e;
        Abort();
        ReleaseBuffer();
        return false;
    }

    m_bOpen = true;
    m_bReading = access == modeRead;
    m_bWriting = !m_bReading;
    ResetInput();
    m_out.file = this;
    m_out.next = m_buffer.get();
    m_out.end = m_buffer.get() + bufferSize;
    StartMember();
    return true;
}

std::uint32_t CPackedFile::Read(void*, std::uint32_t)
{
    return 0;
}

void CPackedFile::WritePacked(const void*, std::uint32_t)
{
}

void CPackedFile::Close()
{
    if (!m_bOpen)
        return;
    try {
        if (m_bWriting) {
            EndMember();
            m_out.Flush();
            FlushOutput(m_out);
            m_nPackedSize = m_nFlushed;
            std::uint8_t sizes[8];
            PutLe32(sizes, m_nUnpackedSize);
            PutLe32(sizes + 4, m_nPackedSize);
            // The handle is open for writing; no need to reopen by path.
            Seek(m_nHeaderPos, begin);
            CFile::Write(sizes, 8);
        }
        m_bOpen = m_bReading = m_bWriting = false;
        ReleaseBuffer();
        CFile::Close();
    } catch (...) {
        m_bOpen = m_bReading = m_bWriting = false;
        ReleaseBuffer();
        Abort();
        throw;
    }
}

std::uint32_t CPackedFile::GetPackedSize() const
{
    if (IsWriting())
        return m_nFlushed + static_cast<std::uint32_t>(m_out.next - m_buffer.get()) +
               static_cast<std::uint32_t>((m_out.count + 7) / 8);
    return m_nPackedSize;
}

bool CPackedFile::SelectMember(std::uint32_t index, std::uint32_t base)
{
    s_nBaseOffset = base;
    if (!IsReading())
        return false;
    std::uint64_t pos = static_cast<std::uint64_t>(base) + 8;
    std::uint32_t i = 0;
    if (m_bWalkKnown && m_nWalkBase == base && m_nWalkIndex <= index) {
        i = m_nWalkIndex;
        pos = m_nWalkPos;
        if (i < index) {
            ++i;
            pos += 8 + static_cast<std::uint64_t>(m_nWalkPacked);
        }
    }
    // Headers among the buffered bytes are read from there; the file is
    // only sought when one lies outside them, and is put back when no
    // member is found so that the current one can still be read.
    bool sought = false;
    std::uint64_t back = 0, length = 0;
    for (;; ++i) {
        std::uint8_t header[8];
        const bool buffered = pos >= m_nBufferPos && pos + 8 <= m_nBufferPos + m_nBufferFilled;
        if (buffered) {
            std::memcpy(header, m_buffer.get() + (pos - m_nBufferPos), 8);
        } else {
            if (!sought) {
                back = GetPosition();
                length = GetLength();
                sought = true;
            }
            if (pos + 8 > length)
                break;
            Seek(static_cast<std::int64_t>(pos), begin);
            if (CFile::Read(header, 8) != 8)
                break;
        }
        const std::uint32_t packed = GetLe32(header + 4);
        if (i == index) {
            m_nUnpackedSize = GetLe32(header);
            m_nPackedSize = m_nMemberLeft = packed;
            m_nHeaderPos = static_cast<std::uint32_t>(pos);
            if (buffered) {
                if (sought)
                    Seek(static_cast<std::int64_t>(back), begin);
                m_nIndex = static_cast<std::uint32_t>(pos + 8 - m_nBufferPos);
                m_nAvailable = m_nBufferFilled - m_nIndex;
            } else {
                m_nBufferPos = pos + 8;
                m_nBufferFilled = m_nIndex = m_nAvailable = 0;
            }
            m_bWalkKnown = true;
            m_nWalkIndex = index;
            m_nWalkPos = pos;
            m_nWalkPacked = packed;
            m_nWalkBase = base;
            ResetInput();
            StartMember();
            return true;
        }
        pos += 8 + static_cast<std::uint64_t>(packed);
    }
    if (sought)
        Seek(static_cast<std::int64_t>(back), begin);
    return false;
}

int CPackedFile::ReadRawByte()
{
    if (!IsReading())
        return -1;
    if (m_in.count < 8)
        m_in.Fill();
    if (!m_in.Has(8))
        return -1;
    std::uint32_t v = m_in.Peek(8);
    m_in.Skip(8);
    return static_cast<int>(v);
}

std::uint32_t CPackedFile::GetBits(int n)
{
    if (m_in.count < n)
        m_in.Fill();
    std::uint32_t v = m_in.Peek(n);
    m_in.Skip(n);
    return v;
}

void CPackedFile::ResetInput()
{
    m_in = CBitInput();
    m_in.file = this;
    if (m_buffer)
        m_in.next = m_in.end = m_buffer.get() + m_nIndex;
}

void CPackedFile::SyncInput(const CBitInput& in)
{
    auto taken = static_cast<std::uint32_t>(in.next - (m_buffer.get() + m_nIndex));
    m_nIndex += taken;
    m_nAvailable -= taken;
    m_nMemberLeft -= taken;
}

bool CPackedFile::MoreInput(CBitInput& in)
{
    if (!m_buffer || !m_bReading)
        return false;
    SyncInput(in);
    if (m_nMemberLeft == 0)
        return false;
    if (m_nAvailable == 0 && RefillBuffer() == 0) {
        // The file ends inside the member.
        m_nMemberLeft = 0;
        return false;
    }
    in.next = m_buffer.get() + m_nIndex;
    in.end = in.next + std::min(m_nAvailable, m_nMemberLeft);
    return true;
}

std::uint32_t CPackedFile::RefillBuffer()
{
    m_nBufferPos += m_nBufferFilled;
    m_nIndex = 0;
    m_nAvailable = m_nBufferFilled = CFile::Read(m_buffer.get(), bufferSize);
    return m_nAvailable;
}

void CPackedFile::FlushOutput(CBitOutput& out)
{
    auto n = static_cast<std::uint32_t>(out.next - m_buffer.get());
    if (n)
        CFile::Write(m_buffer.get(), n);
    m_nFlushed += n;
    out.next = m_buffer.get();
    out.end = m_buffer.get() + bufferSize;
}

std::uint32_t CPackedFile::ReadStored(std::uint8_t* out, std::uint32_t count)
{
    if (!IsReading())
        return 0;
    std::uint32_t done = 0;
    while (done < count && m_nMemberLeft) {
        if (m_nAvailable == 0 && RefillBuffer() == 0) {
            m_nMemberLeft = 0;
            break;
        }
        std::uint32_t k = std::min({count - done, m_nAvailable, m_nMemberLeft});
        std::memcpy(out + done, m_buffer.get() + m_nIndex, k);
        m_nIndex += k;
        m_nAvailable -= k;
        m_nMemberLeft -= k;
        done += k;
    }
    return done;
}

void CPackedFile::WriteStored(const std::uint8_t* data, std::uint32_t count)
{
    if (!IsWriting())
        return;
    while (count) {
        if (m_out.next == m_out.end)
            FlushOutput(m_out);
        auto k = std::min(count, static_cast<std::uint32_t>(m_out.end - m_out.next));
        std::memcpy(m_out.next, data, k);
        m_out.next += k;
        data += k;
        count -= k;
    }
}

int DetectPackedKind(const std::string& path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return CPackedFile::kindStored;
    char tag[8];
    try {
        if (file.Read(tag, 8) != 8)
            return CPackedFile::kindStored;
    } catch (const CFileException&) {
        return CPackedFile::kindStored;
    }
    for (int kind = 0; kind < 3; ++kind) {
        if (std::memcmp(tag, kTags[kind], 8) == 0)
            return kind;
    }
    return CPackedFile::kindStored;
}

std::unique_ptr<CPackedFile> CreatePackedFile(const std::string& path, int kind)
{
    if (!path.empty())
        kind = DetectPackedKind(path);
    switch (kind) {
    case CPackedFile::kindHuffman: return std::make_unique<CHuffFile>();
    case CPackedFile::kindLzss: return std::make_unique<CLzssFile>();
    case CPackedFile::kindLzw: return std::make_unique<CLzwFile>();
    default: return std::make_unique<CStoredFile>();
    }
}
