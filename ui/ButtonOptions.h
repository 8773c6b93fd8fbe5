#pragma once
// The bitmap button's option language. A button's caption is either plain
// text, or, as soon as it holds a ":", a list of options
//
//     key:value~key:value~...
//
// each key one character (the rest of its token is ignored), each value
// running to the next "~" (the last one to the end of the caption, where a
// ":" inside it starts options again). The options fill a BTNOPTIONS block,
// change a copy of the default panel style, and set the few button members
// that outlive a paint. Portable: the button is reached through
// CButtonOptionTarget, so the language is tested without a window.
//
// Contract: whatever the caption, the reading never goes outside its
// buffers. Captions are read to 254 characters, key and value tokens to 199,
// style strings to 254; a field number of more than 11 characters in "f"
// changes nothing and a field 15 text is cut to 7 characters.

#include <string>

#include "ui/PanelStyle.h"

struct BTNOPTIONS {
    std::string strText;             // caption to draw
    std::string strUpBitmap;         // bitmap names: "=" built in, "<" resource,
    std::string strDownBitmap;       // ">" 256-colour resource, else a file
    std::string strDisabledBitmap;
    std::string strFont;             // font description; empty: the DC's font
    char chJustify = 'C';            // L, R, G (group box), else centred
    char chBitmapAlign = 'C';        // L, R, else centred
    char chBorder = 'S';             // T plateau, R etched, D double bevel, else single
    char chTile = '0';               // 1: tiled bitmap; not 0: no panel when disabled
    char chType = 'P';               // P push, C check, R radio, S repeat, I inverted
};

constexpr std::size_t kMaxCaption = 254;
constexpr std::size_t kMaxOptionToken = 199;
constexpr std::size_t kMaxStyleString = 254;
constexpr std::size_t kMaxFieldNumber = 11;
constexpr std::size_t kMaxDisabledText = 7;

// What a caption reads from and writes to its button.
class CButtonOptionTarget {
public:
    char m_chState = 'U';    // "C"/"U"; for a repeat button its interval digit
    char m_chType = 'P';
    std::string m_strWave;   // sound played when pressed

    virtual bool HasCursor() const = 0;
    // Loads the named cursor of the program; a name that does not load
    // leaves the button without one.
    virtual void LoadButtonCursor(const std::string& name) = 0;
    // The program's string resource id; empty when there is none.
    virtual std::string LoadStyleText(int id) = 0;

protected:
    ~CButtonOptionTarget() = default;
};

// The style every caption starts from: the default with grey disabled text.
PANELSTYLE GetButtonStartStyle();

// Applies caption to options, style and button, and sets the button's type.
void ParseCaptionText(const std::string& caption, CButtonOptionTarget& button, BTNOPTIONS& options,
                      PANELSTYLE& style);

// Reads a style string (six colour codes, then comma fields) into style.
void ApplyStyleString(const std::string& text, PANELSTYLE& style);
// The button's style string id: 1 when it exists, else 0 and no change.
int LoadStyleString(CButtonOptionTarget& button, int id, PANELSTYLE& style);
// "n#value": sets field n (0 to 15) of style; anything else changes nothing.
void SetStyleField(const std::string& text, PANELSTYLE& style);

// Milliseconds between repeats for a repeat button's state character: its
// digit times 100, never below 0 (a caption without a digit repeats as fast
// as the loop turns, never "for ever without looking").
int RepeatInterval(char chState);

// Fits a bitmap of width x height into the available room: 1 when it fits
// as it is (the height strictly less than the room), else 0 with the size
// scaled, keeping its proportions, to the room's width or height. A size
// that is not positive fits as it is.
int FitSize(int& width, int& height, int availableWidth, int availableHeight);
