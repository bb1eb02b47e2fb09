<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AppSkeleton</name>
    <message>
        <location filename="../app/mainwindow.ui" line="+15"/>
        <source>System report center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+45"/>
        <source>Generated &amp;reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>(folders with reports not set)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Configure folders with reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+32"/>
        <source>&amp;Services debugging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Configure folders with debug modules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Disable debug mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Set debug mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Show changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Show a&amp;dvanced settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Tool bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>&amp;Generate report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Generate archive with report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Show help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Refresh reports list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Send &amp;archive with report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Send archive with report by e-mail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&amp;Set password for the archive</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set a password for the archive of report before sending</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Backstage</name>
    <message>
        <location filename="../backend/backstage_archives.cpp" line="+39"/>
        <location line="+14"/>
        <source>Warning!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-13"/>
        <source>The following files are not regular report files of yours (a link, a folder, a missing file or a file of another user).
Nothing was changed:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>The password must not contain line breaks.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../backend/backstage_filechanges.cpp" line="+188"/>
        <source>File %1 not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Failed to create temporary file : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Failed to delete temporary file : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Failed to write temporary file : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Failed to replace file %1 with temporary file %2 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+9"/>
        <source>Failed to find text to be replaced : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Failed to find anchor text : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Failed to uncomment text : %1 </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../backend/backstage_modules.cpp" line="+55"/>
        <location line="+6"/>
        <location line="+7"/>
        <source>Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-12"/>
        <source>Couldn&apos;t open file %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>File %1 
not contains valid JSON object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+8"/>
        <source>File %1 
not contains valid field &apos;%2&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Getting debug modules list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../backend/backstage_reports.cpp" line="+30"/>
        <source>Can&apos;t read directory %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+12"/>
        <source>File %1 is not a regular file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>File %1 is larger than %2 MiB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../backend/backstage_reports.cpp" line="+0"/>
        <source>Getting reports list</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChangesWidget</name>
    <message>
        <location filename="../debugmodules/changeswidget.ui" line="+35"/>
        <source>List of actions to switch to debug mode module </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>First, need to make changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>File path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Old text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>New text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Than, need to execute (with sudo)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+27"/>
        <source>To turn off debug mode, undo the changes you made and execute (with sudo)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChooseDirsDialog</name>
    <message>
        <location filename="../common/servicewidgets/choosedirsdialog.ui" line="+68"/>
        <source>Add new record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Delete current record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Edit current record</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CustomListWidget</name>
    <message>
        <location filename="../common/servicewidgets/customlistwidget.cpp" line="+8"/>
        <source>Delete selected record</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DebugModeReminder</name>
    <message>
        <location filename="../app/debugmodereminder.cpp" line="+33"/>
        <source>Attention!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>These services are still in debug mode: %1.
Debug mode makes their logs grow faster. Switch them back now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>&amp;Switch back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Keep debug mode</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DirsListWidget</name>
    <message>
        <location filename="../common/servicewidgets/dirslistwidget.cpp" line="+13"/>
        <source>Edit this record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Add record</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete this record</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ExtSettWidget</name>
    <message>
        <location filename="../extsett/extsettwidget.ui" line="+20"/>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Profiles list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Add profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Plugins list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Add plugin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Show unactive plugins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <location line="+10"/>
        <source>You can specify case identifier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Case ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>optional</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <location line="+10"/>
        <source>Compression technology to use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Compression method</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>auto</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Split report into</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source> MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <location line="+10"/>
        <source>Specify alternate temporary directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-7"/>
        <source>Temp directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+46"/>
        <source>Choose directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-26"/>
        <source>System root directory path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Root directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+37"/>
        <source>Files not older than</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+20"/>
        <source>min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>hrs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>d</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>m</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Do not collect /etc</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Collect all available logs regardless of size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Collect all logs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Enable all options for loaded plugins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>All options to plugins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Set default settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Set settings used for the previous report</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Previous</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.cpp" line="+114"/>
        <location line="+151"/>
        <source>Attention!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-150"/>
        <location filename="../extsett/extsettwidget_plugins.cpp" line="+87"/>
        <source>Plugin &quot;cgroups&quot; may CRITICALLY conflict with Kaspersky Endpoint Security!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>
Do you really want to include it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+129"/>
        <source>The installed sos %1 has no option %2: the finished report is split into volumes afterwards</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The installed sos %1 has no option %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The current settings will be lost.
Do you want to continue? </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Choose temporary directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Choose system root directory </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget.h" line="+84"/>
        <source>Default: no profiles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Default: all active plugins</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Plugins from selected profile(s)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../extsett/extsettwidget_plugins.cpp" line="-19"/>
        <source>Plugin &quot;%1&quot; not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Plugin &quot;%1&quot; already added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>Profile &quot;%1&quot; not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Profile &quot;%1&quot; already added.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Warning!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>KroAdmin::DbusService</name>
    <message>
        <location filename="../platform/dbusservice.cpp" line="+43"/>
        <source>The program &quot;%1&quot; crashed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The program &quot;%1&quot; exited with status %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+79"/>
        <location line="+30"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-23"/>
        <source>The program &quot;%1&quot; was not found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The file could not be moved: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report was not changed: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>A report is being collected already.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The program &quot;%1&quot; did not end in time and was stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report could not be protected:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The report could not be split into volumes:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The program &quot;%1&quot; could not be started.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../app/mainwindow.cpp" line="+129"/>
        <location filename="../app/mainwindow_archives.cpp" line="+74"/>
        <location line="+51"/>
        <location filename="../app/mainwindow_debug.cpp" line="+138"/>
        <location line="+26"/>
        <location line="+23"/>
        <location line="+72"/>
        <location filename="../app/mainwindow_dirs.cpp" line="+49"/>
        <location filename="../app/mainwindow_extsett.cpp" line="+58"/>
        <location filename="../app/mainwindow_reports.cpp" line="+136"/>
        <location line="+135"/>
        <source>Attention!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Probably, report is not ready yet.
Are you sure you want to interrupt the program?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Unable to exec sosreport!
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location filename="../app/mainwindow_reports.cpp" line="-62"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The call failed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Out of memory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The called service is not known.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Timeout reply.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The address given is not valid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The call/operation is not supported.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The limits allocated to this process/call/connection exceeded the pre-defined values.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Authorization error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No server found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>No network found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>QDBusServer tried to bind to an address that is already in use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The call/process/message was sent after QDBusConnection disconnected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The arguments passed to this call/operation are not valid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The method called was not found in this object/interface with the given parameters.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The type signature is not valid or compatible.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The interface is not known in this object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The object path points to an object that does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The property does not exist in this interface.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The property set failed because the property is read-only.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>An internal error occurred.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The service requested is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The object path provided is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The interface is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The member is invalid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Unknown error.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_accessibility.cpp" line="+35"/>
        <source>Reports and services</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Generated reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Services debugging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Services with a debug module. Select one to switch its debug mode on or off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Module description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Reports are listed from: %1.
sos writes new reports to %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Add %1 to the folders with reports to list them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_archives.cpp" line="-69"/>
        <source>Password setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Enter not-empty password for archive:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Permission to read the report file will be set for all users.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do you want to continue?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <location filename="../app/mainwindow_extsett.cpp" line="+4"/>
        <source>Don&apos;t show this message again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+29"/>
        <source>Warning!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The file name contains a single quote, which the mail program cannot take as an attachment:
%1
Rename the file and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>You are trying to send a multivolume archive.
Don&apos;t forget to attach manually 
the following parts to your letter:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_debug.cpp" line="-226"/>
        <source>Debug mode is active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Some errors detected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Debug mode is not active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Debug mode in an unknown state</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Reboot required</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+102"/>
        <location line="+26"/>
        <source>Unexpected error while defining a module.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Executing this operation will terminate the current session. Continue?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+14"/>
        <source>Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Failed to make required changes to files (%1 error(s)).
List of errors:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Failed to execute commands (%1 error(s)).
List of unexecuted commands:
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Debug mode activated with errors.
Make sure you have completed the required steps.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Debug mode deactivated with errors.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reproduce the problem, then generate an report with logs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Remember to reboot after executing commands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Debug mode activated.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Debug mode deactivated.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_dirs.cpp" line="-7"/>
        <source>Choose a directory with reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Selecting additional directories</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>List of additional directories with reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>The directory &quot;/tmp&quot; will not be displayed 
in the list of additional ones 
because it is the main one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Choose a directory with debug modules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Selecting directories with modules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>List of directories with debug modules</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_extsett.cpp" line="-3"/>
        <source>Without obtaining access privileges, 
the list of plugins and profiles will not be loaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/mainwindow_reports.cpp" line="-180"/>
        <source>Information is being collected. 
Please, wait.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+71"/>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Long operation...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>Stop collecting the report?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+68"/>
        <source>The report is ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The report could not be collected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+40"/>
        <source>Report saved in volumes of %1 MB: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Perhaps the collection of information took
too long or there was 
a finish detection error.
The interface will be unlocked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>File name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Creation date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../app/reportrunwatch.cpp" line="+57"/>
        <source>Elapsed time: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Collecting: %1 of %2 plugins, %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>The report could not be collected (exit status %1).
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Report saved: %1 (%2, md5 %3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>kroHelpShow</name>
    <message>
        <location filename="../platform/kroinit.cpp" line="+155"/>
        <location line="+9"/>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-8"/>
        <source>The help page %1 is not installed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>No web browser could be started to show %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
