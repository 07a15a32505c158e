// The log: paragraphs are inserted as plain text with a character format, never as HTML.
#include "LogView.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>

namespace {
// Laying out a paragraph without break opportunities costs time quadratic in its length: a megabyte would
// freeze the window for minutes. Nobody reads that much of one line in a 176-pixel log, so the rest is cut.
constexpr qsizetype MaxParagraph = 10000;
} // namespace

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A word longer than the log is wide (a link, a row of signs) breaks anywhere instead of running out
    // of sight.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void LogView::LogMessage(const QString& Text, const QColor& Color) {
    QString line = Text;
    if (FTimeStamps) line.prepend(QStringLiteral("[%1]: ").arg(QTime::currentTime().toString(u"hh:mm:ss")));
    // A carriage return (with or without its line feed), a lone line feed or a paragraph separator starts a
    // further paragraph: each becomes a block of the document, so each must be counted as a line.
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\r"))
        .replace(QChar(u'\n'), QChar(u'\r'))
        .replace(QChar(QChar::ParagraphSeparator), QChar(u'\r'));
    const QStringList paragraphs = line.split(QChar(u'\r'));

    // A log emptied from outside (clear()) starts counting again.
    if (FLineCount > 1 && document()->isEmpty()) FLineCount = 0;

    QTextCharFormat format;
    format.setForeground(Color);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (QString paragraph : paragraphs) {
        if (paragraph.size() > MaxParagraph) {
            paragraph.truncate(MaxParagraph);
            paragraph.append(QChar(0x2026));
        }
        if (FLineCount > 0)
            cursor.insertBlock(QTextBlockFormat(), format);
        else
            cursor.setBlockCharFormat(format);
        cursor.insertText(paragraph, format);
        ++FLineCount;
    }
    cursor.endEditBlock();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

QStringList LogView::Lines() const {
    QStringList lines;
    for (QTextBlock b = document()->begin(); b.isValid() && lines.size() < FLineCount; b = b.next())
        lines.append(b.text());
    return lines;
}

QColor LogView::LineColor(int Index) const {
    if (Index < 0 || Index >= FLineCount) return {};
    const QTextBlock b = document()->findBlockByNumber(Index);
    const QTextBlock::iterator first = b.begin();
    const QTextCharFormat format = first.atEnd() ? b.charFormat() : first.fragment().charFormat();
    return format.foreground().color();
}

int LogView::LineCount() const {
    return FLineCount;
}
