#include "install/ArchiveWriter.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/File.h"
#include "framework/LittleEndian.h"
#include "install/packed/PackedFile.h"

CArchiveWriter::CArchiveWriter(const std::string& path, int kind) : m_strPath(path), m_nKind(kind)
{
}

CArchiveWriter::~CArchiveWriter() = default;

void CArchiveWriter::BeginMember(const std::string& name)
{
    m_member = CreatePackedFile(std::string(), m_nKind);
    const unsigned mode = m_names.empty() ? CFile::modeCreate | CFile::modeWrite : CFile::modeWrite;
    CFileException error(CFileException::generic, -1, m_strPath);
    if (!m_member->Open(m_strPath, mode, &error))
        throw error;
    m_names.push_back(name);
}

void CArchiveWriter::Write(const void* data, std::uint32_t count)
{
    m_member->WritePacked(data, count);
}

void CArchiveWriter::EndMember()
{
    m_member->Close();
    m_nMembersSize += 8 + static_cast<std::uint64_t>(m_member->GetPackedSize());
    m_member.reset();
}

void CArchiveWriter::AddMember(const std::string& name, const void* data, std::uint32_t count)
{
    BeginMember(name);
    Write(data, count);
    EndMember();
}

void CArchiveWriter::AddCodedMember(const std::string& name, const std::string& codedPath)
{
    CFile coded(codedPath, CFile::modeRead | CFile::shareDenyNone);
    std::uint8_t head[16];
    if (coded.Read(head, 16) != 16 || std::memcmp(head, CPackedFile::TagOf(m_nKind), 8) != 0)
        throw CFileException(CFileException::invalidFile, -1, codedPath);
    std::uint32_t left = GetLe32(head + 12);
    CFile file;
    CFileException error(CFileException::generic, -1, m_strPath);
    if (m_names.empty()) {
        if (!file.Open(m_strPath, CFile::modeCreate | CFile::modeWrite, &error))
            throw error;
        file.Write(head, 8);
    } else {
        if (!file.Open(m_strPath, CFile::modeWrite, &error))
            throw error;
        file.SeekToEnd();
    }
    m_nMembersSize += 8 + static_cast<std::uint64_t>(left);
    file.Write(head + 8, 8);
    std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[CPackedFile::bufferSize]);
    while (left > 0) {
        const std::uint32_t want = std::min(left, CPackedFile::bufferSize);
        if (coded.Read(buffer.get(), want) != want)
            throw CFileException(CFileException::endOfFile, -1, codedPath);
        file.Write(buffer.get(), want);
        left -= want;
    }
    file.Close();
    m_names.push_back(name);
}

void CArchiveWriter::Finish()
{
    CFile file;
    if (m_names.empty()) {
        // No member made the file: the tag alone.
        file.Open(m_strPath, CFile::modeCreate | CFile::modeWrite);
        if (!file.IsOpen())
            throw CFileException(CFileException::generic, -1, m_strPath);
        file.Write(CPackedFile::TagOf(m_nKind), 8);
    } else {
        CFileException error(CFileException::generic, -1, m_strPath);
        if (!file.Open(m_strPath, CFile::modeWrite, &error))
            throw error;
    }
    const std::uint32_t dir = file.SeekToEnd();
    std::string block;
    AppendLe32(block, static_cast<std::uint32_t>(m_names.size()));
    for (const std::string& name : m_names) {
        AppendLe32(block, static_cast<std::uint32_t>(name.size()));
        block += name;
    }
    AppendLe32(block, dir);
    file.Write(block.data(), static_cast<std::uint32_t>(block.size()));
    file.Close();
}
