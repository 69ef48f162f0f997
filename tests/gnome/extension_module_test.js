// The extension as GNOME Shell 45 and later load it (an ES module), run by
// plain GJS against stand-ins for the shell: its entry file must load as a
// module, and the shared body must bind, report, press and apply the way
// GNOME Shell 43 does it in the end-to-end tests.
//
//   gjs -m extension_module_test.js <folder of the module build>

import GLib from 'gi://GLib';
import System from 'system';

const [folder] = ARGV;
let failures = 0;
function check(condition, what) {
    if (!condition) {
        failures++;
        printerr(`FAIL: ${what}`);
    }
}
function read(path) {
    const [ok, bytes] = GLib.file_get_contents(path);
    if (!ok)
        throw new Error(`cannot read ${path}`);
    return new TextDecoder().decode(bytes);
}

// ---- the shell, as far as the extension sees it ----

const calls = [];
const world = {
    replies: {},
    watched: null,
    exported: null,
    keybindings: new Map(),
    refuseKeybinding: new Set(),
    gnomeKeys: {'switch-to-workspace-left': ['<Control><Alt>Left'], 'close': ['<Alt>F4']},
    settings: {},
};
globalThis.corvaneTestWorld = world;

class FakeWorkspace {
    constructor(manager) {
        this.manager = manager;
    }

    index() {
        return this.manager.workspaces.indexOf(this);
    }

    get_work_area_for_monitor(i) {
        return i === 0 ? {x: 0, y: 32, width: 1440, height: 868} : {x: 1440, y: 0, width: 1280, height: 720};
    }

    activate(time) {
        this.manager.active = this;
        calls.push(['activate', this.index(), time]);
    }

    activate_with_focus(w, time) {
        this.activate(time);
        w.focused = true;
    }
}

const manager = {
    workspaces: [],
    active: null,
    get_n_workspaces() {
        return this.workspaces.length;
    },
    get_workspace_by_index(i) {
        return this.workspaces[i] ?? null;
    },
    get_active_workspace() {
        return this.active;
    },
    get_active_workspace_index() {
        return this.active.index();
    },
    append_new_workspace() {
        const w = new FakeWorkspace(this);
        this.workspaces.push(w);
        return w;
    },
};
manager.append_new_workspace();
manager.active = manager.workspaces[0];

class FakeWindow {
    constructor(id, title) {
        this.id = id;
        this.title = title;
        this.frame = {x: 100, y: 130, width: 640, height: 480};
        this.workspace = manager.workspaces[0];
        this.monitor = 0;
        this.maximized = 0;
    }

    get_id() {
        return this.id;
    }

    get_pid() {
        return 4242;
    }

    get_title() {
        return this.title;
    }

    get_gtk_application_id() {
        return null;
    }

    get_wm_class() {
        return 'notes';
    }

    get_frame_rect() {
        return {...this.frame};
    }

    get_monitor() {
        return this.monitor;
    }

    get_workspace() {
        return this.workspace;
    }

    is_on_all_workspaces() {
        return false;
    }

    is_override_redirect() {
        return false;
    }

    is_skip_taskbar() {
        return false;
    }

    get_window_type() {
        return 0;
    }

    get_maximized() {
        return this.maximized;
    }

    unmaximize() {
        this.maximized = 0;
        calls.push(['unmaximize', this.id]);
    }

    is_fullscreen() {
        return false;
    }

    move_resize_frame(user, x, y, width, height) {
        this.frame = {x, y, width, height};
        calls.push(['frame', this.id, x, y, width, height]);
    }

    move_to_monitor(i) {
        this.monitor = i;
        calls.push(['monitor', this.id, i]);
    }

    change_workspace_by_index(i) {
        this.workspace = manager.workspaces[i];
        calls.push(['desktop', this.id, i]);
    }
}

const notes = new FakeWindow(42, 'Notes');
notes.maximized = 3;
const other = new FakeWindow(7, 'Other');

globalThis.global = {
    display: {
        focus_window: notes,
        get_n_monitors: () => 2,
        get_primary_monitor: () => 0,
        get_monitor_geometry: i => (i === 0 ? {x: 0, y: 0, width: 1440, height: 900}
            : {x: 1440, y: 0, width: 1280, height: 720}),
        get_current_time_roundtrip: () => 77,
        get_sound_player: () => ({play_from_theme: () => calls.push(['beep'])}),
    },
    workspace_manager: manager,
    get_window_actors: () => [notes, other].map(w => ({get_meta_window: () => w})),
    get_current_time: () => 1234,
};

// ---- stand-in modules, written beside a copy of the extension ----

const stubs = {
    'gi://Gio': `
const world = globalThis.corvaneTestWorld;
class Settings {
    constructor({settings_schema}) { this.schema = settings_schema; }
    get_strv(key) { return world.gnomeKeys[key] ?? []; }
}
export default {
    DBusCallFlags: {NO_AUTO_START: 1},
    BusNameWatcherFlags: {NONE: 0},
    DBus: {session: {
        call(name, path, iface, method, parameters, replyType, flags, timeout, cancellable, done) {
            world.calls.push(['dbus', method, parameters.deepUnpack()]);
            const reply = world.replies[method];
            done({call_finish: () => {
                if (reply === undefined) throw new Error('no reply scripted for ' + method);
                return {deepUnpack: () => [reply]};
            }}, null);
        },
    }},
    DBusExportedObject: {wrapJSObject(xml, object) {
        world.exported = {xml, object, export() { world.calls.push(['export']); },
            unexport() { world.calls.push(['unexport']); }};
        return world.exported;
    }},
    bus_watch_name_on_connection(bus, name, flags, appeared, vanished) {
        world.watched = {name, appeared, vanished};
        return 5;
    },
    bus_unwatch_name(id) { world.calls.push(['unwatch', id]); },
    Settings,
    SettingsSchemaSource: {get_default: () => ({lookup: id => id === 'org.gnome.desktop.wm.keybindings' ? {
        list_keys: () => Object.keys(world.gnomeKeys),
        get_key: () => ({get_value_type: () => ({dup_string: () => 'as'})}),
    } : null})},
};`,
    'gi://Meta': `
export default {
    WindowType: {NORMAL: 0},
    MaximizeFlags: {BOTH: 3},
    KeyBindingFlags: {IGNORE_AUTOREPEAT: 8},
    KeyBindingAction: {NONE: 0},
    prefs_get_dynamic_workspaces: () => true,
    prefs_get_workspaces_only_on_primary: () => true,
};`,
    'gi://Shell': 'export default {ActionMode: {NORMAL: 1}};',
    'resource:///org/gnome/shell/ui/main.js': `
const world = globalThis.corvaneTestWorld;
export const wm = {
    addKeybinding(name, settings, flags, mode, handler) {
        if (world.refuseKeybinding.has(name)) return 0;
        world.keybindings.set(name, handler);
        return world.keybindings.size;
    },
    removeKeybinding(name) { world.keybindings.delete(name); },
};
export function activateWindow(w, time) { world.calls.push(['focus', w.get_id(), time]); }`,
    'resource:///org/gnome/shell/misc/config.js': "export const PACKAGE_VERSION = '47.1';",
    'resource:///org/gnome/shell/extensions/extension.js': `
const world = globalThis.corvaneTestWorld;
export class Extension {
    constructor(metadata) { this.metadata = metadata; }
    getSettings() {
        return {
            settings_schema: {list_keys: () => world.schemaKeys},
            set_strv(key, value) { world.settings[key] = value; },
        };
    }
}`,
};
world.calls = calls;

const dir = GLib.dir_make_tmp('corvane-extension-XXXXXX');
let entry = read(`${folder}/extension.js`);
let n = 0;
for (const [specifier, text] of Object.entries(stubs)) {
    const file = `stub${n++}.js`;
    GLib.file_set_contents(`${dir}/${file}`, text);
    check(entry.includes(`'${specifier}'`) || specifier === 'gi://GLib', `the entry imports ${specifier}`);
    entry = entry.replaceAll(`'${specifier}'`, `'./${file}'`);
}
GLib.file_set_contents(`${dir}/extension.js`, entry);
GLib.file_set_contents(`${dir}/corvane.js`, read(`${folder}/corvane.js`));
const metadata = JSON.parse(read(`${folder}/metadata.json`));
check(metadata['shell-version'].includes('45'), 'the module build is for GNOME 45 and later');
world.schemaKeys = read(`${folder}/schemas/org.gnome.shell.extensions.corvane.gschema.xml`)
    .match(/name="(corvane-[a-z0-9-]+)"/g).map(m => m.slice(6, -1));
check(world.schemaKeys.length === 29, `a key for each of the 29 actions (${world.schemaKeys.length})`);

const {default: CorvaneExtension} = await import(`file://${dir}/extension.js`);
const extension = new CorvaneExtension(metadata);
extension.enable();
check(world.exported !== null && calls.some(c => c[0] === 'export'), 'Apply is exported');
check(world.watched?.name === 'io.github.corvane.Corvane', "Corvane's name is watched");

// Corvane appears: attach, bind, report.
world.replies.Attach = JSON.stringify({version: 1, bindings: [
    {name: 'corvane-left-half', accelerator: '<Control><Alt><Super>Left'},
    {name: 'corvane-previous-display', accelerator: '<Alt><Control>Left'},
    {name: 'corvane-maximize', accelerator: '<Control><Alt><Super>m'},
    {name: 'corvane-not-ours', accelerator: '<Control><Alt><Super>x'},
    {name: 'maximize', accelerator: '<Super>Up'},
    'nonsense',
]});
world.replies.Report = '';
world.refuseKeybinding.add('corvane-maximize');
world.watched.appeared();
const attach = calls.find(c => c[1] === 'Attach');
check(attach && JSON.parse(attach[2][0]).plugin === 'gnome' && JSON.parse(attach[2][0]).shell === '47.1',
    'the hello names the plugin and the shell');
check(world.keybindings.has('corvane-left-half'), 'a free key is bound');
check(JSON.stringify(world.settings['corvane-left-half']) === '["<Control><Alt><Super>Left"]',
    'its key is written to our schema first');
const report = calls.find(c => c[1] === 'Report');
const refused = report ? JSON.parse(report[2][0]).refused : [];
check(JSON.stringify(refused.sort()) ===
    JSON.stringify(['corvane-maximize', 'corvane-not-ours', 'corvane-previous-display']),
    `GNOME's own key, a refused binding and an unknown name are reported (${refused})`);
check(!world.keybindings.has('maximize'), 'names without our prefix are never bound');

// A press: the snapshot goes out, the operations come back and apply.
world.replies.Press = JSON.stringify([
    {op: 'frame', window: '42', rect: [0, 32, 720, 868.4]},
    {op: 'frame', window: '999', rect: [0, 0, 1, 1]},
    {op: 'explode'},
    null,
    {op: 'focus', window: '42'},
]);
world.keybindings.get('corvane-left-half')();
const press = calls.find(c => c[1] === 'Press');
const sent = JSON.parse(press[2][1]);
check(press[2][0] === 'corvane-left-half', 'the press names its binding');
check(sent.window.id === '42' && JSON.stringify(sent.window.frame) === '[100,130,640,480]', 'the focused window');
check(sent.monitors.length === 2 && sent.monitors[0].primary && sent.monitors[0].workArea[1] === 32,
    'the monitors and their work areas');
check(sent.desktops.dynamic && sent.desktops.primaryOnly && sent.desktops.ids.length === 1, 'the desktops');
check(sent.windows === undefined, 'a press carries no window list');
check(calls.some(c => c[0] === 'unmaximize' && c[1] === 42), 'a maximized window is restored first');
check(JSON.stringify(notes.frame) === JSON.stringify({x: 0, y: 32, width: 720, height: 868}), 'the frame applies');
check(calls.some(c => c[0] === 'focus' && c[1] === 42), 'operations after a skipped one still apply');

// Off the press path: a desktop that does not exist is created with the move.
const answer = JSON.parse(world.exported.object.Apply(JSON.stringify([
    {op: 'desktop', window: '7', index: 3, create: true},
    {op: 'activateDesktop', index: 3, focus: '7'},
])));
check(manager.get_n_workspaces() === 4, `desktops up to the one asked for are made (${manager.get_n_workspaces()})`);
check(other.workspace === manager.workspaces[3] && manager.active === manager.workspaces[3], 'moved and followed');
check(answer.desktops.count === 4 && answer.desktops.current === 3, 'the answer is the state afterwards');
check(answer.windows.some(w => w.id === '7' && w.desktop === 3), 'with every window');
check(new Set(answer.desktops.ids).size === 4, 'each desktop has an id of its own');
const idsBefore = answer.desktops.ids;
manager.workspaces.splice(1, 1);  // GNOME removes an empty one
const renumbered = JSON.parse(world.exported.object.Apply('[]'));
check(renumbered.desktops.ids[2] === idsBefore[3], 'a desktop keeps its id while its index shifts');
check(JSON.parse(world.exported.object.Apply('not json')).desktops.count === 3, 'nonsense applies nothing');

// Corvane leaves: our keys go back to the shell; disabling cleans up.
world.watched.vanished();
check(world.keybindings.size === 0, 'bindings are dropped when Corvane goes');
extension.disable();
check(calls.some(c => c[0] === 'unexport') && calls.some(c => c[0] === 'unwatch'), 'disable undoes enable');

for (const name of ['extension.js', 'corvane.js', ...Object.keys(stubs).map((_, i) => `stub${i}.js`)])
    GLib.unlink(`${dir}/${name}`);
GLib.rmdir(dir);

if (failures) {
    printerr(`${failures} check(s) failed`);
    System.exit(1);
}
print('extension module: all checks passed');
