#pragma once
#include <QPointer>
#include <QWidget>

#include <typeindex>
#include <vector>

// One instance per window, created on first use; unloading destroys it and the next use loads
// it afresh, so it paints itself from the current skin again.
namespace Forms {

namespace detail {
QWidget* find(std::type_index type);
void store(std::type_index type, QWidget* window);
QWidget* take(std::type_index type);
}

// The window, loading it (hidden) when it is not loaded.
template <class T> T& get()
{
    if (QWidget* w = detail::find(typeid(T)))
        return *static_cast<T*>(w);
    T* w = new T;
    detail::store(typeid(T), w);
    // The load handler runs once the window is registered, so it may look itself up.
    if constexpr (requires { w->Form_Load(); })
        w->Form_Load();
    return *w;
}

// The window when loaded, else nullptr; never loads it.
template <class T> T* loaded() { return static_cast<T*>(detail::find(typeid(T))); }

// Destroys the window if it is loaded.
template <class T> void unload()
{
    if (QWidget* w = detail::take(typeid(T))) {
        w->hide();
        w->deleteLater();
    }
}

// Destroys every loaded window at once (tests start from nothing).
void unloadAll();

// Every loaded window, in the order they were loaded (a skin change repaints them all).
QList<QWidget*> loadedWindows();

} // namespace Forms
