#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QByteArray Trimmed(const QByteArray& Text) {
    qsizetype begin = 0, end = Text.size();
    while (begin < end && IsBlank(Text[begin])) ++begin;
    while (end > begin && IsBlank(Text[end - 1])) --end;
    return Text.mid(begin, end - begin);
}

// Names compare without regard to the case of ASCII letters; other bytes (Cyrillic in Windows-1251, say)
// must match exactly, as no locale is involved.
bool SameName(const QByteArray& A, const QByteArray& B) {
    if (A.size() != B.size()) return false;
    for (qsizetype i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return true;
}

// The line's text without the one carriage return a Windows line break leaves at its end.
QByteArray WithoutCr(const QByteArray& Text) {
    return Text.endsWith('\r') ? Text.left(Text.size() - 1) : Text;
}

// The name of a section header line ("[name]"), or false when the line is none.
bool SectionName(const QByteArray& Text, QByteArray& Name) {
    const QByteArray t = Trimmed(Text);
    if (!t.startsWith('[')) return false;
    const qsizetype close = t.indexOf(']');
    Name = Trimmed(close < 0 ? t.mid(1) : t.mid(1, close - 1));
    return true;
}

bool ParseDigits(const QByteArray& Digits, int Base, bool Negative, int& Value) {
    if (Digits.isEmpty()) return false;
    const qint64 limit =
        Negative ? qint64(std::numeric_limits<int>::max()) + 1 : std::numeric_limits<int>::max();
    qint64 v = 0;
    for (char c : Digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (Base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (Base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * Base + d;
        if (v > limit) return false;
    }
    Value = static_cast<int>(Negative ? -v : v);
    return true;
}

} // namespace

IniFile::IniFile(const QString& FileName) : FFileName(FileName) {}

bool IniFile::Load() {
    FLines.clear();
    QFile file(FFileName);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileSize) return false;
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize || file.error() != QFileDevice::NoError) return false;
    SetBytes(bytes);
    return true;
}

void IniFile::SetBytes(const QByteArray& Bytes) {
    FLines.clear();
    qsizetype start = 0;
    while (start < Bytes.size()) {
        const qsizetype feed = Bytes.indexOf('\n', start);
        if (feed < 0) {
            FLines.push_back({Bytes.mid(start), false});
            break;
        }
        FLines.push_back({Bytes.mid(start, feed - start), true});
        start = feed + 1;
    }
}

QByteArray IniFile::Bytes() const {
    QByteArray bytes;
    for (const Line& line : FLines) {
        bytes += line.Text;
        if (line.Break) bytes += '\n';
    }
    return bytes;
}

int IniFile::FindSection(const QByteArray& Section) const {
    const QByteArray wanted = Trimmed(Section);
    QByteArray name;
    for (int i = 0; i < static_cast<int>(FLines.size()); ++i)
        if (SectionName(FLines[i].Text, name) && SameName(name, wanted)) return i;
    return -1;
}

int IniFile::FindKey(int Header, const QByteArray& Key) const {
    const QByteArray wanted = Trimmed(Key);
    QByteArray name;
    for (int i = Header + 1; i < static_cast<int>(FLines.size()); ++i) {
        const QByteArray& text = FLines[i].Text;
        if (SectionName(text, name)) break;
        const qsizetype equals = text.indexOf('=');
        if (equals >= 0 && SameName(Trimmed(text.left(equals)), wanted)) return i;
    }
    return -1;
}

int IniFile::SectionEnd(int Header) const {
    int end = Header + 1;
    QByteArray name;
    for (int i = Header + 1; i < static_cast<int>(FLines.size()); ++i) {
        if (SectionName(FLines[i].Text, name)) break;
        if (!Trimmed(FLines[i].Text).isEmpty()) end = i + 1;
    }
    return end;
}

bool IniFile::UsesCrLf() const {
    return !FLines.empty() && FLines.front().Break && FLines.front().Text.endsWith('\r');
}

void IniFile::InsertLine(int At, const QByteArray& Text) {
    const bool crlf = UsesCrLf();
    // The line before may be a last line without a break; it needs one now.
    if (At > 0 && !FLines[At - 1].Break) {
        if (crlf) FLines[At - 1].Text += '\r';
        FLines[At - 1].Break = true;
    }
    FLines.insert(FLines.begin() + At, Line{crlf ? Text + '\r' : Text, true});
}

QByteArray IniFile::ReadString(const QByteArray& Section, const QByteArray& Key,
                               const QByteArray& Default) const {
    const int header = FindSection(Section);
    if (header < 0) return Default;
    const int line = FindKey(header, Key);
    if (line < 0) return Default;
    const QByteArray text = WithoutCr(FLines[line].Text);
    return text.mid(text.indexOf('=') + 1);
}

bool IniFile::ParseInteger(const QByteArray& Text, int& Value) {
    QByteArray t = Trimmed(Text);
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        return ParseDigits(t.mid(2), 16, false, Value);
    bool negative = false;
    if (!t.isEmpty() && (t[0] == '-' || t[0] == '+')) {
        negative = t[0] == '-';
        t.remove(0, 1);
    }
    return ParseDigits(t, 10, negative, Value);
}

int IniFile::ReadInteger(const QByteArray& Section, const QByteArray& Key, int Default) const {
    int value;
    return ParseInteger(ReadString(Section, Key, QByteArray()), value) ? value : Default;
}

bool IniFile::ReadBool(const QByteArray& Section, const QByteArray& Key, bool Default) const {
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

bool IniFile::WriteString(const QByteArray& Section, const QByteArray& Key, const QByteArray& Value) {
    const QByteArray key = Trimmed(Key);
    const QByteArray section = Trimmed(Section);
    const auto breaksLine = [](const QByteArray& t) { return t.contains('\n') || t.contains('\r'); };
    if (key.isEmpty() || key.contains('=') || breaksLine(key) || breaksLine(Value) || section.isEmpty() ||
        breaksLine(section) || section.contains(']'))
        return false;

    int header = FindSection(section);
    if (header < 0) {
        InsertLine(static_cast<int>(FLines.size()), '[' + section + ']');
        header = static_cast<int>(FLines.size()) - 1;
    }
    const int line = FindKey(header, key);
    if (line < 0) {
        InsertLine(SectionEnd(header), key + '=' + Value);
        return true;
    }
    // The key keeps its spelling and the line its break; only the value after the equals sign changes.
    QByteArray& text = FLines[line].Text;
    const bool cr = text.endsWith('\r');
    text = text.left(text.indexOf('=') + 1) + Value;
    if (cr) text += '\r';
    return true;
}

bool IniFile::WriteInteger(const QByteArray& Section, const QByteArray& Key, int Value) {
    return WriteString(Section, Key, QByteArray::number(Value));
}

bool IniFile::WriteBool(const QByteArray& Section, const QByteArray& Key, bool Value) {
    return WriteString(Section, Key, Value ? "1" : "0");
}

bool IniFile::Commit() {
    if (FFileName.isEmpty()) return false;
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = Bytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
