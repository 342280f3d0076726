#pragma once

#include <QJsonObject>
#include <QStringList>

namespace aquarium {

struct AppState;

// The application state as the command-line tool prints it; messages are the texts
// shown while producing it.
[[nodiscard]] QJsonObject StateToJson(const AppState& state, const QStringList& messages);

[[nodiscard]] QString AerationName(int position);

} // namespace aquarium
