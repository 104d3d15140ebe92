// The fixed tables checked whole, entry by entry: every banner line's bytes, flag and wait, and
// every ornament pair's bytes. A slip in any one entry fails here.
#include "chat/banners.h"
#include "editor/decorations.h"
#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {

struct Expected {
    QByteArray bytes;
    bool any;
    double wait;
};

#define TAGS "<font color=\"#C0C0C0\"><font face=\"arial\"> "
#define SHOP "<b>q</b>uorl <b>a</b>scii <b>s</b>hop \xB9\xB7\xB9"
#define TAIL "<font color=\"#C0C0C0\"><b>download!</b><font color=\"#C0C0C0\"> |</a>"
#define PUBLIC "http://quorl.example/get/quorl-public6.zip"
#define BETA "http://quorl.example/get/quorl-beta5.zip"
#define WILLOW "http://quorl.example/get/quorl-willow.zip"
// Ornament "~o~", handle "eve", skin "Dusk" by "Ann".
#define USER(address)                                                                              \
    TAGS "~o~ | <b>q</b>uorl | <b>n</b>ightjar | <b>u</b>ser:<b> eve </b>| < a href=\"" address "\">" TAIL

void expectBanner(Banners::Occasion occasion, const std::vector<Expected>& expected, const char* name)
{
    const Banners::Banner got = Banners::Build(occasion, "~o~", "eve", "Dusk", "Ann");
    ASSERT_EQ(got.size(), qsizetype(expected.size())) << name;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(CodePage::fromUnicode(got[i].text), expected[i].bytes) << name << " line " << i + 1;
        EXPECT_EQ(got[i].any, expected[i].any) << name << " line " << i + 1;
        EXPECT_DOUBLE_EQ(got[i].wait, expected[i].wait) << name << " line " << i + 1;
    }
}

TEST(BannerTable, EveryLineOfEveryBanner)
{
    using O = Banners::Occasion;
    const QByteArray advertizeLink = TAGS "~o~ | < a href=\"" PUBLIC "\"><font color=\"#C0C0C0\"><b>download!</b>"
                                          "<font color=\"#C0C0C0\"> | " SHOP " |</a>";
    expectBanner(O::AdvertizePanel,
                 {{TAGS "~o~ | " SHOP " | <b>a</b>dvertize |  <b>p</b>ublic <b>6</b>  |", true, 0.1},
                  {advertizeLink, true, 0}},
                 "advertize (panel)");
    expectBanner(O::AdvertizeMenu,
                 {{TAGS "~o~ | " SHOP " | <b>a</b>vertize |  <b>p</b>ublic <b>6</b>  |", true, 0.1},
                  {advertizeLink, true, 0}},
                 "advertize (menu)");
    expectBanner(O::MacroShopLoad, {{TAGS "~o~ | " SHOP " | <b>m</b>acro <b>s</b>hop | <b>l</b>oad |", true, 0.1}},
                 "macro shop load");
    expectBanner(O::MacroShopUnload,
                 {{TAGS "~o~ | " SHOP " | <b>m</b>acro <b>s</b>hop | <b>u</b>nload |", true, 0.1}},
                 "macro shop unload");
    expectBanner(O::Incoming, {{TAGS " | " SHOP " | <b>INCOMING!</b> | beta 4.1 |", true, 0}}, "incoming");
    expectBanner(O::Load,
                 {{TAGS "~o~ | " SHOP " | <b>l</b>oad | <b>p</b>ublic <b>6</b> |", true, 0.1},
                  {USER(PUBLIC), true, 0.2},
                  {TAGS "~o~ | <b>u</b>sing <b>s</b>kin: <b>Dusk by Ann | ", true, 0}},
                 "start-up");
    expectBanner(O::UnloadCloseButton,
                 {{TAGS "~o~ | " SHOP " | <b>u</b>nload |  <b>p</b>ublic <b>6</b>  |", true, 0.1},
                  {USER(PUBLIC), true, 0.1}},
                 "close button");
    expectBanner(O::UnloadPanel,
                 {{TAGS "~o~ | " SHOP " | <b>u</b>nload | [p] beta 5 |", true, 0.1}, {USER(BETA), true, 0.1}},
                 "close (panel)");
    expectBanner(O::UnloadMenu,
                 {{TAGS "~o~ | " SHOP " | <b>u</b>nload | <b>w</b>illow <b>e</b>dition |", true, 0.1},
                  {USER(WILLOW), true, 0}},
                 "close (menu)");
    expectBanner(O::SkinChanged,
                 {{TAGS "~o~ | " SHOP " | [p] beta 5 |", true, 0.1},
                  {TAGS "~o~ | <b>s</b>kin <b>c</b>hanged <b>t</b>o: <b>Dusk |", true, 0.1},
                  {TAGS "~o~ | <b>s</b>kin <b>b</b>y: <b>Ann</b> |", true, 0.1}},
                 "skin changed");
    expectBanner(O::TrayAdvertize,
                 {{TAGS "~o~ | " SHOP " | <b>a</b>dvertizing | beta 4.1 |", false, 0.1},
                  {TAGS "~o~ | <b>d</b>ownload | " SHOP " |", false, 0},
                  {"<font face=\"arial\"> ~o~ | quorl ascii shop \xB9\xB7\xB9 | advertizing | beta 4.1 |", true, 0.1},
                  {"<font face=\"arial\"> ~o~ | download | quorl ascii shop \xB9\xB7\xB9 |", true, 0}},
                 "tray advertize");
}

TEST(BannerTable, AnEmptyOrnamentAndHandleAreSentAsEmptyText)
{
    const Banners::Banner got = Banners::Build(Banners::Occasion::UnloadPanel, "", "");
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(CodePage::fromUnicode(got[0].text), QByteArray(TAGS " | " SHOP " | <b>u</b>nload | [p] beta 5 |"));
    EXPECT_TRUE(CodePage::fromUnicode(got[1].text).contains("<b>u</b>ser:<b>  </b>| < a href="));
}

TEST(OrnamentTable, EveryPairHasItsExactBytes)
{
    const std::map<int, std::pair<QByteArray, QByteArray>> table = {
        {1, {"\xA4\x95", "\x95\xA4"}},
        {2, {"\x8B\xAB\x96", "\x96\x9B\xBB"}},
        {3, {"\x95\xF7\xB7", "\xB7\xF7\x95"}},
        {4, {"\xB4\xAF\x60\xB7\x2E", "\x2E\xB7\xB4\xAF\x60"}},
        {5, {"\xF7\xD7\xA4", "\xA4\xD7\xF7"}},
        {6, {"\x8B\x95\x2E", "\x2E\x95\x9B"}},
        {7, {"\xA6\xF7\xB7", "\xB7\xF7\xA6"}},
        {8, {"\xF8\xBA\x95\xB7", "\xB7\x95\xBA\xF8"}},
        {9, {"\xAA\xB0\xB7", "\xB7\xB0\xAA"}},
        {11, {"\xA5\xF7\xB7", "\xB7\xF7\xA5"}},
        {12, {"\xB1\xA5\x2D", "\x2D\xA5\xB1"}},
        {13, {"\x8B\xB1\x9B\xB7", "\xB7\x8B\xB1\x9B"}},
        {14, {"\xF7\xB1\xBB", "\xAB\xB1\xF7"}},
        {15, {"\x28\xAF\x60\xB7\x2E\x5F\x29", "\x28\xAF\x60\xB7\x2E\x5F\x29"}},
    };
    for (int k = 0; k <= 16; ++k) {
        const auto pair = Decorations::PairFor(k);
        const auto want = table.find(k);
        if (want == table.end()) {
            EXPECT_FALSE(pair.has_value()) << k;
            continue;
        }
        ASSERT_TRUE(pair.has_value()) << k;
        EXPECT_EQ(CodePage::fromUnicode(pair->left), want->second.first) << k;
        EXPECT_EQ(CodePage::fromUnicode(pair->right), want->second.second) << k;
    }
}

} // namespace
