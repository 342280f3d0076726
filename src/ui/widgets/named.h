#pragma once

#include <QLatin1String>

namespace aquarium {

// The widget with its numbered name as its object name, for the code that finds it.
template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace aquarium
