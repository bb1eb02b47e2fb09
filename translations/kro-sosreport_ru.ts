<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AboutBox</name>
    <message>
        <location filename="../app/aboutbox.cpp" line="+25"/>
        <source>About %1</source>
        <translation>О программе %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Installed sos: looking...</source>
        <translation>Установленный sos: определяется...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Installed sos: not found</source>
        <translation>Установленный sos: не найден</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Installed sos: version %1</source>
        <translation>Установленный sos: версия %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1, version %2
Collects diagnostic reports of this computer with sos, protects and sends them, and switches services into a debug mode.

%3

Licence: GNU General Public License, version 2 or later.</source>
        <translation>%1, версия %2
Собирает диагностические отчёты этого компьютера с помощью sos, защищает и отправляет их, а также переводит службы в режим отладки.

%3

Лицензия: GNU General Public License, версия 2 или более поздняя.</translation>
    </message>
</context>
<context>
    <name>AppSkeleton</name>
    <message>
        <location filename="../app/mainwindow.ui" line="+15"/>
        <source>System report center</source>
        <translation>Центр системных отчётов</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Generated &amp;reports</source>
        <translation>Созданные &amp;отчёты</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>(folders with reports not set)</source>
        <translation>(папки с отчётами не заданы)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Configure folders with reports</source>
        <translation>Настроить папки с отчётами</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>&amp;Services debugging</source>
        <translation>Отладка слу&amp;жб</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Configure folders with debug modules</source>
        <translation>Настроить папки с модулями отладки</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Disable debug mode</source>
        <translation>Выключить режим отладки</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Set debug mode</source>
        <translation>Включить режим отладки</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Reproduce a problem...</source>
        <translation>Воспроизвести проблему...</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Show changes</source>
        <translation>Показать изменения</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Show a&amp;dvanced settings</source>
        <translation>Показать &amp;дополнительные настройки</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Tool bar</source>
        <translation>Панель инструментов</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;Generate report</source>
        <translation>Со&amp;здать отчёт</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Generate archive with report</source>
        <translation>Создать архив с отчётом</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Co&amp;llect from several machines...</source>
        <translation>Со&amp;брать с нескольких машин...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Collect one report from a group of machines over SSH</source>
        <translation>Собрать один отчёт с группы машин по SSH</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Exit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Show help</source>
        <translation>&amp;Показать справку</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Refresh reports list</source>
        <translation>О&amp;бновить список отчётов</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send &amp;archive with report</source>
        <translation>Отправить &amp;архив с отчётом</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Send archive with report by e-mail</source>
        <translation>Отправить архив с отчётом по электронной почте</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Upload...</source>
        <translation>Вы&amp;грузить...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upload the archive with the report to a support server, for reports too large to mail</source>
        <translation>Выгрузить архив с отчётом на сервер службы поддержки — для отчётов, слишком больших для почты</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Set password for the archive</source>
        <translation>&amp;Задать пароль для архива</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set a password for the archive of report before sending</source>
        <translation>Задать пароль для архива с отчётом перед отправкой</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Reproduce a problem...</source>
        <translation>&amp;Воспроизвести проблему...</translation>
    </message>
</context>
<context>
    <name>Backstage</name>
    <message>
        <location filename="../backend/backstage_archives.cpp" line="+41"/>
        <location line="+15"/>
        <location line="+78"/>
        <source>Warning!</source>
        <translation>Предупреждение!</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>The following files are not regular report files of yours (a link, a folder, a missing file or a file of another user).
Nothing was changed:
%1</source>
        <translation>Следующие файлы не являются вашими обычными файлами отчётов (ссылка, папка, отсутствующий файл или файл другого пользователя).
Ничего не изменено:
%1</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The password must not contain line breaks.</source>
        <translation>Пароль не должен содержать переводов строки.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>The following files could not be removed:
%1</source>
        <translation>Не удалось удалить следующие файлы:
%1</translation>
    </message>
    <message>
        <location filename="../backend/backstage_filechanges.cpp" line="+42"/>
        <source>File %1 not found</source>
        <translation>Файл %1 не найден</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Failed to create temporary file : %1 </source>
        <translation>Не удалось создать временный файл: %1 </translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Failed to delete temporary file : %1 </source>
        <translation>Не удалось удалить временный файл: %1 </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Failed to write temporary file : %1 </source>
        <translation>Не удалось записать временный файл: %1 </translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Failed to replace file %1 with temporary file %2 </source>
        <translation>Не удалось заменить файл %1 временным файлом %2 </translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+9"/>
        <source>Failed to find text to be replaced : %1 </source>
        <translation>Не удалось найти заменяемый текст: %1 </translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Failed to find anchor text : %1 </source>
        <translation>Не удалось найти опорный текст: %1 </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed to uncomment text : %1 </source>
        <translation>Не удалось раскомментировать текст: %1 </translation>
    </message>
    <message>
        <location filename="../backend/backstage_modules.cpp" line="+88"/>
        <source>Error!</source>
        <translation>Ошибка!</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Couldn&apos;t open file %1.</source>
        <translation>Не удалось открыть файл %1.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>File %1 
not contains valid JSON object.</source>
        <translation>Файл %1 
не содержит корректного объекта JSON.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>File %1 
not contains valid field &apos;%2&apos;.</source>
        <translation>Файл %1 
не содержит корректного поля «%2».</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File %1 
field &apos;plugins&apos; must be a list of sos plugin names (letters, digits and underscores).</source>
        <translation>В файле %1 
поле «plugins» должно быть списком имён модулей сбора sos (буквы, цифры и знаки подчёркивания).</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>File %1 
field &apos;package&apos; must be the name of a package.</source>
        <translation>В файле %1 
поле «package» должно быть именем пакета.</translation>
    </message>
    <message>
        <location line="+53"/>
        <source>Getting debug modules list</source>
        <translation>Получение списка модулей отладки</translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../backend/backstage_reports.cpp" line="+154"/>
        <source>Can&apos;t read directory %1</source>
        <translation>Не удалось прочитать папку %1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Line %1, column %2: %3</source>
        <translation>Строка %1, столбец %2: %3</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>File %1 is not a regular file</source>
        <translation>Файл %1 не является обычным файлом</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File %1 is larger than %2 MiB</source>
        <translation>Файл %1 больше %2 МиБ</translation>
    </message>
    <message>
        <location filename="../backend/backstage_reports.cpp" line="+0"/>
        <source>Getting reports list</source>
        <translation>Получение списка отчётов</translation>
    </message>
</context>
<context>
    <name>ChangesWidget</name>
    <message>
        <location filename="../debugmodules/changeswidget.ui" line="+35"/>
        <source>List of actions to switch to debug mode module </source>
        <translation>Список действий для перевода в режим отладки модуля </translation>
    </message>
    <message>
        <location line="+36"/>
        <source>First, need to make changes</source>
        <translation>Сначала нужно внести изменения</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>File path</source>
        <translation>Путь к файлу</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Old text</source>
        <translation>Старый текст</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>New text</source>
        <translation>Новый текст</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Than, need to execute (with sudo)</source>
        <translation>Затем нужно выполнить (через sudo)</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>To turn off debug mode, undo the changes you made and execute (with sudo)</source>
        <translation>Чтобы выключить режим отладки, отмените внесённые изменения и выполните (через sudo)</translation>
    </message>
</context>
<context>
    <name>ChooseDirsDialog</name>
    <message>
        <location filename="../common/servicewidgets/choosedirsdialog.ui" line="+68"/>
        <source>Add new record</source>
        <translation>Добавить запись</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Delete current record</source>
        <translation>Удалить текущую запись</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Edit current record</source>
        <translation>Изменить текущую запись</translation>
    </message>
</context>
<context>
    <name>CollectDialog</name>
    <message>
        <location filename="../app/collect/collectdialog.ui" line="+6"/>
        <source>Collect from several machines</source>
        <translation>Сбор с нескольких машин</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Hosts (one per line or separated by commas):</source>
        <translation>&amp;Узлы (по одному в строке или через запятую):</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Add a &amp;known host</source>
        <translation>Добавить &amp;известный узел</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>SSH &amp;user:</source>
        <translation>&amp;Пользователь SSH:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>root</source>
        <translation>root</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The nodes ask for an SSH &amp;password</source>
        <translation>Узлы запрашивают &amp;пароль SSH</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>sudo on the nodes asks for a pass&amp;word</source>
        <translation>sudo на узлах запрашивает па&amp;роль</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Include &amp;this machine (its report is made by the helper)</source>
        <translation>Включить &amp;эту машину (её отчёт создаёт помощник)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Case ID:</source>
        <translation>&amp;Номер обращения:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&amp;Label:</source>
        <translation>&amp;Метка:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Only these plu&amp;gins:</source>
        <translation>Только эти &amp;модули:</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>all that apply</source>
        <translation>все подходящие</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Logs of the last:</source>
        <translation>Журналы за последние:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>all logs</source>
        <translation>все журналы</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> h</source>
        <translation> ч</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Obfuscate host names, addresses and user names</source>
        <translation>&amp;Скрыть имена узлов, адреса и имена пользователей</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Time limit per &amp;node:</source>
        <translation>Предел времени на &amp;узел:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>sos default</source>
        <translation>по умолчанию sos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source> s</source>
        <translation> с</translation>
    </message>
    <message>
        <location filename="../app/collect/collectdialog.cpp" line="+15"/>
        <source>&amp;Collect</source>
        <translation>&amp;Собрать</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>~/.ssh/config and ~/.ssh/known_hosts name no host.</source>
        <translation>В ~/.ssh/config и ~/.ssh/known_hosts нет ни одного узла.</translation>
    </message>
    <message>
        <location line="+63"/>
        <source>Not usable: %1</source>
        <translation>Нельзя использовать: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The installed sos does not offer this when collecting.</source>
        <translation>Установленный sos не предлагает этого при сборе.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>The installed sos does not offer %1 when collecting.</source>
        <translation>Установленный sos не предлагает %1 при сборе.</translation>
    </message>
</context>
<context>
    <name>CollectFlow</name>
    <message>
        <location filename="../app/collect/collectflow.cpp" line="+38"/>
        <source>The installed sos has no collector (sos collect).</source>
        <translation>В установленном sos нет сборщика (sos collect).</translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+44"/>
        <location line="+3"/>
        <location line="+4"/>
        <source>Collect from several machines</source>
        <translation>Сбор с нескольких машин</translation>
    </message>
    <message>
        <location line="-40"/>
        <source>sudo password</source>
        <translation>Пароль sudo</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>SSH password</source>
        <translation>Пароль SSH</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+8"/>
        <source>%1

These machines gave no report:
%2</source>
        <translation>%1

Эти машины не дали отчёта:
%2</translation>
    </message>
</context>
<context>
    <name>CollectProgressDialog</name>
    <message>
        <location filename="../app/collect/collectprogressdialog.ui" line="+6"/>
        <source>Collecting from several machines</source>
        <translation>Сбор с нескольких машин</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Machine</source>
        <translation>Машина</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>State</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Last lines</source>
        <translation>Последние строки</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Stop</source>
        <translation>&amp;Остановить</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Close</source>
        <translation>&amp;Закрыть</translation>
    </message>
    <message>
        <location filename="../app/collect/collectprogressdialog.cpp" line="+69"/>
        <source>unreachable</source>
        <translation>недоступна</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>authentication refused</source>
        <translation>аутентификация отклонена</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>sos is not installed there</source>
        <translation>sos там не установлен</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>timed out</source>
        <translation>время истекло</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>the report failed</source>
        <translation>отчёт не удался</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Waiting</source>
        <translation>Ожидание</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Connecting</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Collecting</source>
        <translation>Сбор</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Copying</source>
        <translation>Копирование</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Done</source>
        <translation>Готово</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Failed: %1</source>
        <translation>Ошибка: %1</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Elapsed time: %1:%2</source>
        <translation>Прошло времени: %1:%2</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Stop the collection</source>
        <translation>Остановка сбора</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Stop collecting? The reports made so far are thrown away.</source>
        <translation>Остановить сбор? Уже собранные отчёты будут удалены.</translation>
    </message>
</context>
<context>
    <name>Collection</name>
    <message>
        <location filename="../app/collect/collection.cpp" line="+143"/>
        <source>A collection is running already.</source>
        <translation>Сбор уже идёт.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Cannot write to %1: %2</source>
        <translation>Не удаётся записать в %1: %2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Cannot write to %1.</source>
        <translation>Не удаётся записать в %1.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1 could not be started: %2</source>
        <translation>Не удалось запустить %1: %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>No terminal could be opened for the collector.</source>
        <translation>Не удалось открыть терминал для сборщика.</translation>
    </message>
    <message>
        <location line="+58"/>
        <source>The collection was stopped.</source>
        <translation>Сбор остановлен.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The collector ended with status %1 and made no archive.</source>
        <translation>Сборщик завершился с кодом %1 и не создал архива.</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>The archive could not be moved to %1.</source>
        <translation>Не удалось переместить архив в %1.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The combined archive %1 was saved: %2</source>
        <translation>Общий архив %1 сохранён: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The combined archive %1 was saved: %2, md5 %3</source>
        <translation>Общий архив %1 сохранён: %2, md5 %3</translation>
    </message>
</context>
<context>
    <name>CustomListWidget</name>
    <message>
        <location filename="../common/servicewidgets/customlistwidget.cpp" line="+9"/>
        <source>Delete selected record</source>
        <translation>Удалить выбранную запись</translation>
    </message>
</context>
<context>
    <name>DebugModeReminder</name>
    <message>
        <location filename="../app/debugging/debugmodereminder.cpp" line="+33"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>These services are still in debug mode: %1.
Debug mode makes their logs grow faster. Switch them back now?</source>
        <translation>Эти службы всё ещё в режиме отладки: %1.
В режиме отладки их журналы растут быстрее. Вернуть обычный режим сейчас?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Switch back</source>
        <translation>&amp;Вернуть обычный режим</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep debug mode</source>
        <translation>&amp;Оставить режим отладки</translation>
    </message>
</context>
<context>
    <name>DebugPage</name>
    <message>
        <location filename="../app/debugging/debugpage.cpp" line="+39"/>
        <source>Debug mode is active</source>
        <translation>Режим отладки включён</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Some errors detected</source>
        <translation>Обнаружены ошибки</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Debug mode is not active</source>
        <translation>Режим отладки выключен</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Debug mode in an unknown state</source>
        <translation>Режим отладки в неизвестном состоянии</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reboot required</source>
        <translation>Требуется перезагрузка</translation>
    </message>
    <message>
        <location line="+124"/>
        <source>%1 (not installed)</source>
        <translation>%1 (не установлена)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The package &quot;%1&quot; of this service is not installed: its debug mode cannot be switched.</source>
        <translation>Пакет «%1» этой службы не установлен: её режим отладки переключить нельзя.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Change %1: file %2 is missing or cannot be read.</source>
        <translation>Изменение %1: файл %2 отсутствует или недоступен для чтения.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Change %1: file %2 holds neither &quot;%3&quot; nor &quot;%4&quot;.</source>
        <translation>Изменение %1: файл %2 не содержит ни «%3», ни «%4».</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The module changes no file.</source>
        <translation>Модуль не изменяет ни одного файла.</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+31"/>
        <location line="+75"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="-105"/>
        <source>Unexpected error while defining a module.</source>
        <translation>Непредвиденная ошибка при определении модуля.</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>Executing this operation will terminate the current session. Continue?</source>
        <translation>Эта операция завершит текущий сеанс. Продолжить?</translation>
    </message>
    <message>
        <location line="+65"/>
        <source>Error!</source>
        <translation>Ошибка!</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Debug mode activated with errors.
Make sure you have completed the required steps.
</source>
        <translation>Режим отладки включён с ошибками.
Убедитесь, что все нужные шаги выполнены.
</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Debug mode deactivated with errors.</source>
        <translation>Режим отладки выключен с ошибками.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reproduce the problem, then generate an report with logs.</source>
        <translation>Воспроизведите проблему, затем создайте отчёт с журналами.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Remember to reboot after executing commands</source>
        <translation>Не забудьте перезагрузить компьютер после выполнения команд</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Debug mode activated.
</source>
        <translation>Режим отладки включён.
</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Debug mode deactivated.</source>
        <translation>Режим отладки выключен.</translation>
    </message>
</context>
<context>
    <name>DebugSwitch</name>
    <message>
        <location filename="../app/debugging/debugswitch.cpp" line="+73"/>
        <source>Failed to replace file %1</source>
        <translation>Не удалось заменить файл %1</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Failed to mark the module as waiting for a reboot</source>
        <translation>Не удалось отметить, что модуль ожидает перезагрузки</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+9"/>
        <source>Failed to execute command : %1</source>
        <translation>Не удалось выполнить команду: %1</translation>
    </message>
</context>
<context>
    <name>DirsListWidget</name>
    <message>
        <location filename="../common/servicewidgets/dirslistwidget.cpp" line="+13"/>
        <source>Edit this record</source>
        <translation>Изменить эту запись</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add record</source>
        <translation>Добавить запись</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete this record</source>
        <translation>Удалить эту запись</translation>
    </message>
</context>
<context>
    <name>ExtSettWidget</name>
    <message>
        <location filename="../extsett/extsettwidget.ui" line="+20"/>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.cpp" line="+90"/>
        <source>Profiles list</source>
        <translation>Список профилей</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Plugins list</source>
        <translation>Список модулей сбора</translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.ui" line="+98"/>
        <location line="+10"/>
        <source>You can specify case identifier</source>
        <translation>Можно указать идентификатор обращения</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+27"/>
        <source>optional</source>
        <translation>необязательно</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>La&amp;bel</source>
        <translation>Метка ар&amp;хива</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+10"/>
        <source>Compression technology to use</source>
        <translation>Используемый способ сжатия</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>auto</source>
        <translation>авто</translation>
    </message>
    <message>
        <location line="+32"/>
        <source> MB</source>
        <translation> МБ</translation>
    </message>
    <message>
        <location line="+29"/>
        <location line="+10"/>
        <source>Specify alternate temporary directory</source>
        <translation>Указать другую временную папку</translation>
    </message>
    <message>
        <location line="+16"/>
        <location line="+49"/>
        <source>Choose directory</source>
        <translation>Выбрать папку</translation>
    </message>
    <message>
        <location line="-26"/>
        <source>System root directory path</source>
        <translation>Путь к корневой папке системы</translation>
    </message>
    <message>
        <location line="-260"/>
        <source>&amp;Profiles list</source>
        <translation>Список &amp;профилей</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>&amp;Add profile</source>
        <translation>Доб&amp;авить профиль</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Plu&amp;gins list</source>
        <translation>Список &amp;модулей сбора</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>&amp;Add plugin</source>
        <translation>Доб&amp;авить модуль сбора</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Sho&amp;w unactive plugins</source>
        <translation>Показать &amp;неактивные модули сбора</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Case &amp;ID</source>
        <translation>Номер о&amp;бращения</translation>
    </message>
    <message>
        <location line="+21"/>
        <location line="+13"/>
        <source>A word added to the archive&apos;s name</source>
        <translation>Слово, добавляемое к имени архива</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Co&amp;mpression method</source>
        <translation>Способ сжат&amp;ия</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Sp&amp;lit report into</source>
        <translation>Ра&amp;збить отчёт на части по</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>&amp;Temp directory</source>
        <translation>&amp;Временная папка</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Root director&amp;y</source>
        <translation>&amp;Корневая папка</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Files not &amp;older than</source>
        <translation>Файлы не стар&amp;ше</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Not set</source>
        <translation>Не задано</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>hrs</source>
        <translation>ч</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>d</source>
        <translation>дн</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>m</source>
        <translation>мес</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>y</source>
        <translation>лет</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Do not collect /&amp;etc</source>
        <translation>Не собирать /&amp;etc</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>&amp;Collect all logs</source>
        <translation>Собрать все жу&amp;рналы</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>All optio&amp;ns to plugins</source>
        <translation>Все параме&amp;тры модулей сбора</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Defa&amp;ult</source>
        <translation>По &amp;умолчанию</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Pre&amp;vious</source>
        <translation>Пр&amp;едыдущие</translation>
    </message>
    <message>
        <location line="-58"/>
        <source>Collect all available logs regardless of size</source>
        <translation>Собрать все доступные журналы независимо от размера</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>H&amp;ide host names, addresses and user names</source>
        <translation>Скрыть имена уз&amp;лов, адреса и имена пользователей</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Enable all options for loaded plugins</source>
        <translation>Включить все параметры загруженных модулей сбора</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Set default settings</source>
        <translation>Вернуть настройки по умолчанию</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Set settings used for the previous report</source>
        <translation>Вернуть настройки предыдущего отчёта</translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.cpp" line="-6"/>
        <source>Reports are collected of this system only.</source>
        <translation>Отчёты собираются только об этой системе.</translation>
    </message>
    <message>
        <location line="+64"/>
        <location line="+151"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="-150"/>
        <location filename="../extsett/extsettwidget_plugins.cpp" line="+90"/>
        <source>Plugin &quot;cgroups&quot; may CRITICALLY conflict with Kaspersky Endpoint Security!</source>
        <translation>Модуль сбора «cgroups» может КРИТИЧЕСКИ конфликтовать с Kaspersky Endpoint Security!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>
Do you really want to include it?</source>
        <translation>
Вы действительно хотите его включить?</translation>
    </message>
    <message>
        <location line="+125"/>
        <source>The installed sos %1 has no option %2: the finished report is split into volumes afterwards</source>
        <translation>У установленного sos %1 нет параметра %2: готовый отчёт будет разбит на тома после сбора</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>The installed sos %1 has no option %2</source>
        <translation>У установленного sos %1 нет параметра %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The current settings will be lost.
Do you want to continue? </source>
        <translation>Текущие настройки будут потеряны.
Продолжить? </translation>
    </message>
    <message>
        <location line="-220"/>
        <location line="+242"/>
        <source>Choose temporary directory</source>
        <translation>Выберите временную папку</translation>
    </message>
    <message>
        <location line="-243"/>
        <source>Advanced settings</source>
        <translation>Дополнительные настройки</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+248"/>
        <source>Choose system root directory </source>
        <translation>Выберите корневую папку системы </translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.h" line="+88"/>
        <source>Default: no profiles</source>
        <translation>По умолчанию: без профилей</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default: all active plugins</source>
        <translation>По умолчанию: все активные модули сбора</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plugins from selected profile(s)</source>
        <translation>Модули сбора из выбранных профилей</translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget_plugins.cpp" line="-20"/>
        <source>Plugin &quot;%1&quot; not found.</source>
        <translation>Модуль сбора «%1» не найден.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Plugin &quot;%1&quot; already added.</source>
        <translation>Модуль сбора «%1» уже добавлен.</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Profile &quot;%1&quot; not found.</source>
        <translation>Профиль «%1» не найден.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Profile &quot;%1&quot; already added.</source>
        <translation>Профиль «%1» уже добавлен.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Warning!</source>
        <translation>Предупреждение!</translation>
    </message>
</context>
<context>
    <name>HelperFailure</name>
    <message>
        <location filename="../platform/helperfailure.cpp" line="+30"/>
        <source>The call failed.</source>
        <translation>Вызов завершился ошибкой.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Out of memory.</source>
        <translation>Недостаточно памяти.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The called service is not known.</source>
        <translation>Вызываемая служба неизвестна.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Timeout reply.</source>
        <translation>Истекло время ожидания ответа.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The address given is not valid.</source>
        <translation>Указан недопустимый адрес.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The call/operation is not supported.</source>
        <translation>Вызов или операция не поддерживается.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The limits allocated to this process/call/connection exceeded the pre-defined values.</source>
        <translation>Превышены ограничения, выделенные этому процессу, вызову или соединению.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Authorization error.</source>
        <translation>Ошибка авторизации.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No server found.</source>
        <translation>Сервер не найден.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No network found.</source>
        <translation>Сеть не найдена.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QDBusServer tried to bind to an address that is already in use.</source>
        <translation>QDBusServer попытался занять адрес, который уже используется.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The call/process/message was sent after QDBusConnection disconnected.</source>
        <translation>Вызов, процесс или сообщение отправлены после разрыва соединения QDBusConnection.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The arguments passed to this call/operation are not valid.</source>
        <translation>Аргументы, переданные этому вызову или операции, недопустимы.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The method called was not found in this object/interface with the given parameters.</source>
        <translation>Вызванный метод с указанными параметрами не найден в этом объекте или интерфейсе.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The type signature is not valid or compatible.</source>
        <translation>Сигнатура типов недопустима или несовместима.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The interface is not known in this object.</source>
        <translation>Этот объект не знает такого интерфейса.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The object path points to an object that does not exist.</source>
        <translation>Путь указывает на несуществующий объект.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The property does not exist in this interface.</source>
        <translation>В этом интерфейсе нет такого свойства.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The property set failed because the property is read-only.</source>
        <translation>Не удалось задать свойство: оно доступно только для чтения.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An internal error occurred.</source>
        <translation>Произошла внутренняя ошибка.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The service requested is invalid.</source>
        <translation>Запрошенная служба недопустима.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The object path provided is invalid.</source>
        <translation>Указанный путь объекта недопустим.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The interface is invalid.</source>
        <translation>Интерфейс недопустим.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The member is invalid.</source>
        <translation>Член интерфейса недопустим.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unknown error.</source>
        <translation>Неизвестная ошибка.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Administrator authorisation was cancelled.
Try again and enter the password when you are asked for it.</source>
        <translation>Подтверждение прав администратора отменено.
Повторите действие и введите пароль, когда он будет запрошен.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No authentication agent is running in this session.
Log in to a desktop session that runs one (or start your desktop&apos;s authentication agent) and try again.</source>
        <translation>В этом сеансе не запущен агент аутентификации.
Войдите в сеанс рабочего стола, в котором он работает (или запустите агент аутентификации своего рабочего стола), и повторите действие.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Administrator authorisation was refused.
Only an administrator of this computer may do this: try again with an administrator&apos;s password, or ask an administrator.</source>
        <translation>В правах администратора отказано.
Это может сделать только администратор этого компьютера: повторите действие с паролем администратора или обратитесь к администратору.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The system helper is not installed or could not start.
Install the application&apos;s package again, or ask an administrator to look at the system log.</source>
        <translation>Системный помощник не установлен или не смог запуститься.
Переустановите пакет программы или попросите администратора посмотреть системный журнал.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The system helper did not answer in time.
Try again in a moment.</source>
        <translation>Системный помощник не ответил вовремя.
Повторите попытку чуть позже.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The system message bus cannot be reached.
Restart the computer; if that does not help, ask an administrator.</source>
        <translation>Системная шина сообщений недоступна.
Перезагрузите компьютер; если это не поможет, обратитесь к администратору.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The system helper could not do what was asked.
Try again; the details tell an administrator what went wrong.</source>
        <translation>Системный помощник не смог выполнить запрос.
Повторите попытку; подробности помогут администратору понять, что пошло не так.</translation>
    </message>
</context>
<context>
    <name>KroAdmin::DbusService</name>
    <message>
        <location filename="../platform/dbusservice.cpp" line="+248"/>
        <source>The program &quot;%1&quot; crashed.</source>
        <translation>Программа «%1» аварийно завершилась.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The program &quot;%1&quot; exited with status %2.</source>
        <translation>Программа «%1» завершилась с кодом %2.</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>The program &quot;%1&quot; was not found.</source>
        <translation>Программа «%1» не найдена.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file could not be moved: %1.</source>
        <translation>Не удалось переместить файл: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report was not changed: %1.</source>
        <translation>Отчёт не изменён: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No report is being collected.</source>
        <translation>Отчёт сейчас не собирается.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A report is being collected already.</source>
        <translation>Отчёт уже собирается.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The program &quot;%1&quot; did not end in time and was stopped.</source>
        <translation>Программа «%1» не завершилась вовремя и была остановлена.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The privileged helper is busy with other calls of yours. Try again in a moment.</source>
        <translation>Привилегированный помощник занят другими вашими запросами. Повторите попытку чуть позже.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The privileged helper refused the options: %1</source>
        <translation>Привилегированный помощник отклонил параметры: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The report could not be protected:
%1</source>
        <translation>Не удалось защитить отчёт:
%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The report could not be split into volumes:
%1</source>
        <translation>Не удалось разбить отчёт на тома:
%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Some files could not be removed:
%1</source>
        <translation>Не удалось удалить некоторые файлы:
%1</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>The program &quot;%1&quot; could not be started.</source>
        <translation>Не удалось запустить программу «%1».</translation>
    </message>
</context>
<context>
    <name>KroDesktop</name>
    <message>
        <location filename="../platform/desktopopen.cpp" line="+21"/>
        <source>Copy path</source>
        <translation>Копировать путь</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwindow_archives.cpp" line="+85"/>
        <location filename="../app/mainwindow_debug.cpp" line="+84"/>
        <location filename="../app/mainwindow_dirs.cpp" line="+49"/>
        <location filename="../app/mainwindow_extsett.cpp" line="+85"/>
        <location filename="../app/mainwindow_reports.cpp" line="+100"/>
        <location line="+32"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_reports.cpp" line="-10"/>
        <source>Collecting the report was stopped; no report was made.</source>
        <translation>Сбор отчёта остановлен; отчёт не создан.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Probably, report is not ready yet.
Are you sure you want to interrupt the program?</source>
        <translation>Вероятно, отчёт ещё не готов.
Вы уверены, что хотите прервать работу программы?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report goes on being collected after the window closes; the next start of the program shows how it went. Choose No to keep watching it here.</source>
        <translation>Сбор отчёта продолжится и после закрытия окна; при следующем запуске программа покажет, чем он закончился. Выберите «Нет», чтобы следить за ним здесь.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow.cpp" line="+253"/>
        <source>Unable to exec sosreport!
</source>
        <translation>Не удалось запустить sosreport!
</translation>
    </message>
    <message>
        <location line="+0"/>
        <location filename="../app/mainwindow_reports.cpp" line="-20"/>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_keyboard.cpp" line="+60"/>
        <source>Reports and services</source>
        <translation>Отчёты и службы</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Generated reports</source>
        <translation>Созданные отчёты</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Services debugging</source>
        <translation>Отладка служб</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Services with a debug module. Select one to switch its debug mode on or off.</source>
        <translation>Службы, для которых есть модуль отладки. Выберите службу, чтобы включить или выключить её режим отладки.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Module description</source>
        <translation>Описание модуля</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_archives.cpp" line="-17"/>
        <source>Password setting</source>
        <translation>Установка пароля</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The archive is protected with the password. It is now:
%1</source>
        <translation>Архив защищён паролем. Теперь это файл:
%1</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>Protecting %1...</source>
        <translation>Защита паролем %1...</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Report protected: %1</source>
        <translation>Отчёт защищён паролем: %1</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>You will be given permission to read the report file, so that your mail program or the upload can read it. Other users still cannot read it.</source>
        <translation>Вы получите право читать файл отчёта, чтобы его могли прочитать почтовая программа или выгрузка. Другие пользователи по-прежнему не смогут его прочитать.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Do you want to continue?</source>
        <translation>Продолжить?</translation>
    </message>
    <message>
        <location line="+3"/>
        <location filename="../app/mainwindow_extsett.cpp" line="+4"/>
        <source>Don&apos;t show this message again</source>
        <translation>Больше не показывать это сообщение</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_debug.cpp" line="+1"/>
        <source>Unexpected error while defining a module.</source>
        <translation>Непредвиденная ошибка при определении модуля.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_dirs.cpp" line="-7"/>
        <source>Choose a directory with reports</source>
        <translation>Выберите папку с отчётами</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Selecting additional directories</source>
        <translation>Выбор дополнительных папок</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>List of additional directories with reports</source>
        <translation>Список дополнительных папок с отчётами</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The directory &quot;/tmp&quot; will not be displayed 
in the list of additional ones 
because it is the main one.</source>
        <translation>Папка «/tmp» не будет показана 
в списке дополнительных, 
потому что она основная.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Choose a directory with debug modules</source>
        <translation>Выберите папку с модулями отладки</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Selecting directories with modules</source>
        <translation>Выбор папок с модулями</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>List of directories with debug modules</source>
        <translation>Список папок с модулями отладки</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_extsett.cpp" line="-3"/>
        <source>Without obtaining access privileges, 
the list of plugins and profiles will not be loaded.</source>
        <translation>Без получения прав доступа 
список модулей сбора и профилей не будет загружен.</translation>
    </message>
    <message>
        <location filename="../app/mainwindow_reports.cpp" line="-15"/>
        <source>Perhaps the collection of information took
too long or there was 
a finish detection error.
The interface will be unlocked.</source>
        <translation>Возможно, сбор сведений занял
слишком много времени или 
не удалось определить его окончание.
Интерфейс будет разблокирован.</translation>
    </message>
    <message>
        <location filename="../app/reports/reportrunwatch.cpp" line="+63"/>
        <source>Elapsed time: %1</source>
        <translation>Прошло времени: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Collecting: %1 of %2 plugins, %3</source>
        <translation>Сбор: %1 из %2 модулей сбора, %3</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The report could not be collected (exit status %1).
</source>
        <translation>Не удалось собрать отчёт (код завершения %1).
</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Report saved: %1 (%2, md5 %3)</source>
        <translation>Отчёт сохранён: %1 (%2, md5 %3)</translation>
    </message>
</context>
<context>
    <name>ModuleWarnings</name>
    <message>
        <location filename="../app/debugging/modulewarnings.cpp" line="+47"/>
        <source>Do not show again for this file until it changes</source>
        <translation>Не показывать снова для этого файла, пока он не изменится</translation>
    </message>
</context>
<context>
    <name>PasswordDialog</name>
    <message>
        <location filename="../app/reports/passworddialog.ui" line="+6"/>
        <source>Password setting</source>
        <translation>Установка пароля</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Enter not-empty password for archive:</source>
        <translation>&amp;Введите непустой пароль для архива:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Enter it &amp;again:</source>
        <translation>Введите его ещё &amp;раз:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>&amp;Show password</source>
        <translation>&amp;Показать пароль</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The passwords differ.</source>
        <translation>Пароли не совпадают.</translation>
    </message>
</context>
<context>
    <name>ReportActions</name>
    <message>
        <location filename="../app/reports/reportactions.cpp" line="+44"/>
        <location line="+109"/>
        <source>Open containing folder</source>
        <translation>Открыть папку с файлом</translation>
    </message>
    <message>
        <location line="-107"/>
        <source>Copy path</source>
        <translation>Копировать путь</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <location line="+107"/>
        <source>No file manager could be started to open the folder %1.</source>
        <translation>Не удалось запустить файловый менеджер, чтобы открыть папку %1.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete the report with all its files?</source>
        <translation>Удалить отчёт со всеми его файлами?</translation>
    </message>
</context>
<context>
    <name>ReportIdentity</name>
    <message>
        <location filename="../app/reports/reportidentity.cpp" line="+42"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The report was changed or removed in the meantime, so nothing was done with it:
%1</source>
        <translation>Тем временем отчёт был изменён или удалён, поэтому с ним ничего не сделано:
%1</translation>
    </message>
</context>
<context>
    <name>ReportMailer</name>
    <message>
        <location filename="../app/delivery/reportmailer.cpp" line="+87"/>
        <source>The report&apos;s name cannot be handed to %1, and no link with a plain name could be made in %2. Attach the report to a message by hand:</source>
        <translation>Имя отчёта нельзя передать программе %1, а ссылку с простым именем не удалось создать в %2. Приложите отчёт к письму вручную:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 runs apart from the rest of the system and may not see the report, so it was not attached. Attach it to the message by hand:</source>
        <translation>%1 работает отдельно от остальной системы и может не видеть отчёт, поэтому он не приложен. Приложите его к письму вручную:</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Without xdg-email (package xdg-utils) the report cannot be attached in %1. Attach it to the message by hand:</source>
        <translation>Без xdg-email (пакет xdg-utils) отчёт нельзя приложить в %1. Приложите его к письму вручную:</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>No mail program is set up on this desktop. Attach the report to a message by hand:</source>
        <translation>На этом рабочем столе не настроена почтовая программа. Приложите отчёт к письму вручную:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The mail program %1 could not be started. Attach the report to a message by hand:</source>
        <translation>Не удалось запустить почтовую программу %1. Приложите отчёт к письму вручную:</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>The mail program %1 ended at once with an error (exit status %2). Attach the report to a message by hand:</source>
        <translation>Почтовая программа %1 сразу завершилась с ошибкой (код выхода %2). Приложите отчёт к письму вручную:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Warning!</source>
        <translation>Предупреждение!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Open containing folder</source>
        <translation>Открыть папку с файлом</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy path</source>
        <translation>Копировать путь</translation>
    </message>
</context>
<context>
    <name>ReportProgressDialog</name>
    <message>
        <location filename="../app/reports/reportprogressdialog.cpp" line="+23"/>
        <source>Information is being collected. 
Please, wait.</source>
        <translation>Идёт сбор сведений. 
Пожалуйста, подождите.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Long operation...</source>
        <translation>Длительная операция...</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stop collecting the report?</source>
        <translation>Остановить сбор отчёта?</translation>
    </message>
</context>
<context>
    <name>ReportRun</name>
    <message>
        <location filename="../app/reports/reportrun.cpp" line="+153"/>
        <source>The report is ready</source>
        <translation>Отчёт готов</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The report could not be collected</source>
        <translation>Не удалось собрать отчёт</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Report saved in volumes of %1 MB: %2</source>
        <translation>Отчёт сохранён томами по %1 МБ: %2</translation>
    </message>
</context>
<context>
    <name>ReportsPage</name>
    <message>
        <location filename="../app/reports/reportspage.cpp" line="+45"/>
        <source>File name</source>
        <translation>Имя файла</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Creation date</source>
        <translation>Дата создания</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <location line="+79"/>
        <source>Reports are listed from: %1.
sos writes new reports to %2.</source>
        <translation>Отчёты показываются из папок: %1.
Новые отчёты sos записывает в %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Add %1 to the folders with reports to list them.</source>
        <translation>Добавьте %1 в папки с отчётами, чтобы они появились в списке.</translation>
    </message>
</context>
<context>
    <name>ReportsTableDecorator</name>
    <message>
        <location filename="../app/reports/reportstabledecorator.cpp" line="+33"/>
        <source>No reports yet. Press Generate report.</source>
        <translation>Отчётов пока нет. Нажмите «Создать отчёт».</translation>
    </message>
    <message>
        <location line="+159"/>
        <source>obfuscated: host names, addresses and user names hidden</source>
        <translation>обезличен: имена узлов, адреса и имена пользователей скрыты</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The private map of the hidden names is kept on this machine and is never sent; it is deleted with the report.</source>
        <translation>Закрытая таблица скрытых имён хранится на этом компьютере и никогда не отправляется; она удаляется вместе с отчётом.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>protected with a password</source>
        <translation>защищён паролем</translation>
    </message>
</context>
<context>
    <name>ReproduceFlow</name>
    <message>
        <location filename="../app/debugging/reproduceflow.cpp" line="+81"/>
        <source>Its debug module is not loaded: switch debug logging off by hand.</source>
        <translation>Модуль отладки этой службы не загружен: выключите отладочное журналирование вручную.</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Debug logging is still on for %1. The next start offers to collect the report or to switch it off.</source>
        <translation>Для %1 всё ещё включено отладочное журналирование. При следующем запуске будет предложено собрать отчёт или выключить журналирование.</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>It could not be switched off.</source>
        <translation>Его не удалось выключить.</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Collecting a report about %1...</source>
        <translation>Сбор отчёта о %1...</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>Its debug module is no longer loaded.</source>
        <translation>Модуль отладки этой службы больше не загружен.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Switching debug logging off for %1...</source>
        <translation>Выключение отладочного журналирования для %1...</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>Debug logging is on for %1. Reproduce the problem now, then press Collect.</source>
        <translation>Для %1 включено отладочное журналирование. Воспроизведите проблему, затем нажмите «Собрать».</translation>
    </message>
    <message>
        <location line="-2"/>
        <source>&amp;Collect now</source>
        <translation>&amp;Собрать сейчас</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+21"/>
        <source>&amp;Switch off</source>
        <translation>&amp;Выключить</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>&amp;Collect</source>
        <translation>&amp;Собрать</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>C&amp;ancel</source>
        <translation>&amp;Отмена</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Debug logging is still on for %1. %2 Until it is off, every start reminds of it.</source>
        <translation>Для %1 всё ещё включено отладочное журналирование. %2 Пока оно не выключено, об этом напоминает каждый запуск.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Debug logging could not be switched on for %1.</source>
        <translation>Не удалось включить отладочное журналирование для %1.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Debug logging is off again for %1.</source>
        <translation>Отладочное журналирование для %1 снова выключено.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No report was collected.</source>
        <translation>Отчёт не собран.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report is ready: %1</source>
        <translation>Отчёт готов: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>It takes effect after a reboot: reproduce the problem then; the next start offers to collect the report.</source>
        <translation>Оно начнёт действовать после перезагрузки: воспроизведите проблему после неё; при следующем запуске приложение предложит собрать отчёт.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Debug logging is still on for %1 since %2</source>
        <translation>Для %1 всё ещё включено отладочное журналирование (с %2)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>The installed sos does not accept %1: the report is collected without it.</source>
        <translation>Установленный sos не принимает %1: отчёт собирается без этого.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Plugins the installed sos does not know are left out: %1.</source>
        <translation>Модули сбора, неизвестные установленному sos, пропущены: %1.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report is collected with the default plugins.</source>
        <translation>Отчёт собирается с модулями сбора по умолчанию.</translation>
    </message>
</context>
<context>
    <name>ReproducePanel</name>
    <message>
        <location filename="../app/debugging/reproducepanel.ui" line="+9"/>
        <source>Reproduce a problem</source>
        <translation>Воспроизведение проблемы</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>&amp;Collect</source>
        <translation>&amp;Собрать</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Protect</source>
        <translation>&amp;Защитить</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Sen&amp;d</source>
        <translation>Отп&amp;равить</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>C&amp;ancel</source>
        <translation>&amp;Отмена</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>C&amp;lose</source>
        <translation>За&amp;крыть</translation>
    </message>
    <message>
        <location filename="../app/debugging/reproducepanel.cpp" line="+83"/>
        <source>Elapsed time: %1</source>
        <translation>Прошло времени: %1</translation>
    </message>
</context>
<context>
    <name>Upload</name>
    <message>
        <location filename="../app/delivery/upload.cpp" line="+52"/>
        <source>Attention!</source>
        <translation>Внимание!</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A report is being uploaded. Stop the upload and quit?</source>
        <translation>Идёт выгрузка отчёта. Остановить выгрузку и выйти?</translation>
    </message>
    <message>
        <location line="+122"/>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The server had part of it but does not take the rest of a file, so all of it was sent again.</source>
        <translation>На сервере была часть файла, но остальное он не принимает, поэтому файл отправлен целиком заново.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>SHA-256: %1</source>
        <translation>SHA-256: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Report Uploaded</source>
        <translation>Отчёт выгружен</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The report arrived on the server:
%1</source>
        <translation>Отчёт доставлен на сервер:
%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The server answered: %1</source>
        <translation>Ответ сервера: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Unknown Server</source>
        <translation>Неизвестный сервер</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is not among the servers known to this computer. Its key fingerprint is:
%2</source>
        <translation>%1 нет среди серверов, известных этому компьютеру. Отпечаток его ключа:
%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Trust this server only when the fingerprint is the one your support team gave you. Trust it and upload?</source>
        <translation>Доверяйте серверу, только если отпечаток совпадает с сообщённым службой поддержки. Доверять ему и выгрузить отчёт?</translation>
    </message>
</context>
<context>
    <name>UploadDialog</name>
    <message>
        <location filename="../app/delivery/uploaddialog.ui" line="+6"/>
        <source>Upload Report</source>
        <translation>Выгрузка отчёта</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>&amp;Server:</source>
        <translation>&amp;Сервер:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>https://, sftp://, ftp:// or ftps:// address of a folder</source>
        <translation>адрес папки: https://, sftp://, ftp:// или ftps://</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;User name:</source>
        <translation>&amp;Имя пользователя:</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>&amp;Password:</source>
        <translation>&amp;Пароль:</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Extra &amp;CA file:</source>
        <translation>Доп. &amp;файл ЦС:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Only the system&apos;s certificates</source>
        <translation>Только сертификаты системы</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Browse...</source>
        <translation>&amp;Обзор...</translation>
    </message>
    <message>
        <location filename="../app/delivery/uploaddialog.cpp" line="+16"/>
        <source>&amp;Upload</source>
        <translation>&amp;Выгрузить</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Upload %1 to a support server.</source>
        <translation>Выгрузить %1 на сервер службы поддержки.</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Enter the address of the server&apos;s folder, beginning with https://, sftp://, ftp:// or ftps://.</source>
        <translation>Введите адрес папки на сервере, начинающийся с https://, sftp://, ftp:// или ftps://.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The report will be stored as:
%1</source>
        <translation>Отчёт будет сохранён как:
%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Extra CA file</source>
        <translation>Дополнительный файл ЦС</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Certificates (*.pem *.crt *.cer);;All files (*)</source>
        <translation>Сертификаты (*.pem *.crt *.cer);;Все файлы (*)</translation>
    </message>
</context>
<context>
    <name>UploadFailure</name>
    <message>
        <location filename="../app/delivery/uploadfailure.cpp" line="+12"/>
        <source>Upload the report again to the same server to go on where it stopped.</source>
        <translation>Выгрузите отчёт ещё раз на тот же сервер, чтобы продолжить с места остановки.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Uploading it again starts from the beginning.</source>
        <translation>Повторная выгрузка начнётся сначала.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Upload Stopped</source>
        <translation>Выгрузка остановлена</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Upload Failed</source>
        <translation>Выгрузка не удалась</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The upload was stopped.</source>
        <translation>Выгрузка остановлена.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The connection to %1 broke off during the upload.</source>
        <translation>Соединение с %1 прервалось во время выгрузки.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1 did not accept the user name or the password. Check both and upload again.</source>
        <translation>%1 не принял имя пользователя или пароль. Проверьте их и выгрузите отчёт снова.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 cannot be reached. Check the server&apos;s address and the network connection, or try again later.</source>
        <translation>Не удаётся связаться с %1. Проверьте адрес сервера и подключение к сети или повторите позже.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The certificate of %1 is not trusted, so nothing was sent. If the server belongs to your company, ask its administrator for the CA file and choose it as the extra CA file.</source>
        <translation>Сертификату %1 нет доверия, поэтому ничего не отправлено. Если это сервер вашей компании, попросите у его администратора файл центра сертификации и выберите его как дополнительный файл ЦС.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The key of %1 differs from the one known for it (%2), so nothing was sent. Ask the server&apos;s administrator whether the key was changed.</source>
        <translation>Ключ %1 отличается от известного для него (%2), поэтому ничего не отправлено. Спросите администратора сервера, менялся ли ключ.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>%1 has no room left for the report. Ask the server&apos;s administrator to free some space, then upload again.</source>
        <translation>На %1 не осталось места для отчёта. Попросите администратора сервера освободить место и выгрузите отчёт снова.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 could not store the report: it failed on its side, most often because its disk is full. Ask the server&apos;s administrator to check its free space, then upload again.</source>
        <translation>Сервер %1 не смог сохранить отчёт: сбой произошёл на его стороне, чаще всего из-за того, что его диск заполнен. Попросите администратора сервера проверить свободное место, затем отправьте отчёт снова.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1 refused to store the report. Check the folder in the server&apos;s address and that your user may write there.</source>
        <translation>%1 отказался сохранить отчёт. Проверьте папку в адресе сервера и право вашего пользователя писать в неё.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The report file cannot be read, so nothing was sent.</source>
        <translation>Файл отчёта не читается, поэтому ничего не отправлено.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The extra CA file cannot be read:
%1
Choose a readable certificate file, or clear the field to trust only the system&apos;s certificates.</source>
        <translation>Дополнительный файл ЦС не читается:
%1
Выберите читаемый файл сертификата или очистите поле, чтобы доверять только сертификатам системы.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The upload to %1 failed.</source>
        <translation>Выгрузка на %1 не удалась.</translation>
    </message>
</context>
<context>
    <name>UploadProgressDialog</name>
    <message>
        <location filename="../app/delivery/uploadprogressdialog.cpp" line="+16"/>
        <source>time left: %1 s</source>
        <translation>осталось времени: %1 с</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>time left: %1 min</source>
        <translation>осталось времени: %1 мин</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>time left: %1 h</source>
        <translation>осталось времени: %1 ч</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Uploading Report</source>
        <translation>Выгрузка отчёта</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>&amp;Stop</source>
        <translation>&amp;Остановить</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Uploading %1
to %2</source>
        <translation>Выгрузка %1
на %2</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+16"/>
        <source>%1 of %2</source>
        <translation>%1 из %2</translation>
    </message>
    <message>
        <location line="-15"/>
        <location line="+18"/>
        <source>%1/s</source>
        <translation>%1/с</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Stopping...</source>
        <translation>Остановка...</translation>
    </message>
</context>
<context>
    <name>kroHelpShow</name>
    <message>
        <location filename="../platform/kroinit.cpp" line="+165"/>
        <location line="+9"/>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>The help page %1 is not installed.</source>
        <translation>Страница справки %1 не установлена.</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No web browser could be started to show %1.</source>
        <translation>Не удалось запустить веб-браузер, чтобы показать %1.</translation>
    </message>
</context>
</TS>
