#include "busservice.h"

#include "chatclient.h"

#include <QElapsedTimer>
#include <QThread>

namespace {
// Texts are C strings on the desktop this mimics: they end at the first NUL (gdbus's b'...'
// sends one).
QByteArray cString(const QByteArray& bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    return nul < 0 ? bytes : bytes.left(nul);
}
}

BusService::BusService(ChatClient& client, QObject* parent)
    : QObject(parent)
    , client_(client)
{
}

void BusService::misbehave() const
{
    if (faults_.delayMs > 0)
        QThread::msleep(ulong(faults_.delayMs));
}

uint BusService::modalLookup(const QByteArray& cls)
{
    if (!faults_.endlessModals || cString(cls) != "_Chat_Modal")
        return 0;
    return client_.tree().create(nullptr, "_Chat_Modal", Role::Modal, "Please wait")->handle;
}

uint BusService::FindWindow(const QByteArray& cls, const QByteArray& title)
{
    misbehave();
    if (const uint modal = modalLookup(cls))
        return modal;
    const Window* w = client_.tree().find(0, 0, cString(cls), cString(title));
    return w ? w->handle : 0;
}

uint BusService::FindWindowEx(uint parent, uint childAfter, const QByteArray& cls, const QByteArray& title)
{
    misbehave();
    if (const uint modal = modalLookup(cls))
        return modal;
    if (faults_.sameRoom && childAfter && cString(cls) == "Chat Child")
        return childAfter;
    const Window* w = client_.tree().find(parent, childAfter, cString(cls), cString(title));
    return w ? w->handle : 0;
}

qlonglong BusService::SendMessage(uint hwnd, uint msg, qulonglong wParam, qlonglong lParam)
{
    misbehave();
    if (faults_.busyMs > 0 && msg == 0x0102 && wParam == 13) {
        // Working, not sleeping: a room slow to take a message spends CPU on it.
        QElapsedTimer busy;
        busy.start();
        volatile quint64 work = 0;
        while (busy.elapsed() < faults_.busyMs)
            work = work + 1;
    }
    return client_.sendMessage(hwnd, msg, wParam, lParam);
}

qlonglong BusService::SendMessageText(uint hwnd, uint msg, qulonglong wParam, const QByteArray& text)
{
    misbehave();
    return client_.sendText(hwnd, msg, wParam, cString(text));
}

qlonglong BusService::SendMessageGetText(uint hwnd, uint msg, qulonglong wParam, QByteArray& text)
{
    misbehave();
    return client_.receiveText(hwnd, msg, wParam, &text);
}

bool BusService::PostMessage(uint hwnd, uint msg, qulonglong wParam, qlonglong lParam)
{
    misbehave();
    return client_.postMessage(hwnd, msg, wParam, lParam);
}

bool BusService::EnableWindow(uint hwnd, bool enable)
{
    misbehave();
    return client_.enableWindow(hwnd, enable);
}

uint BusService::GetMenu(uint hwnd)
{
    misbehave();
    return client_.getMenu(hwnd);
}

uint BusService::GetSubMenu(uint hmenu, int pos)
{
    misbehave();
    return client_.getSubMenu(hmenu, pos);
}

uint BusService::GetMenuItemID(uint hmenu, int pos)
{
    misbehave();
    return client_.getMenuItemID(hmenu, pos);
}

QString BusService::Dump()
{
    return client_.tree().dump();
}

QString BusService::RoomText(uint hwnd)
{
    const RoomLog* log = client_.roomLog(hwnd);
    return log ? log->text() : QString();
}

QList<double> BusService::RoomLineX(uint hwnd, int line, int first, int count)
{
    const RoomLog* log = client_.roomLog(hwnd);
    return log ? log->lineX(line, first, count) : QList<double>();
}

bool BusService::IsWindow(uint hwnd)
{
    return client_.tree().window(hwnd) != nullptr;
}
