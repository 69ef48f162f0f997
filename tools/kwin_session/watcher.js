// Test watcher: prints KWin's state to KWin's log on every change that a
// test may wait for, as one line "corvane-probe: {json}".
function rect(r) {
    return [r.x, r.y, r.width, r.height];
}
function dump() {
    var list = workspace.clientList();
    var windows = [];
    for (var i = 0; i < list.length; ++i) {
        var c = list[i];
        if (!c.normalWindow) continue;
        windows.push({
            id: String(c.internalId),
            title: String(c.caption),
            frame: rect(c.frameGeometry),
            desktop: c.onAllDesktops ? -1 : c.desktop,
            screen: c.screen,
            active: c === workspace.activeClient
        });
    }
    var screens = [];
    for (var s = 0; s < workspace.numScreens; ++s) screens.push(rect(workspace.clientArea(KWin.ScreenArea, s, 1)));
    print("corvane-probe: " + JSON.stringify({
        windows: windows,
        screens: screens,
        desktops: workspace.desktops,
        current: workspace.currentDesktop
    }));
}
function watch(c) {
    c.frameGeometryChanged.connect(dump);
    c.desktopChanged.connect(dump);
    c.screenChanged.connect(dump);
    c.captionChanged.connect(dump);
}
var existing = workspace.clientList();
for (var i = 0; i < existing.length; ++i) watch(existing[i]);
workspace.clientAdded.connect(function (c) {
    watch(c);
    dump();
});
workspace.clientRemoved.connect(dump);
workspace.clientActivated.connect(dump);
workspace.currentDesktopChanged.connect(dump);
workspace.numberDesktopsChanged.connect(dump);
registerShortcut("corvane-probe-dump", "Corvane test: dump", "", dump);
dump();
