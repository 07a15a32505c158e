// gambitron's game records in its three modes: FEN and PGN through the clipboard with the chat line holding
// the focus, PGN saved from the move list, the players named after the mode, and no paste.
#include "NetTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace NetTest;

namespace {

class Records : public ::testing::Test {
protected:
    void SetUp() override {
        form = NewWindow();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void Drag(Square from, Square to) { WindowTestHarness::DragPiece(*form->ChessBrd1, from, to); }
    static QByteArray ReadFile(const QString& Name) {
        QFile f(Name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    WindowTestHarness harness;
    std::unique_ptr<TForm1> form;
    QTemporaryDir dir;
};

} // namespace

TEST_F(Records, CopyKeysGiveFenAndPgnWhileTheChatLineHasTheFocus) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    // Before a game the board is empty: nothing to copy.
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    QTest::mouseClick(form->Button1, Qt::LeftButton);
    Drag(E2, E4);
    ASSERT_TRUE(
        WaitUntil([&] { return form->ChessBrd1->GetWhiteToMove() && !form->ChessBrd1->GetThinking(); }));
    ASSERT_EQ(QApplication::focusWidget(), form->Edit2);

    QTest::keyClick(form->Edit2, Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return clipboard->text() == form->CurrentFen(); }));
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Позиция скопирована (FEN)")));

    QTest::keyClick(form->Edit2, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(
        WaitUntil([&] { return clipboard->text().startsWith(QStringLiteral("[Event \"Gambitron\"]")); }));
    EXPECT_TRUE(clipboard->text().contains(
        QStringLiteral("[White \"Игрок\"]\n[Black \"Компьютер (глубина 1)\"]\n[Result \"*\"]\n\n1. e4 ")));

    // Text selected in the chat line is the chat line's to copy.
    form->Edit2->setText(QStringLiteral("привет"));
    form->Edit2->selectAll();
    QTest::keyClick(form->Edit2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), QStringLiteral("привет"));
}

TEST_F(Records, TwoPlayersSaveTheFinishedGameAsPgnFromTheMoveList) {
    QTest::mouseClick(form->RadioButton3, Qt::LeftButton);
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}}) Drag(from, to);

    QStringList menu;
    for (const QAction* action : form->ListView1()->actions())
        menu << action->text() + QStringLiteral(" ") + action->shortcut().toString();
    EXPECT_EQ(form->ListView1()->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(menu, (QStringList{QStringLiteral("Копировать позицию (FEN) Ctrl+C"),
                                 QStringLiteral("Копировать партию (PGN) Ctrl+Shift+C"),
                                 QStringLiteral("Сохранить партию (PGN)… Ctrl+S")}));

    const QString name = dir.filePath(QStringLiteral("mate.pgn"));
    harness.Dialogs.FileAnswers.push_back(name);
    QTest::keyClick(form->Edit2, Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return LogHas(*form, QStringLiteral("Партия сохранена")); }));
    ASSERT_EQ(harness.Dialogs.FileRequests.size(), 1u);
    const FileDialogRequest& request = harness.Dialogs.FileRequests[0];
    EXPECT_EQ(request.Title, QStringLiteral("Сохранение партии"));
    EXPECT_EQ(request.Filter, QStringLiteral("Партии PGN (*.pgn)"));
    EXPECT_EQ(request.DefaultSuffix, QStringLiteral("pgn"));
    EXPECT_TRUE(request.Save && request.ConfirmOverwrite);

    const QString pgn = QString::fromUtf8(ReadFile(name));
    EXPECT_TRUE(pgn.contains(QStringLiteral("[White \"Игрок\"]\n[Black \"Игрок\"]\n[Result \"0-1\"]\n\n")));
    EXPECT_TRUE(pgn.endsWith(QStringLiteral("\n1. f3 e5 2. g4 Qh4# 0-1\n"))) << pgn.toStdString();

    // Under a ".fen" name the file holds the position, as it is read back.
    const QString fenName = dir.filePath(QStringLiteral("mate.FEN"));
    harness.Dialogs.FileAnswers.push_back(fenName);
    form->findChild<QAction*>(QStringLiteral("SaveGameAction"))->trigger();
    ASSERT_TRUE(WaitUntil([&] { return LogCount(*form, QStringLiteral("Партия сохранена")) == 2; }));
    EXPECT_EQ(QString::fromUtf8(ReadFile(fenName)), form->CurrentFen() + QStringLiteral("\n"));

    // A file that cannot be written is reported, and nothing is logged.
    harness.Dialogs.FileAnswers.push_back(dir.filePath(QStringLiteral("missing/folder/game.pgn")));
    form->findChild<QAction*>(QStringLiteral("SaveGameAction"))->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !harness.Dialogs.Messages.empty(); }));
    EXPECT_EQ(harness.Dialogs.Messages.back().Caption, QStringLiteral("Ошибка записи"));
    EXPECT_EQ(LogCount(*form, QStringLiteral("Партия сохранена")), 2);
}

TEST_F(Records, ANetworkGameNamesThePeerByItsAddressAndHasNoPaste) {
    form.reset();
    auto server = NewServer();
    ASSERT_TRUE(server->ServerActive());
    auto client = NewClient(server->Port());
    ASSERT_TRUE(WaitUntil([&] { return client->Phase() == TForm1::NetPhase::Playing; }));
    ASSERT_TRUE(WaitUntil([&] { return server->Phase() == TForm1::NetPhase::Playing; }));
    WindowTestHarness::DragPiece(*server->ChessBrd1, E2, E4);
    ASSERT_TRUE(WaitUntil([&] { return !client->ChessBrd1->GetWhiteToMove(); }));

    EXPECT_TRUE(server->CurrentPgn().contains(QStringLiteral("[White \"Игрок\"]\n[Black \"127.0.0.1\"]")));
    EXPECT_TRUE(client->CurrentPgn().contains(QStringLiteral("[White \"127.0.0.1\"]\n[Black \"Игрок\"]")));
    EXPECT_EQ(client->CurrentFen(), server->CurrentFen());

    // Ctrl+V belongs to the chat line: a game in the clipboard is only text there.
    const QString fen = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
    QGuiApplication::clipboard()->setText(fen);
    client->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(client.get()));
    client->Edit2->setFocus();
    QTest::keyClick(client->Edit2, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(client->Edit2->text(), fen);
    EXPECT_EQ(client->CurrentFen(), server->CurrentFen());
    for (const QAction* action : client->actions())
        EXPECT_NE(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V)) << action->text().toStdString();
}
