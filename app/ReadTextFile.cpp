#include "app/ReadTextFile.h"

#include <cstring>
#include <new>
#include <vector>

#include "framework/File.h"

bool ReadTextFile(const std::string& path, std::string& out)
{
    out.clear();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone))
        return false;
    std::uint32_t length = file.GetLength();
    // Room for the bytes and the zero that ends them. The length is only a
    // hint (the file may grow, /proc files say 0), so the read stops one
    // byte short of the block's end.
    std::vector<char> block;
    try {
        block.assign(static_cast<std::size_t>(length) + 16, '\0');
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::uint32_t got = file.Read(block.data(), static_cast<std::uint32_t>(block.size() - 1));
    file.Close();
    block[got] = '\0';
    out.assign(block.data(), std::strlen(block.data()));
    return true;
}
