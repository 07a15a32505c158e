// gambitron in English and in Russian: its control panel and log follow the language; the move list's
// moves and everything on the wire do not.
#include "NetTestSupport.h"
#include "ScopedLanguage.h"

#include <QProcess>

#include <algorithm>
#include <map>

using namespace NetTest;

namespace {

// Mates in two with f3, e5, g4, Qh4 on one board; the log's last two lines.
QStringList FoolsMateEnding(TForm1& Form) {
    QTest::mouseClick(Form.RadioButton3, Qt::LeftButton);
    QTest::mouseClick(Form.Button1, Qt::LeftButton);
    for (auto [from, to] : {std::pair{F2, F3}, {E7, E5}, {G2, G4}, {D8, H4}})
        WindowTestHarness::DragPiece(*Form.ChessBrd1, from, to);
    EXPECT_EQ(Cell(Form, 1, 2), QStringLiteral("D8 - H4"));
    const QStringList lines = LogTexts(Form);
    const qsizetype check =
        lines.lastIndexOf(QRegularExpression(QStringLiteral("^(Черные ставят шах|Black gives check)!$")));
    return lines.mid(check, 2);
}

// The program's --help in a clean environment with the given locale variables, without a display.
QString Help(const QStringList& Arguments, const QString& Lang) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), Lang);
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GAMBITRON_PATH), QStringList{QStringLiteral("--help")} + Arguments);
    EXPECT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
}

} // namespace

TEST(NetLanguage, InEnglishThePanelAndTheLogSpeakEnglish) {
    ScopedLanguage english(Language::English);
    WindowTestHarness harness;
    const auto form = NewWindow();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Gambitron 1.2"));
    EXPECT_EQ(form->RadioButton1->text(), QStringLiteral("Play the computer"));
    EXPECT_EQ(form->RadioButton2->text(), QStringLiteral("Network game"));
    EXPECT_EQ(form->RadioButton3->text(), QStringLiteral("Two players"));
    EXPECT_EQ(form->Button1->text(), QStringLiteral("Start game"));
    EXPECT_EQ(FoolsMateEnding(*form),
              (QStringList{QStringLiteral("Black gives check!"), QStringLiteral("Checkmate! Black wins!")}));
}

TEST(NetLanguage, InTheCLocaleThePanelAndTheLogSpeakRussian) {
    ScopedLanguage cLocale("en", "C");
    WindowTestHarness harness;
    const auto form = NewWindow();
    EXPECT_EQ(form->RadioButton3->text(), QStringLiteral("Игра вдвоем"));
    EXPECT_EQ(form->Button1->text(), QStringLiteral("Начать игру"));
    EXPECT_EQ(FoolsMateEnding(*form),
              (QStringList{QStringLiteral("Черные ставят шах!"), QStringLiteral("Черные ставят мат!")}));
}

TEST(NetLanguage, HelpFollowsTheLocaleAndTheLangOption) {
    const struct {
        QStringList Arguments;
        const char* Lang;
        const char* Expected;
        const char* Absent;
    } cases[] = {
        {{}, "C", "Сразу создать сервер.", "Start a server"},
        {{}, "en_US.UTF-8", "Start a server at once.", "Сразу"},
        {{QStringLiteral("--lang"), QStringLiteral("en")}, "C", "Start a server at once.", "Сразу"},
        {{QStringLiteral("--lang=ru")}, "en_US.UTF-8", "Сразу создать сервер.", "Start a server"},
    };
    for (const auto& c : cases) {
        const QString help = Help(c.Arguments, QString::fromLatin1(c.Lang));
        EXPECT_TRUE(help.contains(QString::fromUtf8(c.Expected))) << c.Lang << "\n" << help.toStdString();
        EXPECT_FALSE(help.contains(QString::fromUtf8(c.Absent))) << c.Lang << "\n" << help.toStdString();
        EXPECT_TRUE(help.contains(QStringLiteral("--lang"))) << help.toStdString();
    }
}

TEST(NetLanguage, InEnglishTheChatCommandsAndHintsSpeakEnglish) {
    ScopedLanguage english(Language::English);
    WindowTestHarness harness;
    const auto form = NewWindow();
    EXPECT_TRUE(LogHas(*form, QStringLiteral("Welcome to Gambitron!")));
    EXPECT_EQ(form->ComboBox6->placeholderText(), QStringLiteral("none"));
    const struct {
        QString Typed;
        QString Line;
    } cases[] = {
        {QStringLiteral("/about"), QStringLiteral("Version: Gambitron 1.2")},
        {QStringLiteral("/help"),
         QStringLiteral("Gambitron lets you play chess in three ways: against the computer, "
                        "with a friend over the network, or with a friend at one computer. ")},
        {QStringLiteral("smile ☺"),
         QStringLiteral(
             "The character “☺” cannot be sent in the chat: it is not in the Windows-1251 code page")},
    };
    for (const auto& c : cases) {
        TypeChat(*form, c.Typed);
        EXPECT_TRUE(LogHas(*form, c.Line)) << LogTexts(*form).join('|').toStdString();
    }
}

TEST(NetLanguage, ABadSideIsRefusedInTheRunsLanguage) {
    for (const auto& [lang, expected] : {std::pair{"en", "gambitron: --side: white or black, not red"},
                                         {"ru", "gambitron: --side: white или black, а не red"}}) {
        QProcess process;
        process.start(QStringLiteral(GAMBITRON_PATH), {QStringLiteral("--lang"), QString::fromLatin1(lang),
                                                       QStringLiteral("--side"), QStringLiteral("red")});
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2);
        const QString error = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(error.contains(QString::fromUtf8(expected))) << error.toStdString();
    }
}

TEST(NetLanguage, AnUnknownLanguageIsRefused) {
    QProcess process;
    process.start(QStringLiteral(GAMBITRON_PATH), {QStringLiteral("--lang"), QStringLiteral("de")});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("\"de\""));
}

TEST(NetLanguage, InEnglishTheWireCarriesTheSameBytes) {
    ScopedLanguage english(Language::English);
    WindowTestHarness harness;
    const auto server = NewServer();
    QTcpSocket peer;
    peer.connectToHost(QHostAddress::LocalHost, server->Port());
    QByteArray received;
    ReadUntil(peer, "#:Side:White", received);
    WindowTestHarness::DragPiece(*server->ChessBrd1, E2, E4);
    ReadUntil(peer, "#:Move:5254", received);
    EXPECT_EQ(received, "#:Side:White#:Move:5254");
    // Chat in Windows-1251 both ways, whatever the window's language.
    TypeChat(*server, QStringLiteral("Привет, hi"));
    ReadUntil(peer, "hi", received);
    EXPECT_TRUE(received.endsWith("#:Chat:\xCF\xF0\xE8\xE2\xE5\xF2, hi")) << received.toStdString();
    Write(peer, "$:Chat:\xC4\xE0!");
    EXPECT_TRUE(WaitUntil([&] { return LogHas(*server, QStringLiteral("Да!")); }));
}

// The window's layout is fixed and was laid out for the Russian texts: an English text may take the room
// its place has, or as much as the Russian one takes there, in every mode of the panel.
TEST(NetLanguage, EveryEnglishTextOnThePanelAndBesideTheButtonFitsWhereTheRussianOneDoes) {
    const auto widths = [](Language Lang) {
        ScopedLanguage language(Lang);
        WindowTestHarness harness;
        const auto form = NewWindow();
        form->show();
        std::map<QString, std::pair<int, int>> seen; // text's advance, place's width
        for (QRadioButton* mode :
             {form->RadioButton1, form->RadioButton4, form->RadioButton5, form->RadioButton3}) {
            if (mode == form->RadioButton4 || mode == form->RadioButton5)
                QTest::mouseClick(form->RadioButton2, Qt::LeftButton);
            QTest::mouseClick(mode, Qt::LeftButton);
            for (QWidget* w : form->TabControl1->findChildren<QWidget*>()) {
                const auto* label = qobject_cast<QLabel*>(w);
                const auto* button = qobject_cast<QAbstractButton*>(w);
                const QString text = label ? label->text() : button ? button->text() : QString();
                if (!w->isVisible() || text.isEmpty()) continue;
                // A check box or radio button gives part of its width to its indicator.
                const int room =
                    label ? label->contentsRect().width()
                          : w->width() - (w->sizeHint().width() - w->fontMetrics().horizontalAdvance(text));
                seen[mode->objectName() + QLatin1Char('/') + w->objectName()] = {
                    w->fontMetrics().horizontalAdvance(text), room};
            }
        }
        // Beside "Новая игра" while the computer thinks.
        const QLabel* thinking = form->ThinkingLabel;
        seen[thinking->objectName()] = {thinking->fontMetrics().horizontalAdvance(thinking->text()),
                                        thinking->contentsRect().width()};
        return seen;
    };
    const auto russian = widths(Language::Russian);
    const auto english = widths(Language::English);
    ASSERT_EQ(english.size(), russian.size());
    for (const auto& [place, en] : english) {
        const auto ru = russian.at(place);
        EXPECT_LE(en.first, std::max(en.second, ru.first)) << place.toStdString();
    }
}
