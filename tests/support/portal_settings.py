"""python3-dbusmock template: the settings of the XDG desktop portal, holding the
appearance's color-scheme. SetColorScheme(u) changes it as the desktop would, with the
SettingChanged signal."""

import dbus

BUS_NAME = "org.freedesktop.portal.Desktop"
MAIN_OBJ = "/org/freedesktop/portal/desktop"
MAIN_IFACE = "org.freedesktop.portal.Settings"
SYSTEM_BUS = False

READ = """
if (args[0], args[1]) != ("org.freedesktop.appearance", "color-scheme"):
    raise dbus.exceptions.DBusException("No such setting", name="org.freedesktop.portal.Error.NotFound")
ret = dbus.UInt32(self.scheme, variant_level=%d)
"""


def load(mock, parameters):
    mock.scheme = parameters.get("color-scheme", 0)
    mock.AddMethods(MAIN_IFACE, [
        ("ReadOne", "ss", "v", READ % 1),
        # The older method wraps the value in one more variant.
        ("Read", "ss", "v", READ % 2),
    ])
    mock.AddMethod("org.freedesktop.DBus.Mock", "SetColorScheme", "u", "", """
self.scheme = args[0]
self.EmitSignal("org.freedesktop.portal.Settings", "SettingChanged", "ssv",
                ["org.freedesktop.appearance", "color-scheme", dbus.UInt32(args[0], variant_level=1)])
""")
