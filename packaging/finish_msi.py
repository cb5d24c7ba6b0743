#!/usr/bin/env python3
"""Finishes a package that wixl built, with msitools' msibuild (scripts/package runs it):

  finish_msi.py MSI VERSION

- Vietnamese names: the database takes code page 1258 (Vietnamese), and the product, its maker
  and Word's entry for the add-in (FriendlyName, Description) read in Vietnamese. wixl stores
  ASCII only; msibuild converts the UTF-8 of an imported table to the database's code page.
- File versions: the libraries' rows of the File table carry the version of their version
  resource (VERSION.0, from the project's version) and its language, so that Windows Installer
  replaces them by version; a versioned file has no row in MsiFileHash.
"""
import os
import subprocess
import sys
import tempfile

from msi_tables import export as exported

PRODUCT = 'Chữ ký số'
ADDIN_DESCRIPTION = 'Chèn chữ ký và ký số văn bản'
ADDIN_KEY = 'Software\\Microsoft\\Office\\Word\\Addins\\Penvane.Connect'
LIBRARIES = ('.dll', '.ocx')
LANGUAGE = '1033'  # the version resources' language (0x0409)


def export(msi, table):
    header, rows = exported(msi, table)
    if not header:
        sys.exit(f'finish_msi: no {table} table in {msi}')
    return header, rows


def build(msi, *args):
    subprocess.run(['msibuild', msi, *args], check=True)


def put(msi, name, header, table):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, name + '.idt')
        with open(path, 'w', encoding='utf-8', newline='\r\n') as out:
            out.write('\n'.join(header + ['\t'.join(r) for r in table]) + '\n')
        build(msi, '-i', path)


def main(msi, version):
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, '_ForceCodepage.idt')
        with open(path, 'wb') as out:
            out.write(b'\r\n\r\n1258\t_ForceCodepage\r\n')
        build(msi, '-i', path)

    header, table = export(msi, 'Registry')
    names = {'FriendlyName': PRODUCT, 'Description': ADDIN_DESCRIPTION}
    changed = 0
    for r in table:
        if r[2].rstrip('\\').lower() == ADDIN_KEY.lower() and r[3] in names:
            r[4] = names[r[3]]
            changed += 1
    if not changed:
        sys.exit(f'finish_msi: no entry for the add-in in {msi}')
    put(msi, 'Registry', header, table)

    header, table = export(msi, 'Property')
    for r in table:
        if r[0] in ('ProductName', 'Manufacturer'):
            r[1] = PRODUCT
    put(msi, 'Property', header, table)

    header, table = export(msi, 'File')
    versioned = []
    for r in table:
        if r[2].lower().endswith(LIBRARIES):  # FileName: "short|long" or the name alone
            r[4], r[5] = version + '.0', LANGUAGE
            versioned.append(r[0])
    put(msi, 'File', header, table)
    header, hashes = export(msi, 'MsiFileHash')
    put(msi, 'MsiFileHash', header, [r for r in hashes if r[0] not in versioned])


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
