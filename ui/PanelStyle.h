#pragma once
// The look of one panel (fill, border colours and widths, caption colour and
// shadow, outline), the one-character colour codes that the button options
// and style strings use, and the text of a font description. Portable: no
// window header; colours are Windows colour values (0x00bbggrr).

#include <cstdint>
#include <string>

// Fifteen 32-bit fields and eight characters; the field numbers of
// SetStyleField follow this order. A colour of -1 means "not drawn".
struct PANELSTYLE {
    std::int32_t crFace;               // 0: fill of the whole panel
    std::int32_t crOuterTopLeft;       // 1
    std::int32_t crOuterBottomRight;   // 2
    std::int32_t crInnerTopLeft;       // 3: -1: no inner bevel
    std::int32_t crInnerBottomRight;   // 4
    std::int32_t crText;               // 5
    std::int32_t nTextX;               // 6
    std::int32_t nTextY;               // 7
    std::int32_t crShadow;             // 8
    std::int32_t nShadowX;             // 9
    std::int32_t nShadowY;             // 10
    std::int32_t nOuterWidth;          // 11: lines of the outer bevel
    std::int32_t nInnerWidth;          // 12: lines of the inner bevel
    std::int32_t nGap;                 // 13: inner bevel sits nOuterWidth + nGap inside
    std::int32_t bFrame;               // 14: black one-pixel outline
    char szDisabledText[8];            // 15: [0] is the disabled caption's colour code
};

constexpr std::int32_t kNoColor = -1;

// The default look: light grey face, double white/grey bevels, black text
// with a white shadow, black outline. Callers copy it before changing it.
const PANELSTYLE& GetDefaultPanelStyle();

// "0".."9", "A".."E": the 16 VGA colours; "G": the palette-relative sky
// blue; anything else white. Case-sensitive.
std::int32_t ColorFromCode(char code);

// The C library's decimal reading (leading blanks, a sign, digits up to the
// first non-digit; 0 when there are none), except that a number too large
// for an int saturates instead of being undefined.
std::int32_t ReadDecimal(const std::string& text);

// A font description "height,bold,italic,face". A field that is missing
// reads the rest of the text again, as the comma splitter leaves it: "16"
// alone is height 16, bold, italic, face "16".
struct FONTSPEC {
    std::int32_t nHeight = 0;
    std::int32_t nWeight = 0;   // 0 or 700
    bool bItalic = false;
    std::string strFace;        // at most kMaxFaceName characters
};

constexpr std::size_t kMaxFaceName = 31;   // a LOGFONT face holds 32 with its end

// Reads spec, consuming it: afterwards it holds only the face name (cut to
// kMaxFaceName characters).
FONTSPEC ReadFontSpec(std::string& spec);
