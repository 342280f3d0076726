#pragma once

#include <QString>

#include <map>
#include <memory>
#include <optional>

namespace aquarium {

// Read-only access to string values of the current user's registry hive.
class Registry
{
public:
    virtual ~Registry() = default;
    // The string value name of key (backslash-separated, below the hive root);
    // nothing when the key or value is absent or not a string. Names compare
    // without regard to case.
    [[nodiscard]] virtual std::optional<QString> ReadString(const QString& key,
                                                            const QString& name) const = 0;
};

// The current user's hive as Wine keeps it: the text file <prefix>/user.reg.
// A missing file is an empty registry; one that exists but cannot be read (no permission,
// not a regular file) throws CannotOpen.
class WineRegistry : public Registry
{
public:
    [[nodiscard]] static std::unique_ptr<WineRegistry> FromFile(const QString& hostPath);
    [[nodiscard]] static std::unique_ptr<WineRegistry> FromText(const QString& text);

    std::optional<QString> ReadString(const QString& key, const QString& name) const override;

private:
    // upper-cased key -> upper-cased value name -> text
    std::map<QString, std::map<QString, QString>> m_keys;
};

// The registry the running program reads: Windows' own, or the Wine prefix's user.reg
// (which may throw as FromFile does).
[[nodiscard]] std::unique_ptr<Registry> OpenUserRegistry(const QString& winePrefixFolder);

} // namespace aquarium
