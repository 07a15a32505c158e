// An INI profile file read and written the way the Windows profile functions do it, for the saved games:
// sections and keys match without regard to case, a value is everything after the first equals sign
// (spaces included, so a 64-character board string with blanks at either end comes back unchanged), a
// written value replaces the old one in its line and every other line of the file stays byte for byte.
// The file is handled as bytes; only one carriage return at the end of a line is dropped when reading.
// Changes are collected in memory and reach the disk in one piece through Commit, so a failed save leaves
// the old file as it was.
#pragma once
#include <QByteArray>
#include <QString>
#include <vector>

class IniFile {
public:
    // Files larger than this are not profile files; they are treated as unreadable.
    static constexpr qint64 MaxFileSize = 1 << 20;

    explicit IniFile(const QString& FileName = {});

    // Reads the file. A file that does not exist reads as empty and counts as success; false when it exists
    // but cannot be read or is too large, and the contents are then empty.
    bool Load();
    // Takes the file's contents from memory instead (tests, fuzzing).
    void SetBytes(const QByteArray& Bytes);
    // The file's contents as Commit would write them.
    QByteArray Bytes() const;

    // Default when the section or the key is missing.
    QByteArray ReadString(const QByteArray& Section, const QByteArray& Key, const QByteArray& Default) const;
    // A decimal number (optionally signed) or a hexadecimal one with the prefix "0x" or "0X", surrounded by
    // blanks or not; anything else, and a number that does not fit an int, gives Default.
    int ReadInteger(const QByteArray& Section, const QByteArray& Key, int Default) const;
    // A number; any number other than 0 is true.
    bool ReadBool(const QByteArray& Section, const QByteArray& Key, bool Default) const;

    // Replaces the key's value where it stands, or adds the key at the end of its section, or adds the
    // section at the end of the file. False (and nothing changed) when the key is empty or holds "=", or
    // when the key or the value holds a line break, which would change the file's structure.
    bool WriteString(const QByteArray& Section, const QByteArray& Key, const QByteArray& Value);
    bool WriteInteger(const QByteArray& Section, const QByteArray& Key, int Value);
    bool WriteBool(const QByteArray& Section, const QByteArray& Key, bool Value);

    // Writes the whole file at once (a temporary file renamed into place); false when that fails, and the
    // file on disk is then unchanged.
    bool Commit();

    // Parses a number as ReadInteger does; false when Text is not one.
    static bool ParseInteger(const QByteArray& Text, int& Value);

private:
    struct Line {
        QByteArray Text; // up to the line feed; a carriage return before it stays part of the text
        bool Break;      // ends with a line feed (false only for a last line without one)
    };

    // Index of the line holding the section's header, or -1.
    int FindSection(const QByteArray& Section) const;
    // Index of the key's line inside the section that starts at Header, or -1.
    int FindKey(int Header, const QByteArray& Key) const;
    // One past the section's last line that holds anything (the place a new key goes).
    int SectionEnd(int Header) const;
    // Inserts a line before index At, in the file's line-break style.
    void InsertLine(int At, const QByteArray& Text);
    // Whether the file's lines end in CR LF (judged by its first line), so added lines match them.
    bool UsesCrLf() const;

    QString FFileName;
    std::vector<Line> FLines;
};
