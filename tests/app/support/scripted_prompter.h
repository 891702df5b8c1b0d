// A Prompter for headless tests: questions, file choosers and dialogs are answered from a queue
// filled by the test, and everything asked is recorded. Boxes with only an OK button are answered
// OK without an entry in the queue; anything else asked without a queued answer fails the test.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <deque>
#include <functional>
#include <memory>
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
    void AnswerFile(std::optional<QString> file) { replies_.emplace_back(FileReply{std::move(file)}); }
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
        std::optional<QString> file = std::get<FileReply>(replies_.front()).file;
        replies_.pop_front();
        return file;
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

    // The long operation that can be cancelled, after `skip` others, is cancelled as soon as it
    // starts, as if the person pressed "Abbrechen" at once.
    void CancelNextOperation(int skip = 0) { cancelAfter_ = skip; }
    int ProgressDisplaysOpened() const { return progressOpened_; }

    std::unique_ptr<ProgressDisplay> OpenProgress(bool cancellable) override {
        ++progressOpened_;
        bool cancel = false;
        if (cancellable && cancelAfter_ >= 0) cancel = cancelAfter_-- == 0;
        return std::make_unique<ScriptedProgress>(cancel);
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
    class ScriptedProgress : public ProgressDisplay {
      public:
        explicit ScriptedProgress(bool cancel) : cancel_(cancel) {}
        bool Update(int64_t, int64_t, int64_t) override { return cancel_; }

      private:
        bool cancel_;
    };

    struct FileReply {
        std::optional<QString> file;
    };
    std::deque<std::variant<Answer, FileReply, DialogScript>> replies_;
    std::vector<Asked> asked_;
    int cancelAfter_ = -1;
    int progressOpened_ = 0;
};

}  // namespace tarkemo::app::testing
