#include "forms.h"

#include <map>

namespace Forms {

namespace {
std::map<std::type_index, QPointer<QWidget>>& registry()
{
    static std::map<std::type_index, QPointer<QWidget>> forms;
    return forms;
}
// Load order: a window loaded again goes to the end.
std::vector<QPointer<QWidget>>& loadOrder()
{
    static std::vector<QPointer<QWidget>> order;
    return order;
}
}

namespace detail {

QWidget* find(std::type_index type)
{
    auto& r = registry();
    const auto it = r.find(type);
    return it == r.end() ? nullptr : it->second.data();
}

void store(std::type_index type, QWidget* window)
{
    registry()[type] = window;
    loadOrder().emplace_back(window);
}

QWidget* take(std::type_index type)
{
    auto& r = registry();
    const auto it = r.find(type);
    if (it == r.end())
        return nullptr;
    QWidget* w = it->second.data();
    r.erase(it);
    return w;
}

} // namespace detail

void unloadAll()
{
    auto& r = registry();
    auto forms = std::move(r);
    r.clear();
    for (auto& [type, w] : forms)
        delete w.data();
    loadOrder().clear();
}

QList<QWidget*> loadedWindows()
{
    auto& order = loadOrder();
    std::erase_if(order, [](const QPointer<QWidget>& w) { return w.isNull(); });
    QList<QWidget*> out;
    for (const auto& w : order)
        for (const auto& [type, registered] : registry())
            if (registered == w) {
                out << w.data();
                break;
            }
    return out;
}

} // namespace Forms
