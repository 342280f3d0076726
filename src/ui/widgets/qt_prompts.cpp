#include "ui/widgets/qt_prompts.h"

#include "ui/widgets/window_place.h"

#include "core/platform/windows_path.h"
#include "core/state/app_state.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace aquarium {

void QtPrompts::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void QtPrompts::ShowError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

Choice QtPrompts::Ask(const QString& text, bool offerSave)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::NoButton,
                    m_parent);
    QPushButton* save = offerSave ? box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole)
                                  : nullptr;
    QPushButton* discard = box.addButton(QStringLiteral("破棄"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save ? save : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (save && box.clickedButton() == save)
        return Choice::Save;
    if (box.clickedButton() == discard)
        return Choice::Discard;
    return Choice::Cancel;
}

bool QtPrompts::Confirm(const QString& text, const QString& accept)
{
    QMessageBox box(QMessageBox::Warning, kApplicationTitle, text, QMessageBox::NoButton,
                    m_parent);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

int QtPrompts::Choose(const QString& text, const QStringList& buttons, int defaultButton)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, text, QMessageBox::NoButton,
                    m_parent);
    std::vector<QPushButton*> made;
    for (const QString& label : buttons)
        made.push_back(box.addButton(label, QMessageBox::AcceptRole));
    if (defaultButton >= 0 && defaultButton < int(made.size()))
        box.setDefaultButton(made[size_t(defaultButton)]);
    box.exec();
    const auto chosen = std::find(made.begin(), made.end(), box.clickedButton());
    return chosen == made.end() ? -1 : int(chosen - made.begin());
}

QString QtPrompts::QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(u';', u' ');
        filters << QStringLiteral("%1 (%2)").arg(parts[i], masks);
    }
    return filters.join(QStringLiteral(";;"));
}

std::unique_ptr<QFileDialog> QtPrompts::MakeFileDialog(const FileDialogRequest& request,
                                                       bool save) const
{
    auto made = std::make_unique<QFileDialog>(m_parent);
    QFileDialog& dialog = *made;
#ifndef Q_OS_WIN
    // Qt's own dialog, which reads Japanese with Qt's translation (a desktop's native
    // dialog would follow the desktop's language).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(QtFilter(request.Filter));
    if (!request.DefaultExtension.isEmpty())
        dialog.setDefaultSuffix(request.DefaultExtension);
    if (!request.ConfirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QString folder = m_paths.ToHost(request.InitialFolder);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        dialog.setDirectory(folder);
    QString name = request.FileName;
    if (!name.contains(u'*')) {
        if (name.contains(u'\\'))
            name = m_paths.ToHost(name);
        if (!name.isEmpty())
            dialog.selectFile(name);
    }
    CentreOn(dialog, m_parent);
    return made;
}

std::optional<QString> QtPrompts::Run(const FileDialogRequest& request, bool save)
{
    const std::unique_ptr<QFileDialog> made = MakeFileDialog(request, save);
    QFileDialog& dialog = *made;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return m_paths.ToWindows(dialog.selectedFiles().first());
}

std::optional<QString> QtPrompts::OpenFileName(const FileDialogRequest& request)
{
    return Run(request, false);
}

std::optional<QString> QtPrompts::SaveFileName(const FileDialogRequest& request)
{
    return Run(request, true);
}

} // namespace aquarium
