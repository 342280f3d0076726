#pragma once

#include "core/platform/prompts.h"

#include <memory>

class QFileDialog;
class QWidget;

namespace aquarium {

class PathMap;

// Prompts as real message boxes and file dialogs. Dialog paths cross into Windows form here.
class QtPrompts : public Prompts
{
public:
    explicit QtPrompts(const PathMap& paths) : m_paths(paths) { }

    void SetParent(QWidget* parent) { m_parent = parent; }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    Choice Ask(const QString& text, bool offerSave) override;
    bool Confirm(const QString& text, const QString& accept) override;
    int Choose(const QString& text, const QStringList& buttons, int defaultButton) override;

    // The file dialog a request opens, not yet shown (tests look at it).
    [[nodiscard]] std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogRequest& request,
                                                              bool save) const;

    // "Ulvaro Data File|*.uld" in Qt's form: "Ulvaro Data File (*.uld)".
    [[nodiscard]] static QString QtFilter(const QString& filter);

private:
    std::optional<QString> Run(const FileDialogRequest& request, bool save);

    const PathMap& m_paths;
    QWidget* m_parent = nullptr;
};

} // namespace aquarium
