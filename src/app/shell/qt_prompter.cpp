#include "app/shell/qt_prompter.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "app/shell/progress_dialog.h"

namespace tarkemo::app {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::kInformation:
            return QMessageBox::Information;
        case MessageIcon::kQuestion:
            return QMessageBox::Question;
        case MessageIcon::kExclamation:
            return QMessageBox::Warning;
        case MessageIcon::kError:
            return QMessageBox::Critical;
        case MessageIcon::kNone:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::kOkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::kYesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::kYesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::kOk:
            break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton BoxButton(Answer answer) {
    switch (answer) {
        case Answer::kCancel:
            return QMessageBox::Cancel;
        case Answer::kYes:
            return QMessageBox::Yes;
        case Answer::kNo:
            return QMessageBox::No;
        case Answer::kOk:
            break;
    }
    return QMessageBox::Ok;
}

Answer AnswerOf(int button, MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return Answer::kOk;
        case QMessageBox::Yes:
            return Answer::kYes;
        case QMessageBox::No:
            return Answer::kNo;
        case QMessageBox::Cancel:
            return Answer::kCancel;
        default:
            break;
    }
    return buttons == MessageButtons::kYesNo ? Answer::kNo : Answer::kCancel;
}

}  // namespace

QString QtNameFilter(const FileFilter& filter) {
    QString patterns = filter.patterns;
    patterns.replace(';', ' ');
    return filter.text + " (" + patterns.simplified() + ")";
}

Answer QtPrompter::Message(const MessageRequest& request) {
    QMessageBox box(BoxIcon(request.icon), request.caption, request.text, BoxButtons(request.buttons),
                    owner_);
    box.setDefaultButton(BoxButton(request.defaultButton));
    return AnswerOf(box.exec(), request.buttons);
}

std::optional<QString> QtPrompter::ChooseFile(const FileRequest& request) {
    QFileDialog dialog(owner_, request.caption);
    const bool save = request.mode == FileRequest::Mode::kSave;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    // Extensions are matched without regard to case, as file names from other systems use both.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    QStringList nameFilters;
    for (const FileFilter& filter : request.filters) nameFilters << QtNameFilter(filter);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty()) {
        // A relative name (as given on the command line) starts the dialog in its own folder.
        const QFileInfo proposed(request.proposedName);
        dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return chosen.front();
}

int QtPrompter::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

std::unique_ptr<ProgressDisplay> QtPrompter::OpenProgress(bool cancellable) {
    return std::make_unique<ProgressDialogDisplay>(owner_, cancellable);
}

}  // namespace tarkemo::app
