#!/usr/bin/env python3
"""Checks the built help file dorvex.chm, read back with chmlib (libchm-bin), a reader that
shares no code with the compiler:

    python3 tests/help/check_help.py BUILT_CHM

- it holds every file of the project, its table of contents and index point at pages and
  anchors that exist, and every link and picture of the pages resolves inside it;
- its viewer window is titled "Dorvex Usage Notes" and opens the welcome page;
- the pages state what the program really does: every menu command of resources/dorvex.rc with
  its shortcut, every status of summary/entry_record.cpp with advice, the usage line of
  app/startup.cpp, the settings file, section and keys of settings/;
- the screenshot inside is the one in docs/, and compiling the same sources again gives the
  same bytes.

Exits non-zero if any check fails.
"""

import html.parser
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
HELP_DIR = os.path.join(ROOT, 'help')
WINDOW_TITLE = 'Dorvex Usage Notes'

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def read_text(path):
    with open(path, encoding='latin-1') as f:
        return f.read()


def source(relative):
    return read_text(os.path.join(ROOT, relative))


class Page(html.parser.HTMLParser):
    """Links, pictures, anchors, sitemap entries and table rows of one HTML file."""

    def __init__(self, text):
        super().__init__(convert_charrefs=True)
        self.links, self.pictures, self.anchors = [], [], set()
        self.sitemap = []  # (name, local or None)
        self.rows = []  # each a list of cell texts
        self.text = []
        self._object = None
        self._row = None
        self._cell = None
        self.feed(text)
        self.close()

    BLOCKS = {'p', 'br', 'td', 'th', 'tr', 'li', 'dt', 'dd', 'pre', 'h1', 'h2', 'div', 'table'}

    def handle_starttag(self, tag, attrs):
        a = {k: (v or '') for k, v in attrs}
        if tag in self.BLOCKS:
            self.text.append(' ')  # words of neighbouring blocks stay apart
        if tag == 'a':
            if 'href' in a:
                self.links.append(a['href'])
            if 'name' in a:
                self.anchors.add(a['name'])
        elif tag == 'img':
            self.pictures.append(a.get('src', ''))
        elif tag == 'link' and a.get('rel', '').lower() == 'stylesheet':
            self.links.append(a.get('href', ''))
        elif tag == 'object' and a.get('type', '').lower() == 'text/sitemap':
            self._object = {}
        elif tag == 'param' and self._object is not None:
            self._object[a.get('name', '').lower()] = a.get('value', '')
        elif tag == 'tr':
            self._row = []
        elif tag in ('td', 'th') and self._row is not None:
            self._cell = []
        elif tag == 'br' and self._cell is not None:
            self._cell.append(' ')

    def handle_endtag(self, tag):
        if tag == 'object' and self._object is not None:
            self.sitemap.append((self._object.get('name'), self._object.get('local')))
            self._object = None
        elif tag in ('td', 'th') and self._cell is not None:
            self._row.append(' '.join(''.join(self._cell).split()))
            self._cell = None
        elif tag == 'tr' and self._row is not None:
            self.rows.append(self._row)
            self._row = None

    def handle_data(self, data):
        self.text.append(data)
        if self._cell is not None:
            self._cell.append(data)

    def plain(self):
        return ' '.join(''.join(self.text).split())


def system_entries(data):
    """The #SYSTEM file as {code: bytes}."""
    entries, offset = {}, 4
    while offset + 4 <= len(data):
        code, length = struct.unpack_from('<HH', data, offset)
        entries[code] = data[offset + 4:offset + 4 + length]
        offset += 4 + length
    return entries


def zero_terminated(data, offset=0):
    end = data.index(b'\0', offset)
    return data[offset:end].decode('latin-1')


def project_options_and_files():
    options, files, section = {}, [], None
    for line in read_text(os.path.join(HELP_DIR, 'dorvex.hhp')).splitlines():
        line = line.strip()
        if line.startswith('['):
            section = line.upper()
        elif section == '[OPTIONS]' and '=' in line:
            key, value = line.split('=', 1)
            options[key.strip().lower()] = value.strip()
        elif section == '[FILES]' and line:
            files.append(line)
    return options, files


def menu_commands():
    """(command text, shortcut text or None) of every item of the program's menu resource."""
    items = []
    for match in re.finditer(r'MENUITEM\s+"([^"]*)"\s*,\s*IDM_\w+', source('resources/dorvex.rc')):
        text = match.group(1)
        label, _, shortcut = text.partition('\\t')
        label = label.replace('&', '').strip()
        shortcut = shortcut.strip()
        if shortcut.startswith('^'):
            shortcut = 'Ctrl+' + shortcut[1:]
        items.append((label, shortcut or None))
    return items


def status_texts():
    match = re.search(r'\{\s*("Not Verified".*?)\}', source('summary/entry_record.cpp'), re.DOTALL)
    texts = re.findall(r'"([^"]*)"', match.group(1)) if match else []
    # "Interrupted" marks a file the user stopped; it is never stored on an entry or shown.
    return [t for t in texts if t != 'Interrupted']


def check_contents(chm_dir):
    names = set()
    for folder, _, files in os.walk(chm_dir):
        for name in files:
            names.add(os.path.relpath(os.path.join(folder, name), chm_dir).replace(os.sep, '/'))

    options, project_files = project_options_and_files()
    for name in project_files:
        check(name in names, 'the help file lacks %s' % name)
    for name in (options.get('contents file'), options.get('index file')):
        check(name in names, 'the help file lacks %s' % name)
    check(len([n for n in project_files if n.endswith('.html')]) >= 8,
          'fewer topics than expected in dorvex.hhp')

    pages = {n: Page(read_text(os.path.join(chm_dir, n))) for n in names if n.endswith('.html')}

    def resolves(reference, where):
        if re.match(r'^[a-z]+:', reference):  # external address or mailto
            return True
        target, _, anchor = reference.partition('#')
        target = target or where
        if target not in names:
            return False
        return not anchor or (target in pages and anchor in pages[target].anchors)

    for name, page in sorted(pages.items()):
        check(page.text and page.plain(), '%s has no text' % name)
        for reference in page.links + page.pictures:
            check(resolves(reference, name),
                  '%s refers to %s, which is not in the help file' % (name, reference))

    # Window definition: title, contents, index and start page.
    system = system_entries(open(os.path.join(chm_dir, '#SYSTEM'), 'rb').read())
    check(zero_terminated(system.get(3, b'\0')) == WINDOW_TITLE,
          '#SYSTEM title is not %r' % WINDOW_TITLE)
    default_topic = zero_terminated(system.get(2, b'\0'))
    check(default_topic in pages, 'default topic %r is not a page of the help file' % default_topic)
    default_window = zero_terminated(system.get(5, b'\0'))
    windows = open(os.path.join(chm_dir, '#WINDOWS'), 'rb').read()
    strings = open(os.path.join(chm_dir, '#STRINGS'), 'rb').read()
    count, size = struct.unpack_from('<II', windows, 0)
    found = False
    for i in range(count):
        entry = windows[8 + i * size:8 + (i + 1) * size]
        def text_at(field):  # fields hold offsets into #STRINGS
            return zero_terminated(strings, struct.unpack_from('<I', entry, field)[0])

        if text_at(0x08) != default_window:
            continue
        found = True
        check(text_at(0x14) == WINDOW_TITLE,
              'window %r is not titled %r' % (default_window, WINDOW_TITLE))
        toc, index, start = text_at(0x60), text_at(0x64), text_at(0x68)
        check(toc == options.get('contents file') and index == options.get('index file'),
              'window %r does not show the contents and index' % default_window)
        check(start in pages, 'window %r starts at %r, not a page' % (default_window, start))
    check(found, 'no window definition named %r' % default_window)

    # Table of contents and index: entries point at pages and anchors inside.
    toc = Page(read_text(os.path.join(chm_dir, options['contents file'])))
    toc_targets = set()
    for title, local in toc.sitemap:
        check(bool(title), 'a contents entry has no name')
        if local:
            check(resolves(local, None), 'contents entry %r points at missing %s' % (title, local))
            toc_targets.add(local.partition('#')[0])
    for name in pages:
        check(name in toc_targets, 'page %s is not in the table of contents' % name)
    index = Page(read_text(os.path.join(chm_dir, options['index file'])))
    check(len(index.sitemap) >= 20, 'the index has fewer than 20 keywords')
    for keyword, local in index.sitemap:
        check(bool(local) and resolves(local, None),
              'index keyword %r points at missing %s' % (keyword, local))
    return pages


def check_facts(pages):
    def page(name):
        check(name in pages, 'no page %s' % name)
        return pages.get(name, Page(''))

    # Every menu command with its shortcut, in a row of the commands page.
    commands = page('commands.html')
    # Rows of the menu tables: command, shortcut, toolbar button, what it does.
    rows = {row[0]: row for row in commands.rows if len(row) == 4}
    for label, shortcut in menu_commands():
        name = label.rstrip('.').strip()
        row = rows.get(label) or rows.get(name)
        if not check(row is not None, 'commands.html has no row for %r' % label):
            continue
        cell = row[1] if len(row) > 1 else ''
        if shortcut:
            check(cell == shortcut,
                  'commands.html gives %r for %r, the menu says %r' % (cell, label, shortcut))
        else:
            check(cell.startswith('none'),
                  'commands.html gives a shortcut %r for %r, the menu has none' % (cell, label))
        check(len(row[3]) > 20, 'commands.html does not say what %r does' % label)

    # Every status that an entry can show, with what it means and what to do.
    statuses = page('statuses.html')
    texts = status_texts()
    check(len(texts) == 6,
          'expected six shown statuses in summary/entry_record.cpp, got %r' % texts)
    status_rows = {row[0]: row for row in statuses.rows if row}
    for text in texts:
        row = status_rows.get(text)
        if check(row is not None, 'statuses.html has no row for %r' % text):
            check(len(row) == 3 and len(row[1]) > 20 and len(row[2]) > 5,
                  'statuses.html does not explain %r and what to do' % text)

    # The command line: the usage line, and examples of each form.
    command_line = page('command-line.html')
    usage = re.search(r'kUsageText\[\]\s*=\s*"Usage: ([^"]*)"', source('app/startup.cpp'))
    check(usage and usage.group(1) in command_line.plain(),
          'command-line.html lacks the usage line')
    examples = re.findall(r'<pre>(.*?)</pre>',
                          read_text(os.path.join(HELP_DIR, 'command-line.html')), re.DOTALL)
    example_lines = [line for block in examples for line in block.splitlines()]
    forms = (('-g', r'^dorvex -g \S'), ('-c', r'^dorvex -c \S'),
             ('summary name', r'^dorvex [^-].*\.md5$'))
    for form, pattern in forms:
        check(any(re.match(pattern, line) for line in example_lines),
              'command-line.html has no example of %s' % form)

    # The settings file, its section and keys.
    settings = page('settings.html').plain()
    settings_source = source('settings/settings.cpp')
    ini = re.search(r'kSettingsFile\[\]\s*=\s*"([^"]+)"', settings_source).group(1)
    section = re.search(r'kSettingsSection\[\]\s*=\s*"([^"]+)"', settings_source).group(1)
    check(ini in settings and 'Windows' in settings,
          'settings.html does not say that %s is in the Windows folder' % ini)
    check('[%s]' % section in settings, 'settings.html does not name the section [%s]' % section)
    keys = re.findall(r'WriteInteger\("(\w+)"', settings_source)
    check(len(keys) >= 4, 'no placement keys found in settings/settings.cpp')
    keys += ['cw%d' % n for n in range(4)]  # FormatText "cw%d", one per list column
    keys += ['old%d' % n for n in (1, 4)]  # FormatText "old%d", the first and last recent entry
    for key in keys:
        check(re.search(r'\b%s\b' % re.escape(key), settings),
              'settings.html does not name the key %s' % key)

    # The summary format and md5sum, the Base Directory, and the picture of the window.
    check('md5sum' in page('file-format.html').plain(), 'file-format.html does not mention md5sum')
    check('Base Directory' in page('base-directory.html').plain(), 'base-directory.html is empty')
    for name in ('welcome.html', 'main-window.html'):
        check('main-window.png' in page(name).pictures, '%s does not show the screenshot' % name)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    chm = sys.argv[1]
    work = tempfile.mkdtemp(prefix='velmora-help-')
    try:
        chm_dir = os.path.join(work, 'chm')
        result = subprocess.run(['extract_chmLib', chm, chm_dir], stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)
        if not check(result.returncode == 0 and os.path.isdir(chm_dir),
                     'extract_chmLib failed: %s' % result.stdout):
            raise SystemExit
        pages = check_contents(chm_dir)
        check_facts(pages)
        print('help: %d pages in %s' % (len(pages), chm))

        with open(os.path.join(ROOT, 'docs', 'main-window.png'), 'rb') as f:
            picture = f.read()
        with open(os.path.join(chm_dir, 'main-window.png'), 'rb') as f:
            check(f.read() == picture,
                  'the screenshot in the help file is not docs/main-window.png')

        again = os.path.join(work, 'again', 'dorvex.chm')
        subprocess.run([sys.executable, os.path.join(ROOT, 'scripts', 'make_chm.py'), HELP_DIR,
                        os.path.join(ROOT, 'docs', 'main-window.png'), again], check=True)
        with open(chm, 'rb') as built, open(again, 'rb') as rebuilt:
            check(built.read() == rebuilt.read(),
                  'compiling the same help sources again gave other bytes')
    except SystemExit:
        pass
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for failure in failures:
        print('FAIL: %s' % failure)
    if failures:
        sys.exit(1)
    print('help: all checks passed')


if __name__ == '__main__':
    main()
