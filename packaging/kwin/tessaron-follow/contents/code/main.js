// Tells Tessaron which window is in front whenever another one is activated, so the keyboard can
// take the profile its rules pick. Loaded by Tessaron over D-Bus and unloaded when it exits.
// Plasma 6 names the signal windowActivated, Plasma 5 clientActivated.

function tessaronReport(window) {
    if (!window) {
        return;
    }
    callDBus("org.tessaron.tessaron", "/org/tessaron/tessaron",
             "org.tessaron.tessaron.Keyboard1", "ReportActiveWindow",
             String(window.resourceName || ""), String(window.resourceClass || ""),
             String(window.caption || ""), window.pid > 0 ? window.pid : 0);
}

if (workspace.windowActivated) {
    workspace.windowActivated.connect(tessaronReport);
    tessaronReport(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(tessaronReport);
    tessaronReport(workspace.activeClient);
}
