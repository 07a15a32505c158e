<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>BoardRecord</name>
    <message>
        <source>такого хода нет</source>
        <translation>no such move</translation>
    </message>
    <message>
        <source>ход неоднозначен</source>
        <translation>the move is ambiguous</translation>
    </message>
    <message>
        <source>после троекратного повторения ходов больше нет</source>
        <translation>no moves can follow a threefold repetition</translation>
    </message>
    <message>
        <source>Ход %1%2 %3: %4</source>
        <extracomment>A PGN move that cannot be played: &quot;Move 12... Nbd7: no such move&quot;; %4 names the fault.</extracomment>
        <translation>Move %1%2 %3: %4</translation>
    </message>
    <message>
        <source>Ход %1: превращение возможно только в ферзя</source>
        <extracomment>%1 names the move as &quot;12... e1=N&quot;.</extracomment>
        <translation>Move %1: a pawn can only be promoted to a queen</translation>
    </message>
</context>
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
    <message>
        <source>файл</source>
        <translation>file</translation>
    </message>
    <message>
        <source>Сохраненная игра (.pos), партия PGN (.pgn) или позиция FEN (.fen), с которой начать.</source>
        <translation>A saved game (.pos), a PGN game (.pgn) or a FEN position (.fen) to start from.</translation>
    </message>
    <message>
        <source>[файл]</source>
        <translation>[file]</translation>
    </message>
    <message>
        <source>Цвет игрока сервера: white или black (по умолчанию white).</source>
        <translation>The server player&apos;s side: white or black (white by default).</translation>
    </message>
    <message>
        <source>Сразу подключиться к серверу: адрес IPv4 или IPv6 либо имя компьютера.</source>
        <translation>Connect to a server at once: an IPv4 or IPv6 address or a host name.</translation>
    </message>
    <message>
        <source>адрес</source>
        <translation>address</translation>
    </message>
    <message>
        <source>%1: --side: white или black, а не %2</source>
        <translation>%1: --side: white or black, not %2</translation>
    </message>
</context>
<context>
    <name>GameDiscovery</name>
    <message>
        <source>Gambitron на %1</source>
        <extracomment>The name this game is announced under on the local network; %1 is the computer&apos;s name.</extracomment>
        <translation>Gambitron on %1</translation>
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
    <message>
        <source>Новая игра: Ctrl+N</source>
        <translation>New game: Ctrl+N</translation>
    </message>
    <message>
        <source>Компьютер думает…</source>
        <translation>Computer thinking…</translation>
    </message>
    <message>
        <source>Сейчас ход компьютера</source>
        <translation>It&apos;s the computer&apos;s move</translation>
    </message>
    <message>
        <source>Сейчас ход соперника</source>
        <translation>It&apos;s your opponent&apos;s move</translation>
    </message>
</context>
<context>
    <name>NetworkGame</name>
    <message>
        <source>порт уже занят другой программой</source>
        <translation>another program is using the port</translation>
    </message>
    <message>
        <source>нет прав на этот порт</source>
        <translation>no permission to use this port</translation>
    </message>
    <message>
        <source>Не удалось запустить сервер на порту %1: %2.</source>
        <translation>Could not start the server on port %1: %2.</translation>
    </message>
    <message>
        <source>Сервер запущен</source>
        <translation>Server started</translation>
    </message>
    <message>
        <source>Адреса: %1</source>
        <translation>Addresses: %1</translation>
    </message>
    <message>
        <source>Поиск игры «%1»...</source>
        <translation>Looking for the game “%1”...</translation>
    </message>
    <message>
        <source>Подключение...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>Отказ: на порту %1 никто не ждет подключения</source>
        <translation>Refused: nobody is waiting for a connection on port %1</translation>
    </message>
    <message>
        <source>Нет пути к %1: сеть или компьютер недоступны</source>
        <translation>No route to %1: the network or the computer is unreachable</translation>
    </message>
    <message>
        <source>Нет ответа от %1 за %2 с</source>
        <translation>No answer from %1 within %2 s</translation>
    </message>
    <message>
        <source>Имя не найдено: «%1»</source>
        <translation>Host not found: “%1”</translation>
    </message>
    <message>
        <source>Соединение закрыто</source>
        <translation>Connection closed</translation>
    </message>
    <message>
        <source>%1 подключился</source>
        <translation>%1 connected</translation>
    </message>
    <message>
        <source>Подключение от %1 отклонено</source>
        <translation>Connection from %1 refused</translation>
    </message>
    <message>
        <source>Клиент отключился</source>
        <translation>The client disconnected</translation>
    </message>
    <message>
        <source>Ошибка клиента</source>
        <translation>Client error</translation>
    </message>
    <message>
        <source>Подключен</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Отключен от сервера</source>
        <translation>Disconnected from the server</translation>
    </message>
    <message>
        <source>Ошибка подключения</source>
        <translation>Connection error</translation>
    </message>
    <message>
        <source>Сервер уже занят</source>
        <translation>The server is busy</translation>
    </message>
    <message>
        <source>Ход соперника отклонен: неверная запись хода</source>
        <translation>Opponent&apos;s move refused: the move is garbled</translation>
    </message>
    <message>
        <source>игра не идет</source>
        <translation>no game is in progress</translation>
    </message>
    <message>
        <source>сейчас не его ход</source>
        <translation>it is not their move</translation>
    </message>
    <message>
        <source>ход невозможен</source>
        <translation>the move is illegal</translation>
    </message>
    <message>
        <source>Ход соперника %1 отклонен: %2</source>
        <translation>Opponent&apos;s move %1 refused: %2</translation>
    </message>
    <message>
        <source>Нет подключений</source>
        <translation>No connections</translation>
    </message>
    <message>
        <source>Не подключен</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>TChessBrd</name>
    <message>
        <source>белая пешка</source>
        <translation>white pawn</translation>
    </message>
    <message>
        <source>белый конь</source>
        <translation>white knight</translation>
    </message>
    <message>
        <source>белый слон</source>
        <translation>white bishop</translation>
    </message>
    <message>
        <source>белая ладья</source>
        <translation>white rook</translation>
    </message>
    <message>
        <source>белый ферзь</source>
        <translation>white queen</translation>
    </message>
    <message>
        <source>белый король</source>
        <translation>white king</translation>
    </message>
    <message>
        <source>черная пешка</source>
        <translation>black pawn</translation>
    </message>
    <message>
        <source>черный конь</source>
        <translation>black knight</translation>
    </message>
    <message>
        <source>черный слон</source>
        <translation>black bishop</translation>
    </message>
    <message>
        <source>черная ладья</source>
        <translation>black rook</translation>
    </message>
    <message>
        <source>черный ферзь</source>
        <translation>black queen</translation>
    </message>
    <message>
        <source>черный король</source>
        <translation>black king</translation>
    </message>
    <message>
        <source>пусто</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>Ход: %1 - %2</source>
        <translation>Move: %1 - %2</translation>
    </message>
    <message>
        <source>, взятие</source>
        <translation>, capture</translation>
    </message>
    <message>
        <source>, мат</source>
        <translation>, checkmate</translation>
    </message>
    <message>
        <source>, шах</source>
        <translation>, check</translation>
    </message>
    <message>
        <source>Шахматная доска</source>
        <translation>Chessboard</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
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
    <message>
        <source>Gambitron</source>
        <translation>Gambitron</translation>
    </message>
    <message>
        <source>Порт:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Файлы позиций Gambitron (*.pos)</source>
        <translation>Gambitron saved games (*.pos)</translation>
    </message>
    <message>
        <source>Партии PGN (*.pgn)</source>
        <translation>PGN games (*.pgn)</translation>
    </message>
    <message>
        <source>Игры (*.pos *.pgn *.fen)</source>
        <translation>Games (*.pos *.pgn *.fen)</translation>
    </message>
    <message>
        <source>Позиции FEN (*.fen)</source>
        <translation>FEN positions (*.fen)</translation>
    </message>
    <message>
        <source>Сохранение игры</source>
        <translation>Save Game</translation>
    </message>
    <message>
        <source>Загрузка игры</source>
        <translation>Load Game</translation>
    </message>
    <message>
        <source>Bitmaps (*.bmp)</source>
        <translation>Bitmaps (*.bmp)</translation>
    </message>
    <message>
        <source>Прервать эту игру и начать новую?</source>
        <translation>Abandon this game and start a new one?</translation>
    </message>
    <message>
        <source>Поворот доски</source>
        <translation>Board turned</translation>
    </message>
    <message>
        <source>Ошибка записи</source>
        <translation>Cannot Save</translation>
    </message>
    <message>
        <source>Не удалось сохранить снимок игры в файл &quot;%1&quot;.</source>
        <translation>Could not save the snapshot to &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Снимок игры сохранен</source>
        <translation>Snapshot saved</translation>
    </message>
    <message>
        <source>Не удалось сохранить игру в файл &quot;%1&quot;.<byte value="xd"/>Возможно сам файл или его каталог доступены только для чтения.</source>
        <translation>Could not save the game to &quot;%1&quot;.<byte value="xd"/>The file or its folder may be read-only.</translation>
    </message>
    <message>
        <source>Игра сохранена</source>
        <translation>Game saved</translation>
    </message>
    <message>
        <source>Файл не указан</source>
        <translation>No File Chosen</translation>
    </message>
    <message>
        <source>Файл с игрой не указан</source>
        <translation>No saved game has been chosen.</translation>
    </message>
    <message>
        <source>Ошибка загрузки</source>
        <translation>Cannot Load Game</translation>
    </message>
    <message>
        <source>Указанный файл не найден.<byte value="xd"/>Возможно он был удален.</source>
        <translation>The file was not found.<byte value="xd"/>It may have been deleted.</translation>
    </message>
    <message>
        <source>Файл с игрой поврежден.<byte value="xd"/>Загрузка невозможна.</source>
        <translation>The saved game is damaged.<byte value="xd"/>It cannot be loaded.</translation>
    </message>
    <message>
        <source>Игра загружена</source>
        <translation>Game loaded</translation>
    </message>
    <message>
        <source>Компьютер играет белыми</source>
        <translation>The computer plays White</translation>
    </message>
    <message>
        <source>Компьютер играет черными</source>
        <translation>The computer plays Black</translation>
    </message>
    <message>
        <source>Копировать позицию (FEN)</source>
        <translation>Copy Position (FEN)</translation>
    </message>
    <message>
        <source>Копировать партию (PGN)</source>
        <translation>Copy Game (PGN)</translation>
    </message>
    <message>
        <source>Вставить игру (FEN или PGN)</source>
        <translation>Paste Game (FEN or PGN)</translation>
    </message>
    <message>
        <source>Позиция скопирована (FEN)</source>
        <translation>Position copied (FEN)</translation>
    </message>
    <message>
        <source>Партия скопирована (PGN)</source>
        <translation>Game copied (PGN)</translation>
    </message>
    <message>
        <source>Вставка игры</source>
        <translation>Paste Game</translation>
    </message>
    <message>
        <source>В буфере обмена нет партии PGN или позиции FEN, которую можно сыграть.</source>
        <translation>The clipboard holds no PGN game or FEN position that can be played.</translation>
    </message>
    <message>
        <source>Начать новую игру из буфера обмена? Текущая игра будет прервана.</source>
        <translation>Start a new game from the clipboard? The current game will be abandoned.</translation>
    </message>
    <message>
        <source>Игра вставлена из буфера обмена</source>
        <translation>Game pasted from the clipboard</translation>
    </message>
    <message>
        <source><byte value="xd"/>Программа Gambitron позволяет играть в шахматы тремя разными способами: с компьютером, вдвоем по сети, а также вдвоем за одним компьютером. <byte value="xd"/>При игре с компьютером можно задать глубину просчета ходов: чем выше это значение, тем дольше он будет думать над каждым ходом. </source>
        <translation><byte value="xd"/>Gambitron lets you play chess in three ways: against the computer, with a friend over the network, or with a friend at one computer. <byte value="xd"/>Against the computer you can set how deep it looks ahead: the higher the depth, the longer it thinks over each move. </translation>
    </message>
    <message>
        <source><byte value="xd"/>Версия: Gambitron %1<byte value="xd"/>https://gambitron.example.org/<byte value="xd"/>© Авторы Gambitron. Все права защищены.</source>
        <extracomment>%1 is the program&apos;s version.</extracomment>
        <translation><byte value="xd"/>Version: Gambitron %1<byte value="xd"/>https://gambitron.example.org/<byte value="xd"/>© The Gambitron authors. All rights reserved.</translation>
    </message>
    <message>
        <source>Добро пожаловать в Gambitron!</source>
        <translation>Welcome to Gambitron!</translation>
    </message>
    <message>
        <source>Информация об авторе - /about.</source>
        <translation>About the author: /about.</translation>
    </message>
    <message>
        <source>Краткая справка - /help.</source>
        <translation>Quick help: /help.</translation>
    </message>
    <message>
        <source>Ход</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Адрес сервера:</source>
        <translation>Server address:</translation>
    </message>
    <message>
        <source>Игры в сети:</source>
        <translation>LAN games:</translation>
    </message>
    <message>
        <source>Запуск сервера...</source>
        <translation>Starting the server...</translation>
    </message>
    <message>
        <source>Прервать эту игру и начать новую? Соединение с соперником будет закрыто.</source>
        <translation>Abandon this game and start a new one? The connection to your opponent will be closed.</translation>
    </message>
    <message>
        <source>черными</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>белыми</source>
        <translation>White</translation>
    </message>
    <message>
        <source>%1: %2 порт %3, сервер играет %4</source>
        <translation>%1: %2 port %3, the server plays %4</translation>
    </message>
    <message>
        <source>выбрать...</source>
        <translation>choose...</translation>
    </message>
    <message>
        <source>Игра завершена</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>Знак «%1» нельзя передать в чате: его нет в кодировке Windows-1251</source>
        <translation>The character “%1” cannot be sent in the chat: it is not in the Windows-1251 code page</translation>
    </message>
    <message>
        <source>Строка чата не может быть длиннее %1 знаков</source>
        <translation>A chat line cannot be longer than %1 characters</translation>
    </message>
    <message>
        <source>Вы играете белыми</source>
        <translation>You play White</translation>
    </message>
    <message>
        <source>Вы играете черными</source>
        <translation>You play Black</translation>
    </message>
    <message>
        <source>Запуск игры...</source>
        <translation>Starting the game...</translation>
    </message>
    <message>
        <source>Игра запущена</source>
        <translation>Game started</translation>
    </message>
    <message>
        <source>Сохранение партии</source>
        <translation>Save Game</translation>
    </message>
    <message>
        <source>Сохранить партию (PGN)…</source>
        <translation>Save Game (PGN)…</translation>
    </message>
    <message>
        <source>Не удалось сохранить партию в файл &quot;%1&quot;.</source>
        <translation>Could not save the game to &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>Партия сохранена</source>
        <translation>Game saved</translation>
    </message>
    <message>
        <source>Сетевая игра недоступна: %1</source>
        <translation>Network play is not available: %1</translation>
    </message>
    <message>
        <source>Строка чата не может кончаться текстом хода «%1»: соперник примет его за ход</source>
        <translation>A chat line cannot end with the move text “%1”: your opponent would take it for a move</translation>
    </message>
</context>
</TS>
