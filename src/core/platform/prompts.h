#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace aquarium {

// What a file dialog is asked to show. Folders and names are Windows paths.
struct FileDialogRequest
{
    QString Filter;           // "Ulvaro Data File|*.uld", pairs separated by '|'
    QString InitialFolder;    // empty: wherever the dialog was last
    QString FileName;         // proposed file name (may be a full path)
    QString DefaultExtension; // without dot, added when the user types none
    bool ConfirmOverwrite = false; // save dialogs: ask before replacing a file
};

// The answer to a question about unsaved work.
enum class Choice { Save, Discard, Cancel };

// Every message box and file dialog of the program goes through this interface.
// The Qt implementation opens real dialogs; ScriptedPrompts answers from a queue.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // The program's own message: a plain box with one OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The application's error box, for PlatformError texts.
    virtual void ShowError(const QString& text) = 0;
    // Returns the chosen Windows path, or nothing when the user cancels.
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
    // A question about unsaved work with the buttons 保存 (only when offerSave), 破棄 and
    // キャンセル. Closing the box is a cancel.
    virtual Choice Ask(const QString& text, bool offerSave) = 0;
    // A question with the buttons accept and キャンセル (the default); true for accept.
    virtual bool Confirm(const QString& text, const QString& accept) = 0;
    // A question with the given buttons; the index of the one chosen, -1 when the box was
    // closed.
    virtual int Choose(const QString& text, const QStringList& buttons, int defaultButton) = 0;
};

// Records every message and answers every dialog from a queue of answers (an empty
// answer, or an exhausted queue, is a cancel). Used by tests and the command-line tool.
class ScriptedPrompts : public Prompts
{
public:
    struct Record
    {
        enum class Kind { Message, Error, OpenDialog, SaveDialog, Question } kind;
        QString text;              // message or question text; for dialogs the answer given
        FileDialogRequest request; // dialogs only
    };

    void QueueAnswer(std::optional<QString> answer) { m_answers.push_back(std::move(answer)); }
    // Answers of the questions, in order; an exhausted queue cancels.
    void QueueChoice(Choice choice) { m_choices.push_back(choice); }
    // Called with each message or error text as it is shown.
    void OnMessage(std::function<void(const QString&)> sink) { m_sink = std::move(sink); }

    void ShowMessage(const QString& text) override;
    void ShowError(const QString& text) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    Choice Ask(const QString& text, bool offerSave) override;
    // Answered from the choices: Save accepts, anything else cancels.
    bool Confirm(const QString& text, const QString& accept) override;
    // Answered from the buttons queued by their labels; an exhausted queue closes the box.
    int Choose(const QString& text, const QStringList& buttons, int defaultButton) override;
    void QueueButton(const QString& label) { m_buttons.push_back(label); }

    const std::vector<Record>& Records() const { return m_records; }
    // Texts of the messages and errors shown, in order.
    [[nodiscard]] QStringList Messages() const;
    // Requests of the dialogs opened, in order.
    [[nodiscard]] std::vector<FileDialogRequest> Dialogs() const;
    // Texts of the questions asked, in order.
    [[nodiscard]] QStringList Questions() const;
    void Clear() { m_records.clear(); }

private:
    std::optional<QString> Answer(Record::Kind kind, const FileDialogRequest& request);

    std::deque<std::optional<QString>> m_answers;
    std::deque<Choice> m_choices;
    std::deque<QString> m_buttons;
    std::vector<Record> m_records;
    std::function<void(const QString&)> m_sink;
};

} // namespace aquarium
