#include "app/ReadTextFile.h"

#include <cstring>
#include <vector>

#include "framework/File.h"

bool ReadTextFile(const std::string& path, std::string& out)
{
    out.clear();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    std::uint32_t length = file.GetLength();
    // Room for the bytes and the zero that ends them.
    std::vector<char> block(static_cast<std::size_t>(length) + 16, '\0');
    std::uint32_t got = file.Read(block.data(), static_cast<std::uint32_t>(block.size()));
    file.Close();
    block[got] = '\0';
    out.assign(block.data(), std::strlen(block.data()));
    return true;
}
