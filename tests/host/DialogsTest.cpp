// The real file dialogs and message boxes, driven while they are open, and the scripted stand-ins.
#include "Dialogs.h"
#include "WindowTestHarness.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs Check on the modal dialog once it is open; Check closes it.
template <typename Dialog> void WhenOpen(std::function<void(Dialog*)> Check) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, Check] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            Check(dialog);
        }
    });
    poll->start(20);
}

FileDialogRequest SaveRequest(const QString& directory) {
    FileDialogRequest r;
    r.Title = QStringLiteral("Сохранение игры");
    r.Filter = QStringLiteral("Файлы позиций Gambitron (*.pos)");
    r.DefaultSuffix = QStringLiteral("pos");
    r.Directory = directory;
    r.FileName = QStringLiteral("Партия 1");
    r.Save = true;
    r.ConfirmOverwrite = true;
    return r;
}

} // namespace

TEST(FileDialogs, SaveDialogShowsTheRequestAndAddsTheDefaultSuffix) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WhenOpen<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Сохранение игры"));
        EXPECT_EQ(d->nameFilters(), QStringList(QStringLiteral("Файлы позиций Gambitron (*.pos)")));
        EXPECT_EQ(d->defaultSuffix(), QStringLiteral("pos"));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        static_cast<QDialog*>(d)->accept();
    });
    const QString chosen = Dialogs::GetFileName(nullptr, SaveRequest(dir.path()));
    EXPECT_EQ(QFileInfo(chosen).fileName(), QStringLiteral("Партия 1.pos"));
    EXPECT_EQ(QFileInfo(chosen).dir().canonicalPath(), QDir(dir.path()).canonicalPath());
}

TEST(FileDialogs, OpenDialogAsksForAnExistingFileAndACancelGivesNoName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FileDialogRequest r;
    r.Title = QStringLiteral("Загрузка игры");
    r.Filter = QStringLiteral("Файлы позиций Gambitron (*.pos)");
    r.DefaultSuffix = QStringLiteral("pos");
    r.Directory = dir.path();
    r.MustExist = true;
    WhenOpen<QFileDialog>([](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Загрузка игры"));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
        d->reject();
    });
    EXPECT_EQ(Dialogs::GetFileName(nullptr, r), QString());
}

TEST(MessageBoxes, ShowTheTextAsPlainTextWithCarriageReturnsAsLineBreaks) {
    WhenOpen<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Ошибка"));
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), QStringLiteral("Не удалось открыть файл\n<b>/tmp/x.pos</b>\nдалее"));
        ASSERT_EQ(box->buttons().size(), 1);
        box->buttons().front()->click();
    });
    Dialogs::Warning(nullptr, QStringLiteral("Ошибка"),
                     QStringLiteral("Не удалось открыть файл\r<b>/tmp/x.pos</b>\r\nдалее"));
}

// Enter takes the default, yes; Escape says no; the text is never markup.
TEST(MessageBoxes, AQuestionOffersYesAsTheDefaultAndNoOnEscape) {
    for (const auto& [key, expected] : {std::pair{Qt::Key_Return, true}, std::pair{Qt::Key_Escape, false}}) {
        WhenOpen<QMessageBox>([key = key](QMessageBox* box) {
            EXPECT_EQ(box->icon(), QMessageBox::Question);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Новая игра"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            EXPECT_EQ(box->buttons().size(), 2);
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
            QTest::keyClick(box, key);
        });
        EXPECT_EQ(Dialogs::Ask(nullptr, QStringLiteral("Новая игра"), QStringLiteral("<b>Начать?</b>")),
                  expected);
    }
}

TEST(DocumentsFolder, IsTheUsersDocumentsOrElseTheHomeFolder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/.config")).toLocal8Bit());
    const QString withoutDocuments = Dialogs::DocumentsFolder();
    QDir(home.path()).mkdir(QStringLiteral("Documents"));
    const QString withDocuments = Dialogs::DocumentsFolder();
    qputenv("HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
    EXPECT_EQ(withoutDocuments, home.path());
    EXPECT_EQ(withDocuments, home.path() + QStringLiteral("/Documents"));
}

TEST(ScriptedDialogsTest, AnswerInOrderRecordEveryRequestAndCancelWhenTheScriptRunsOut) {
    WindowTestHarness harness;
    harness.Dialogs.FileAnswers = {QStringLiteral("/tmp/a.pos"), QString()};
    EXPECT_EQ(Dialogs::GetFileName(nullptr, SaveRequest(QStringLiteral("/tmp"))),
              QStringLiteral("/tmp/a.pos"));
    EXPECT_EQ(Dialogs::GetFileName(nullptr, SaveRequest(QStringLiteral("/tmp"))), QString());
    EXPECT_EQ(Dialogs::GetFileName(nullptr, SaveRequest(QStringLiteral("/tmp"))), QString());
    ASSERT_EQ(harness.Dialogs.FileRequests.size(), 3u);
    EXPECT_EQ(harness.Dialogs.FileRequests[0].Title, QStringLiteral("Сохранение игры"));
    EXPECT_TRUE(harness.Dialogs.FileRequests[0].ConfirmOverwrite);

    Dialogs::Warning(nullptr, QStringLiteral("Ошибка"), QStringLiteral("line\rline"));
    ASSERT_EQ(harness.Dialogs.Messages.size(), 1u);
    EXPECT_EQ(harness.Dialogs.Messages[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(harness.Dialogs.Messages[0].Caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(harness.Dialogs.Messages[0].Text, QStringLiteral("line\rline"));

    harness.Dialogs.Answers = {true};
    EXPECT_TRUE(Dialogs::Ask(nullptr, QStringLiteral("Новая игра"), QStringLiteral("?")));
    EXPECT_FALSE(Dialogs::Ask(nullptr, QStringLiteral("Новая игра"), QStringLiteral("?")));
    ASSERT_EQ(harness.Dialogs.Questions.size(), 2u);
    EXPECT_EQ(harness.Dialogs.Questions[1].Caption, QStringLiteral("Новая игра"));
}
