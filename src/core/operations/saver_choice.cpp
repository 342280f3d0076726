#include "core/operations/saver_choice.h"

#include "core/state/app_state.h"
#include "core/state/commands.h"

namespace aquarium {

AquariumChoice::AquariumChoice(AppState& state, std::uint64_t seed)
    : m_state(state), m_random(seed)
{
    for (const QString& entry : state.RandomList) {
        const QString path = state.Doc.DataFolder + entry;
        if (!entry.trimmed().isEmpty() && !m_candidates.contains(path, Qt::CaseInsensitive))
            m_candidates << path;
    }
}

std::uint64_t AquariumChoice::Draw()
{
    // splitmix64: the same choices for the same seed everywhere.
    std::uint64_t z = (m_random += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

QString AquariumChoice::Next()
{
    while (!m_candidates.isEmpty()) {
        // Another one than the one showing, when there is another.
        QStringList others = m_candidates;
        if (others.size() > 1)
            others.removeAll(m_current);
        const QString path = others[qsizetype(Draw() % std::uint64_t(others.size()))];
        if (LoadAquariumFile(m_state, path)) {
            m_state.CurrentFile = path;
            return m_current = path;
        }
        m_candidates.removeAll(path);
    }
    // No random list to choose from: the settings' own aquarium, when it loads.
    const QString own = m_state.SettingsAquarium;
    if (!m_current.isEmpty() && m_current == own)
        return own;
    if (!own.isEmpty() && LoadAquariumFile(m_state, own)) {
        m_state.CurrentFile = own;
        return m_current = own;
    }
    return QString();
}

} // namespace aquarium
