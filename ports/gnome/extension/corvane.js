// Corvane's GNOME Shell extension: the thin side of the compositor protocol
// (ports/compositor/protocol.md). It registers the keybindings Corvane hands
// it, reports each press with the state a placement needs, and applies the
// operations Corvane answers with. Every decision stays in Corvane.
//
// One body for both extension formats: GNOME 43/44 load it through the legacy
// `imports`, GNOME 45+ as an ES module (the build appends the export). It
// therefore imports nothing itself; the entry file hands in what it needs.

/* exported createCorvane */
function createCorvane({Gio, GLib, Meta, Shell, Main, settings, shellVersion}) {
    const BUS_NAME = 'io.github.corvane.Corvane';
    const OBJECT_PATH = '/io/github/corvane/Compositor';
    const INTERFACE = 'io.github.corvane.Compositor1';
    const OWN_PATH = '/io/github/corvane/Extension';
    const OWN_INTERFACE = `<node>
  <interface name="io.github.corvane.Extension1">
    <method name="Apply">
      <arg name="operations" type="s" direction="in"/>
      <arg name="snapshot" type="s" direction="out"/>
    </method>
  </interface>
</node>`;
    const PROTOCOL_VERSION = 1;
    const PREFIX = 'corvane-';
    const CALL_TIMEOUT_MS = 2000;
    // GNOME's own keybindings: a combination one of them holds never reaches
    // us, so it is reported as refused instead of silently doing nothing.
    const GNOME_KEYBINDING_SCHEMAS = [
        'org.gnome.desktop.wm.keybindings',
        'org.gnome.shell.keybindings',
        'org.gnome.mutter.keybindings',
        'org.gnome.mutter.wayland.keybindings',
        'org.gnome.settings-daemon.plugins.media-keys',
    ];

    let bound = [];
    // Workspaces keep their object while their index shifts (dynamic
    // workspaces remove empty ones in between): Corvane tells them apart by
    // an id of ours.
    const workspaceIds = new WeakMap();
    let nextWorkspaceId = 1;
    let watchId = 0;
    let exported = null;
    let enabled = false;

    function warn(what, error) {
        console.warn(`corvane: ${what}${error ? `: ${error.message}` : ''}`);
    }

    function call(method, parameters, replyType, done) {
        Gio.DBus.session.call(BUS_NAME, OBJECT_PATH, INTERFACE, method, parameters,
            replyType ? new GLib.VariantType(replyType) : null, Gio.DBusCallFlags.NO_AUTO_START,
            CALL_TIMEOUT_MS, null, (connection, result) => {
                let reply = null;
                try {
                    reply = connection.call_finish(result);
                } catch (e) {
                    warn(`${method} was not answered`, e);
                }
                if (done && enabled)
                    done(reply ? reply.deepUnpack()[0] : null);
            });
    }

    function parse(text) {
        try {
            return JSON.parse(text);
        } catch (e) {
            warn('Corvane sent unreadable JSON', e);
            return null;
        }
    }

    // --- the state ---

    const rect = r => [r.x, r.y, r.width, r.height];
    const now = () => global.display.get_current_time_roundtrip();

    function windows() {
        return global.get_window_actors().map(a => a.get_meta_window())
            .filter(w => w && !w.is_override_redirect());
    }

    function findWindow(id) {
        return windows().find(w => String(w.get_id()) === id) ?? null;
    }

    function desktopOf(w) {
        return w.is_on_all_workspaces() || !w.get_workspace() ? -1 : w.get_workspace().index();
    }

    function describe(w) {
        return {
            id: String(w.get_id()),
            pid: w.get_pid(),
            title: w.get_title() ?? '',
            appId: w.get_gtk_application_id() ?? w.get_wm_class() ?? '',
            frame: rect(w.get_frame_rect()),
            monitor: w.get_monitor(),
            desktop: desktopOf(w),
            normal: w.get_window_type() === Meta.WindowType.NORMAL && !w.is_skip_taskbar(),
            increment: [1, 1],
        };
    }

    function workspaceId(workspace) {
        if (!workspaceIds.has(workspace))
            workspaceIds.set(workspace, String(nextWorkspaceId++));
        return workspaceIds.get(workspace);
    }

    function snapshot(withWindows) {
        const display = global.display;
        const manager = global.workspace_manager;
        const active = manager.get_active_workspace();
        const primary = display.get_primary_monitor();
        const monitors = [];
        for (let i = 0; i < display.get_n_monitors(); i++) {
            monitors.push({
                frame: rect(display.get_monitor_geometry(i)),
                workArea: rect(active.get_work_area_for_monitor(i)),
                primary: i === primary,
            });
        }
        const focused = display.focus_window;
        const state = {
            window: focused ? describe(focused) : null,
            monitors,
            desktops: {
                count: manager.get_n_workspaces(),
                current: manager.get_active_workspace_index(),
                dynamic: Meta.prefs_get_dynamic_workspaces(),
                primaryOnly: Meta.prefs_get_workspaces_only_on_primary(),
                ids: Array.from({length: manager.get_n_workspaces()},
                    (_, i) => workspaceId(manager.get_workspace_by_index(i))),
            },
            time: global.get_current_time(),
        };
        if (withWindows) {
            state.windows = windows().map(w => ({
                id: String(w.get_id()), desktop: desktopOf(w), monitor: w.get_monitor(),
                title: w.get_title() ?? '', frame: rect(w.get_frame_rect()),
            }));
            state.bound = bound.slice();
        }
        return state;
    }

    // --- operations ---

    // GNOME 49 dropped the flags of (un)maximizing; earlier versions need them.
    function unmaximize(w) {
        if (typeof w.get_maximized === 'function') {
            if (w.get_maximized())
                w.unmaximize(Meta.MaximizeFlags.BOTH);
        } else if (typeof w.is_maximized === 'function' && w.is_maximized()) {
            w.unmaximize();
        }
        if (w.is_fullscreen())
            w.unmake_fullscreen();
    }

    function sendToDesktop(w, index, create) {
        const manager = global.workspace_manager;
        // Created in the same step as the move, so dynamic workspaces
        // cannot remove them again while they are still empty.
        while (create && manager.get_n_workspaces() <= index)
            manager.append_new_workspace(false, now());
        if (index >= manager.get_n_workspaces())
            return;
        // With workspaces only on the primary monitor a window elsewhere is on
        // every workspace; sending it somewhere means bringing it there.
        const primary = global.display.get_primary_monitor();
        if (Meta.prefs_get_workspaces_only_on_primary() && w.get_monitor() !== primary)
            w.move_to_monitor(primary);
        if (w.is_on_all_workspaces() && typeof w.unstick === 'function' && w.is_always_on_all_workspaces())
            w.unstick();
        w.change_workspace_by_index(index, false);
    }

    function beep() {
        try {
            global.display.get_sound_player().play_from_theme('bell-window-system', 'Corvane', null);
        } catch (e) {
            warn('no sound', e);
        }
    }

    // Applies operations in order; one that fails or names a window that is
    // gone is skipped, the rest still apply.
    function apply(operations) {
        if (!Array.isArray(operations))
            return;
        let rebind = false;
        for (const op of operations) {
            if (!op || typeof op !== 'object')
                continue;
            try {
                const w = typeof op.window === 'string' ? findWindow(op.window) : null;
                switch (op.op) {
                case 'frame':
                    if (w && Array.isArray(op.rect) && op.rect.length === 4) {
                        unmaximize(w);
                        const [x, y, width, height] = op.rect.map(Math.round);
                        w.move_resize_frame(true, x, y, width, height);
                    }
                    break;
                case 'monitor':
                    if (w && op.index >= 0 && op.index < global.display.get_n_monitors())
                        w.move_to_monitor(op.index);
                    break;
                case 'desktop':
                    if (w && op.index >= 0)
                        sendToDesktop(w, op.index, op.create === true);
                    break;
                case 'activateDesktop': {
                    const workspace = global.workspace_manager.get_workspace_by_index(op.index);
                    const focus = typeof op.focus === 'string' ? findWindow(op.focus) : null;
                    if (workspace && focus)
                        workspace.activate_with_focus(focus, now());
                    else if (workspace)
                        workspace.activate(now());
                    break;
                }
                case 'focus':
                    if (w)
                        Main.activateWindow(w, now());
                    break;
                case 'beep':
                    beep();
                    break;
                case 'rebind':
                    rebind = true;
                    break;
                }
            } catch (e) {
                warn(`cannot apply ${op.op}`, e);
            }
        }
        if (rebind)
            attach();
    }

    // --- keybindings ---

    function canonical(accelerator) {
        const modifiers = new Set();
        const names = {control: 'ctrl', primary: 'ctrl', ctrl: 'ctrl', alt: 'alt', mod1: 'alt',
            super: 'super', mod4: 'super', shift: 'shift', meta: 'meta', hyper: 'hyper'};
        const key = accelerator.replace(/<([^>]+)>/g, (_, m) => {
            modifiers.add(names[m.toLowerCase()] ?? m.toLowerCase());
            return '';
        });
        return `${[...modifiers].sort().join('+')}+${key.toLowerCase()}`;
    }

    function gnomeAccelerators() {
        const taken = new Set();
        const source = Gio.SettingsSchemaSource.get_default();
        for (const id of GNOME_KEYBINDING_SCHEMAS) {
            const schema = source?.lookup(id, true);
            if (!schema)
                continue;
            const values = new Gio.Settings({settings_schema: schema});
            for (const key of schema.list_keys()) {
                if (schema.get_key(key).get_value_type().dup_string() !== 'as')
                    continue;
                for (const accelerator of values.get_strv(key))
                    taken.add(canonical(accelerator));
            }
        }
        return taken;
    }

    function press(name) {
        call('Press', new GLib.Variant('(ss)', [name, JSON.stringify(snapshot(false))]), '(s)', reply => {
            if (reply !== null)
                apply(parse(reply));
        });
    }

    function unbind() {
        for (const name of bound)
            Main.wm.removeKeybinding(name);
        bound = [];
    }

    function bind(bindings) {
        unbind();
        const taken = gnomeAccelerators();
        const known = new Set(settings.settings_schema.list_keys());
        const refused = [];
        for (const b of Array.isArray(bindings) ? bindings : []) {
            if (!b || typeof b.name !== 'string' || typeof b.accelerator !== 'string' || !b.name.startsWith(PREFIX))
                continue;
            if (!known.has(b.name) || taken.has(canonical(b.accelerator))) {
                refused.push(b.name);
                continue;
            }
            settings.set_strv(b.name, [b.accelerator]);
            const action = Main.wm.addKeybinding(b.name, settings, Meta.KeyBindingFlags.IGNORE_AUTOREPEAT,
                Shell.ActionMode.NORMAL, () => press(b.name));
            if (action === Meta.KeyBindingAction.NONE)
                refused.push(b.name);
            else
                bound.push(b.name);
        }
        call('Report', new GLib.Variant('(s)', [JSON.stringify({refused})]), null, null);
    }

    function attach() {
        const hello = {plugin: 'gnome', version: PROTOCOL_VERSION, shell: shellVersion};
        call('Attach', new GLib.Variant('(s)', [JSON.stringify(hello)]), '(s)', reply => {
            const answer = reply === null ? null : parse(reply);
            if (answer && Array.isArray(answer.bindings))
                bind(answer.bindings);
        });
    }

    return {
        enable() {
            enabled = true;
            exported = Gio.DBusExportedObject.wrapJSObject(OWN_INTERFACE, {
                Apply(text) {
                    apply(parse(text));
                    return JSON.stringify(snapshot(true));
                },
            });
            exported.export(Gio.DBus.session, OWN_PATH);
            // Corvane may start before or after the shell, and restart: attach
            // whenever it appears, and let its keys go when it leaves.
            watchId = Gio.bus_watch_name_on_connection(Gio.DBus.session, BUS_NAME,
                Gio.BusNameWatcherFlags.NONE, () => attach(), () => unbind());
        },
        disable() {
            enabled = false;
            if (watchId)
                Gio.bus_unwatch_name(watchId);
            watchId = 0;
            unbind();
            exported?.unexport();
            exported = null;
        },
        // For tests of the body under GJS with stand-ins for the shell.
        canonical,
        snapshot,
        apply,
    };
}
