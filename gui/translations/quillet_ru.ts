<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>quillet::gui::AboutBox</name>
    <message>
        <source>Version 1.0</source>
        <translation>Версия 1.0</translation>
    </message>
    <message>
        <source>Copyright (c) 2026 the Quillet developers</source>
        <translation>© 2026 разработчики Quillet</translation>
    </message>
    <message>
        <source>GNU General Public License,</source>
        <translation>Стандартная общественная лицензия GNU,</translation>
    </message>
    <message>
        <source>version 3 or later</source>
        <translation>версии 3 или более поздней</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>quillet::gui::HistoryDialog</name>
    <message>
        <source>History</source>
        <translation>История</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
</context>
<context>
    <name>quillet::gui::MainWindow</name>
    <message>
        <source>Filter by name (Ctrl+F)</source>
        <translation>Фильтр по имени (Ctrl+F)</translation>
    </message>
    <message>
        <source>Make GPX</source>
        <translation>Создать GPX</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Открыть папку</translation>
    </message>
</context>
<context>
    <name>quillet::gui::PreviewWindow</name>
    <message>
        <source>Preview</source>
        <translation>Просмотр</translation>
    </message>
    <message>
        <source>URL with {z}, {x} and {y}:</source>
        <translation>URL с {z}, {x} и {y}:</translation>
    </message>
    <message>
        <source>MBTiles (*.mbtiles);;All files (*)</source>
        <translation>MBTiles (*.mbtiles);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Unable to open file %1</source>
        <translation>Не удаётся открыть файл %1</translation>
    </message>
</context>
<context>
    <name>quillet::gui::WindowArguments</name>
    <message>
        <source>Choose the folder of the device files</source>
        <translation>Выберите папку с файлами устройства</translation>
    </message>
    <message>
        <source>unknown option &quot;%1&quot;</source>
        <translation>неизвестный параметр &quot;%1&quot;</translation>
    </message>
    <message>
        <source>give one folder only</source>
        <translation>укажите только одну папку</translation>
    </message>
    <message>
        <source>Usage: quillet [--choose-folder] [FOLDER]
Opens the GPS device files of FOLDER, by default of the working directory.
  --choose-folder  ask for the folder, again until one holds device files
  --help           show this text and end
  --version        show the version and end
</source>
        <translation>Использование: quillet [--choose-folder] [ПАПКА]
Открывает файлы GPS-устройства из ПАПКИ, по умолчанию из текущей папки.
  --choose-folder  спросить папку; спрашивать снова, пока в ней нет файлов устройства
  --help           показать этот текст и выйти
  --version        показать версию и выйти
</translation>
    </message>
</context>
</TS>
