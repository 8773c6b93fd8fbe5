#include "ui/ButtonOptions.h"

#include <algorithm>

#include "script/CutToken.h"

namespace {

// The first character of a value; an empty value reads as its terminator.
char First(const std::string& value)
{
    return value.empty() ? '\0' : value[0];
}

char At(const std::string& value, std::size_t i)
{
    return i < value.size() ? value[i] : '\0';
}

// CutToken into a head of limited size: the rest of an overlong head is
// dropped.
bool CutLimited(std::string& text, std::string& head, char separator, std::size_t limit)
{
    bool found = CutToken(text, head, separator);
    if (head.size() > limit)
        head.resize(limit);
    return found;
}

void CheckBox(BTNOPTIONS& options, PANELSTYLE& style, const char* down)
{
    options.chType = 'C';
    options.strUpBitmap = "=C";
    options.strDownBitmap = down;
    options.strDisabledBitmap = "=L";
    style.nOuterWidth = 0;
    options.chBitmapAlign = 'L';
    options.chJustify = 'L';
    style.nTextX = 19;
}

void ApplyShortcut(char shortcut, BTNOPTIONS& options, PANELSTYLE& style)
{
    switch (shortcut) {
    case 'C': CheckBox(options, style, "=T"); break;
    case 'T': CheckBox(options, style, "=F"); break;
    case 'R':
        options.chType = 'R';
        options.strUpBitmap = "=U";
        options.strDownBitmap = "=D";
        options.strDisabledBitmap = "=P";
        style.nOuterWidth = 0;
        options.chBitmapAlign = 'L';
        options.chJustify = 'L';
        style.nTextX = 19;
        break;
    case 'G':
    case 'B':
        options.chBorder = 'R';
        options.chJustify = 'G';
        style.szDisabledText[0] = shortcut == 'G' ? '0' : 'C';
        break;
    case 'L':
        style.nOuterWidth = 0;
        style.bFrame = 0;
        options.chJustify = 'L';
        style.szDisabledText[0] = '0';
        break;
    case 'H':
    case 'P':
        options.chTile = '1';
        options.strDisabledBitmap = shortcut == 'H' ? "=HP" : "=VP";
        break;
    case 'V':
        options.chBorder = 'D';
        style.nOuterWidth = 1;
        style.nInnerWidth = 1;
        style.nGap = 1;
        style.bFrame = 0;
        break;
    default: break;
    }
}

// "R red G green B blue": cut at each letter in turn; a missing letter
// leaves the rest to be read again.
std::int32_t ReadRgb(std::string value)
{
    std::string part;
    CutToken(value, part, 'R');
    CutToken(value, part, 'G');
    std::int32_t red = ReadDecimal(part) & 0xFF;
    CutToken(value, part, 'B');
    std::int32_t green = ReadDecimal(part) & 0xFF;
    std::int32_t blue = ReadDecimal(value) & 0xFF;
    return red | green << 8 | blue << 16;
}

void ApplyOption(char key, const std::string& value, CButtonOptionTarget& button, BTNOPTIONS& options,
                 PANELSTYLE& style)
{
    switch (key) {
    case 'C': options.strText = value; break;
    case 'U': options.strUpBitmap = value; break;
    case 'D': options.strDownBitmap = value; break;
    case 'P': options.strDisabledBitmap = value; break;
    case 'F':
        if (First(value) == 'D')
            options.strFont = "16,0,0,Arial";
        else if (First(value) == 'd')
            options.strFont = "-11,0,0,Arial";
        else
            options.strFont = value;
        break;
    case 'J': options.chJustify = First(value); break;
    case 'B': options.chBitmapAlign = First(value); break;
    case 'S':
        options.chBorder = First(value);
        if (options.chBorder == 'D') {
            // Only the digits the value holds: a short value leaves the rest.
            std::int32_t* fields[] = {&style.nOuterWidth, &style.nGap, &style.nInnerWidth, &style.bFrame};
            for (std::size_t i = 0; i < 4 && i + 1 < value.size(); ++i)
                *fields[i] = value[i + 1] - '0';
        }
        break;
    case 'N': options.chTile = First(value); break;
    case 'T':
        options.chType = First(value);
        if (options.chType == 'S') {
            options.strUpBitmap = "=s";
            if (At(value, 1) != '\0')
                options.strUpBitmap += value[1];
            options.strDownBitmap = options.strUpBitmap + "H";
            options.strDisabledBitmap = options.strUpBitmap + "D";
            button.m_chState = At(value, 2);
            style.bFrame = 0;
            style.nOuterWidth = 0;
        }
        break;
    case 'L': style.nOuterWidth = First(value) - '0'; break;
    case 'O': style.bFrame = First(value) - '0'; break;
    case 'o': style.nShadowX = style.nShadowY = ReadDecimal(value); break;
    case 'W': style.crFace = First(value) == 'R' ? ReadRgb(value) : ColorFromCode(First(value)); break;
    case 'd': style.szDisabledText[0] = First(value); break;
    case 'c': LoadStyleString(button, ReadDecimal(value), style); break;
    case 'f': SetStyleField(value, style); break;
    case 's': ApplyShortcut(First(value), options, style); break;
    case 'u':
        if (!button.HasCursor())
            button.LoadButtonCursor(value);
        break;
    case 'w': button.m_strWave = value + ".wav"; break;
    default: break;
    }
}

} // namespace

PANELSTYLE GetButtonStartStyle()
{
    PANELSTYLE style = GetDefaultPanelStyle();
    style.szDisabledText[0] = '8';
    return style;
}

void ParseCaptionText(const std::string& caption, CButtonOptionTarget& button, BTNOPTIONS& options,
                      PANELSTYLE& style)
{
    std::string text = caption.substr(0, kMaxCaption);
    std::string head;
    if (!CutLimited(text, head, ':', kMaxOptionToken)) {
        options.strText = text;
        button.m_chType = options.chType;
        return;
    }
    for (;;) {
        char key = First(head);
        std::string value;
        CutLimited(text, value, '~', kMaxOptionToken);
        ApplyOption(key, value, button, options, style);
        if (!CutLimited(text, head, ':', kMaxOptionToken))
            break;
    }
    button.m_chType = options.chType;
}

void ApplyStyleString(const std::string& string, PANELSTYLE& style)
{
    std::string text = string.substr(0, kMaxStyleString);
    // A string shorter than six codes sets only the colours it names.
    std::int32_t* colours[] = {&style.crFace,         &style.crOuterTopLeft,     &style.crOuterBottomRight,
                               &style.crInnerTopLeft, &style.crInnerBottomRight, &style.crText};
    for (std::size_t i = 0; i < 6 && i < text.size(); ++i)
        *colours[i] = ColorFromCode(text[i]);
    std::string field;
    CutToken(text, field, ',');   // the six codes
    CutToken(text, field, ',');
    style.nTextX = ReadDecimal(field);
    CutToken(text, field, ',');
    style.nTextY = ReadDecimal(field);
    CutToken(text, field, ',');
    style.crShadow = ColorFromCode(First(field));
    std::int32_t* numbers[] = {&style.nShadowX, &style.nShadowY, &style.nOuterWidth, &style.nInnerWidth,
                               &style.nGap};
    for (std::int32_t* n : numbers) {
        CutToken(text, field, ',');
        *n = ReadDecimal(field);
    }
    style.bFrame = ReadDecimal(text);
}

int LoadStyleString(CButtonOptionTarget& button, int id, PANELSTYLE& style)
{
    std::string text = button.LoadStyleText(id);
    if (text.empty())
        return 0;
    ApplyStyleString(text, style);
    return 1;
}

void SetStyleField(const std::string& field, PANELSTYLE& style)
{
    std::string text = field;
    std::string head;
    CutToken(text, head, '#');
    if (head.size() > kMaxFieldNumber)
        return;
    std::int32_t n = ReadDecimal(head);
    std::int32_t* const fields[] = {&style.crFace,
                                    &style.crOuterTopLeft,
                                    &style.crOuterBottomRight,
                                    &style.crInnerTopLeft,
                                    &style.crInnerBottomRight,
                                    &style.crText,
                                    &style.nTextX,
                                    &style.nTextY,
                                    &style.crShadow,
                                    &style.nShadowX,
                                    &style.nShadowY,
                                    &style.nOuterWidth,
                                    &style.nInnerWidth,
                                    &style.nGap,
                                    &style.bFrame};
    if (n < 0 || n > 15)
        return;
    if (n == 15) {
        std::size_t length = std::min(text.size(), kMaxDisabledText);
        text.copy(style.szDisabledText, length);
        style.szDisabledText[length] = '\0';
        return;
    }
    bool colour = n <= 5 || n == 8;
    *fields[n] = colour ? ColorFromCode(First(text)) : ReadDecimal(text);
}

int RepeatInterval(char chState)
{
    int digit = static_cast<signed char>(chState) - '0';
    return digit > 0 ? digit * 100 : 0;
}

int FitSize(int& width, int& height, int availableWidth, int availableHeight)
{
    if (width <= 0 || height <= 0 || (width <= availableWidth && height < availableHeight))
        return 1;
    long long t = static_cast<long long>(height) * availableWidth / width;
    if (t > availableHeight) {
        width = static_cast<int>(static_cast<long long>(availableHeight) * width / height);
        height = availableHeight;
    } else {
        width = availableWidth;
        height = static_cast<int>(t);
    }
    return 0;
}
