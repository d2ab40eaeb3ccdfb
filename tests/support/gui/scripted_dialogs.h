// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "platform/services/dialogs.h"

namespace fake {

// One box the code under test showed, with every argument it was given. Only the request that
// belongs to `kind` is filled in.
struct ShownBox {
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder };
    Kind kind = Kind::Message;
    platform::MessageBoxRequest message;
    platform::InputBoxRequest input;
    platform::FileDialogRequest file;
    platform::FolderRequest folder;

    QString caption() const;
    QString text() const;  // the message text or the input prompt; empty for the others
};

// Dialogs that record every box and answer from a queue the test fills beforehand, in order.
// - A message box with only an OK button has nothing to decide: it answers OK and takes no
//   answer from the queue.
// - Any other box with no answer queued, or whose next answer is of another kind (a folder for
//   an input box), fails the test and is cancelled: Cancel, else No, else Abort for a message
//   box; nothing for an input box; an empty path for the others.
// - A button answer the box does not offer fails the test too.
// - Answers still queued when the double is destroyed fail the test: a box did not appear.
class ScriptedDialogs : public platform::Dialogs {
public:
    ~ScriptedDialogs() override;

    void answerButton(platform::DialogButton button);
    void answerInput(const QString& text);
    void cancelInput();
    void answerOpenFile(const QString& path);  // an empty path cancels
    void answerSaveFile(const QString& path);  // an empty path cancels
    void answerFolder(const QString& folder);  // an empty folder cancels

    const std::vector<ShownBox>& shown() const { return m_shown; }
    std::vector<platform::MessageBoxRequest> messages() const;
    QStringList messageTexts() const;
    void clearShown() { m_shown.clear(); }

    platform::DialogButton message(const platform::MessageBoxRequest& request) override;
    std::optional<QString> input(const platform::InputBoxRequest& request) override;
    QString openFile(const platform::FileDialogRequest& request) override;
    QString saveFile(const platform::FileDialogRequest& request) override;
    QString pickFolder(const platform::FolderRequest& request) override;

private:
    struct Answer {
        ShownBox::Kind kind;
        platform::DialogButton button = platform::DialogButton::None;
        std::optional<QString> text;
    };

    // Moves the next answer into `answer` when it fits the box; otherwise reports it missing.
    bool take(const ShownBox& box, Answer& answer);

    std::vector<ShownBox> m_shown;
    std::deque<Answer> m_answers;
};

}  // namespace fake
