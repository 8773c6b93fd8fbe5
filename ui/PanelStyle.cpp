#include "ui/PanelStyle.h"

#include <climits>

#include "script/CutToken.h"

const PANELSTYLE& GetDefaultPanelStyle()
{
    static const PANELSTYLE style = {
        0xC0C0C0, 0xFFFFFF, 0x808080, 0x808080, 0xFFFFFF, 0x000000, 0, 0, 0xFFFFFF, 1, 1, 2, 2, 6, 1, {}};
    return style;
}

std::int32_t ColorFromCode(char code)
{
    switch (code) {
    case '0': return 0x000000;
    case '1': return 0x000080;
    case '2': return 0x008000;
    case '3': return 0x008080;
    case '4': return 0x800000;
    case '5': return 0x800080;
    case '6': return 0x808000;
    case '7': return 0xC0C0C0;
    case '8': return 0x808080;
    case '9': return 0x0000FF;
    case 'A': return 0x00FF00;
    case 'B': return 0x00FFFF;
    case 'C': return 0xFF0000;
    case 'D': return 0xFF00FF;
    case 'E': return 0xFFFF00;
    case 'G': return 0x02F0CAA6;
    default: return 0xFFFFFF;
    }
}

std::int32_t ReadDecimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;   // stays saturated
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<std::int32_t>(value);
}

FONTSPEC ReadFontSpec(std::string& spec)
{
    FONTSPEC font;
    std::string field;
    CutToken(spec, field, ',');
    font.nHeight = ReadDecimal(field);
    CutToken(spec, field, ',');
    font.nWeight = field.empty() || field[0] != '0' ? 700 : 0;
    CutToken(spec, field, ',');
    font.bItalic = field.empty() || field[0] != '0';
    if (spec.size() > kMaxFaceName)
        spec.resize(kMaxFaceName);
    font.strFace = spec;
    return font;
}
