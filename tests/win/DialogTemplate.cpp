#include "DialogTemplate.h"

#include <cstring>
#include <vector>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* p, std::size_t n) : m_p(p), m_n(n) {}
    bool ok() const { return m_ok; }
    std::uint16_t U16()
    {
        std::uint16_t v = 0;
        Take(&v, 2);
        return v;
    }
    std::uint32_t U32()
    {
        std::uint32_t v = 0;
        Take(&v, 4);
        return v;
    }
    std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
    std::uint8_t U8()
    {
        std::uint8_t v = 0;
        Take(&v, 1);
        return v;
    }
    // A string or an ordinal (0xFFFF followed by the number, shown as "#n").
    std::string SzOrOrd()
    {
        std::uint16_t first = U16();
        if (first == 0xFFFF)
            return std::string("#").append(std::to_string(U16()));
        std::vector<char> s;
        for (std::uint16_t c = first; c != 0 && m_ok; c = U16())
            s.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        return std::string(s.begin(), s.end());
    }
    void AlignDword() { m_pos = (m_pos + 3) & ~static_cast<std::size_t>(3); }

private:
    void Take(void* out, std::size_t n)
    {
        if (m_pos + n > m_n) {
            m_ok = false;
            return;
        }
        std::memcpy(out, m_p + m_pos, n);
        m_pos += n;
    }
    const std::uint8_t* m_p;
    std::size_t m_n;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

} // namespace

bool LoadDialogTemplate(int id, DialogTemplate& out)
{
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!res)
        return false;
    HGLOBAL handle = ::LoadResource(module, res);
    const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(handle));
    Reader r(bytes, ::SizeofResource(module, res));
    if (r.U16() != 1 || r.U16() != 0xFFFF)
        return false;
    r.U32();   // help id
    out.exStyle = r.U32();
    out.style = r.U32();
    int count = r.U16();
    out.x = r.S16();
    out.y = r.S16();
    out.cx = r.S16();
    out.cy = r.S16();
    r.SzOrOrd();   // menu
    r.SzOrOrd();   // class
    out.title = r.SzOrOrd();
    if (out.style & DS_SETFONT) {
        out.pointSize = r.U16();
        r.U16();   // weight
        r.U8();    // italic
        r.U8();    // charset
        out.typeface = r.SzOrOrd();
    }
    for (int i = 0; i < count && r.ok(); ++i) {
        r.AlignDword();
        DialogItemTemplate item;
        r.U32();   // help id
        item.exStyle = r.U32();
        item.style = r.U32();
        item.x = r.S16();
        item.y = r.S16();
        item.cx = r.S16();
        item.cy = r.S16();
        item.id = r.U32();
        item.className = r.SzOrOrd();
        item.title = r.SzOrOrd();
        std::uint16_t extra = r.U16();
        for (std::uint16_t k = 0; k < extra; ++k)
            r.U8();
        out.items.push_back(item);
    }
    return r.ok();
}
