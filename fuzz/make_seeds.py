#!/usr/bin/env python3
"""Writes the small seed corpus of every fuzz target into fuzz/corpus/<target>/."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
IMAGE = 10056
RECORD = 772
MACRO = 894


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def utf16(text, size):
    raw = text.encode("utf-16-le")
    return raw + bytes(size - len(raw))


# keymap.bin: a short file, and a whole one with a host-action key.
image = bytearray(IMAGE)
image[11] = 3
for cell in range(126):
    image[792 + 4 * cell: 796 + 4 * cell] = bytes([0, 0, 4 + cell % 40, 0])
image[792 + 4 * 30: 796 + 4 * 30] = bytes([0x0A, 0, 0x2A, 0])
image[7477:7495] = b"\xff" * 18
records = bytearray(RECORD * 255)
rec = bytearray(RECORD)
rec[0] = 0x41
rec[1] = 4  # play a sound
rec[2:6] = bytes([0x03, 0x00, 0x23, 0x02])
rec[260:772] = utf16("/usr/share/sounds/bell.wav", 512)
records[RECORD * 30: RECORD * 31] = rec
put("fuzz_keymap_file", "short", bytes(image[:900]))
put("fuzz_keymap_file", "whole", bytes(image) + bytes(records))


# MacroDefine.bin: two macros, one with a long delay.
def macro(name, loops, host, device, delays=False):
    r = bytearray(MACRO)
    r[0:510] = utf16(name, 510)
    r[510:512] = struct.pack("<H", loops)
    r[512] = 1 if delays else 0
    r[513:513 + len(device)] = device
    r[703:703 + len(host)] = host
    return bytes(r)


host_a = bytes([0x01, 0x41, 0x32 | 0x80, 0x41])
dev_a = bytes([0x01, 0x04, 0x32 | 0x80, 0x04])
host_long = bytes([0x01, 0x10, 0x7F, 0x41, 0x03, 0xE8, 0x80 | 0x01, 0x41, 0x81, 0x10])
dev_long = bytes([0x01, 0xE1, 0x7F, 0x04, 0x03, 0xE8, 0x80 | 0x01, 0x04, 0x81, 0xE1])
table = macro("Macro_001", 1, host_a, dev_a, True) + macro("Shift A", 3, host_long, dev_long, True)
put("fuzz_macro_file", "two", table)
put("fuzz_macro_file", "name-only", macro("X", 0, b"", b"")[:600])


# The editor: macro count, then per macro loops, delay flag, host and device streams; then steps.
def editor_macro(loops, delay, host, device):
    return struct.pack(">H", loops) + bytes([delay, len(host)]) + host + bytes([len(device)]) + device


steps = bytes([8, 2, 0x41, 0, 0, 0, 3, 0, 0x41, 1, 8, 0, 1, 1, 0x42, 2, 0, 0x42, 0, 0, 1,
               5, 1, 7, 1, 0x01, 0x00, 0, 4, 0, 1, 2, 6, 0, 11, 2, 0x31, 0x32, 18])
put("fuzz_macro_editor", "record-and-edit", bytes([1]) + editor_macro(1, 1, host_a, dev_a) + steps)
put("fuzz_macro_editor", "long-delays",
    bytes([2]) + editor_macro(2, 1, host_long, dev_long) + editor_macro(1, 0, b"", b"") +
    bytes([17, 0, 0, 0, 1, 0x41, 0x04, 0x01, 0xF4, 17, 1, 2, 0x40, 0x00, 13, 14, 15, 1, 18]))

# Macro text.
put("fuzz_macro_text", "greeting",
    b"# hand-written\nname: Greeting\nloops: 2\nShift dn\nH dn\n120 ms\nH up\nShift up\n"
    b"I dn\n1000 ms\nI up\nMsLB dn\nMsLB up\n")
put("fuzz_macro_text", "codes", b"0x41 dn\n2 ms\n0x41 up\n")
put("fuzz_macro_text", "bad", b"name: x\n10 ms\nA dn\n")

# The configuration text: one with some of everything, a small one, and one that is refused.
put("fuzz_config_json", "everything", b"""{
  "format": 1,
  "lighting": {"effect": "Wave", "speed": 5, "brightness": 50, "direction": "left"},
  "game_mode": false, "win_lock": true, "response_time_ms": 4, "report_rate_hz": 1000,
  "keys": {
    "Caps Lock": {"combo": ["Ctrl", "Shift", "Esc"]}, "F1": {"function": "Mute"},
    "F2": {"macro": 0}, "F3": {"program": "/usr/bin/foot", "disabled": true},
    "F4": {"single": "Vol+"}, "Q": {"disabled": true}
  },
  "diy": [["Esc", "Fn"], [], ["W", "A", "S", "D"], [], []],
  "macros": [{"name": "Hi", "loops": 2, "events": ["LShift dn", "H dn", "120 ms", "H up",
                                                   "LShift up"]}]
}
""")
put("fuzz_config_json", "small", b'{"format": 1, "lighting": {"effect": "Static", "speed": 0, '
    b'"brightness": 0, "direction": "up"}, "game_mode": true, "win_lock": false, '
    b'"response_time_ms": 2, "report_rate_hz": 125, "keys": {}, "diy": [[], [], [], [], []], '
    b'"macros": []}')
put("fuzz_config_json", "refused", b'{"format": 1, "keys": {"#62": {"combo": ["A"]}}}')

# Profiles: two length bytes for the name, the name, then the chosen file.
put("fuzz_profile_file", "plain", bytes([4, 0]) + b"Work" + bytes(image[:2000]))
put("fuzz_profile_file", "escape", bytes([6, 3]) + b"../x.bin\x00" + bytes(image[:64]))

# VER.bin and the settings file.
put("fuzz_version_file", "version", b"VER: 1.4    ")
put("fuzz_version_file", "settings", b"[General]\nLanguage=chinese\n[Other]\nLanguage=english\n")
put("fuzz_version_file", "quoted", b"Language=\"chin\\x\" ; comment\n")

# The virtual keyboard's state file: the sealing flag, then the file.
state = bytearray(b"TVKB" + bytes([1, 0, 0, 0]) + bytes(image) + bytes([1, 5, 0, 0]))
state += struct.pack("<I", zlib.crc32(bytes(state)) & 0xFFFFFFFF)
put("fuzz_keyboard_state", "good", bytes([0]) + bytes(state))
put("fuzz_keyboard_state", "sealed", bytes([1]) + bytes(state[:5000]))

# Device replies: a trace flag, the image fill, the operation, then what each transfer does.
for op in range(5):
    put("fuzz_device_replies", "op%d" % op, bytes([1, 0x20, op, 3, 0x01, 0x00, 7, 0x5C, 0x10]) +
        bytes(1200))

# Event reports: a length byte, then that many bytes of one read.
put("fuzz_event_reports", "ack-and-key",
    bytes([4, 4, 4, 0, 0, 4, 4, 1, 0x2A, 0, 3, 4, 4, 4, 5, 4, 4, 4, 0, 0, 0]))
put("fuzz_event_reports", "report", bytes([4, 1, 0x2A, 0]))

# Report descriptors: a vendor page with input report 4, and one with push/pop.
put("fuzz_report_descriptor", "vendor",
    bytes([0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x04, 0x15, 0x00, 0x26, 0xFF, 0x00,
           0x75, 0x08, 0x95, 0x03, 0x09, 0x02, 0x81, 0x02, 0x85, 0x05, 0x09, 0x03, 0xB1, 0x02,
           0xC0]))
put("fuzz_report_descriptor", "push-pop",
    bytes([0x85, 0x01, 0xA4, 0x85, 0x02, 0x81, 0x00, 0xB4, 0x81, 0x00, 0xFE, 0x02, 0x10, 0xAA,
           0xBB, 0x87, 0x01, 0x02, 0x03, 0x04]))
