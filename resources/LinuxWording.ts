<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- English shown on Linux where a text names another platform's features.
     The sources are the texts as written in the code; keep them in step. -->
<TS version="2.1" language="en">
<context>
    <name>WelcomeWindow</name>
    <message>
        <source>The configuration window can be used to define the menu-bar items as you like them. The next time you start this App, you can re-open the window via the menu item &apos;Preferences...&apos; in any of the menu-bar items of Vistrel, if required.</source>
        <translation>The configuration window can be used to define the menu-bar items as you like them. The next time you start Vistrel, you can re-open the window via the menu item &apos;Preferences...&apos; in any of the menu-bar items of Vistrel, if required.</translation>
    </message>
    <message>
        <source>With modern versions of macOS, the architecture of this App could be simplified. The menu-bar part is no longer a separate component, so the preference setting &apos;keep in menu bar&apos; that you had activated needs an update.

macOS requires you to confirm this manually. Please select the menu item &apos;Options &gt; Open at login&apos; via the Dock tile of this App now to give your permission to launch the App automatically. You can change this setting any time via the Users &amp; Groups pane of System Preferences.</source>
        <translation>The menu-bar part of Vistrel is no longer a separate program, so the preference setting &apos;keep in menu bar&apos; that you had activated needs an update.

To start Vistrel when you log in, switch on &apos;Open at login&apos; on the Preferences page of this window, or add Vistrel to the autostart applications in your desktop&apos;s settings. You can change this at any time in either place.</translation>
    </message>
    <message>
        <source>Your settings from the previous version have been taken over successfully. The Dock icon and main menu will hide when you close the configuration window.</source>
        <translation>Your settings from the previous version have been taken over successfully. Vistrel leaves the task bar when you close the configuration window and keeps running in the panel.</translation>
    </message>
</context>
<context>
    <name>GUISwitchNoticeWindowController</name>
    <message>
        <source>Switching to normal App controls</source>
        <translation>Switching to normal application controls</translation>
    </message>
</context>
<context>
    <name>QRNCPUMonitorItem</name>
    <message>
        <source>Launch Activity Monitor</source>
        <translation>Open System Monitor</translation>
    </message>
</context>
<context>
    <name>VistrelPlusSession</name>
    <message>
        <source>macOS has indicated the following error: &apos;%@&apos;</source>
        <translation>The system has indicated the following error: &apos;%@&apos;</translation>
    </message>
</context>
<context>
    <name>QRNBoolToAPFSMarkerTransformer</name>
    <message>
        <source>APFS</source>
        <translation>Pool</translation>
    </message>
</context>
<context>
    <name>QRNSensorMonitorItem</name>
    <message>
        <source>Intel(R) Power Gadget</source>
        <translation>Power and Frequency</translation>
    </message>
    <message>
        <source>Apple Silicon</source>
        <translation>Hardware Sensors</translation>
    </message>
</context>
<context>
    <name>QRNAPFSPresentation</name>
    <message>
        <source>APFS Container</source>
        <translation>Storage Pool</translation>
    </message>
    <message>
        <source>APFS Volume Group</source>
        <translation>Volume Group</translation>
    </message>
    <message>
        <source>APFS Volume</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>APFS Snapshot</source>
        <translation>Snapshot</translation>
    </message>
</context>
</TS>
