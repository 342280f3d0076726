#include "core/platform/prompts.h"

namespace aquarium {

void ScriptedPrompts::ShowMessage(const QString& text)
{
    m_records.push_back({Record::Kind::Message, text, {}});
    if (m_sink)
        m_sink(text);
}

void ScriptedPrompts::ShowError(const QString& text)
{
    m_records.push_back({Record::Kind::Error, text, {}});
    if (m_sink)
        m_sink(text);
}

std::optional<QString> ScriptedPrompts::Answer(Record::Kind kind, const FileDialogRequest& request)
{
    std::optional<QString> answer;
    if (!m_answers.empty()) {
        answer = std::move(m_answers.front());
        m_answers.pop_front();
    }
    if (answer && answer->isEmpty())
        answer.reset();
    m_records.push_back({kind, answer.value_or(QString()), request});
    return answer;
}

std::optional<QString> ScriptedPrompts::OpenFileName(const FileDialogRequest& request)
{
    return Answer(Record::Kind::OpenDialog, request);
}

std::optional<QString> ScriptedPrompts::SaveFileName(const FileDialogRequest& request)
{
    return Answer(Record::Kind::SaveDialog, request);
}

Choice ScriptedPrompts::Ask(const QString& text, bool offerSave)
{
    Choice choice = Choice::Cancel;
    if (!m_choices.empty()) {
        choice = m_choices.front();
        m_choices.pop_front();
    }
    if (choice == Choice::Save && !offerSave)
        choice = Choice::Cancel;
    m_records.push_back({Record::Kind::Question, text, {}});
    return choice;
}

bool ScriptedPrompts::Confirm(const QString& text, const QString&)
{
    return Ask(text, true) == Choice::Save;
}

int ScriptedPrompts::Choose(const QString& text, const QStringList& buttons, int)
{
    m_records.push_back({Record::Kind::Question, text, {}});
    if (m_buttons.empty())
        return -1;
    const QString label = m_buttons.front();
    m_buttons.pop_front();
    return int(buttons.indexOf(label));
}

QStringList ScriptedPrompts::Questions() const
{
    QStringList texts;
    for (const Record& r : m_records) {
        if (r.kind == Record::Kind::Question)
            texts << r.text;
    }
    return texts;
}

QStringList ScriptedPrompts::Messages() const
{
    QStringList texts;
    for (const Record& r : m_records) {
        if (r.kind == Record::Kind::Message || r.kind == Record::Kind::Error)
            texts << r.text;
    }
    return texts;
}

std::vector<FileDialogRequest> ScriptedPrompts::Dialogs() const
{
    std::vector<FileDialogRequest> requests;
    for (const Record& r : m_records) {
        if (r.kind == Record::Kind::OpenDialog || r.kind == Record::Kind::SaveDialog)
            requests.push_back(r.request);
    }
    return requests;
}

} // namespace aquarium
