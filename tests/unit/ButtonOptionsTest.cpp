// The bitmap button's option language on caption strings, with a button
// whose cursor and string resources are a table.

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "ui/ButtonOptions.h"

namespace {

class FakeButton : public CButtonOptionTarget {
public:
    std::map<int, std::string> strings;
    std::vector<std::string> cursorLoads;
    std::vector<int> stringLoads;
    bool cursorLoads_ok = true;
    bool cursor = false;

    bool HasCursor() const override { return cursor; }
    void LoadButtonCursor(const std::string& name) override
    {
        cursorLoads.push_back(name);
        cursor = cursorLoads_ok;
    }
    std::string LoadStyleText(int id) override
    {
        stringLoads.push_back(id);
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
};

struct Parsed {
    BTNOPTIONS options;
    PANELSTYLE style = GetButtonStartStyle();
};

Parsed Parse(FakeButton& button, const std::string& caption)
{
    Parsed p;
    ParseCaptionText(caption, button, p.options, p.style);
    return p;
}

bool SameStyle(const PANELSTYLE& a, const PANELSTYLE& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(ButtonOptions, PlainCaptionsAndTheColonRule)
{
    FakeButton b;
    Parsed p = Parse(b, "Next");
    EXPECT_EQ(p.options.strText, "Next");
    EXPECT_EQ(b.m_chType, 'P');
    EXPECT_TRUE(SameStyle(p.style, GetButtonStartStyle()));
    EXPECT_EQ(p.style.szDisabledText[0], '8');

    // A colon makes it options: "Time" is the type key with " 5" as value.
    p = Parse(b, "Time: 5");
    EXPECT_EQ(p.options.strText, "");
    EXPECT_EQ(b.m_chType, ' ');

    // Every parse rewrites the type.
    Parse(b, "Next");
    EXPECT_EQ(b.m_chType, 'P');

    p = Parse(b, "C:Next~U:next.bmp~D:nextdown.bmp~w:click");
    EXPECT_EQ(p.options.strText, "Next");
    EXPECT_EQ(p.options.strUpBitmap, "next.bmp");
    EXPECT_EQ(p.options.strDownBitmap, "nextdown.bmp");
    EXPECT_EQ(p.options.strDisabledBitmap, "");
    EXPECT_EQ(b.m_strWave, "click.wav");

    // A caption without "w" keeps the sound; one with it replaces it.
    Parse(b, "C:Other");
    EXPECT_EQ(b.m_strWave, "click.wav");

    // A last value holding ":" is read again as options; "~" ends it.
    p = Parse(b, "w:C:\\snd\\ding");
    EXPECT_EQ(b.m_strWave, "C:\\snd\\ding.wav");
    EXPECT_EQ(p.options.strText, "\\snd\\ding");
    p = Parse(b, "w:C:\\snd\\ding~");
    EXPECT_EQ(b.m_strWave, "C:\\snd\\ding.wav");
    EXPECT_EQ(p.options.strText, "");

    // Keys are one character, case-sensitive; unknown ones are skipped.
    p = Parse(b, "Caption:Hello~Z:zz~c2:x~Up:u.bmp~P:p.bmp");
    EXPECT_EQ(p.options.strText, "Hello");
    EXPECT_EQ(p.options.strUpBitmap, "u.bmp");
    EXPECT_EQ(p.options.strDisabledBitmap, "p.bmp");
    EXPECT_EQ(b.stringLoads, std::vector<int>{0});   // "c2" is the style key with value "x"

    // An empty key token and empty values.
    p = Parse(b, ":abc~J:~B:Rx~N:1~C:");
    EXPECT_EQ(p.options.chJustify, '\0');
    EXPECT_EQ(p.options.chBitmapAlign, 'R');
    EXPECT_EQ(p.options.chTile, '1');
    EXPECT_EQ(p.options.strText, "");
}

TEST(ButtonOptions, StyleKeys)
{
    FakeButton b;
    Parsed p = Parse(b, "S:D2621");
    EXPECT_EQ(p.options.chBorder, 'D');
    EXPECT_EQ(p.style.nOuterWidth, 2);
    EXPECT_EQ(p.style.nGap, 6);
    EXPECT_EQ(p.style.nInnerWidth, 2);
    EXPECT_EQ(p.style.bFrame, 1);
    p = Parse(b, "S:D3905");
    EXPECT_EQ(p.style.nOuterWidth, 3);
    EXPECT_EQ(p.style.nGap, 9);
    EXPECT_EQ(p.style.nInnerWidth, 0);
    EXPECT_EQ(p.style.bFrame, 5);
    // A short value sets only the fields it has digits for.
    p = Parse(b, "S:D9");
    EXPECT_EQ(p.style.nOuterWidth, 9);
    EXPECT_EQ(p.style.nGap, 6);
    EXPECT_EQ(p.style.nInnerWidth, 2);
    EXPECT_EQ(p.style.bFrame, 1);
    p = Parse(b, "S:T1234");
    EXPECT_EQ(p.options.chBorder, 'T');
    EXPECT_EQ(p.style.nOuterWidth, 2);

    EXPECT_EQ(Parse(b, "W:R255G128B0").style.crFace, 0x0080FF);
    EXPECT_EQ(Parse(b, "W:R511 G -1B 2x").style.crFace, 0x02FFFF);
    EXPECT_EQ(Parse(b, "W:R10").style.crFace, 0x0A0A0A);   // missing letters reread the rest
    EXPECT_EQ(Parse(b, "W:9").style.crFace, 0x0000FF);
    EXPECT_EQ(Parse(b, "W:F").style.crFace, 0xFFFFFF);

    p = Parse(b, "L:0~O:0~o:-3~d:C");
    EXPECT_EQ(p.style.nOuterWidth, 0);
    EXPECT_EQ(p.style.bFrame, 0);
    EXPECT_EQ(p.style.nShadowX, -3);
    EXPECT_EQ(p.style.nShadowY, -3);
    EXPECT_EQ(p.style.szDisabledText[0], 'C');

    EXPECT_EQ(Parse(b, "F:Default").options.strFont, "16,0,0,Arial");
    EXPECT_EQ(Parse(b, "F:dialog").options.strFont, "-11,0,0,Arial");
    EXPECT_EQ(Parse(b, "F:12,1,0,Courier New").options.strFont, "12,1,0,Courier New");
}

TEST(ButtonOptions, NumberedFields)
{
    FakeButton b;
    PANELSTYLE start = GetButtonStartStyle();
    PANELSTYLE p = Parse(b, "f:15#7").style;
    EXPECT_STREQ(p.szDisabledText, "7");
    EXPECT_TRUE(SameStyle(Parse(b, "f:16#3").style, start));
    EXPECT_TRUE(SameStyle(Parse(b, "f:-1#3").style, start));
    EXPECT_EQ(Parse(b, "f:junk").style.crFace, 0xFFFFFF);   // number 0, value "junk"
    EXPECT_EQ(Parse(b, "f:2#9").style.crOuterBottomRight, 0x0000FF);
    EXPECT_EQ(Parse(b, "f:8#4").style.crShadow, 0x800000);
    EXPECT_EQ(Parse(b, "f:6#-5").style.nTextX, -5);
    EXPECT_EQ(Parse(b, "f:13#40").style.nGap, 40);
    EXPECT_EQ(Parse(b, "f:14#0").style.bFrame, 0);
    // Without "#" the whole text is both number and value.
    EXPECT_EQ(Parse(b, "f:12").style.nInnerWidth, 12);
    // Field 15 keeps at most seven characters; an empty one clears the code.
    EXPECT_STREQ(Parse(b, "f:15#123456789").style.szDisabledText, "1234567");
    EXPECT_STREQ(Parse(b, "f:15#").style.szDisabledText, "");
    // A field number of more than eleven characters changes nothing.
    EXPECT_EQ(Parse(b, "f:00000000005#9").style.crText, 0x0000FF);
    EXPECT_TRUE(SameStyle(Parse(b, "f:000000000005#9").style, start));
}

TEST(ButtonOptions, TypesAndShortcuts)
{
    FakeButton b;
    Parsed p = Parse(b, "T:Sa5");
    EXPECT_EQ(b.m_chType, 'S');
    EXPECT_EQ(p.options.strUpBitmap, "=sa");
    EXPECT_EQ(p.options.strDownBitmap, "=saH");
    EXPECT_EQ(p.options.strDisabledBitmap, "=saD");
    EXPECT_EQ(b.m_chState, '5');
    EXPECT_EQ(RepeatInterval(b.m_chState), 500);
    EXPECT_EQ(p.style.bFrame, 0);
    EXPECT_EQ(p.style.nOuterWidth, 0);

    // No interval digit: the interval is 0, never negative.
    p = Parse(b, "T:Su");
    EXPECT_EQ(b.m_chState, '\0');
    EXPECT_EQ(RepeatInterval(b.m_chState), 0);
    p = Parse(b, "T:S");
    EXPECT_EQ(p.options.strUpBitmap, "=s");
    EXPECT_EQ(p.options.strDownBitmap, "=sH");
    EXPECT_EQ(RepeatInterval('0'), 0);
    EXPECT_EQ(RepeatInterval('9'), 900);
    EXPECT_EQ(RepeatInterval('\xff'), 0);
    EXPECT_EQ(RepeatInterval('a'), 4900);

    // Other types keep the state and store the character as it is.
    b.m_chState = 'C';
    p = Parse(b, "T:Ix");
    EXPECT_EQ(b.m_chType, 'I');
    EXPECT_EQ(b.m_chState, 'C');
    EXPECT_EQ(p.options.strUpBitmap, "");

    p = Parse(b, "s:C~C:Check");
    EXPECT_EQ(b.m_chType, 'C');
    EXPECT_EQ(p.options.strUpBitmap, "=C");
    EXPECT_EQ(p.options.strDownBitmap, "=T");
    EXPECT_EQ(p.options.strDisabledBitmap, "=L");
    EXPECT_EQ(p.style.nOuterWidth, 0);
    EXPECT_EQ(p.options.chBitmapAlign, 'L');
    EXPECT_EQ(p.options.chJustify, 'L');
    EXPECT_EQ(p.style.nTextX, 19);
    EXPECT_EQ(Parse(b, "s:T").options.strDownBitmap, "=F");

    p = Parse(b, "s:R");
    EXPECT_EQ(b.m_chType, 'R');
    EXPECT_EQ(p.options.strUpBitmap + p.options.strDownBitmap + p.options.strDisabledBitmap, "=U=D=P");
    EXPECT_EQ(p.style.nTextX, 19);

    p = Parse(b, "s:G");
    EXPECT_EQ(p.options.chBorder, 'R');
    EXPECT_EQ(p.options.chJustify, 'G');
    EXPECT_EQ(p.style.szDisabledText[0], '0');
    EXPECT_EQ(Parse(b, "s:B").style.szDisabledText[0], 'C');

    p = Parse(b, "s:L");
    EXPECT_EQ(p.style.nOuterWidth + p.style.bFrame, 0);
    EXPECT_EQ(p.options.chJustify, 'L');
    EXPECT_EQ(p.style.szDisabledText[0], '0');

    p = Parse(b, "s:H");
    EXPECT_EQ(p.options.chTile, '1');
    EXPECT_EQ(p.options.strDisabledBitmap, "=HP");
    EXPECT_EQ(Parse(b, "s:P").options.strDisabledBitmap, "=VP");

    p = Parse(b, "s:V");
    EXPECT_EQ(p.options.chBorder, 'D');
    EXPECT_EQ(p.style.nOuterWidth, 1);
    EXPECT_EQ(p.style.nInnerWidth, 1);
    EXPECT_EQ(p.style.nGap, 1);
    EXPECT_EQ(p.style.bFrame, 0);

    p = Parse(b, "s:x");
    EXPECT_TRUE(SameStyle(p.style, GetButtonStartStyle()));
    EXPECT_EQ(b.m_chType, 'P');
}

TEST(ButtonOptions, StyleStringsAndCursor)
{
    FakeButton b;
    b.strings[7] = "7F88F0,0,0,F,1,1,2,2,6,1";
    b.strings[8] = "9ABCDE,3,-4,0,2,5,4,1,7,0";
    b.strings[9] = "C";
    EXPECT_TRUE(SameStyle(Parse(b, "c:7").style, GetButtonStartStyle()));

    PANELSTYLE s = Parse(b, "c:8").style;
    EXPECT_EQ(s.crFace, 0x0000FF);
    EXPECT_EQ(s.crOuterTopLeft, 0x00FF00);
    EXPECT_EQ(s.crOuterBottomRight, 0x00FFFF);
    EXPECT_EQ(s.crInnerTopLeft, 0xFF0000);
    EXPECT_EQ(s.crInnerBottomRight, 0xFF00FF);
    EXPECT_EQ(s.crText, 0xFFFF00);
    EXPECT_EQ(s.nTextX, 3);
    EXPECT_EQ(s.nTextY, -4);
    EXPECT_EQ(s.crShadow, 0);
    EXPECT_EQ(s.nShadowX, 2);
    EXPECT_EQ(s.nShadowY, 5);
    EXPECT_EQ(s.nOuterWidth, 4);
    EXPECT_EQ(s.nInnerWidth, 1);
    EXPECT_EQ(s.nGap, 7);
    EXPECT_EQ(s.bFrame, 0);
    EXPECT_EQ(s.szDisabledText[0], '8');

    // A string that does not exist changes nothing; a short one sets only
    // the colours it names (and, without commas, rereads itself).
    EXPECT_TRUE(SameStyle(Parse(b, "c:500").style, GetButtonStartStyle()));
    s = Parse(b, "c:9").style;
    EXPECT_EQ(s.crFace, 0xFF0000);
    EXPECT_EQ(s.crOuterTopLeft, 0xFFFFFF);
    EXPECT_EQ(s.crText, 0);
    PANELSTYLE direct = GetButtonStartStyle();
    EXPECT_EQ(LoadStyleString(b, 500, direct), 0);
    EXPECT_EQ(LoadStyleString(b, 8, direct), 1);
    EXPECT_EQ(direct.nGap, 7);

    // The cursor loads once; a failed load is tried again.
    b.cursorLoads_ok = false;
    Parse(b, "u:missing");
    b.cursorLoads_ok = true;
    Parse(b, "u:hand");
    Parse(b, "u:other~C:x");
    EXPECT_EQ(b.cursorLoads, (std::vector<std::string>{"missing", "hand"}));
}

TEST(ButtonOptions, LongInputStaysInsideTheBuffers)
{
    FakeButton b;
    // Captions are read to 254 characters.
    std::string plain(300, 'x');
    EXPECT_EQ(Parse(b, plain).options.strText, std::string(kMaxCaption, 'x'));
    // Values are cut to 199, and the cut applies after the caption's limit.
    Parsed p = Parse(b, "C:" + std::string(250, 'y'));
    EXPECT_EQ(p.options.strText, std::string(kMaxOptionToken, 'y'));
    p = Parse(b, std::string(230, 'C') + ":abc~U:u");
    EXPECT_EQ(p.options.strText, "abc");
    EXPECT_EQ(p.options.strUpBitmap, "u");
    // A sound name at the limit still gets its extension.
    Parse(b, "w:" + std::string(240, 'w'));
    EXPECT_EQ(b.m_strWave, std::string(kMaxOptionToken, 'w') + ".wav");
    // An option beyond the 254th character is not seen.
    p = Parse(b, "C:a~" + std::string(248, 'z') + "~U:late");
    EXPECT_EQ(p.options.strUpBitmap, "");
    // Style strings are read to 254 characters.
    b.strings[3] = "000000,1,1,0,1,1,1,1,1," + std::string(260, '5');
    EXPECT_EQ(Parse(b, "c:3").style.bFrame, 2147483647);
}

TEST(ButtonOptions, FitSizeKeepsProportions)
{
    int w = 13, h = 13;
    EXPECT_EQ(FitSize(w, h, 13, 14), 1);   // width may equal, height must be less
    EXPECT_EQ(w * 100 + h, 1313);
    EXPECT_EQ(FitSize(w, h, 20, 13), 0);   // same size back when the height only touches
    EXPECT_EQ(w * 100 + h, 1313);
    w = 40, h = 20;
    EXPECT_EQ(FitSize(w, h, 20, 30), 0);   // too wide: scaled to the width
    EXPECT_EQ(w * 100 + h, 2010);
    w = 20, h = 40;
    EXPECT_EQ(FitSize(w, h, 30, 20), 0);   // too high: scaled to the height
    EXPECT_EQ(w * 100 + h, 1020);
    w = 100000, h = 100000;
    EXPECT_EQ(FitSize(w, h, 30000, 40000), 0);
    EXPECT_EQ(w, 30000);
    EXPECT_EQ(h, 30000);
    w = 0, h = 5;
    EXPECT_EQ(FitSize(w, h, 1, 1), 1);
}
