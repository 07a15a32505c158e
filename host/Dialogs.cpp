// The real dialogs (Qt's own, not the desktop's, so they behave the same everywhere) and the hook that
// lets tests replace them.
#include "Dialogs.h"

#include "Language.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>

namespace {

class QtDialogs : public DialogProvider {
public:
    QString GetFileName(QWidget* Parent, const FileDialogRequest& Request) override {
        QFileDialog dialog(Parent, Request.Title);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(Request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(Request.MustExist && !Request.Save ? QFileDialog::ExistingFile
                                                              : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !Request.ConfirmOverwrite);
        if (!Request.Filter.isEmpty()) dialog.setNameFilter(Request.Filter);
        dialog.setDefaultSuffix(Request.DefaultSuffix);
        dialog.setDirectory(Request.Directory.isEmpty() ? Dialogs::DocumentsFolder() : Request.Directory);
        if (!Request.FileName.isEmpty()) dialog.selectFile(Request.FileName);
        if (dialog.exec() != QDialog::Accepted) return {};
        return dialog.selectedFiles().value(0);
    }

    void ShowMessage(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption,
                     const QString& Text) override {
        QString text = Text;
        // The windows write line breaks as carriage returns; a plain-text label breaks lines on "\n" only.
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar(u'\r'), QChar(u'\n'));
        QMessageBox box(Icon, Caption, text, QMessageBox::Ok, Parent);
        // File names and peers' text must never be read as markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    bool Ask(QWidget* Parent, const QString& Caption, const QString& Text) override {
        QMessageBox box(QMessageBox::Question, Caption, Text, QMessageBox::Yes | QMessageBox::No, Parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
};

QtDialogs RealDialogs;
DialogProvider* Provider = &RealDialogs;

} // namespace

namespace Dialogs {

QString GetFileName(QWidget* Parent, const FileDialogRequest& Request) {
    EnsureQtTexts();
    return Provider->GetFileName(Parent, Request);
}

void ShowMessage(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption, const QString& Text) {
    EnsureQtTexts();
    Provider->ShowMessage(Parent, Icon, Caption, Text);
}

void Warning(QWidget* Parent, const QString& Caption, const QString& Text) {
    ShowMessage(Parent, QMessageBox::Warning, Caption, Text);
}

bool Ask(QWidget* Parent, const QString& Caption, const QString& Text) {
    EnsureQtTexts();
    return Provider->Ask(Parent, Caption, Text);
}

QString DocumentsFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents;
    return QDir::homePath();
}

void SetProvider(DialogProvider* Replacement) {
    Provider = Replacement ? Replacement : &RealDialogs;
}

} // namespace Dialogs
