// The stand-in chat client's handling of chat-bus requests: any sequence of window calls with any
// handles, messages and texts, as a misbehaving peer might send them, is answered without a crash,
// and every handle it gives out names a window it holds.
#include "fuzzinput.h"

#include "busservice.h"
#include "chatclient.h"
#include "windowtree.h"

#include <QGuiApplication>

namespace {
const quint32 kMessages[] = {Msg::Activate, Msg::Nine,  Msg::SetText,    Msg::GetText,  Msg::GetTextLength,
                             Msg::Close,    Msg::Char,  Msg::Command,    Msg::ButtonDown, Msg::ButtonUp};
const char* const kClasses[] = {"Chat Frame25", "MDIClient", "Chat Child", "RICHCNTL", "_Chat_Modal",
                                "_Chat_View",   "_Chat_Edit", "_Chat_Icon", "_Chat_Combobox", "Edit"};
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    WindowTree tree;
    ChatClient client(tree);
    Layout layout;
    const quint8 shape = in.byte();
    layout.classic = shape & 1;
    layout.roomBehind = shape & 2;
    layout.upload = shape & 4;
    layout.wait = shape & 8;
    layout.noRoom = shape & 16;
    client.build(layout);
    BusService service(client);

    // Handles come mostly from the small range the tree uses, sometimes raw.
    auto handle = [&] {
        const quint8 b = in.byte();
        return b < 200 ? quint32(b % 40) : in.u32();
    };
    auto message = [&] {
        const quint8 b = in.byte();
        return b < 200 ? kMessages[b % std::size(kMessages)] : in.u32();
    };
    auto cls = [&] {
        const quint8 b = in.byte();
        return b < 200 ? QByteArray(kClasses[b % std::size(kClasses)]) : in.field();
    };

    for (int step = 0; step < 64 && !in.atEnd(); ++step) {
        quint32 found = 0;
        switch (in.byte() % 10) {
        case 0: found = service.FindWindow(cls(), in.byte() & 1 ? in.field() : QByteArray()); break;
        case 1: {
            const quint32 parent = handle();
            const quint32 after = handle();
            found = service.FindWindowEx(parent, after, cls(), in.byte() & 1 ? in.field() : QByteArray());
            break;
        }
        case 2: {
            const quint32 h = handle();
            const quint32 m = message();
            const quint32 w = in.u32();
            service.SendMessage(h, m, w, qint32(in.u32()));
            break;
        }
        case 3: {
            const quint32 h = handle();
            const quint32 m = message();
            service.SendMessageText(h, m, in.byte(), in.field());
            break;
        }
        case 4: {
            QByteArray text;
            const quint32 h = handle();
            const quint32 m = message();
            service.SendMessageGetText(h, m, in.u32(), text);
            break;
        }
        case 5: {
            const quint32 h = handle();
            const quint32 m = message();
            const quint32 w = in.u32();
            service.PostMessage(h, m, w, qint32(in.u32()));
            break;
        }
        case 6: {
            const quint32 h = handle();
            service.EnableWindow(h, in.byte() & 1);
            break;
        }
        case 7: {
            const quint32 menu = service.GetMenu(handle());
            const int pos = int(qint8(in.byte()));
            const quint32 sub = service.GetSubMenu(menu, pos);
            service.GetMenuItemID(sub, int(qint8(in.byte())));
            break;
        }
        case 8: service.Dump(); break;
        case 9: QCoreApplication::processEvents(); break;
        }
        if (found)
            FUZZ_CHECK(service.IsWindow(found));
    }
    QCoreApplication::processEvents();
    return 0;
}
