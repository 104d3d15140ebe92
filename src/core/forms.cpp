#include "forms.h"

#include <map>

namespace Forms {

namespace {
std::map<std::type_index, QPointer<QWidget>>& registry()
{
    static std::map<std::type_index, QPointer<QWidget>> forms;
    return forms;
}
}

namespace detail {

QWidget* find(std::type_index type)
{
    auto& r = registry();
    const auto it = r.find(type);
    return it == r.end() ? nullptr : it->second.data();
}

void store(std::type_index type, QWidget* window) { registry()[type] = window; }

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
}

} // namespace Forms
