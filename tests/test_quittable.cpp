// The four quit commands, each made as the user makes it, checked against every column of the
// quit table: whether it asks first, what happens to an empty page, whether output/text.gly is
// written, and which unload banner reaches the chat room.
#include "support/chatclientlauncher.h"
#include "support/shoptest.h"

#include "app/startup.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu7.h"
#include "skin/pushlabel.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTimer>

namespace {

// A left click as the mouse makes it: a press and a release at the same place.
void click(QWidget* w, QPoint at = {5, 5})
{
    const QPointF local(at);
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
}

enum class How { CloseButton, FilesMenu, WindowMenu, OptionsPanel };

struct Row {
    How how;
    const char* name;
    bool asks;
    bool emptyPageWritten; // else its file is deleted
    bool wholeFile;
    QByteArray bannerEnd; // the end of the banner's first line
};

class QuitTable : public ShopTest, public ::testing::WithParamInterface<Row> {
protected:
    frmmain& ready()
    {
        writeSettings();
        Startup::SetCommandLine({});
        Startup::Launch();
        frmmain& main = Forms::get<frmmain>();
        if (main.Timer8->isActive())
            main.Timer8_Timer();
        main.setPageTexts({"one", "two", "", "four"});
        return main;
    }
};

TEST_P(QuitTable, EveryColumnOfTheRow)
{
    const Row row = GetParam();
    ChatClientLauncher client({"--headless"});
    ASSERT_TRUE(client.start()) << client.error().toStdString();
    writeBytes("output/text3.gly", "old\r\n");
    frmmain& main = ready();
    const int bannersBefore = int(client.transcript().size());
    prompts.answers = {Prompts::Answer::Yes};

    switch (row.how) {
    case How::CloseButton:
        click(main.Label7, {3, 3});
        break;
    case How::FilesMenu:
        click(Forms::get<menu1>().item("&close"));
        break;
    case How::WindowMenu:
        click(Forms::get<menu7>().item("&close"));
        break;
    case How::OptionsPanel:
        click(Forms::get<ops>().Label12);
        break;
    }

    EXPECT_EQ(process.ends, 1) << row.name;
    EXPECT_EQ(prompts.messages.size(), row.asks ? 1 : 0) << row.name;
    if (row.emptyPageWritten)
        EXPECT_EQ(readBytes("output/text3.gly"), QByteArray("\r\n")) << row.name;
    else
        EXPECT_FALSE(QFile::exists(path("output/text3.gly"))) << row.name;
    EXPECT_EQ(readBytes("output/text1.gly"), QByteArray("one\r\n")) << row.name;
    if (row.wholeFile)
        EXPECT_EQ(readBytes("output/text.gly"), QByteArray("one\r\ntwo\r\n\r\nfour\r\n\r\n")) << row.name;
    else
        EXPECT_FALSE(QFile::exists(path("output/text.gly"))) << row.name;

    const auto lines = client.transcript();
    ASSERT_GE(lines.size(), bannersBefore + 2) << row.name;
    EXPECT_TRUE(lines[bannersBefore].bytes.endsWith(row.bannerEnd))
        << row.name << ": " << lines[bannersBefore].bytes.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    FourCommands, QuitTable,
    ::testing::Values(
        Row{How::CloseButton, "close button", true, false, true, "<b>u</b>nload |  <b>p</b>ublic <b>6</b>  |"},
        Row{How::FilesMenu, "Files menu", false, true, false, "<b>u</b>nload | <b>w</b>illow <b>e</b>dition |"},
        Row{How::WindowMenu, "window menu", false, true, false, "<b>u</b>nload | <b>w</b>illow <b>e</b>dition |"},
        Row{How::OptionsPanel, "options panel", false, false, true, "<b>u</b>nload | [p] beta 5 |"}),
    [](const ::testing::TestParamInfo<Row>& info) {
        return std::string(info.param.how == How::CloseButton   ? "CloseButton"
                           : info.param.how == How::FilesMenu   ? "FilesMenu"
                           : info.param.how == How::WindowMenu  ? "WindowMenu"
                                                                : "OptionsPanel");
    });

} // namespace
