#include "support/relayshop.h"

using namespace RelayTest;

// ---- the room as dumped, and copy for IRC ----

TEST(roomDump, ARoomTextHoldingPercentSignsIsDumpedAsWritten)
{
    ChatClientLauncher client{QStringList{}};
    START(client);
    ASSERT_NE(CommonKit::SendChatText(QStringLiteral("50%1 off %2")), 0u);
    EXPECT_TRUE(roomSays(client, QStringLiteral("50%1 off %2"))) << client.dump().toStdString();
    EXPECT_FALSE(client.dump().contains(QLatin1String("enabled=%"))) << client.dump().toStdString();
}

// ---- the room as dumped, and copy for IRC ----

TEST(copyForIrc, ALineStartingWithASlashStartsWithTheResetCodeSoNoClientRunsIt)
{
    EXPECT_EQ(IrcColors::forPaste({QStringLiteral("/me dances"), QStringLiteral("plain"), QStringLiteral(" /x")})
                  .toStdString(),
              "\x0f/me dances\x0F\nplain\x0F\n /x\x0F");
}

TEST_F(relayShop, CopyForIrcLeavesTheRedPageAsColourFourOnTheClipboard)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    type(1, QStringLiteral("<font color=\"#FF0000\">red art"));
    type(3, QStringLiteral("<b>bold</b> plain"));
    main().show();
    click(main().Label5);
    menu3& edit = Forms::get<menu3>();
    ASSERT_TRUE(edit.isVisible());
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_FALSE(edit.isVisible());
    // One line a page; the empty pages leave no line.
    EXPECT_EQ(clipboardByXclip(), kRed + "\n\x02" "bold\x02 plain\x0F");
}

TEST_F(relayShop, CopyForIrcWithEveryPageEmptyLeavesTheClipboardAndSaysNothingWasCopied)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    QApplication::clipboard()->setText(QStringLiteral("held before"));
    for (int n = 1; n <= 4; ++n)
        main().page(n)->clear();
    main().show();
    click(main().Label5);
    menu3& edit = Forms::get<menu3>();
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_EQ(clipboardByXclip(), "held before");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0].text.toStdString(),
              "Nothing was copied: every page is empty. The clipboard holds what it held.");
}

TEST_F(relayShop, CopyForIrcInTheMacroShopCopiesTheMacroLineByLine)
{
    NEED("xclip");
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display for xclip";
    frmdraw& d = Forms::get<frmdraw>();
    d.show();
    d.Text1->setText(QStringLiteral("<font color=\"#FF0000\">red art\r\n\r\n<font color=#0000FF>blue"));
    press(d.Label5);
    mnu4& edit = Forms::get<mnu4>();
    ASSERT_TRUE(edit.isVisible());
    PushLabel* item = edit.item(QStringLiteral("copy for &IRC"));
    ASSERT_NE(item, nullptr);
    click(item);
    EXPECT_EQ(clipboardByXclip(), kRed + "\n\n\x03" "12blue\x0F");
}
