// The windows' log (RichEdit1): a read-only list of plain-text paragraphs, each in its own colour, that
// keeps its last line in view. Text from files and peers is never read as markup.
#pragma once
#include <QColor>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

class LogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    // Appends Text as a new paragraph in Color; a carriage return inside it starts a further paragraph in
    // the same colour. With time stamps on, the line starts with "[hh:mm:ss]: ". Scrolls to the end. A
    // paragraph longer than 10,000 characters shows its first 10,000 followed by "…".
    void LogMessage(const QString& Text, const QColor& Color);
    void SetTimeStamps(bool On) { FTimeStamps = On; }
    bool TimeStamps() const { return FTimeStamps; }

    // What the log shows, for tests: one entry per paragraph, with its colour.
    QStringList Lines() const;
    QColor LineColor(int Index) const;
    int LineCount() const;

private:
    bool FTimeStamps = false;
    // Paragraphs logged so far; an empty document still has one block, so it cannot tell.
    int FLineCount = 0;
};
