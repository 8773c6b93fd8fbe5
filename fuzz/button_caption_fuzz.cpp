// The button option language takes any caption: it must never read or
// write outside its buffers. The bytes serve as the caption, as every style
// string the caption asks for, as a numbered field and as a font text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "ui/ButtonOptions.h"

namespace {

class FuzzButton : public CButtonOptionTarget {
public:
    explicit FuzzButton(const std::string& strings) : m_strings(strings) {}
    bool HasCursor() const override { return m_cursor; }
    void LoadButtonCursor(const std::string& name) override { m_cursor = name.size() % 2 != 0; }
    std::string LoadStyleText(int id) override
    {
        if (id < 0 || static_cast<std::size_t>(id) > m_strings.size())
            return std::string();
        return m_strings.substr(static_cast<std::size_t>(id));
    }

private:
    std::string m_strings;
    bool m_cursor = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    FuzzButton button(text);
    BTNOPTIONS options;
    PANELSTYLE style = GetButtonStartStyle();
    ParseCaptionText(text, button, options, style);
    (void)RepeatInterval(button.m_chState);
    SetStyleField(text, style);
    ApplyStyleString(text, style);
    std::string font = options.strFont.empty() ? text : options.strFont;
    FONTSPEC spec = ReadFontSpec(font);
    // The disabled text stays terminated inside its eight characters.
    if (spec.strFace.size() > kMaxFaceName || style.szDisabledText[kMaxDisabledText] != '\0')
        __builtin_trap();
    return 0;
}
