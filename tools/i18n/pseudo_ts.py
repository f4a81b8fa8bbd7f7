#!/usr/bin/env python3
"""Writes the pseudo-language: every English source of a .ts file, accented, lengthened by a
third and bracketed, so that a text the catalogue does not hold, or one that does not fit its
place, shows at once.

usage: pseudo_ts.py SOURCE.ts OUT.ts
"""
import math
import re
import sys
import xml.etree.ElementTree as ET

from generated_file import write_if_changed

ACCENTS = str.maketrans(
    'AaCcDdEeGgIiKkLlNnOoRrSsTtUuYyZz',
    'ÀàÇçĎďÉéĜĝÎîĶķĹĺÑñÖöŘřŠšŤťÛûÝýŽž')
# %1 ... %9 and line breaks stay as they are: the code fills and splits them; a mnemonic's
# letter too, so Alt and the underlined letter still reach its control.
KEEP = re.compile(r'(%\d|\n|&.)')


def pseudo_line(line):
    if not line.strip(' '):
        return line
    body = ''.join(p if KEEP.fullmatch(p) else p.translate(ACCENTS) for p in KEEP.split(line))
    padding = '~' * max(1, math.ceil(len(line) / 3))
    # Blanks that join a fragment to its neighbours stay outside the brackets.
    lead = len(body) - len(body.lstrip(' '))
    trail = len(body) - len(body.rstrip(' '))
    return ' ' * lead + '[' + body.strip(' ') + padding + ']' + ' ' * trail


def pseudo(text):
    # Each line is bracketed on its own: a window may show the lines of a text apart.
    return '\n'.join(pseudo_line(line) for line in text.split('\n'))


def main(argv):
    source, out = argv[1], argv[2]
    root = ET.parse(source).getroot()
    root.set('language', 'en_XA')
    for message in root.iter('message'):
        node = message.find('translation')
        if node is None:
            node = ET.SubElement(message, 'translation')
        node.attrib.clear()
        node.text = pseudo(message.findtext('source') or '')
        for location in message.findall('location'):
            message.remove(location)
    ET.indent(root, space='    ')
    text = '<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + ET.tostring(
        root, encoding='unicode') + '\n'
    write_if_changed(out, text)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
