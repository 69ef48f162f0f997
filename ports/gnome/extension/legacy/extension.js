// GNOME Shell 43 and 44 load extensions through the legacy `imports`.
/* exported init */
const {Gio, GLib, Meta, Shell} = imports.gi;
const Main = imports.ui.main;
const Config = imports.misc.config;
const ExtensionUtils = imports.misc.extensionUtils;
const Me = ExtensionUtils.getCurrentExtension();

class CorvaneExtension {
    enable() {
        this._corvane = Me.imports.corvane.createCorvane({
            Gio, GLib, Meta, Shell, Main,
            settings: ExtensionUtils.getSettings(),
            shellVersion: Config.PACKAGE_VERSION,
        });
        this._corvane.enable();
    }

    disable() {
        this._corvane?.disable();
        this._corvane = null;
    }
}

function init() {
    return new CorvaneExtension();
}
