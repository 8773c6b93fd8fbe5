// The bitmap button's option language and the panel style it fills, with a
// button whose cursor and string resources are a table.

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "ui/ButtonOptions.h"

namespace {

class FakeButton : public CButtonOptionTarget {
public:
    std::map<int, std::string> strings;
    std::vector<std::string> cursorLoads;
    std::vector<int> stringLoads;
    bool cursorLoadsOk = true;
    bool cursor = false;

    bool HasCursor() const override { return cursor; }
    void LoadButtonCursor(const std::string& name) override
    {
        cursorLoads.push_back(name);
        cursor = cursorLoadsOk;
    }
    std::string LoadStyleText(int id) override
    {
        stringLoads.push_back(id);
        auto it = strings.find(id);
        return it == strings.end() ? std::string() : it->second;
    }
};

bool SameStyle(const PANELSTYLE& a, const PANELSTYLE& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Everything one caption sets, by key: the options, the button's members,
// the style's fields s0..s15 (colours in hex), "same" when the style is the
// start style, and the style strings loaded.
std::map<std::string, std::string> ParseFields(FakeButton& b, const std::string& caption)
{
    BTNOPTIONS o;
    PANELSTYLE s = GetButtonStartStyle();
    b.stringLoads.clear();
    ParseCaptionText(caption, b, o, s);
    auto ch = [](char c) { return c ? std::string(1, c) : std::string(); };
    std::map<std::string, std::string> f = {
        {"text", o.strText}, {"up", o.strUpBitmap}, {"down", o.strDownBitmap}, {"dis", o.strDisabledBitmap},
        {"font", o.strFont}, {"J", ch(o.chJustify)}, {"A", ch(o.chBitmapAlign)}, {"B", ch(o.chBorder)},
        {"T", ch(o.chTile)}, {"type", ch(b.m_chType)}, {"state", ch(b.m_chState)}, {"wave", b.m_strWave},
        {"s15", s.szDisabledText}, {"same", SameStyle(s, GetButtonStartStyle()) ? "1" : "0"}};
    const std::int32_t* field = &s.crFace;
    for (int i = 0; i < 15; ++i) {
        char text[16];
        bool colour = i <= 5 || i == 8;
        std::snprintf(text, sizeof text, colour ? "%06X" : "%d", static_cast<unsigned>(field[i]));
        f["s" + std::to_string(i)] = colour ? text : std::to_string(field[i]);
    }
    for (int id : b.stringLoads)
        f["loads"] += std::to_string(id) + ";";
    return f;
}

// Rows of a caption and "key=value|key=value" that it must give, parsed in
// order on one button (the sound and the type outlive a caption).
void ExpectCaptions(FakeButton& b, const std::vector<std::pair<std::string, std::string>>& rows)
{
    for (const auto& [caption, expected] : rows) {
        auto f = ParseFields(b, caption);
        std::string rest = expected;
        while (!rest.empty()) {
            std::size_t bar = rest.find('|');
            std::string item = rest.substr(0, bar);
            rest = bar == std::string::npos ? "" : rest.substr(bar + 1);
            std::size_t eq = item.find('=');
            EXPECT_EQ(f[item.substr(0, eq)], item.substr(eq + 1)) << "caption \"" << caption << "\", " << item;
        }
    }
}

} // namespace

TEST(ButtonOptions, CaptionsTable)
{
    FakeButton b;
    ExpectCaptions(b, {
        {"Next", "text=Next|type=P|same=1|s15=8"},
        // A colon makes it options: "Time" is the type key with " 5" as value.
        {"Time: 5", "text=|type= "},
        {"Next", "type=P"},
        {"C:Next~U:next.bmp~D:nextdown.bmp~w:click", "text=Next|up=next.bmp|down=nextdown.bmp|dis=|wave=click.wav"},
        {"C:Other", "wave=click.wav"},   // without "w" the sound stays
        // A last value holding ":" is read again as options; "~" ends it.
        {"w:C:\\snd\\ding", "wave=C:\\snd\\ding.wav|text=\\snd\\ding"},
        {"w:C:\\snd\\ding~", "wave=C:\\snd\\ding.wav|text="},
        // Keys are one character, case-sensitive; "c2" is the style key with value "x".
        {"Caption:Hello~Z:zz~c2:x~Up:u.bmp~P:p.bmp", "text=Hello|up=u.bmp|dis=p.bmp|loads=0;"},
        {":abc~J:~B:Rx~N:1~C:", "J=|A=R|T=1|text="},
        // Border style and its digits; a short value sets only what it has.
        {"S:D2621", "B=D|s11=2|s13=6|s12=2|s14=1"},
        {"S:D3905", "s11=3|s13=9|s12=0|s14=5"},
        {"S:D9", "s11=9|s13=6|s12=2|s14=1"},
        {"S:T1234", "B=T|s11=2"},
        {"W:R255G128B0", "s0=0080FF"},
        {"W:R511 G -1B 2x", "s0=02FFFF"},
        {"W:R10", "s0=0A0A0A"},   // missing letters reread the rest
        {"W:9", "s0=0000FF"},
        {"W:F", "s0=FFFFFF"},
        {"L:0~O:0~o:-3~d:C", "s11=0|s14=0|s9=-3|s10=-3|s15=C"},
        {"F:Default", "font=16,0,0,Arial"},
        {"F:dialog", "font=-11,0,0,Arial"},
        {"F:12,1,0,Courier New", "font=12,1,0,Courier New"},
        // Numbered fields: "n#value", the whole text when there is no "#".
        {"f:15#7", "s15=7"},
        {"f:16#3", "same=1"},
        {"f:-1#3", "same=1"},
        {"f:junk", "s0=FFFFFF"},
        {"f:2#9", "s2=0000FF"},
        {"f:6#-5", "s6=-5"},
        {"f:12", "s12=12"},
        {"f:15#123456789", "s15=1234567"},
        {"f:15#", "s15="},
        {"f:00000000005#9", "s5=0000FF"},
        {"f:000000000005#9", "same=1"},   // a field number of twelve characters
        // Types and their shortcuts.
        {"T:Sa5", "type=S|up==sa|down==saH|dis==saD|state=5|s14=0|s11=0"},
        {"T:Su", "state="},
        {"T:S", "up==s|down==sH"},
        {"s:C~C:Check", "type=C|up==C|down==T|dis==L|s11=0|A=L|J=L|s6=19"},
        {"s:T", "down==F"},
        {"s:R", "type=R|up==U|down==D|dis==P|s6=19"},
        {"s:G", "B=R|J=G|s15=0"},
        {"s:B", "s15=C"},
        {"s:L", "s11=0|s14=0|J=L|s15=0"},
        {"s:H", "T=1|dis==HP"},
        {"s:P", "dis==VP"},
        {"s:V", "B=D|s11=1|s12=1|s13=1|s14=0"},
        {"s:x", "same=1|type=P"},
    });

    // A repeat button's interval digit; other types keep the state.
    for (auto [digit, ms] : {std::pair{'5', 500}, {'\0', 0}, {'9', 900}, {'\xff', 0}, {'a', 4900}})
        EXPECT_EQ(RepeatInterval(digit), ms) << digit;
    b.m_chState = 'C';
    ExpectCaptions(b, {{"T:Ix", "type=I|state=C|up="}});
}

TEST(ButtonOptions, StyleStringsAndCursor)
{
    FakeButton b;
    b.strings[7] = "7F88F0,0,0,F,1,1,2,2,6,1";
    b.strings[8] = "9ABCDE,3,-4,0,2,5,4,1,7,0";
    b.strings[9] = "C";
    ExpectCaptions(b, {
        {"c:7", "same=1|loads=7;"},
        {"c:8", "s0=0000FF|s1=00FF00|s2=00FFFF|s3=FF0000|s4=FF00FF|s5=FFFF00|s6=3|s7=-4|s8=000000|s9=2|s10=5|"
                "s11=4|s12=1|s13=7|s14=0|s15=8"},
        {"c:500", "same=1"},   // no such string: nothing changes
        // A short one sets only the colours it names (and, without commas, rereads itself).
        {"c:9", "s0=FF0000|s1=FFFFFF|s5=000000"},
    });
    PANELSTYLE direct = GetButtonStartStyle();
    EXPECT_EQ(LoadStyleString(b, 500, direct), 0);
    EXPECT_EQ(LoadStyleString(b, 8, direct), 1);

    // The cursor loads once; a failed load is tried again.
    b.cursorLoadsOk = false;
    ParseFields(b, "u:missing");
    b.cursorLoadsOk = true;
    ParseFields(b, "u:hand");
    ParseFields(b, "u:other~C:x");
    EXPECT_EQ(b.cursorLoads, (std::vector<std::string>{"missing", "hand"}));
}

TEST(ButtonOptions, LongInputStaysInsideTheBuffers)
{
    FakeButton b;
    // Captions are read to 254 characters, values cut to 199 after that.
    ExpectCaptions(b, {
        {std::string(300, 'x'), "text=" + std::string(kMaxCaption, 'x')},
        {"C:" + std::string(250, 'y'), "text=" + std::string(kMaxOptionToken, 'y')},
        {std::string(230, 'C') + ":abc~U:u", "text=abc|up=u"},
        // A sound name at the limit still gets its extension.
        {"w:" + std::string(240, 'w'), "wave=" + std::string(kMaxOptionToken, 'w') + ".wav"},
        // An option beyond the 254th character is not seen.
        {"C:a~" + std::string(248, 'z') + "~U:late", "up="},
    });
    // Style strings are read to 254 characters.
    b.strings[3] = "000000,1,1,0,1,1,1,1,1," + std::string(260, '5');
    ExpectCaptions(b, {{"c:3", "s14=2147483647"}});
}

TEST(ButtonOptions, FitSizeKeepsProportions)
{
    const struct {
        int w, h, roomW, roomH, fits, toW, toH;
    } rows[] = {
        {13, 13, 13, 14, 1, 13, 13},   // width may equal, height must be less
        {13, 13, 20, 13, 0, 13, 13},   // same size back when the height only touches
        {40, 20, 20, 30, 0, 20, 10},   // too wide: scaled to the width
        {20, 40, 30, 20, 0, 10, 20},   // too high: scaled to the height
        {100000, 100000, 30000, 40000, 0, 30000, 30000},
        {0, 5, 1, 1, 1, 0, 5},
    };
    for (const auto& r : rows) {
        int w = r.w, h = r.h, fits = FitSize(w, h, r.roomW, r.roomH);
        EXPECT_EQ(std::tie(fits, w, h), std::tie(r.fits, r.toW, r.toH)) << r.w << "x" << r.h;
    }
}

TEST(PanelStyle, ColourCodesDefaultsDecimalsAndFonts)
{
    const char codes[] = "0123456789ABCDEG";
    const std::int32_t colours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                    0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                    0xFF0000, 0xFF00FF, 0xFFFF00, 0x02F0CAA6};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(ColorFromCode(codes[i]), colours[i]) << codes[i];
    for (char other : {'F', 'g', 'a', 'c', ' ', '\0', '\xff', '-'})
        EXPECT_EQ(ColorFromCode(other), 0xFFFFFF) << static_cast<int>(other);

    const std::pair<const char*, std::int32_t> decimals[] = {
        {" \t-12x", -12}, {"\r+7", 7}, {"", 0}, {"abc", 0}, {"- 5", 0}, {"2147483647", INT_MAX},
        {"2147483648", INT_MAX}, {"-2147483648", INT_MIN}, {"-999999999999999999999999", INT_MIN},
        {"999999999999999999999999", INT_MAX}};
    for (auto [text, value] : decimals)
        EXPECT_EQ(ReadDecimal(text), value) << text;

    // Missing fields read the rest again; empty fields are not "0"; the
    // face keeps later commas and is cut; the text is consumed to its face.
    const struct {
        std::string spec;
        std::int32_t height, weight;
        bool italic;
        std::string face;
    } fonts[] = {
        {"-11,1,1,Arial", -11, 700, true, "Arial"},
        {"16,0,0,Times New Roman", 16, 0, false, "Times New Roman"},
        {"16", 16, 700, true, "16"},
        {"16,0", 16, 0, false, "0"},
        {",,,A,B", 0, 700, true, "A,B"},
        {"1,0,0," + std::string(100, 'x'), 1, 0, false, std::string(kMaxFaceName, 'x')},
    };
    for (const auto& row : fonts) {
        std::string spec = row.spec;
        FONTSPEC f = ReadFontSpec(spec);
        EXPECT_EQ(std::tie(f.nHeight, f.nWeight, f.bItalic, f.strFace),
                  std::tie(row.height, row.weight, row.italic, row.face)) << row.spec;
        EXPECT_TRUE(spec == row.face || row.face.size() == kMaxFaceName) << row.spec;
    }
}
