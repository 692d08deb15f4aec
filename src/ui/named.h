#pragma once
#include <QLatin1String>
#include <utility>

namespace hl {

// A new T built from arguments, carrying its designer name ("CheckBox1", "Edit3", ...) as
// objectName, by which the settings binder and the tests find it.
template <typename T, typename... Arguments> T* named(const char* name, Arguments&&... arguments) {
    auto* object = new T(std::forward<Arguments>(arguments)...);
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace hl
