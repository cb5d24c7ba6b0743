#!/usr/bin/env python3
"""The state of a Wine prefix, for the install test (scripts/test-install): its registry, read
from the hives that the wine server saved (system.reg: HKLM, user.reg: HKCU), and its files and
folders under drive_c (but the temporary ones).

  prefix_state.py snapshot PREFIX FILE
      Saves the registry and the files of the prefix (its wine server must have ended).
  prefix_state.py machine REF_BEFORE REF_AFTER BEFORE AFTER FOLDER64 FOLDER32 VERSION
      What the per-machine package wrote under HKLM\\Software\\Classes equals what regsvr32 of the
      x64 build wrote in the reference prefix, in the 64-bit view; in the 32-bit view the same for
      the x86 build (its folder), but for the type libraries, which both views share (the x86
      build's win32 key beside win64); the Addins key in both views;
      one product installed, of that version.
  prefix_state.py user REF_BEFORE REF_AFTER BEFORE AFTER REF_FOLDER FOLDER64 FOLDER32
      The per-user package wrote the same rows under HKCU\\Software\\Classes (Wine keeps one view
      there: each row holds the x64 or the x86 build's value), nothing under HKLM's classes, and
      the Addins key of the user.
  prefix_state.py same BEFORE AFTER [EXCEPT...]
      The registry and the files are as they were, but for the files (paths under drive_c) and the
      registry keys with all below them (HKLM\\... or HKCU\\...) named. Windows Installer may
      keep the empty keys and the empty cache folder of its own records.
Exits 1 and prints each difference when a check fails.
"""
import hashlib
import json
import os
import re
import sys
import unicodedata

from msi_tables import KEPT_APART

KEY = re.compile(r'^\[(.*)\]( \d+)?$')
VALUE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')
# Wine's own settings, and what the system changes by itself at each start: devices, network
# cards, the shell's state.
NOISE = re.compile(r'^(HKLM|HKCU)\\Software\\Wine(\\|$)|^HKLM\\System\\|^HKLM\\Hardware\\'
                   r'|^HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\'
                   r'|^HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards$',
                   re.IGNORECASE)
INSTALLER = re.compile(r'\\Installer(\\|$)', re.IGNORECASE)
SHARED = re.compile(r'TypeLib(\\|$)', re.IGNORECASE)
TEMP = re.compile(r'^(windows/temp|users/[^/]+/(AppData/Local/)?Temp)(/|$)', re.IGNORECASE)


def unescape(text):
    # Wine writes a character outside ASCII as \x and up to four hex digits.
    return re.sub(r'\\x([0-9a-fA-F]{1,4})|\\(.)',
                  lambda m: chr(int(m.group(1), 16)) if m.group(1) else m.group(2), text)


def read_hive(path, root):
    keys = {}
    current = None
    pending = ''
    with open(path, encoding='utf-8', errors='replace') as hive:
        for line in hive:
            line = pending + line.rstrip('\n')
            if line.endswith('\\') and current is not None and not KEY.match(line):
                pending = line[:-1].strip() if pending else line[:-1]
                continue
            pending = ''
            key = KEY.match(line)
            if key:
                current = root + '\\' + unescape(key.group(1))
                keys[current] = {}
                continue
            value = VALUE.match(line)
            if value and current is not None:
                name = '' if value.group(1) == '@' else unescape(value.group(1)[1:-1])
                data = value.group(2)
                if data.startswith('"') and data.endswith('"'):
                    data = unescape(data[1:-1])
                keys[current][name] = data
    return keys


def files(prefix):
    drive = os.path.join(prefix, 'drive_c')
    out = {}
    for folder, folders, names in os.walk(drive):
        for name in folders:
            relative = os.path.relpath(os.path.join(folder, name), drive).replace(os.sep, '/')
            if not TEMP.match(relative):
                out[relative + '/'] = 'folder'
        for name in names:
            path = os.path.join(folder, name)
            relative = os.path.relpath(path, drive).replace(os.sep, '/')
            if TEMP.match(relative) or os.path.islink(path):
                continue
            with open(path, 'rb') as f:
                out[relative] = hashlib.sha1(f.read()).hexdigest()
    return out


def snapshot(prefix, file):
    state = {'registry': {**read_hive(os.path.join(prefix, 'system.reg'), 'HKLM'),
                          **read_hive(os.path.join(prefix, 'user.reg'), 'HKCU')},
             'files': files(prefix)}
    with open(file, 'w') as f:
        json.dump(state, f)


def load(file):
    with open(file) as f:
        return json.load(f)


def folded(keys):
    return {k.lower(): (k, v) for k, v in keys.items()}


def written(before, after, under):
    """The keys below `under` that are new or hold new values: key -> those values."""
    old = folded(before['registry'])
    out = {}
    for key, values in after['registry'].items():
        if not key.lower().startswith(under.lower() + '\\'):
            continue
        was = old.get(key.lower(), (key, None))[1]
        if was is None:
            out[key[len(under) + 1:]] = dict(values)
            continue
        changed = {n: v for n, v in values.items() if was.get(n) != v}
        if changed:
            out[key[len(under) + 1:]] = changed
    return out


def lowered(rows):
    return {k.lower(): v for k, v in rows.items()}


def compare(what, got, expected, problems, alternatives=None):
    """`got` holds the keys of `expected` and of `alternatives` and no others, each value as one of
    them has it."""
    got, choices = lowered(got), [lowered(expected), lowered(alternatives or {})]
    for key in sorted(set(got).union(*choices)):
        options = [c[key] for c in choices if key in c]
        if key not in got:
            problems.append(f'{what}: missing key {key}')
        elif not options:
            problems.append(f'{what}: unexpected key {key} {got[key]}')
        else:
            for name in sorted(set(got[key]).union(*options)):
                allowed = [o.get(name) for o in options]
                if got[key].get(name) not in allowed:
                    problems.append(f'{what}: {key} "{name}" is {got[key].get(name)!r}, expected '
                                    + ' or '.join(repr(a) for a in allowed))


def moved(rows, old_folder, new_folder, platform_key=None):
    out = {}
    for key, values in rows.items():
        if platform_key:
            key = re.sub(r'\\win64$', '\\\\' + platform_key, key, flags=re.IGNORECASE)
        out[key] = {n: v.replace(old_folder, new_folder) for n, v in values.items()}
    return out


def addins(state, key, problems):
    values = folded(state['registry']).get(key.lower(), (key, None))[1]
    # The package's code page (1258) writes the tone marks apart: the same text once composed.
    if values:
        values = {n: unicodedata.normalize('NFC', v) for n, v in values.items()}
    expected = {'FriendlyName': 'Chữ ký số', 'Description': 'Chèn chữ ký và ký số văn bản',
                'LoadBehavior': 'dword:00000003'}
    if values != expected:
        problems.append(f'{key}: {values}, expected {expected}')


def report(problems, success):
    for p in problems:
        print('  ' + p)
    if not problems:
        print(success)
    return 1 if problems else 0


def installed_versions(state):
    return sorted(v['DisplayVersion'] for k, v in state['registry'].items()
                  if re.search(r'\\Installer\\UserData\\[^\\]+\\Products\\[^\\]+'
                               r'\\InstallProperties$', k, re.IGNORECASE))


def machine(ref_before, ref_after, before, after, folder64, folder32, version):
    reference = written(ref_before, ref_after, 'HKLM\\Software\\Classes')
    if not reference:
        return report(['regsvr32 wrote nothing in the reference prefix'], '')
    classes = written(before, after, 'HKLM\\Software\\Classes')
    view64 = {k: v for k, v in classes.items()
              if not re.match(r'(Wow6432Node|Installer)(\\|$)', k, re.IGNORECASE)}
    view32 = written(before, after, 'HKLM\\Software\\Classes\\Wow6432Node')
    x86 = moved(reference, folder64, folder32, 'win32')
    # Type libraries are one key for both views in Wine: the x86 build's win32 key lies beside
    # win64. Where Windows keeps a key once for both views (all but the classes' and interfaces'
    # keys), the x64 build's component alone writes it.
    shared = {k: v for k, v in x86.items() if SHARED.match(k)}
    problems = []
    compare('64-bit view', view64, reference, problems, shared)
    compare('32-bit view', view32, {k: v for k, v in x86.items() if KEPT_APART.match(k)},
            problems)
    if installed_versions(after) != [version]:
        problems.append(f'installed products: {installed_versions(after)}, expected [{version!r}]')
    addins(after, 'HKLM\\Software\\Microsoft\\Office\\Word\\Addins\\Penvane.Connect', problems)
    addins(after, 'HKLM\\Software\\Wow6432Node\\Microsoft\\Office\\Word\\Addins\\Penvane.Connect',
           problems)
    return report(problems, f'  ok   version {version} alone, the classes as regsvr32 writes them '
                            f'({len(reference)} keys) in both views, Word\'s Addins key in both')


def user(ref_before, ref_after, before, after, ref_folder, folder64, folder32):
    reference = written(ref_before, ref_after, 'HKLM\\Software\\Classes')
    classes = written(before, after, 'HKCU\\Software\\Classes')
    classes = {k: v for k, v in classes.items() if not re.match(r'Installer(\\|$)', k, re.I)}
    problems = []
    compare('HKCU classes', classes, moved(reference, ref_folder, folder64), problems,
            moved(reference, ref_folder, folder32, 'win32'))
    machine_classes = {k: v for k, v in written(before, after, 'HKLM\\Software\\Classes').items()
                       if not INSTALLER.search('\\' + k)}
    if machine_classes:
        problems.append(f'written for the machine: {sorted(machine_classes)}')
    addins(after, 'HKCU\\Software\\Microsoft\\Office\\Word\\Addins\\Penvane.Connect', problems)
    return report(problems, f'  ok   the classes of both builds for this user ({len(reference)} '
                            'keys each) and the user\'s Addins key, nothing for the machine')


def same(before, after, *exceptions):
    problems = []
    old, new = folded(before['registry']), folded(after['registry'])
    keys = tuple(e.lower() for e in exceptions if re.match(r'HK(LM|CU)\\', e))
    for key in sorted(set(old) | set(new)):
        name = (new.get(key) or old.get(key))[0]
        if NOISE.match(name) or key in keys or key.startswith(tuple(k + '\\' for k in keys)):
            continue
        was, now = old.get(key, (name, None))[1], new.get(key, (name, None))[1]
        if now is None:
            # An empty key taken away is harmless: Wine prunes the keys that uninstalling empties.
            if was:
                problems.append(f'removed: {name} {was}')
            continue
        if was is None:
            # Windows Installer keeps the empty keys of its own records.
            if now or not INSTALLER.search(name):
                problems.append(f'left: {name} {now}')
            continue
        for value in sorted(set(was) | set(now)):
            if was.get(value) != now.get(value):
                problems.append(f'{name} "{value}": {was.get(value)!r} -> {now.get(value)!r}')
    skip = {e.lower() for e in exceptions}
    old_files, new_files = before['files'], after['files']
    for path in sorted(set(old_files) | set(new_files)):
        if path.lower() in skip or old_files.get(path) == new_files.get(path):
            continue
        if path.lower() == 'windows/installer/' and path not in old_files:
            continue  # Windows Installer's own cache, kept empty
        state = 'left' if path not in old_files else 'removed' if path not in new_files else 'changed'
        problems.append(f'{state}: C:/{path}')
    return report(problems, '  ok   the registry and the files are as before')


def main(argv):
    command, args = argv[1], argv[2:]
    if command == 'snapshot':
        return snapshot(*args) or 0
    if command in ('machine', 'user'):
        check = machine if command == 'machine' else user
        return check(*[load(a) for a in args[:4]], *args[4:])
    if command == 'same':
        return same(load(args[0]), load(args[1]), *args[2:])
    print(__doc__)
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv))
