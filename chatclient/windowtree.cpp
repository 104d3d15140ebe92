#include "windowtree.h"

#include <algorithm>

WindowTree::WindowTree() = default;
WindowTree::~WindowTree() = default;

Window* WindowTree::create(Window* parent, const QByteArray& cls, Role role, const QByteArray& text, bool front)
{
    auto w = std::make_unique<Window>();
    w->handle = next_++;
    w->cls = cls;
    w->role = role;
    w->text = text;
    w->parent = parent;
    Window* raw = w.get();
    auto& siblings = parent ? parent->children : root_.children;
    siblings.insert(front ? siblings.begin() : siblings.end(), std::move(w));
    byHandle_[raw->handle] = raw;
    emit structureChanged();
    return raw;
}

void WindowTree::unregister(Window* w)
{
    for (auto& c : w->children)
        unregister(c.get());
    byHandle_.erase(w->handle);
    // Pop-ups do not outlive their owner's handle.
    for (auto& top : root_.children)
        if (top->owner == w)
            top->owner = nullptr;
}

void WindowTree::destroy(Window* w)
{
    if (!w)
        return;
    unregister(w);
    auto& siblings = w->parent ? w->parent->children : root_.children;
    std::erase_if(siblings, [w](const auto& p) { return p.get() == w; });
    emit structureChanged();
}

Window* WindowTree::window(quint32 handle) const
{
    const auto it = byHandle_.find(handle);
    return it == byHandle_.end() ? nullptr : it->second;
}

// A parent's lookup covers its children and then the top-level pop-ups it owns, so that the
// frame's modal windows are reachable both from the top level and through the frame.
std::vector<Window*> WindowTree::searchOrder(quint32 parent) const
{
    std::vector<Window*> order;
    if (parent == 0) {
        for (auto& c : root_.children)
            order.push_back(c.get());
        return order;
    }
    const Window* p = window(parent);
    if (!p)
        return order;
    for (auto& c : p->children)
        order.push_back(c.get());
    for (auto& c : root_.children)
        if (c->owner == p)
            order.push_back(c.get());
    return order;
}

Window* WindowTree::find(quint32 parent, quint32 childAfter, const QByteArray& cls, const QByteArray& title) const
{
    const std::vector<Window*> order = searchOrder(parent);
    auto it = order.begin();
    if (childAfter != 0) {
        it = std::find_if(order.begin(), order.end(), [childAfter](Window* w) { return w->handle == childAfter; });
        if (it == order.end())
            return nullptr;
        ++it;
    }
    for (; it != order.end(); ++it)
        if ((*it)->cls == cls && (title.isEmpty() || (*it)->text == title))
            return *it;
    return nullptr;
}

Window* WindowTree::childOf(const Window* parent, const QByteArray& cls, int nth) const
{
    if (!parent)
        return nullptr;
    for (auto& c : parent->children)
        if (c->cls == cls && nth-- == 0)
            return c.get();
    return nullptr;
}

void WindowTree::raise(Window* w)
{
    auto& siblings = w->parent ? w->parent->children : root_.children;
    auto it = std::find_if(siblings.begin(), siblings.end(), [w](const auto& p) { return p.get() == w; });
    if (it == siblings.begin() || it == siblings.end())
        return;
    std::rotate(siblings.begin(), it, it + 1);
    emit structureChanged();
}

void WindowTree::setText(Window* w, const QByteArray& text)
{
    if (w->text == text)
        return;
    w->text = text;
    emit windowChanged(w->handle);
}

void WindowTree::appendLine(Window* w, const QByteArray& line, qsizetype keep)
{
    w->text += line;
    if (w->text.size() > keep) {
        const qsizetype from = w->text.size() - keep / 4 * 3;
        const qsizetype end = w->text.indexOf("\r\n", from);
        // The newest line stays whole even when it alone is over the bound.
        const qsizetype cut = end < 0 || end + 2 >= w->text.size() ? w->text.size() - line.size() : end + 2;
        w->text.remove(0, cut);
    }
    emit windowChanged(w->handle);
}

void WindowTree::setEnabled(Window* w, bool enabled)
{
    if (w->enabled == enabled)
        return;
    w->enabled = enabled;
    emit windowChanged(w->handle);
}

void WindowTree::logged(Window* transcript)
{
    emit windowChanged(transcript->handle);
}

quint32 WindowTree::createMenu()
{
    const quint32 h = next_++;
    menus_[h].handle = h;
    return h;
}

Menu* WindowTree::menu(quint32 handle)
{
    const auto it = menus_.find(handle);
    return it == menus_.end() ? nullptr : &it->second;
}

namespace {
QString quoted(const QByteArray& bytes)
{
    QString s = QStringLiteral("\"");
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            s += QLatin1Char('\\');
            s += QLatin1Char(ch);
        } else if (b >= 0x20 && b < 0x7F) {
            s += QLatin1Char(ch);
        } else {
            s += QStringLiteral("\\x%1").arg(b, 2, 16, QLatin1Char('0'));
        }
    }
    return s + QLatin1Char('"');
}
}

void WindowTree::dumpInto(const Window* w, int depth, QString& out) const
{
    out += QString(depth * 2, QLatin1Char(' '));
    out += QStringLiteral("handle=%1 class=%2 text=%3 enabled=%4")
               .arg(QString::number(w->handle), quoted(w->cls), quoted(w->text), QString::number(w->enabled ? 1 : 0));
    if (w->owner)
        out += QStringLiteral(" owner=%1").arg(w->owner->handle);
    if (w->menu)
        out += QStringLiteral(" menu=%1").arg(w->menu);
    out += QLatin1Char('\n');
    for (auto& c : w->children)
        dumpInto(c.get(), depth + 1, out);
}

// One line per window, children indented under their parent, top-level windows in order.
QString WindowTree::dump() const
{
    QString out;
    for (auto& c : root_.children)
        dumpInto(c.get(), 0, out);
    return out;
}
