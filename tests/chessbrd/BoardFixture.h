// A board in a shown window, with the pointer, the wait and the move records the board tests share.
#pragma once

#include "ChessBrd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

class BoardFixture : public ::testing::Test {
public:
    void SetUp() override {
        host.resize(400, 400);
        board = new TChessBrd(&host);
        board->move(4, 4);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        QCoreApplication::processEvents();
        board->OnLegalMove = [this](ChessGame*, Square from, Square to) { legal.push_back({from, to}); };
        board->OnIllegalMove = [this](ChessGame*, Square q) { illegal.push_back(q); };
        board->OnAnimationStep = [this](int x, int y) { steps.push_back({x, y}); };
    }

    QPoint Corner(Square q) const {
        int x, y;
        board->SquareToXY(q, x, y);
        return {x, y};
    }
    QPoint Centre(Square q) const { return Corner(q) + QPoint(20, 20); }

    // QTest::mouseMove carries no buttons, so moves are sent as they come from a held button.
    void Move(QPoint p, Qt::MouseButtons buttons = Qt::LeftButton) {
        QMouseEvent e(QEvent::MouseMove, p, board->mapToGlobal(p), Qt::NoButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(board, &e);
    }
    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(board, b, {}, p); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(board, b, {}, p); }
    void Click(Square q, Qt::MouseButton b = Qt::LeftButton) {
        Press(Centre(q), b);
        Release(Centre(q), b);
    }
    template <typename Pred> bool WaitFor(Pred pred, int ms = 20000) {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < ms) QTest::qWait(5);
        return pred();
    }

    std::vector<std::pair<Square, Square>> legal;
    std::vector<Square> illegal;
    std::vector<QPoint> steps;
    QWidget host;
    TChessBrd* board = nullptr;
};
