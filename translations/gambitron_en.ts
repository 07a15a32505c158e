<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>CommandLine</name>
    <message>
        <source>Язык окна: ru (русский) или en (английский). Без этого параметра язык берется из LANGUAGE, LC_ALL, LC_MESSAGES и LANG.</source>
        <translation>Language of the window: ru (Russian) or en (English). Without this option the language comes from LANGUAGE, LC_ALL, LC_MESSAGES and LANG.</translation>
    </message>
    <message>
        <source>язык</source>
        <translation>language</translation>
    </message>
    <message>
        <source>%1: неизвестный язык &quot;%2&quot;; можно указать ru или en.</source>
        <translation>%1: unknown language &quot;%2&quot;; use ru or en.</translation>
    </message>
    <message>
        <source>Шахматы против компьютера.</source>
        <translation>Chess against the computer.</translation>
    </message>
    <message>
        <source>Сохраненная игра (.pos), с которой начать.</source>
        <translation>A saved game (.pos) to start with.</translation>
    </message>
    <message>
        <source>Можно указать только один файл.</source>
        <translation>Only one file can be given.</translation>
    </message>
    <message>
        <source>Шахматы: с компьютером, по сети и вдвоем.</source>
        <translation>Chess against the computer, over the network or two at one board.</translation>
    </message>
    <message>
        <source>Сразу создать сервер.</source>
        <translation>Start a server at once.</translation>
    </message>
    <message>
        <source>Сразу подключиться к серверу по адресу IPv4.</source>
        <translation>Connect at once to the server at this IPv4 address.</translation>
    </message>
    <message>
        <source>Порт TCP сервера (по умолчанию 5000).</source>
        <translation>The server&apos;s TCP port (5000 unless given).</translation>
    </message>
    <message>
        <source>%1: неверный порт: %2</source>
        <translation>%1: invalid port: %2</translation>
    </message>
    <message>
        <source>%1: --server и --connect исключают друг друга</source>
        <translation>%1: --server and --connect cannot be used together</translation>
    </message>
</context>
<context>
    <name>GameMessages</name>
    <message>
        <source>Белые берут пешку!</source>
        <translation>White captures a pawn!</translation>
    </message>
    <message>
        <source>Черные берут пешку!</source>
        <translation>Black captures a pawn!</translation>
    </message>
    <message>
        <source>Белые берут коня!</source>
        <translation>White captures a knight!</translation>
    </message>
    <message>
        <source>Черные берут коня!</source>
        <translation>Black captures a knight!</translation>
    </message>
    <message>
        <source>Белые берут слона!</source>
        <translation>White captures a bishop!</translation>
    </message>
    <message>
        <source>Черные берут слона!</source>
        <translation>Black captures a bishop!</translation>
    </message>
    <message>
        <source>Белые берут ладью!</source>
        <translation>White captures a rook!</translation>
    </message>
    <message>
        <source>Черные берут ладью!</source>
        <translation>Black captures a rook!</translation>
    </message>
    <message>
        <source>Белые берут ферзя!</source>
        <translation>White captures the queen!</translation>
    </message>
    <message>
        <source>Черные берут ферзя!</source>
        <translation>Black captures the queen!</translation>
    </message>
    <message>
        <source>Белые берут короля! Бугаго :)</source>
        <translation>White captures the king! Ha-ha :)</translation>
    </message>
    <message>
        <source>Черные берут короля! Бугаго :)</source>
        <translation>Black captures the king! Ha-ha :)</translation>
    </message>
    <message>
        <source>Белые берут фигуру!</source>
        <translation>White captures a piece!</translation>
    </message>
    <message>
        <source>Черные берут фигуру!</source>
        <translation>Black captures a piece!</translation>
    </message>
    <message>
        <source>Белые ставят шах!</source>
        <translation>White gives check!</translation>
    </message>
    <message>
        <source>Черные ставят шах!</source>
        <translation>Black gives check!</translation>
    </message>
    <message>
        <source>Белые ставят мат!</source>
        <translation>Checkmate! White wins!</translation>
    </message>
    <message>
        <source>Черные ставят мат!</source>
        <translation>Checkmate! Black wins!</translation>
    </message>
    <message>
        <source>Белые ставят пат. Ничья!</source>
        <translation>Stalemate. Draw!</translation>
    </message>
    <message>
        <source>Черные ставят пат. Ничья!</source>
        <translation>Stalemate. Draw!</translation>
    </message>
    <message>
        <source>Ход: %1</source>
        <extracomment>A move in the log; %1 is the move as &quot;E2 - E4&quot;, the same in every language.</extracomment>
        <translation>Move: %1</translation>
    </message>
    <message>
        <source>Тройное повторение хода. Ничья!</source>
        <translation>Threefold repetition. Draw!</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Gambitron Lite 1.1</source>
        <translation>Gambitron Lite 1.1</translation>
    </message>
    <message>
        <source>Gambitron Lite</source>
        <translation>Gambitron Lite</translation>
    </message>
    <message>
        <source>Новая игра</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>Сторона компьютера:</source>
        <translation>Computer plays:</translation>
    </message>
    <message>
        <source>Белые</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Черные</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Глубина расчета:</source>
        <translation>Search depth:</translation>
    </message>
    <message>
        <source>1 ход</source>
        <translation>1 move</translation>
    </message>
    <message>
        <source>2 хода</source>
        <translation>2 moves</translation>
    </message>
    <message>
        <source>3 хода</source>
        <translation>3 moves</translation>
    </message>
    <message>
        <source>4 хода</source>
        <translation>4 moves</translation>
    </message>
    <message>
        <source>5 ходов</source>
        <translation>5 moves</translation>
    </message>
    <message>
        <source>6 ходов</source>
        <translation>6 moves</translation>
    </message>
    <message>
        <source>Загрузить игру</source>
        <translation>Load a game</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>&lt;файл не указан&gt;</source>
        <translation>&lt;no file chosen&gt;</translation>
    </message>
    <message>
        <source>Включить звуки</source>
        <translation>Play sounds</translation>
    </message>
    <message>
        <source>Начать игру</source>
        <translation>Start game</translation>
    </message>
    <message>
        <source>Отмена хода</source>
        <translation>Take back move</translation>
    </message>
    <message>
        <source>Повтор хода</source>
        <translation>Replay move</translation>
    </message>
    <message>
        <source>Снимок игры</source>
        <translation>Snapshot of the game</translation>
    </message>
    <message>
        <source>Перевернуть доску</source>
        <translation>Turn the board</translation>
    </message>
    <message>
        <source>Сохранить игру</source>
        <translation>Save game</translation>
    </message>
    <message>
        <source>Gambitron 1.2</source>
        <translation>Gambitron 1.2</translation>
    </message>
    <message>
        <source>Игра с компьютером</source>
        <translation>Play the computer</translation>
    </message>
    <message>
        <source>Компьютер:</source>
        <translation>Computer:</translation>
    </message>
    <message>
        <source>Расчет:</source>
        <translation>Depth:</translation>
    </message>
    <message>
        <source>Игра по сети</source>
        <translation>Network game</translation>
    </message>
    <message>
        <source>Создать сервер</source>
        <translation>Start a server</translation>
    </message>
    <message>
        <source>Подключиться</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Мои IP-адреса:</source>
        <translation>My IP addresses:</translation>
    </message>
    <message>
        <source>Сторона:</source>
        <translation>Side:</translation>
    </message>
    <message>
        <source>127.0.0.1</source>
        <translation>127.0.0.1</translation>
    </message>
    <message>
        <source>Игра вдвоем</source>
        <translation>Two players</translation>
    </message>
    <message>
        <source>Ориентация доски:</source>
        <translation>Board orientation:</translation>
    </message>
    <message>
        <source>Белые фигуры внизу</source>
        <translation>White at the bottom</translation>
    </message>
    <message>
        <source>Черные фигуры внизу</source>
        <translation>Black at the bottom</translation>
    </message>
</context>
</TS>
