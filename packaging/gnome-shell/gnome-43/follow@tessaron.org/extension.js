// Tells Tessaron which window is in front whenever the focus moves, so the keyboard can take the
// profile its rules pick. GNOME Shell 43 and 44.
const { Gio, GLib } = imports.gi;

class TessaronFollow {
    enable() {
        this._handler = global.display.connect('notify::focus-window', () => this._report());
        this._report();
    }

    disable() {
        global.display.disconnect(this._handler);
        this._handler = null;
    }

    _report() {
        const window = global.display.focus_window;
        if (!window)
            return;
        Gio.DBus.session.call('org.tessaron.tessaron', '/org/tessaron/tessaron',
            'org.tessaron.tessaron.Keyboard1', 'ReportActiveWindow',
            new GLib.Variant('(sssi)', [window.get_wm_class_instance() || '',
                window.get_wm_class() || '', window.get_title() || '',
                Math.max(window.get_pid(), 0)]),
            null, Gio.DBusCallFlags.NO_AUTO_START, -1, null, null);
    }
}

function init() {
    return new TessaronFollow();
}
