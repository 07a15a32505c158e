#include "IniFile.h"
#include "ReadOnlyFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray Section = "Gambitron Position";

IniFile FromBytes(const QByteArray& Bytes) {
    IniFile ini;
    ini.SetBytes(Bytes);
    return ini;
}

QByteArray ReadFile(const QString& Name) {
    QFile f(Name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool WriteFile(const QString& Name, const QByteArray& Bytes) {
    QFile f(Name);
    return f.open(QIODevice::WriteOnly) && f.write(Bytes) == Bytes.size();
}

} // namespace

TEST(IniFileReading, ValuesComeBackExactlyWithTheirBlanks) {
    const QByteArray position = " nbqkbnrpppppppp                                PPPPPPPPRNBQKBN ";
    const IniFile ini = FromBytes("[Gambitron Position]\nPosition=" + position + "\nEmpty=\n");
    EXPECT_EQ(ini.ReadString(Section, "Position", "x"), position);
    EXPECT_EQ(ini.ReadString(Section, "Empty", "x"), "");
}

TEST(IniFileReading, SectionsAndKeysMatchWithoutRegardToCase) {
    const IniFile ini = FromBytes("[gambitron POSITION]\n  searchDEPTH = 3\n");
    EXPECT_EQ(ini.ReadString("Gambitron Position", "SearchDepth", "x"), " 3");
    EXPECT_EQ(ini.ReadInteger("GAMBITRON position", "SEARCHDEPTH", 1), 3);
}

TEST(IniFileReading, AKeyIsFoundOnlyInItsOwnSection) {
    const IniFile ini = FromBytes("Depth=1\n[Other]\nDepth=2\n[Gambitron Position]\nX=3\n[Last]\nDepth=4\n");
    EXPECT_EQ(ini.ReadString(Section, "Depth", "none"), "none");
    EXPECT_EQ(ini.ReadString("other", "depth", "none"), "2");
    EXPECT_EQ(ini.ReadString("Missing", "X", "none"), "none");
}

TEST(IniFileReading, WindowsLineBreaksLoseOneCarriageReturnAndNothingElse) {
    const IniFile ini = FromBytes("[Gambitron Position]\r\nA= a \r\nB=b\r\r\nC=c\r");
    EXPECT_EQ(ini.ReadString(Section, "A", "x"), " a ");
    EXPECT_EQ(ini.ReadString(Section, "B", "x"), "b\r");
    EXPECT_EQ(ini.ReadString(Section, "C", "x"), "c");
}

TEST(IniFileReading, BytesOutsideAsciiAndZerosAreKeptAsTheyAre) {
    const QByteArray value("\xcf\xf0\x00\xe8", 4);
    const IniFile ini = FromBytes("[S]\nK=" + value + "\n");
    EXPECT_EQ(ini.ReadString("S", "K", ""), value);
}

TEST(IniFileNumbers, DecimalAndHexadecimalNumbersAreReadWithBlanksAround) {
    const IniFile ini = FromBytes("[S]\nA=12\nB= 0x1F \nC=0XfF\nD=-7\nE=\t+5\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 12);
    EXPECT_EQ(ini.ReadInteger("S", "B", 0), 31);
    EXPECT_EQ(ini.ReadInteger("S", "C", 0), 255);
    EXPECT_EQ(ini.ReadInteger("S", "D", 0), -7);
    EXPECT_EQ(ini.ReadInteger("S", "E", 0), 5);
}

TEST(IniFileNumbers, AnythingElseGivesTheDefault) {
    const IniFile ini = FromBytes("[S]\nA=abc\nB=12abc\nC=0x\nD=\nE=1 2\nF=0x1G\nG=--1\nH=-0x5\n");
    for (const char* key : {"A", "B", "C", "D", "E", "F", "G", "H", "Missing"})
        EXPECT_EQ(ini.ReadInteger("S", key, 42), 42) << key;
}

TEST(IniFileNumbers, NumbersThatDoNotFitGiveTheDefault) {
    const IniFile ini = FromBytes("[S]\nA=2147483647\nB=2147483648\nC=-2147483648\nD=-2147483649\n"
                                  "E=0x7FFFFFFF\nF=0x80000000\nG=99999999999999999999999999\n");
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 2147483647);
    EXPECT_EQ(ini.ReadInteger("S", "B", 0), 0);
    EXPECT_EQ(ini.ReadInteger("S", "C", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("S", "D", 0), 0);
    EXPECT_EQ(ini.ReadInteger("S", "E", 0), 0x7FFFFFFF);
    EXPECT_EQ(ini.ReadInteger("S", "F", 0), 0);
    EXPECT_EQ(ini.ReadInteger("S", "G", 0), 0);
}

TEST(IniFileNumbers, BooleansAreNumbersWhereAnythingButZeroIsTrue) {
    const IniFile ini = FromBytes("[S]\nA=0\nB=1\nC=-3\nD=yes\n");
    EXPECT_FALSE(ini.ReadBool("S", "A", true));
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
    EXPECT_FALSE(ini.ReadBool("S", "D", false));
    EXPECT_TRUE(ini.ReadBool("S", "D", true));
}

TEST(IniFileWriting, ANewFileGetsItsKeysInTheOrderWritten) {
    IniFile ini;
    ASSERT_TRUE(ini.WriteString(Section, "GameVersion", "Gambitron Lite 1.1"));
    ASSERT_TRUE(ini.WriteBool(Section, "WhiteToMove", true));
    ASSERT_TRUE(ini.WriteInteger(Section, "SearchDepth", 3));
    ASSERT_TRUE(ini.WriteString(Section, "Position", "  x  "));
    EXPECT_EQ(ini.Bytes(), "[Gambitron Position]\nGameVersion=Gambitron Lite 1.1\nWhiteToMove=1\n"
                           "SearchDepth=3\nPosition=  x  \n");
}

TEST(IniFileWriting, ValuesAreReplacedWhereTheyStandAndOtherLinesKeepTheirBytes) {
    const QByteArray before = "; saved by hand\r\n[other]\r\nkey=1\r\n\r\n[GAMBITRON POSITION]\r\n"
                              "searchdepth = 2\r\nComment line without equals\r\n\r\n[Tail]\r\nx=y";
    IniFile ini = FromBytes(before);
    ASSERT_TRUE(ini.WriteInteger(Section, "SearchDepth", 5));
    ASSERT_TRUE(ini.WriteString(Section, "LastMove", "E2-E4"));
    ASSERT_TRUE(ini.WriteString("key", "new", "v"));
    EXPECT_EQ(ini.Bytes(), "; saved by hand\r\n[other]\r\nkey=1\r\n\r\n[GAMBITRON POSITION]\r\n"
                           "searchdepth =5\r\nComment line without equals\r\nLastMove=E2-E4\r\n\r\n"
                           "[Tail]\r\nx=y\r\n[key]\r\nnew=v\r\n");
}

TEST(IniFileWriting, ARewrittenValueReadsBackAsWritten) {
    IniFile ini = FromBytes("[Gambitron Position]\nPosition=old\n");
    const QByteArray position(64, ' ');
    ASSERT_TRUE(ini.WriteString(Section, "position", position));
    EXPECT_EQ(ini.ReadString(Section, "Position", "x"), position);
}

TEST(IniFileWriting, LineBreaksAndEqualsSignsInNamesAreRefused) {
    IniFile ini = FromBytes("[S]\nK=v\n");
    EXPECT_FALSE(ini.WriteString("S", "K", "a\nb"));
    EXPECT_FALSE(ini.WriteString("S", "K", "a\rb"));
    EXPECT_FALSE(ini.WriteString("S", "A=B", "v"));
    EXPECT_FALSE(ini.WriteString("S", "", "v"));
    EXPECT_FALSE(ini.WriteString("S]x", "K", "v"));
    EXPECT_EQ(ini.Bytes(), "[S]\nK=v\n");
}

class IniFileOnDisk : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString Path(const QString& Name) const { return Dir.filePath(Name); }
};

TEST_F(IniFileOnDisk, AMissingFileLoadsAsEmptyAndIsCreatedOnCommit) {
    IniFile ini(Path("new.pos"));
    ASSERT_TRUE(ini.Load());
    ASSERT_TRUE(ini.WriteString(Section, "GameVersion", "x"));
    ASSERT_TRUE(ini.Commit());
    EXPECT_EQ(ReadFile(Path("new.pos")), "[Gambitron Position]\nGameVersion=x\n");
}

TEST_F(IniFileOnDisk, CommitKeepsTheOtherLinesOfAnExistingFile) {
    const QString name = Path("game.pos");
    ASSERT_TRUE(WriteFile(name, "# mine\n[Gambitron Position]\nGameVersion=old\nNote=keep\n"));
    IniFile ini(name);
    ASSERT_TRUE(ini.Load());
    ASSERT_TRUE(ini.WriteString(Section, "GameVersion", "new"));
    ASSERT_TRUE(ini.Commit());
    EXPECT_EQ(ReadFile(name), "# mine\n[Gambitron Position]\nGameVersion=new\nNote=keep\n");
}

TEST_F(IniFileOnDisk, AFailedCommitLeavesTheOldFileUnchanged) {
    const QString folder = Path("locked");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString name = folder + "/game.pos";
    const QByteArray old = "[Gambitron Position]\nGameVersion=old\n";
    ASSERT_TRUE(WriteFile(name, old));
    ReadOnlyFolder lock(folder);
    if (!lock.Locked()) GTEST_SKIP() << "the folder cannot be made read-only here";

    IniFile ini(name);
    ASSERT_TRUE(ini.Load());
    ASSERT_TRUE(ini.WriteString(Section, "GameVersion", "new"));
    EXPECT_FALSE(ini.Commit());
    EXPECT_EQ(ReadFile(name), old);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"game.pos"});
}

TEST_F(IniFileOnDisk, ACommitIntoAMissingFolderFails) {
    IniFile ini(Path("missing/game.pos"));
    ASSERT_TRUE(ini.WriteString(Section, "GameVersion", "x"));
    EXPECT_FALSE(ini.Commit());
    EXPECT_FALSE(QFile::exists(Path("missing")));
}

TEST_F(IniFileOnDisk, AnOversizedFileIsNotReadAsAProfile) {
    const QString name = Path("big.pos");
    ASSERT_TRUE(
        WriteFile(name, "[Gambitron Position]\nGameVersion=x\n" + QByteArray(IniFile::MaxFileSize, 'a')));
    IniFile ini(name);
    EXPECT_FALSE(ini.Load());
    EXPECT_EQ(ini.ReadString(Section, "GameVersion", "failed"), "failed");
}
