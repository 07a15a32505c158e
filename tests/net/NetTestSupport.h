// Helpers for the window tests: windows on a free loopback port, raw peers, the log without its stamps,
// and a check that the board holds exactly the game its move list shows.
#pragma once
#include "ChessBrd.h"
#include "WindowTestHarness.h"
#include "main.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace NetTest {

inline bool WaitUntil(const std::function<bool()>& Condition, int TimeoutMs = 10000) {
    return WindowTestHarness::WaitUntil(Condition, TimeoutMs);
}

// The log's lines with their "[hh:mm:ss]: " stamps taken off.
inline QStringList LogTexts(const TForm1& Form) {
    static const QRegularExpression stamp(QStringLiteral("^\\[\\d\\d:\\d\\d:\\d\\d\\]: "));
    QStringList texts;
    for (QString line : Form.RichEdit1()->Lines()) texts << line.remove(stamp);
    return texts;
}

inline bool LogHas(const TForm1& Form, const QString& Text) {
    return LogTexts(Form).contains(Text);
}

inline int LogCount(const TForm1& Form, const QString& Text) {
    return static_cast<int>(LogTexts(Form).count(Text));
}

// The colour of the last log line that reads Text.
inline QColor LogColorOf(const TForm1& Form, const QString& Text) {
    const int at = static_cast<int>(LogTexts(Form).lastIndexOf(Text));
    return at < 0 ? QColor() : Form.RichEdit1()->LineColor(at);
}

inline QString Cell(const TForm1& Form, int Row, int Column) {
    const QTableWidgetItem* item = Form.ListView1()->item(Row, Column);
    return item ? item->text() : QString();
}

inline void TypeChat(TForm1& Form, const QString& Text) {
    Form.Edit2->setText(Text);
    QTest::keyClick(Form.Edit2, Qt::Key_Return);
}

inline std::unique_ptr<TForm1> NewWindow() {
    auto form = std::make_unique<TForm1>();
    form->show();
    return form;
}

// A server window listening on a port the system picks.
inline std::unique_ptr<TForm1> NewServer(bool ServerBlack = false) {
    auto form = NewWindow();
    form->SetPort(0);
    form->ComboBox3->setCurrentIndex(ServerBlack ? 1 : 0);
    form->StartServer();
    return form;
}

inline std::unique_ptr<TForm1> NewClient(quint16 Port) {
    auto form = NewWindow();
    form->SetPort(Port);
    form->StartClient(QStringLiteral("127.0.0.1"));
    return form;
}

// Whether the board holds exactly the position the move list leads to, every move legal in turn.
inline ::testing::AssertionResult BoardMatchesMoveList(const TForm1& Form) {
    ChessGame replay;
    replay.NewGame();
    for (int row = 0; row < Form.ListView1()->rowCount(); ++row) {
        for (int column = 1; column <= 2; ++column) {
            const QString move = Cell(Form, row, column);
            if (move.isEmpty()) continue;
            const QStringList squares = move.split(QStringLiteral(" - "));
            if (squares.size() != 2)
                return ::testing::AssertionFailure() << "bad list entry " << move.toStdString();
            const Square from = ChessGame::SquareFromName(squares[0].toStdString());
            const Square to = ChessGame::SquareFromName(squares[1].toStdString());
            if (!replay.MakeMove(from, to))
                return ::testing::AssertionFailure()
                       << "listed move not legal in turn: " << move.toStdString();
        }
    }
    if (replay.GetPosition() != Form.ChessBrd1->GetPosition() ||
        replay.GetWhiteToMove() != Form.ChessBrd1->GetWhiteToMove())
        return ::testing::AssertionFailure()
               << "board " << Form.ChessBrd1->GetPosition() << " but list gives " << replay.GetPosition();
    return ::testing::AssertionSuccess();
}

// Reads from a raw socket until Expected has arrived (or the time is up); returns all that arrived.
inline QByteArray ReadUntil(QTcpSocket& Socket, const QByteArray& Expected, QByteArray& Received) {
    WaitUntil([&] {
        Received += Socket.readAll();
        return Received.contains(Expected);
    });
    return Received;
}

inline void Write(QTcpSocket& Socket, const QByteArray& Bytes) {
    Socket.write(Bytes);
    Socket.flush();
    while (Socket.bytesToWrite() > 0 && Socket.waitForBytesWritten(1000)) {
    }
}

} // namespace NetTest
