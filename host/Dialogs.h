// Message boxes and file dialogs of the main windows go through here, so that window tests can answer them
// from a script while the real handlers run.
#pragma once
#include <QMessageBox>
#include <QString>

class QWidget;

struct FileDialogRequest {
    QString Title;
    // Qt form: "Файлы позиций Gambitron (*.pos)"; several filters are joined by ";;", and choosing one in
    // a save dialog makes its first pattern's suffix the default.
    QString Filter;
    QString DefaultSuffix; // "pos"
    QString Directory;
    QString FileName;
    bool Save = false;
    bool ConfirmOverwrite = false;
    bool MustExist = false;
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    // The chosen file's full path; empty when the user cancelled.
    virtual QString GetFileName(QWidget* Parent, const FileDialogRequest& Request) = 0;
    virtual void ShowMessage(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption,
                             const QString& Text) = 0;
    // A question with the buttons Yes and No; true for Yes.
    virtual bool AskQuestion(QWidget* Parent, const QString& Caption, const QString& Text) = 0;
};

namespace Dialogs {
QString GetFileName(QWidget* Parent, const FileDialogRequest& Request);
// A message box with one OK button. The text is plain text; a carriage return starts a new line.
void ShowMessage(QWidget* Parent, QMessageBox::Icon Icon, const QString& Caption, const QString& Text);
void Warning(QWidget* Parent, const QString& Caption, const QString& Text);
// Yes or No; No is the default button, so a stray Enter changes nothing.
bool Question(QWidget* Parent, const QString& Caption, const QString& Text);
// The user's Documents folder (the home folder when there is none): where the dialogs start.
QString DocumentsFolder();
// Replaces the real dialogs (tests); null restores them. The provider is not owned.
void SetProvider(DialogProvider* Provider);
} // namespace Dialogs
