#include "app/shell/qt_prompter.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTreeView>

#include "app/shell/file_checks.h"

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

QLocale GermanLocale() {
    return QLocale(QLocale::German, QLocale::Germany);
}

// Qt's own dialog formats sizes and dates with the system locale, which under X is often "C" with
// English month names; the program speaks German throughout.
class GermanFileColumns : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* model = qobject_cast<const QFileSystemModel*>(index.model());
        if (model == nullptr) return;
        if (index.column() == kSizeColumn && !model->isDir(index)) {
            option->text = FileSizeText(model->size(index));
        } else if (index.column() == kDateColumn) {
            option->text = FileDateText(model->lastModified(index));
        }
    }

  private:
    static constexpr int kSizeColumn = 1;
    static constexpr int kDateColumn = 3;
};

// An open dialog that names a typed file which does not exist and stays open for a correction.
class OpenFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (acceptMode() == AcceptOpen && !chosen.isEmpty() && !chosen.front().isEmpty() &&
            !QFileInfo::exists(chosen.front())) {
            QMessageBox::warning(this, kOpenErrorCaption, MissingFileText(chosen.front()));
            return;
        }
        QFileDialog::accept();
    }
};

// German formatting; the size, type and date columns wide enough for their texts, the name
// column taking the rest.
void FormatDetailView(QFileDialog& dialog) {
    dialog.setLocale(GermanLocale());
    auto* view = dialog.findChild<QTreeView*>("treeView");
    if (view == nullptr) return;
    view->setItemDelegate(new GermanFileColumns(view));
    const QFontMetrics metrics = view->fontMetrics();
    const int padding = metrics.horizontalAdvance("MM");
    view->header()->resizeSection(1, metrics.horizontalAdvance("1023,9 KiB") + padding);
    view->header()->resizeSection(2, metrics.horizontalAdvance("Windows-BMP-Bild") + padding);
    view->header()->resizeSection(3, metrics.horizontalAdvance("31.12.26 23:59") + padding);
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

}  // namespace

QString FileSizeText(qint64 bytes) {
    return GermanLocale().formattedDataSize(bytes);
}

QString FileDateText(const QDateTime& time) {
    return GermanLocale().toString(time, QLocale::ShortFormat);
}

QSize FirstFileDialogSize(const QSize& available) {
    const QSize wanted(960, 600);
    if (!available.isValid()) return wanted;
    return wanted.boundedTo(available * 9 / 10);
}

QString QtNameFilter(const FileFilter& filter) {
    QString patterns = filter.patterns;
    patterns.replace(';', ' ');
    return filter.text + " (" + patterns.simplified() + ")";
}

// Boxes asked for while a modal dialog is open (the palette editor's files and questions) belong to
// that dialog, so the window system keeps them, and the dialog, above the main window.
QWidget* QtPrompter::Parent() const {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : owner_.data();
}

Answer QtPrompter::Message(const MessageRequest& request) {
    QMessageBox box(BoxIcon(request.icon), request.caption, request.text, BoxButtons(request.buttons),
                    Parent());
    box.setDefaultButton(BoxButton(request.defaultButton));
    return AnswerOf(box.exec(), request.buttons);
}

std::optional<QString> QtPrompter::ChooseFile(const FileRequest& request) {
    OpenFileDialog dialog(Parent(), request.caption);
    const bool save = request.mode == FileRequest::Mode::kSave;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    FormatDetailView(dialog);
    if (!fileDialogState_.isEmpty()) dialog.restoreState(fileDialogState_);
    if (!fileDialogSize_.isValid()) {
        const QScreen* screen = owner_ != nullptr ? owner_->screen() : nullptr;
        fileDialogSize_ =
            FirstFileDialogSize(screen != nullptr ? screen->availableGeometry().size() : QSize());
    }
    dialog.resize(fileDialogSize_);
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
    const int result = dialog.exec();
    fileDialogSize_ = dialog.size();
    fileDialogState_ = dialog.saveState();
    if (result != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    return chosen.front();
}

int QtPrompter::RunDialog(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace tarkemo::app
