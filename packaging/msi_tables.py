"""A package's tables as msitools' msiinfo exports them (IDT: the column names, their types, the
table's name and keys, then one row per line, tab-separated), for the scripts that finish and
check the packages; and the registry keys that Windows keeps apart in each view."""
import re
import subprocess

# Windows 7 and later keep the classes root once for both registry views but for these keys.
KEPT_APART = re.compile(r'(CLSID|Interface|DirectShow|Media Type|MediaFoundation)(\\|$)',
                        re.IGNORECASE)


def export(msi, table):
    """The table's three header lines and its rows as lists; no rows when it has none."""
    out = subprocess.run(['msiinfo', 'export', msi, table], capture_output=True, text=True,
                         encoding='utf-8')
    if out.returncode != 0:
        return [], []
    lines = out.stdout.replace('\r\n', '\n').rstrip('\n').split('\n')
    return lines[:3], [line.split('\t') for line in lines[3:]]


def records(msi, table):
    """The table's rows, each as a dict by column name."""
    header, rows = export(msi, table)
    return [dict(zip(header[0].split('\t'), r)) for r in rows] if header else []
