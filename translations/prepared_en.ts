<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>TForm1</name>
    <message>
        <source>Файлы позиций Gambitron (*.pos)</source>
        <translation>Gambitron saved games (*.pos)</translation>
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
        <source><byte value="xd"/>Программа Gambitron позволяет играть в шахматы тремя разными способами: с компьютером, вдвоем по сети, а также вдвоем за одним компьютером. <byte value="xd"/>При игре с компьютером можно задать глубину просчета ходов: чем выше это значение, тем дольше он будет думать над каждым ходом. </source>
        <translation><byte value="xd"/>Gambitron lets you play chess in three ways: against the computer, with a friend over the network, or with a friend at one computer. <byte value="xd"/>Against the computer you can set how deep it looks ahead: the higher the depth, the longer it thinks over each move. </translation>
    </message>
    <message>
        <source><byte value="xd"/>Версия: Gambitron 1.2<byte value="xd"/>https://gambitron.example.org/<byte value="xd"/>© Авторы Gambitron. Все права защищены.</source>
        <translation><byte value="xd"/>Version: Gambitron 1.2<byte value="xd"/>https://gambitron.example.org/<byte value="xd"/>© The Gambitron authors. All rights reserved.</translation>
    </message>
    <message>
        <source>Ход</source>
        <translation>Move</translation>
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
        <source>Адрес сервера:</source>
        <translation>Server address:</translation>
    </message>
    <message>
        <source>Запуск сервера...</source>
        <translation>Starting the server...</translation>
    </message>
    <message>
        <source>Игра завершена</source>
        <translation>Game over</translation>
    </message>
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
        <source>Подключение...</source>
        <translation>Connecting...</translation>
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
        <source>Нет подключений</source>
        <translation>No connections</translation>
    </message>
    <message>
        <source>Не подключен</source>
        <translation>Not connected</translation>
    </message>
</context>
</TS>
