// Runs the KWin script and both GNOME Shell extensions shipped in packaging/ with their own code,
// against stand-ins for the desktop's objects, and checks the D-Bus call each makes when a window
// comes to the front. Run by node --experimental-vm-modules with the packaging folder's path.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';

const packaging = process.argv[2];
const read = (p) => fs.readFileSync(path.join(packaging, p), 'utf8');
// The signature the window's service declares: a call of another one is never delivered.
const declared = read('org.tessaron.tessaron.Keyboard1.xml')
    .match(/<method name="ReportActiveWindow">([\s\S]*?)<\/method>/)[1];
const signature = [...declared.matchAll(/type="(\w)" direction="in"/g)].map((m) => m[1]).join('');
assert.equal(signature, 'sssi');
const target = ['org.tessaron.tessaron', '/org/tessaron/tessaron',
                'org.tessaron.tessaron.Keyboard1', 'ReportActiveWindow'];

class Signal {
    constructor() { this.slots = new Map(); this.next = 1; }
    connect(name, fn) {
        if (typeof name === 'function') [name, fn] = [null, name];
        this.slots.set(this.next, {name, fn});
        return this.next++;
    }
    disconnect(id) { this.slots.delete(id); }
    emit(name, ...args) {
        for (const s of this.slots.values())
            if (s.name === name) s.fn(...args);
    }
}

// KWin: both script generations, the window in front at load and each one activated later.
function kwin(generation) {
    const calls = [];
    const activated = new Signal();
    const first = {resourceName: 'foot', resourceClass: 'foot', caption: 'shell', pid: 4242};
    const workspace = generation === 6
        ? {windowActivated: {connect: (fn) => activated.connect(fn)}, activeWindow: first}
        : {clientActivated: {connect: (fn) => activated.connect(fn)}, activeClient: first};
    const callDBus = (...args) => calls.push(args);
    vm.runInNewContext(read('kwin/tessaron-follow/contents/code/main.js'), {workspace, callDBus});

    assert.deepEqual(calls.shift(), [...target, 'foot', 'foot', 'shell', 4242], `Plasma ${generation}`);
    activated.emit(null, {resourceName: 'steam_app_292030', resourceClass: 'steam_app_292030',
                          caption: 'The Game', pid: 77});
    assert.deepEqual(calls.shift(), [...target, 'steam_app_292030', 'steam_app_292030',
                                     'The Game', 77]);
    // The desktop itself going to the front, and a window without a process or a caption.
    activated.emit(null, null);
    activated.emit(null, {resourceName: '', resourceClass: 'org.kde.dolphin', caption: undefined,
                          pid: -1});
    assert.deepEqual(calls, [[...target, '', 'org.kde.dolphin', '', 0]]);
    // KWin passes whole numbers as int32 and strings as strings: the declared signature.
    const sent = calls[0].slice(4).map((v) => (typeof v === 'string' ? 's'
        : Number.isInteger(v) && v >= -(2 ** 31) && v < 2 ** 31 ? 'i' : '?')).join('');
    assert.equal(sent, signature, `Plasma ${generation}`);
}

// GNOME: the stand-ins of gi's Gio and GLib and of global.display, shared by both formats.
function gnomeStage() {
    const calls = [];
    const display = new Signal();
    display.focus_window = null;
    const Gio = {DBus: {session: {call: (...args) => calls.push(args)}},
                 DBusCallFlags: {NONE: 0, NO_AUTO_START: 1}};
    const GLib = {Variant: class { constructor(type, value) { this.type = type; this.value = value; } }};
    const win = (instance, cls, title, pid) => ({get_wm_class_instance: () => instance,
        get_wm_class: () => cls, get_title: () => title, get_pid: () => pid});
    return {calls, display, Gio, GLib, win};
}

function gnomeChecks(stage, extension, format) {
    const {calls, display, win} = stage;
    extension.enable();
    assert.equal(calls.length, 0, `${format}: no window in front, nothing to report`);
    display.focus_window = win('foot', 'foot', 'shell', 4242);
    display.emit('notify::focus-window');
    const [service, object, iface, method, params, , , timeout] = calls.shift();
    assert.deepEqual([service, object, iface, method], target, format);
    assert.equal(params.type, `(${signature})`);
    assert.deepEqual(Array.from(params.value), ['foot', 'foot', 'shell', 4242]);
    assert.equal(timeout, -1);
    // A window of the Shell itself has no class and a process number of -1.
    display.focus_window = win(null, null, null, -1);
    display.emit('notify::focus-window');
    assert.deepEqual(Array.from(calls.shift()[4].value), ['', '', '', 0], format);
    extension.disable();
    display.emit('notify::focus-window');
    assert.equal(calls.length, 0, `${format}: disabled, it must stay silent`);
}

async function gnome45() {
    const stage = gnomeStage();
    const file = 'gnome-shell/gnome-45/follow@tessaron.org/extension.js';
    const context = vm.createContext({global: {display: stage.display}});
    const provided = {
        'gi://Gio': {default: stage.Gio},
        'gi://GLib': {default: stage.GLib},
        'resource:///org/gnome/shell/extensions/extension.js': {
            Extension: class { constructor(metadata) { this.metadata = metadata; } }},
    };
    const module = new vm.SourceTextModule(read(file), {context});
    await module.link((specifier) => {
        const exports = provided[specifier];
        assert.ok(exports, `unexpected import ${specifier}`);
        return new vm.SyntheticModule(Object.keys(exports), function () {
            for (const [k, v] of Object.entries(exports)) this.setExport(k, v);
        }, {context});
    });
    await module.evaluate();
    const Extension = module.namespace.default;
    gnomeChecks(stage, new Extension({uuid: 'follow@tessaron.org'}), 'GNOME 45');
}

function gnome43() {
    const stage = gnomeStage();
    const context = vm.createContext({imports: {gi: {Gio: stage.Gio, GLib: stage.GLib}},
                                      global: {display: stage.display}});
    vm.runInContext(read('gnome-shell/gnome-43/follow@tessaron.org/extension.js'), context);
    gnomeChecks(stage, vm.runInContext('init()', context), 'GNOME 43');
}

kwin(6);
kwin(5);
gnome43();
await gnome45();
console.log('KWin 5 and 6 scripts, GNOME 43 and 45 extensions: calls as expected');
