// Corvane's hands inside KWin. Corvane decides everything; this script only
// registers the shortcuts Corvane names, reports a press together with the
// state a placement needs, and applies the operations of the reply. It is
// written to the user's runtime directory and loaded over D-Bus by Corvane
// at start, and unloaded when Corvane quits.

var SERVICE = "io.github.corvane.Corvane";
var PATH = "/io/github/corvane/Compositor";
var INTERFACE = "io.github.corvane.Compositor1";
var VERSION = 1;

// Plasma 5.27 and Plasma 6 differ in names and shapes; everything that
// touches those differences lives in this one object, so the rest of the
// script reads the same on both.
var kwin = (function () {
    var six = typeof workspace.activeWindow !== "undefined" && typeof workspace.activeClient === "undefined";
    function outputs() {
        if (six) return workspace.screens;
        var list = [];
        for (var i = 0; i < workspace.numScreens; ++i) list.push(i);
        return list;
    }
    function desktopObjects() {
        return six ? workspace.desktops : null;
    }
    return {
        plasma: six ? 6 : 5,
        activeWindow: function () {
            return six ? workspace.activeWindow : workspace.activeClient;
        },
        focus: function (w) {
            if (six) workspace.activeWindow = w;
            else workspace.activeClient = w;
        },
        windows: function () {
            return six ? workspace.windowList() : workspace.clientList();
        },
        outputCount: function () {
            return outputs().length;
        },
        outputIndexOf: function (w) {
            if (!six) return w.screen;
            var list = outputs();
            for (var i = 0; i < list.length; ++i)
                if (list[i] === w.output) return i;
            return 0;
        },
        // A rectangle of one output: KWin.ScreenArea (the output) or
        // KWin.MaximizeArea (what is left beside panels).
        area: function (option, index) {
            if (six) return workspace.clientArea(option, outputs()[index], workspace.currentDesktop);
            return workspace.clientArea(option, index, workspace.currentDesktop);
        },
        desktopCount: function () {
            return six ? workspace.desktops.length : workspace.desktops;
        },
        // Desktops are counted from 0 on the wire; Plasma 5 counts from 1.
        currentDesktop: function () {
            if (!six) return workspace.currentDesktop - 1;
            return desktopObjects().indexOf(workspace.currentDesktop);
        },
        windowDesktop: function (w) {
            if (w.onAllDesktops) return -1;
            if (!six) return w.desktop - 1;
            return w.desktops.length > 0 ? desktopObjects().indexOf(w.desktops[0]) : -1;
        },
        ensureDesktops: function (count) {
            while (this.desktopCount() < count) {
                var before = this.desktopCount();
                workspace.createDesktop(before, "");
                if (this.desktopCount() === before) return false;
            }
            return true;
        },
        setWindowDesktop: function (w, index) {
            if (six) w.desktops = [desktopObjects()[index]];
            else w.desktop = index + 1;
        },
        activateDesktop: function (index) {
            if (six) workspace.currentDesktop = desktopObjects()[index];
            else workspace.currentDesktop = index + 1;
        },
        sendToOutput: function (w, index) {
            workspace.sendClientToScreen(w, six ? outputs()[index] : index);
        }
    };
})();

function windowId(w) {
    return String(w.internalId);
}

function findWindow(id) {
    var list = kwin.windows();
    for (var i = 0; i < list.length; ++i)
        if (windowId(list[i]) === id) return list[i];
    return null;
}

function rect(r) {
    return [r.x, r.y, r.width, r.height];
}

// Frames asked for that KWin does not show yet: a Wayland window takes a
// new size only once its client has drawn it, while KWin's rectangle shows
// the old one. Off the press path Corvane writes a frame in steps (size,
// position, size), each read back first; it must see what it wrote, as it
// would after a round trip, or a step would undo the one before. A press
// comes at a person's pace and sees KWin's own rectangle.
var requested = {};

function frameOf(w, all) {
    var id = windowId(w);
    var actual = rect(w.frameGeometry);
    var wanted = requested[id];
    if (wanted && wanted.join() === actual.join()) delete requested[id];
    else if (all && wanted) return wanted.slice();
    return actual;
}

function describe(w, all) {
    if (!w) return null;
    var unit = w.basicUnit;
    return {
        id: windowId(w),
        pid: w.pid,
        title: String(w.caption),
        appId: String(w.desktopFileName || w.resourceClass || ""),
        frame: frameOf(w, all),
        monitor: kwin.outputIndexOf(w),
        desktop: kwin.windowDesktop(w),
        normal: !!w.normalWindow && !w.specialWindow,
        increment: unit && unit.width > 0 ? [unit.width, unit.height] : [1, 1]
    };
}

// `all`: every normal window's place too, which desktop moves ask for off
// the press path; a press does without it.
function snapshot(all) {
    var monitors = [];
    for (var i = 0; i < kwin.outputCount(); ++i)
        monitors.push({
            frame: rect(kwin.area(KWin.ScreenArea, i)),
            workArea: rect(kwin.area(KWin.MaximizeArea, i)),
            primary: i === 0
        });
    var state = {
        window: describe(kwin.activeWindow(), all),
        monitors: monitors,
        desktops: { count: kwin.desktopCount(), current: kwin.currentDesktop(), dynamic: false, primaryOnly: false },
        time: 0
    };
    if (all) {
        var list = kwin.windows();
        state.windows = [];
        for (var j = 0; j < list.length; ++j)
            if (list[j].normalWindow)
                state.windows.push({ id: windowId(list[j]), desktop: kwin.windowDesktop(list[j]),
                                     monitor: kwin.outputIndexOf(list[j]) });
    }
    return JSON.stringify(state);
}

// Applies Corvane's operations in order; one that cannot be applied (its
// window closed meanwhile) is skipped, the others still run.
function apply(text) {
    var ops;
    try {
        ops = JSON.parse(text);
    } catch (e) {
        print("corvane: unreadable operations: " + e);
        return;
    }
    if (!Array.isArray(ops)) return;
    var rebind = false;
    for (var i = 0; i < ops.length; ++i) {
        var op = ops[i];
        var w = typeof op.window === "string" ? findWindow(op.window) : null;
        try {
            if (op.op === "frame" && w) {
                // A maximized or full-screen window keeps its frame otherwise.
                if (w.fullScreen) w.fullScreen = false;
                if (typeof w.setMaximize === "function") w.setMaximize(false, false);
                // A rectangle read from KWin ignores writes to its size: a
                // fresh one is assigned.
                w.frameGeometry = { x: op.rect[0], y: op.rect[1], width: op.rect[2], height: op.rect[3] };
                requested[windowId(w)] = op.rect.slice(0, 4);
            } else if (op.op === "desktop" && w) {
                if (op.create) kwin.ensureDesktops(op.index + 1);
                if (op.index < kwin.desktopCount()) kwin.setWindowDesktop(w, op.index);
            } else if (op.op === "activateDesktop") {
                if (op.index < kwin.desktopCount()) kwin.activateDesktop(op.index);
                var f = typeof op.focus === "string" ? findWindow(op.focus) : null;
                if (f) kwin.focus(f);
            } else if (op.op === "monitor" && w) {
                kwin.sendToOutput(w, op.index);
            } else if (op.op === "focus" && w) {
                kwin.focus(w);
            } else if (op.op === "rebind") {
                rebind = true;
            }
        } catch (e) {
            print("corvane: cannot apply " + op.op + ": " + e);
        }
    }
    if (rebind) attach();
}

function press(name) {
    requested = {};
    callDBus(SERVICE, PATH, INTERFACE, "Press", name, snapshot(false), function (reply) {
        apply(reply);
    });
}

// Corvane reaches the script through this key-less shortcut (a KWin script
// cannot export a D-Bus object): the script asks what to apply, applies it
// and answers with the state afterwards.
function wake() {
    callDBus(SERVICE, PATH, INTERFACE, "Fetch", snapshot(true), function (reply) {
        apply(reply);
        callDBus(SERVICE, PATH, INTERFACE, "Applied", snapshot(true));
    });
}

// KWin scripts cannot unregister a shortcut: a name registered once stays
// for the script's life, and a press of one Corvane no longer lists is
// ignored (Corvane also takes its key away).
var held = {};
var current = {};

function attach() {
    var me = JSON.stringify({ plugin: "kwin", version: VERSION, shell: String(kwin.plasma) });
    callDBus(SERVICE, PATH, INTERFACE, "Attach", me, function (reply) {
        var bindings;
        try {
            bindings = JSON.parse(reply).bindings;
        } catch (e) {
            print("corvane: unreadable bindings: " + e);
            return;
        }
        if (!Array.isArray(bindings)) return;
        current = {};
        for (var i = 0; i < bindings.length; ++i) {
            var name = bindings[i].name;
            if (typeof name !== "string") continue;
            current[name] = true;
            if (held[name]) continue;
            held[name] = true;
            (function (bound) {
                registerShortcut(bound, "Corvane: " + bound.replace(/^corvane-/, ""), bindings[i].accelerator,
                                 function () {
                                     if (current[bound]) press(bound);
                                 });
            })(name);
        }
        // KWin gives a colliding shortcut no key without saying so, and keeps
        // a key remembered from an earlier run over the one asked for:
        // Corvane settles the keys in KWin's registry and works out which
        // were refused.
        callDBus(SERVICE, PATH, INTERFACE, "Report", JSON.stringify({ refused: [], held: Object.keys(held) }));
    });
}

registerShortcut("corvane-wake", "Corvane: apply pending changes", "", wake);
attach();
