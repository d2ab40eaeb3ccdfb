// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/gui/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fake {

namespace {

using platform::DialogButton;
using platform::MessageButtons;
using Kind = ShownBox::Kind;

std::vector<DialogButton> offered(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return {DialogButton::OK};
        case MessageButtons::OKCancel:
            return {DialogButton::OK, DialogButton::Cancel};
        case MessageButtons::AbortRetryIgnore:
            return {DialogButton::Abort, DialogButton::Retry, DialogButton::Ignore};
        case MessageButtons::YesNoCancel:
            return {DialogButton::Yes, DialogButton::No, DialogButton::Cancel};
        case MessageButtons::YesNo:
            return {DialogButton::Yes, DialogButton::No};
        case MessageButtons::RetryCancel:
            return {DialogButton::Retry, DialogButton::Cancel};
    }
    return {DialogButton::OK};
}

DialogButton cancelButton(MessageButtons buttons) {
    const std::vector<DialogButton> set = offered(buttons);
    for (const DialogButton button :
         {DialogButton::Cancel, DialogButton::No, DialogButton::Abort}) {
        if (std::find(set.begin(), set.end(), button) != set.end()) return button;
    }
    return set.front();
}

const char* kindName(Kind kind) {
    switch (kind) {
        case Kind::Message:
            return "message box";
        case Kind::Input:
            return "input box";
        case Kind::OpenFile:
            return "Open dialog";
        case Kind::SaveFile:
            return "Save dialog";
        case Kind::Folder:
            return "folder picker";
    }
    return "box";
}

}  // namespace

QString ShownBox::caption() const {
    switch (kind) {
        case Kind::Message:
            return message.caption;
        case Kind::Input:
            return input.caption;
        case Kind::OpenFile:
        case Kind::SaveFile:
            return file.caption;
        case Kind::Folder:
            return folder.caption;
    }
    return {};
}

QString ShownBox::text() const {
    if (kind == Kind::Message) return message.text;
    if (kind == Kind::Input) return input.prompt;
    return {};
}

ScriptedDialogs::~ScriptedDialogs() {
    if (!m_answers.empty()) {
        ADD_FAILURE() << m_answers.size() << " answer(s) left unused; the first was for a "
                      << kindName(m_answers.front().kind);
    }
}

void ScriptedDialogs::answerButton(DialogButton button) {
    m_answers.push_back({Kind::Message, button, std::nullopt});
}
void ScriptedDialogs::answerInput(const QString& text) {
    m_answers.push_back({Kind::Input, DialogButton::None, text});
}
void ScriptedDialogs::cancelInput() {
    m_answers.push_back({Kind::Input, DialogButton::None, std::nullopt});
}
void ScriptedDialogs::answerOpenFile(const QString& path) {
    m_answers.push_back({Kind::OpenFile, DialogButton::None, path});
}
void ScriptedDialogs::answerSaveFile(const QString& path) {
    m_answers.push_back({Kind::SaveFile, DialogButton::None, path});
}
void ScriptedDialogs::answerFolder(const QString& folder) {
    m_answers.push_back({Kind::Folder, DialogButton::None, folder});
}

std::vector<platform::MessageBoxRequest> ScriptedDialogs::messages() const {
    std::vector<platform::MessageBoxRequest> result;
    for (const ShownBox& box : m_shown) {
        if (box.kind == Kind::Message) result.push_back(box.message);
    }
    return result;
}

QStringList ScriptedDialogs::messageTexts() const {
    QStringList texts;
    for (const auto& request : messages()) texts.append(request.text);
    return texts;
}

bool ScriptedDialogs::take(const ShownBox& box, Answer& answer) {
    if (!m_answers.empty() && m_answers.front().kind == box.kind) {
        answer = std::move(m_answers.front());
        m_answers.pop_front();
        return true;
    }
    ADD_FAILURE() << "No answer queued for the " << kindName(box.kind) << " \""
                  << box.caption().toStdString() << "\": \"" << box.text().toStdString() << "\""
                  << (m_answers.empty() ? std::string()
                                        : std::string("; the next answer is for a ") +
                                              kindName(m_answers.front().kind));
    return false;
}

DialogButton ScriptedDialogs::message(const platform::MessageBoxRequest& request) {
    ShownBox box;
    box.kind = Kind::Message;
    box.message = request;
    m_shown.push_back(box);
    if (request.buttons == MessageButtons::OK) return DialogButton::OK;

    Answer answer{Kind::Message, DialogButton::None, std::nullopt};
    if (!take(box, answer)) return cancelButton(request.buttons);
    const std::vector<DialogButton> set = offered(request.buttons);
    if (std::find(set.begin(), set.end(), answer.button) == set.end()) {
        ADD_FAILURE() << "The message box \"" << request.text.toStdString()
                      << "\" does not offer the queued button " << static_cast<int>(answer.button);
        return cancelButton(request.buttons);
    }
    return answer.button;
}

std::optional<QString> ScriptedDialogs::input(const platform::InputBoxRequest& request) {
    ShownBox box;
    box.kind = Kind::Input;
    box.input = request;
    m_shown.push_back(box);
    Answer answer{Kind::Input, DialogButton::None, std::nullopt};
    return take(box, answer) ? answer.text : std::nullopt;
}

QString ScriptedDialogs::openFile(const platform::FileDialogRequest& request) {
    ShownBox box;
    box.kind = Kind::OpenFile;
    box.file = request;
    m_shown.push_back(box);
    Answer answer{box.kind, DialogButton::None, std::nullopt};
    return take(box, answer) ? answer.text.value_or(QString()) : QString();
}

QString ScriptedDialogs::saveFile(const platform::FileDialogRequest& request) {
    ShownBox box;
    box.kind = Kind::SaveFile;
    box.file = request;
    m_shown.push_back(box);
    Answer answer{box.kind, DialogButton::None, std::nullopt};
    return take(box, answer) ? answer.text.value_or(QString()) : QString();
}

QString ScriptedDialogs::pickFolder(const platform::FolderRequest& request) {
    ShownBox box;
    box.kind = Kind::Folder;
    box.folder = request;
    m_shown.push_back(box);
    Answer answer{box.kind, DialogButton::None, std::nullopt};
    return take(box, answer) ? answer.text.value_or(QString()) : QString();
}

}  // namespace fake
