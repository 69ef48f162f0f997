// GNOME Shell 45 and later load extensions as ES modules.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import Meta from 'gi://Meta';
import Shell from 'gi://Shell';
import * as Main from 'resource:///org/gnome/shell/ui/main.js';
import * as Config from 'resource:///org/gnome/shell/misc/config.js';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

import {createCorvane} from './corvane.js';

export default class CorvaneExtension extends Extension {
    enable() {
        this._corvane = createCorvane({
            Gio, GLib, Meta, Shell, Main,
            settings: this.getSettings(),
            shellVersion: Config.PACKAGE_VERSION,
        });
        this._corvane.enable();
    }

    disable() {
        this._corvane?.disable();
        this._corvane = null;
    }
}
