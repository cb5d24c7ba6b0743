#!/usr/bin/env python3
"""Windows Installer's own rules, checked on a built package (its tables read with msiinfo), since
the ICE validation cannot run here (scripts/test-install runs this on every package):

  msi_rules.py MSI [LIBRARY...]

- ICE38: a component installed under the user's profile has a value under HKCU as its key path.
- ICE64: every folder made under the user's profile is removed on uninstall.
- One writer: no registry value is written by two components in the same registry view. The
  view is the component's (64-bit or not), and a key that Windows keeps once for both views (all
  of the classes root but the classes' and interfaces' keys; all of HKCU but its classes) is
  one key for both.
- File versions: every library in the File table has a version, and the version of the files
  given (the libraries as built) when their name matches.
Exits 1 and prints each broken rule.
"""
import struct
import sys

from msi_tables import KEPT_APART, records

PROFILE = {'LocalAppDataFolder', 'AppDataFolder', 'PersonalFolder', 'DesktopFolder',
           'StartMenuFolder', 'ProgramMenuFolder', 'StartupFolder', 'TemplateFolder',
           'FavoritesFolder', 'SendToFolder', 'MyPicturesFolder', 'NetHoodFolder',
           'PrintHoodFolder', 'RecentFolder'}
HKCU, HKLM = 1, 2
REGISTRY_KEY_PATH, SIXTY_FOUR_BIT = 0x4, 0x100


def kept_once(root, key):
    """Whether Windows keeps the key once for both registry views."""
    path = key.strip('\\')
    if path.lower().startswith('software\\classes\\'):
        return not KEPT_APART.match(path[len('software\\classes\\'):])
    return root == HKCU


def file_version(path):
    data = open(path, 'rb').read()
    at = data.find(struct.pack('<I', 0xFEEF04BD))
    if at < 0:
        return None
    ms, ls = struct.unpack_from('<II', data, at + 8)
    return f'{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}'


def check(msi, libraries):
    problems = []
    directories = {d['Directory']: d for d in records(msi, 'Directory')}

    def in_profile(directory):
        while directory:
            if directory in PROFILE:
                return True
            parent = directories.get(directory, {}).get('Directory_Parent', '')
            directory = parent if parent != directory else ''
        return False

    components = records(msi, 'Component')
    registry = {r['Registry']: r for r in records(msi, 'Registry')}
    for c in components:
        if not in_profile(c['Directory_']):
            continue
        key = registry.get(c['KeyPath'])
        if not int(c['Attributes'] or 0) & REGISTRY_KEY_PATH or not key or int(key['Root']) != HKCU:
            problems.append(f'ICE38: {c["Component"]} lies in the user\'s profile without an HKCU '
                            f'value as its key path ({c["KeyPath"] or "none"})')

    removed = {r['DirProperty'] for r in records(msi, 'RemoveFile')
               if not r['FileName'] and int(r['InstallMode']) & 2}
    for name in directories:
        if name not in PROFILE and in_profile(name) and name not in removed:
            problems.append(f'ICE64: the folder {name} in the user\'s profile stays on uninstall')

    sixty_four = {c['Component']: bool(int(c['Attributes'] or 0) & SIXTY_FOUR_BIT)
                  for c in components}
    writers = {}
    for r in registry.values():
        if r['Name'] in ('+', '-', '*') and not r['Value']:
            continue  # the key's own creation or removal, no value
        root = int(r['Root'])
        view = 'both' if kept_once(root, r['Key']) else sixty_four.get(r['Component_'])
        where = (root, view, r['Key'].strip('\\').lower(), r['Name'].lower())
        writers.setdefault(where, []).append(r['Component_'])
    for (root, view, key, name), by in sorted(writers.items(), key=str):
        if len(set(by)) > 1:
            problems.append(f'two writers: {"HKCU" if root == HKCU else "HKLM"}\\{key} '
                            f'"{name}" ({view} view) by {", ".join(sorted(set(by)))}')

    built = {p.replace('\\', '/').rsplit('/', 1)[-1].lower(): file_version(p) for p in libraries}
    for f in records(msi, 'File'):
        name = f['FileName'].split('|')[-1].lower()
        if not name.endswith(('.dll', '.ocx')):
            continue
        if not f['Version']:
            problems.append(f'no version: {f["File"]}')
        elif name in built and built[name] != f['Version']:
            problems.append(f'version of {f["File"]}: {f["Version"]}, the file is {built[name]}')
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__)
        return 2
    problems = check(argv[1], argv[2:])
    for p in problems:
        print('  ' + p)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
