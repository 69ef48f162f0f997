// Runs Corvane's KWin script against stand-ins of KWin's scripting API, as
// Plasma 5.27 and as Plasma 6 shape it (only 5.27 runs here for real), and
// checks what it tells Corvane and what it does with Corvane's answers.
//
//   gjs script_test.js path/to/main.js
const { GLib } = imports.gi;
const System = imports.system;

const source = new TextDecoder().decode(GLib.file_get_contents(ARGV[0])[1]);
let failures = 0;
let passes = 0;

function check(condition, what) {
    if (condition) {
        ++passes;
    } else {
        ++failures;
        print("FAILED: " + what);
    }
}

const KWin = { ScreenArea: 7, MaximizeArea: 2 };
const screenRects = [
    { x: 0, y: 0, width: 1440, height: 900 },
    { x: 1440, y: 0, width: 1280, height: 720 },
];
const workRects = [
    { x: 0, y: 0, width: 1440, height: 860 },
    { x: 1440, y: 0, width: 1280, height: 720 },
];

// Plasma 5.27: desktops are numbers from 1, outputs indexes.
function plasma5() {
    const notes = {
        internalId: "{n}", pid: 42, caption: "Notes", resourceClass: "notes", desktopFileName: "",
        frameGeometry: { x: 1500, y: 10, width: 300, height: 200 },
        desktop: 1, onAllDesktops: false, screen: 1, normalWindow: true, specialWindow: false, fullScreen: false,
        setMaximize() {},
    };
    const workspace = {
        activeClient: notes, numScreens: 2, desktops: 1, currentDesktop: 1,
        clientList() { return [notes]; },
        clientArea(option, screen, desktop) {
            if (typeof desktop !== "number") throw new Error("5.27 takes a desktop number");
            return option === KWin.ScreenArea ? screenRects[screen] : workRects[screen];
        },
        createDesktop(position) { if (position === this.desktops) this.desktops += 1; },
        sendClientToScreen(w, index) { w.screen = index; },
    };
    return {
        workspace, window: notes,
        desktopOfWindow: () => notes.desktop - 1,
        current: () => workspace.currentDesktop - 1,
        count: () => workspace.desktops,
        output: () => notes.screen,
        active: () => workspace.activeClient,
    };
}

// Plasma 6: VirtualDesktop and Output objects, activeWindow, windowList().
function plasma6() {
    const outputs = [{ name: "A" }, { name: "B" }];
    const desktops = [{ id: "d1" }];
    const notes = {
        internalId: "{n}", pid: 42, caption: "Notes", resourceClass: "notes", desktopFileName: "org.notes",
        frameGeometry: { x: 1500, y: 10, width: 300, height: 200 },
        desktops: [desktops[0]], onAllDesktops: false, output: outputs[1], normalWindow: true,
        specialWindow: false, fullScreen: false,
        setMaximize() {},
    };
    const workspace = {
        activeWindow: notes, screens: outputs, desktops, currentDesktop: desktops[0],
        windowList() { return [notes]; },
        clientArea(option, output, desktop) {
            if (typeof output !== "object" || typeof desktop !== "object") throw new Error("6 takes objects");
            const i = outputs.indexOf(output);
            return option === KWin.ScreenArea ? screenRects[i] : workRects[i];
        },
        createDesktop(position) { if (position === desktops.length) desktops.push({ id: "d" + (position + 1) }); },
        sendClientToScreen(w, output) { w.output = output; },
    };
    return {
        workspace, window: notes,
        desktopOfWindow: () => desktops.indexOf(notes.desktops[0]),
        current: () => desktops.indexOf(workspace.currentDesktop),
        count: () => desktops.length,
        output: () => outputs.indexOf(notes.output),
        active: () => workspace.activeWindow,
    };
}

function run(name, kwin) {
    const calls = [];
    const shortcuts = {};
    let answers = {};
    const callDBus = function (service, path, iface, method, ...rest) {
        const callback = typeof rest[rest.length - 1] === "function" ? rest.pop() : null;
        calls.push({ service, method, args: rest });
        if (callback && method in answers) callback(answers[method](...rest));
    };
    const registerShortcut = (id, text, keys, callback) => { shortcuts[id] = { keys, callback }; };
    const last = method => calls.filter(c => c.method === method).pop();

    answers.Attach = () => JSON.stringify({
        version: 1,
        bindings: [{ name: "corvane-leftHalf", accelerator: "Ctrl+Alt+Meta+Left" },
                   { name: "corvane-follow3", accelerator: "Ctrl+Alt+#" }],
    });
    new Function("workspace", "KWin", "callDBus", "registerShortcut", "print", source)(
        kwin.workspace, KWin, callDBus, registerShortcut, () => {});

    check(shortcuts["corvane-wake"] && shortcuts["corvane-wake"].keys === "", name + ": a key-less wake shortcut");
    const hello = JSON.parse(last("Attach").args[0]);
    check(hello.plugin === "kwin" && hello.version === 1, name + ": says hello as the KWin plugin");
    check(shortcuts["corvane-leftHalf"].keys === "Ctrl+Alt+Meta+Left", name + ": registers the accelerator as given");
    check(JSON.stringify(JSON.parse(last("Report").args[0]).held) === '["corvane-leftHalf","corvane-follow3"]',
          name + ": reports the names it holds");

    // A press: one call, with the state a placement needs.
    answers.Press = () => JSON.stringify([{ op: "frame", window: "{n}", rect: [1440, 0, 640, 720] }]);
    shortcuts["corvane-leftHalf"].callback();
    const press = last("Press");
    check(press.args[0] === "corvane-leftHalf", name + ": the press names its binding");
    const snap = JSON.parse(press.args[1]);
    check(snap.window.id === "{n}" && snap.window.monitor === 1 && snap.window.desktop === 0,
          name + ": the focused window's id, monitor and desktop");
    check(JSON.stringify(snap.window.frame) === "[1500,10,300,200]", name + ": the window's frame");
    check(snap.monitors.length === 2 && JSON.stringify(snap.monitors[0].workArea) === "[0,0,1440,860]" &&
          snap.monitors[0].primary && !snap.monitors[1].primary, name + ": monitors with work areas, one primary");
    check(snap.desktops.count === 1 && snap.desktops.current === 0, name + ": desktops counted from 0");
    check(snap.windows === undefined, name + ": a press carries no window list");
    const g = kwin.window.frameGeometry;
    check(g.x === 1440 && g.y === 0 && g.width === 640 && g.height === 720, name + ": the frame is applied");

    // KWin moves a Wayland window at once but resizes it only once its
    // client has drawn the new size: reads off the press path see the frame
    // asked for, a press sees KWin's own.
    kwin.window.frameGeometry = { x: 1440, y: 0, width: 300, height: 200 };
    answers.Fetch = () => "[]";
    shortcuts["corvane-wake"].callback();
    check(JSON.stringify(JSON.parse(last("Fetch").args[0]).window.frame) === "[1440,0,640,720]",
          name + ": a pending size reads as asked for off the press path");
    answers.Press = () => "[]";
    shortcuts["corvane-leftHalf"].callback();
    check(JSON.stringify(JSON.parse(last("Press").args[1]).window.frame) === "[1440,0,300,200]",
          name + ": a press sees KWin's own frame");
    kwin.window.frameGeometry = { x: 1440, y: 0, width: 640, height: 720 };

    // Follow to a desktop that does not exist yet, then another monitor.
    answers.Press = () => JSON.stringify([
        { op: "desktop", window: "{n}", index: 2, create: true },
        { op: "activateDesktop", index: 2, focus: "{n}" },
        { op: "monitor", window: "{n}", index: 0 },
        { op: "frame", window: "{gone}", rect: [0, 0, 1, 1] },
        { op: "unknown" },
    ]);
    shortcuts["corvane-follow3"].callback();
    check(kwin.count() === 3 && kwin.desktopOfWindow() === 2 && kwin.current() === 2,
          name + ": desktops created, the window sent, the desktop shown");
    check(kwin.output() === 0, name + ": the window sent to the other monitor");

    // Off the press path: woken, it fetches, applies and reports the state after.
    answers.Fetch = () => JSON.stringify([{ op: "desktop", window: "{n}", index: 0 }]);
    shortcuts["corvane-wake"].callback();
    check(JSON.parse(last("Fetch").args[0]).windows.length === 1, name + ": a fetch carries every window's place");
    const after = JSON.parse(last("Applied").args[0]);
    check(after.windows[0].desktop === 0 && after.desktops.count === 3, name + ": the state after applying");

    // Rebinding: a name no longer listed stays registered but does nothing.
    answers.Attach = () => JSON.stringify({ version: 1, bindings: [{ name: "corvane-leftHalf", accelerator: "x" }] });
    answers.Fetch = () => JSON.stringify([{ op: "rebind" }]);
    shortcuts["corvane-wake"].callback();
    const before = calls.length;
    shortcuts["corvane-follow3"].callback();
    check(calls.length === before, name + ": a dropped binding's press is ignored");

    // Nonsense from Corvane changes nothing and throws nothing.
    answers.Press = () => "not json";
    shortcuts["corvane-leftHalf"].callback();
    answers.Press = () => JSON.stringify({ op: "frame" });
    shortcuts["corvane-leftHalf"].callback();
    check(kwin.window.frameGeometry.x === 0 || kwin.window.frameGeometry.x === 1440, name + ": survives nonsense");
}

run("Plasma 5.27", plasma5());
run("Plasma 6", plasma6());
print(passes + " passed, " + failures + " failed");
System.exit(failures === 0 ? 0 : 1);
