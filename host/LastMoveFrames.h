// The orange frames that mark the last move. They are drawn into the board's canvas, so they vanish with the
// board's next full paint (turning the board, say) and can be drawn again at any time without a repaint loop.
#pragma once
#include "ChessTypes.h"

class TChessBrd;

// Frames both squares 2 px inside their edges; draws nothing when From is not on the board (None). Frames
// drawn earlier on the same board for other squares are erased first, since the board redraws only the
// squares a move changes.
void DrawLastMoveFrames(TChessBrd& Board, Square From, Square To);
