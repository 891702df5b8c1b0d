// A Prompter for headless tests: questions, file choosers and dialogs are answered from a queue
// filled by the test, and everything asked is recorded. Boxes with only an OK button are answered
// OK without an entry in the queue; anything else asked without a queued answer fails the test.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "app/shell/prompter.h"

namespace tarkemo::app::testing {

class ScriptedPrompter : public Prompter {
  public:
    using DialogScript = std::function<int(QDialog&)>;

    struct Asked {
        enum class Kind { kMessage, kFile, kDialog };
        Kind kind;
        MessageRequest message;
        FileRequest file;
        QString dialogTitle;
    };

    void AnswerMessage(Answer answer) { replies_.emplace_back(answer); }
    void AnswerFile(const std::optional<QString>& file) {
        replies_.emplace_back(FileReply{file.value_or(QString()), file.has_value()});
    }
    void AnswerDialog(DialogScript script) { replies_.emplace_back(std::move(script)); }

    Answer Message(const MessageRequest& request) override {
        asked_.push_back(Asked{Asked::Kind::kMessage, request, {}, {}});
        if (request.buttons == MessageButtons::kOk) return Answer::kOk;
        if (replies_.empty() || !std::holds_alternative<Answer>(replies_.front())) {
            ADD_FAILURE() << "unexpected question: " << request.text.toStdString();
            return request.defaultButton;
        }
        const Answer answer = std::get<Answer>(replies_.front());
        replies_.pop_front();
        return answer;
    }

    std::optional<QString> ChooseFile(const FileRequest& request) override {
        asked_.push_back(Asked{Asked::Kind::kFile, {}, request, {}});
        if (replies_.empty() || !std::holds_alternative<FileReply>(replies_.front())) {
            ADD_FAILURE() << "unexpected file dialog";
            return std::nullopt;
        }
        const FileReply reply = std::get<FileReply>(replies_.front());
        replies_.pop_front();
        if (!reply.chosen) return std::nullopt;
        return reply.file;
    }

    int RunDialog(QDialog& dialog) override {
        asked_.push_back(Asked{Asked::Kind::kDialog, {}, {}, dialog.windowTitle()});
        if (replies_.empty() || !std::holds_alternative<DialogScript>(replies_.front())) {
            ADD_FAILURE() << "unexpected dialog: " << dialog.windowTitle().toStdString();
            return QDialog::Rejected;
        }
        const DialogScript script = std::get<DialogScript>(replies_.front());
        replies_.pop_front();
        return script(dialog);
    }

    const std::vector<Asked>& AskedSoFar() const { return asked_; }
    size_t UnusedReplies() const { return replies_.size(); }
    void Forget() { asked_.clear(); }

    // The last message box shown, or an empty request when none was.
    MessageRequest LastMessage() const {
        for (auto it = asked_.rbegin(); it != asked_.rend(); ++it) {
            if (it->kind == Asked::Kind::kMessage) return it->message;
        }
        return {};
    }

  private:
    struct FileReply {
        QString file;
        bool chosen = false;  // false: the dialog is cancelled
    };
    std::deque<std::variant<Answer, FileReply, DialogScript>> replies_;
    std::vector<Asked> asked_;
};

}  // namespace tarkemo::app::testing
