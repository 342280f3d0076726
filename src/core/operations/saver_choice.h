#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace aquarium {

struct AppState;

// What the screen saver shows, as the screen saver chooses it: when the data folder's
// random.uld lists aquarium files that load, one of them at random (another one at each
// Next while there are several); otherwise the aquarium file of the settings. A file
// that does not load is dropped from the choice for good.
class AquariumChoice
{
public:
    // state: after start-up, with its random list read. Its prompts should be silent.
    AquariumChoice(AppState& state, std::uint64_t seed);
    // Loads the next aquarium into the state; returns its Windows path, or an empty
    // string when nothing can be shown.
    QString Next();

private:
    [[nodiscard]] std::uint64_t Draw();

    AppState& m_state;
    std::uint64_t m_random;
    QStringList m_candidates; // Windows paths
    QString m_current;
};

} // namespace aquarium
