#!/usr/bin/python3
"""The web edition in headless Chromium, against the site served over HTTP.

Each check plays the same inputs in the browser and, through web_reference,
on the portable code natively with the tests' fake services, and compares
what the two show: the title, the mode, the cities, the status texts, the
pixels outside the texts, and the bytes of saved files.

usage: test_web.py TEST_SITE_DIR REFERENCE_DIR OUTPUT_DIR [TEST]...
"""
import atexit
import base64
import functools
import http.server
import json
import re
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

SITE, REFERENCE, OUTPUT = sys.argv[1:4] if len(sys.argv) >= 4 else (None, None, None)
CLOCK = 1000000000
# Command ids and key codes as the build wrote them from the program's tables.
TABLES = {'command': {}, 'virtualKey': {}}
if SITE:
    with open(os.path.join(SITE, 'tables.json'), encoding='utf-8') as tables_file:
        TABLES = json.load(tables_file)
COMMAND = TABLES['command']
KEY_ADD, KEY_UP, KEY_ESCAPE = (TABLES['virtualKey'].get(name) for name in ('add', 'up', 'escape'))


def menu_title(command):
    """The selector of the title of the menu that holds a command, as the menu table places it."""
    for place, (_, items) in enumerate(TABLES['menuRows'], 1):
        if any(item and item[1] == command for item in items):
            return f'.menu:nth-child({place}) > button'
    raise KeyError(command)
TITLES = {'public': '"Orvanta" Public Version 11', 'profi': '"Orvanta" Profi Release 11'}
# Every temporary folder of the run (browser profiles, downloads, files) lies here.
TEMP = tempfile.mkdtemp(prefix='orvanta-web-test-')
atexit.register(shutil.rmtree, TEMP, ignore_errors=True)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm'}

    def log_message(self, *args):
        pass


class UncachedHandler(QuietHandler):
    """A server that lets the browser keep nothing without asking again."""

    def end_headers(self):
        self.send_header('Cache-Control', 'max-age=0')
        super().end_headers()


def serve(directory, handler=QuietHandler):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(handler, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f'http://127.0.0.1:{server.server_address[1]}'


def chromium(downloads, width=800, height=600, profile=None, language='ru-RU'):
    """A headless Chromium whose browser language is `language` (Russian, the
    program's source language, unless a test asks for another); `profile` is
    a folder of its user data to start from again (the sites it kept), else a
    new one."""
    profile = profile or tempfile.mkdtemp(prefix='chromium-', dir=TEMP)
    options = Options()
    options.add_argument(f'--lang={language}')
    options.add_experimental_option('prefs', {'intl.accept_languages': language})
    for flag in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 f'--window-size={width},{height}', f'--user-data-dir={profile}'):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    options.binary_location = '/usr/bin/chromium'
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    return driver


def wait_for(condition, timeout=10.0, what='condition'):
    """The timeouts are wide: a correct page answers at once, a loaded machine
    may still take seconds, and a wrong one never does. Each is stretched
    fourfold and to a minute at least, since a page started offline from the
    kept site compiles its WebAssembly afresh, which a busy machine has taken
    longer than 15 s to do; waiting longer costs only a failing run's time."""
    end = time.monotonic() + max(4 * timeout, 60.0)
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f'timed out waiting for {what}')
        time.sleep(0.05)


def read_ppm(path):
    with open(path, 'rb') as file:
        data = file.read()
    parts = data.split(b'\n', 3)
    width, height = map(int, parts[1].split())
    return width, height, parts[3]


def reference(edition, width, height, steps, folder):
    """Plays the steps natively in `folder`, where the files they name are."""
    picture = os.path.join(folder, 'reference.ppm')
    tool = os.path.abspath(os.path.join(REFERENCE, f'web_reference_{edition}'))
    out = subprocess.run([tool, str(width), str(height), str(CLOCK), picture, *steps], cwd=folder,
                         check=True, capture_output=True, text=True, timeout=60).stdout
    result = {'cities': [], 'texts': [], 'picture': read_ppm(picture)}
    for line in out.splitlines():
        kind, _, rest = line.partition(' ')
        if kind == 'city':
            result['cities'].append(tuple(map(int, rest.split())))
        elif kind == 'text':
            x, y, text = rest.split(' ', 2)
            result['texts'].append((int(x), int(y), text))
        elif kind in ('mode', 'beeps'):
            result[kind] = int(rest)
        elif kind == 'title':
            result['title'] = rest
    return result


def map_record(cities, side, count=None, version=2, grid=None):
    """A map file's bytes: the header (no solution), the cities."""
    grid = side if grid is None else grid
    header = struct.pack('<11i', version, 0, CLOCK, 0, 0, 0, 0, grid, grid,
                         len(cities) if count is None else count, 0)
    header += bytes(292 - len(header))
    body = b''.join(struct.pack('<2i', x, y) for x, y in cities).ljust(144, b'\0')
    return (header + body).ljust(512, b'\0')


def plain(text):
    """A text as a screen reader's words: no commas, single spaces."""
    return ' '.join(text.replace(',', ' ').split())


def ax_texts(driver):
    """Chromium's accessibility tree, read as a screen reader would: the text
    of every node it shows, the board's description and the politeness of
    every live region."""
    nodes = driver.execute_cdp_cmd('Accessibility.getFullAXTree', {})['nodes']
    texts, board, live = [], '', []
    for node in nodes:
        if node.get('ignored'):
            continue
        name = node.get('name', {}).get('value', '')
        role = node.get('role', {}).get('value', '')
        if role == 'StaticText':
            texts.append(name)
        if name == 'Карта городов':
            board = node.get('description', {}).get('value', '')
        for prop in node.get('properties', []):
            if prop['name'] == 'live' and role == 'status':
                live.append(prop['value']['value'])
    return {'text': plain(' | '.join(texts)), 'board': board, 'live': live}


# Every text the page shows outside the canvas, with its colour's contrast
# against what lies behind it (the backgrounds of it and its ancestors
# blended over white), computed as WCAG 2 defines it; the lowest first.
CONTRAST_SCRIPT = """
const parse = (colour) => (colour.match(/[\\d.]+/g) || []).map(Number);
const linear = (v) => (v / 255 <= 0.03928 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4);
const luminance = ([r, g, b]) => 0.2126 * linear(r) + 0.7152 * linear(g) + 0.0722 * linear(b);
function behind(element) {
  const layers = [];
  for (let e = element; e; e = e.parentElement) {
    const c = parse(getComputedStyle(e).backgroundColor);
    if (c.length === 4 && c[3] === 0) continue;
    layers.unshift(c);
    if (c.length === 3 || c[3] === 1) break;
  }
  return layers.reduce((under, c) => under.map((v, i) => v * (1 - (c[3] ?? 1)) + c[i] * (c[3] ?? 1)), [255, 255, 255]);
}
const found = [];
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
for (let node = walker.nextNode(); node; node = walker.nextNode()) {
  const element = node.parentElement;
  if (!node.textContent.trim() || element.closest('.visually-hidden, noscript, script')) continue;
  const range = document.createRange();
  range.selectNodeContents(node);
  const style = getComputedStyle(element);
  if (!range.getClientRects().length || style.visibility !== 'visible') continue;
  const [light, dark] = [luminance(parse(style.color)), luminance(behind(element))].sort((a, b) => b - a);
  found.push({text: node.textContent.trim().slice(0, 30), ratio: (light + 0.05) / (dark + 0.05)});
}
return found.sort((a, b) => a.ratio - b.ratio);
"""


def assert_readable(test, driver, what):
    """Every text shown has a contrast of at least 4.5:1."""
    texts = driver.execute_script(CONTRAST_SCRIPT)
    test.assertTrue(texts, f'{what}: texts to read')
    worst = texts[0]
    test.assertGreaterEqual(worst['ratio'], 4.5, f'{what}: {worst["text"]!r} at {worst["ratio"]:.2f}:1')


class Page:
    def __init__(self, driver, base, edition):
        self.driver, self.base, self.edition = driver, base, edition

    def load(self, query=f'clock={CLOCK}'):
        self.driver.get(f'{self.base}/{self.edition}.html?{query}')
        wait_for(lambda: self.js('return !!(window.orvanta && window.orvanta.ready)'), 15, 'the page to start')
        wait_for(lambda: self.js('return window.orvanta.firstPaintMilliseconds !== null'), 15, 'the first paint')

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def size(self):
        return tuple(self.js('const b = document.getElementById("board"); return [b.clientWidth, b.clientHeight];'))

    def inspect(self):
        return self.js('return window.orvanta.inspect();')

    def texts(self):
        return self.js('return window.orvanta.texts;')

    def beeps(self):
        return self.js('return window.orvanta.beeps;')

    def canvas_pixels(self):
        encoded = self.js('''
            const canvas = document.getElementById('canvas');
            const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            let text = '';
            for (let i = 0; i < data.length; i += 0x8000) text += String.fromCharCode.apply(null, data.subarray(i, i + 0x8000));
            return [canvas.width, canvas.height, btoa(text)];''')
        return encoded[0], encoded[1], base64.b64decode(encoded[2])

    def click(self, x, y, right=False):
        left, top = self.js('const r = document.getElementById("canvas").getBoundingClientRect(); return [r.left, r.top];')
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(left + x), int(top + y))
        if right:
            actions.pointer_action.context_click()
        else:
            actions.pointer_action.click()
        actions.perform()

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def menu(self, command):
        item = self.driver.find_element(By.CSS_SELECTOR, f'button[data-command="{command}"]')
        item.find_element(By.XPATH, '../../button').click()
        item.click()

    def open_file(self, command, path):
        picker = 'open-map' if command == COMMAND['openMap'] else 'open-game'
        self.driver.find_element(By.ID, picker).send_keys(path)

    def settle(self):
        """Lets queued repaints and a tick of the clock's timer happen."""
        time.sleep(0.35)
        self.js('return new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)));')


class WebEditionTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server, cls.base = serve(SITE)
        cls.scratch = tempfile.mkdtemp(prefix='files-', dir=TEMP)
        cls.downloads = os.path.join(cls.scratch, 'downloads')
        os.makedirs(cls.downloads)

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    browser_language = 'ru-RU'

    def setUp(self):
        self.driver = chromium(self.downloads, language=self.browser_language)
        self.addCleanup(self.driver.quit)

    # ---- comparisons with the desktop ---------------------------------------------------

    def folder(self, edition):
        """Where an edition's files are: the browser opens them from here, and
        the desktop's side saves and opens them here by their bare names, so
        that its titles name them as the page's do."""
        path = os.path.join(self.scratch, edition)
        os.makedirs(path, exist_ok=True)
        return path

    def assertSameAsDesktop(self, page, steps, pixels=True):
        width, height = page.size()
        expected = reference(page.edition, width, height, steps, self.folder(page.edition))
        texts = page.texts()
        self.assertEqual([(t['x'], t['y'], t['text']) for t in texts], expected['texts'])
        self.assertEqual(page.driver.title, '"Orvanta"' + expected['title'])
        board = page.inspect()
        self.assertEqual(board['mode'], expected['mode'])
        self.assertEqual([tuple(c) for c in board['cities']], [c[:2] for c in expected['cities']])
        self.assertEqual(page.beeps(), expected['beeps'])
        if pixels:
            self.assertBoardPixels(page, expected['picture'], texts)
        return expected

    def assertBoardPixels(self, page, picture, texts):
        width, height, rgb = picture
        canvas_width, canvas_height, rgba = page.canvas_pixels()
        self.assertEqual((canvas_width, canvas_height), (width, height))
        planes = [bytearray(rgb[c::3]) for c in range(3)]
        shown = [bytearray(rgba[c::4]) for c in range(3)]
        # The texts are the front ends' own (fonts differ); their boxes are left out.
        for text in texts:
            x0, x1 = max(0, text['x'] - 2), min(width, text['x'] + int(text['width']) + 3)
            for y in range(max(0, text['y'] - 2), min(height, text['y'] + 18)):
                for plane in planes + shown:
                    plane[y * width + x0:y * width + x1] = bytes(max(0, x1 - x0))
        for c in range(3):
            if planes[c] != shown[c]:
                wrong = [i for i in range(len(planes[c])) if planes[c][i] != shown[c][i]]
                self.fail(f'{len(wrong)} pixels differ from the desktop picture, the first at '
                          f'({wrong[0] % width}, {wrong[0] // width})')

    def wait_for_download(self, name, size):
        path = os.path.join(self.downloads, name)
        wait_for(lambda: os.path.exists(path) and os.path.getsize(path) == size, 10, f'the download {name}')
        with open(path, 'rb') as file:
            data = file.read()
        os.remove(path)
        return data

    def play_edition(self, edition):
        page = Page(self.driver, self.base, edition)
        page.load()
        self.assertEqual(self.driver.title, TITLES[edition])
        # The personal number lives in the browser's storage and is read at start.
        page.js('localStorage.setItem("orvanta.user.txt", "  0x1F\\n");')
        page.load()
        steps = ['personal:31']
        first = self.assertSameAsDesktop(page, steps)
        cities = first['cities']
        self.assertEqual(len(cities), 8)

        # A trip by clicks: the first click starts the game, then every city in turn.
        for index in [0] + list(range(1, len(cities) - 1)):
            page.click(*cities[index][2:])
            steps.append('click:%d,%d' % cities[index][2:])
        page.js(f'window.orvanta.setClock({CLOCK + 3});')
        steps.append(f'clock:{CLOCK + 3}')
        page.settle()
        self.assertSameAsDesktop(page, steps, pixels=False)
        self.assertTrue(any('Время   3 сек' in t['text'] for t in page.texts()), 'the game clock runs')
        page.click(*cities[-1][2:])
        steps.append('click:%d,%d' % cities[-1][2:])
        page.settle()
        self.assertEqual(page.inspect()['playerRouteLength'], len(cities) + 1)
        # The closed trip stopped the clock: later seconds do not show.
        page.js(f'window.orvanta.setClock({CLOCK + 50});')
        page.settle()
        self.assertSameAsDesktop(page, steps)
        steps.append(f'clock:{CLOCK + 50}')

        # "+": the exact solve in the worker, then the grade or the route and
        # spectrum; a quick solve shows no progress line before its result.
        page.js('''const state = window.orvanta; let texts = state.texts; state.redrawn = [];
                   Object.defineProperty(state, 'texts', {configurable: true, get: () => texts,
                                                          set: (v) => { texts = v; state.redrawn.push(v); }});''')
        page.keys(Keys.ADD)
        wait_for(lambda: page.inspect()['solved'] == 1, 10, 'the solve')
        page.settle()
        redrawn = page.js('return window.orvanta.redrawn.map(list => list.map(t => t.text).join(" | "));')
        self.assertTrue(redrawn, 'the solved board was drawn')
        self.assertFalse([texts for texts in redrawn if 'Поиск решения' in texts])
        steps.append(f'key:{KEY_ADD}')
        self.assertSameAsDesktop(page, steps)
        texts = ' | '.join(t['text'] for t in page.texts())
        if edition == 'public':
            self.assertIn('Результат в пределах', texts)
        else:
            self.assertIn('Спектр путей', texts)
            self.assertIn('Суммарный путь', texts)
        self.driver.save_screenshot(os.path.join(OUTPUT, f'{edition}-solved.png'))

        # Saving: downloads under the proposed name, the desktop's bytes.
        for command, name, size in ((COMMAND['saveGame'], 'untitled.rvb', 600), (COMMAND['saveMap'], 'untitled.rva', 512)):
            page.menu(command)
            saved = self.wait_for_download(name, size)
            expected_path = os.path.join(self.folder(edition), name)
            steps.append(('save-game:' if size == 600 else 'save-map:') + name)
            page.settle()
            self.assertSameAsDesktop(page, steps, pixels=False)
            with open(expected_path, 'rb') as file:
                self.assertEqual(saved, file.read(), f'the saved {name}')

        # Foreign files: refused (a beep, nothing changes) or brought into range as on the desktop.
        hostile = {
            'short.rva': map_record([(1, 1), (2, 2)], 11)[:511],
            'version.rva': map_record([(1, 1), (2, 2)], 11, version=3),
            'grid.rva': map_record([(1, 1), (2, 2)], 11, grid=0x7FFFFFFF),
            'counts.rva': map_record([(-2**31, 2**31 - 1), (2**31 - 1, -2**31), (5, 5)], 11, count=2**31 - 1),
        }
        for name, data in hostile.items():
            path = os.path.join(self.folder(edition), name)
            with open(path, 'wb') as file:
                file.write(data)
            before = (page.inspect(), self.driver.title, page.beeps())
            page.open_file(COMMAND['openMap'], path)
            wait_for(lambda: (page.inspect(), self.driver.title, page.beeps()) != before, 5, f'opening {name}')
            page.settle()
            steps.append('open-map:' + name)
            if name != 'counts.rva':
                self.assertEqual(page.beeps(), before[2] + 1, f'{name} is refused')
                self.assertEqual((page.inspect(), self.driver.title), before[:2], f'{name} changes nothing')
            self.assertSameAsDesktop(page, steps)
        # The saved game opens again.
        page.open_file(COMMAND['openGame'], os.path.join(self.folder(edition), 'untitled.rvb'))
        wait_for(lambda: ' - Игра ' in self.driver.title, 15, 'the saved game to open')
        page.settle()
        steps.append('open-game:untitled.rvb')
        self.assertSameAsDesktop(page, steps)

    def test_public_edition(self):
        self.play_edition('public')

    def test_profi_edition(self):
        self.play_edition('profi')

    def test_long_solve_in_worker_shows_progress_and_stops_on_escape(self):
        page = Page(self.driver, self.base, 'public')
        page.load()
        # 16 cities on three neighbouring rows of the 10000-grid, 450 apart:
        # a board that takes the solver about a minute (the diagonal of the 41-grid
        # is counted at once).
        path = os.path.join(self.folder('public'), 'slow.rva')
        with open(path, 'wb') as file:
            file.write(map_record([(450 * i, i % 3) for i in range(16)], 10000))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: page.inspect()['cityCount'] == 16, 15, 'the slow map')
        steps = ['open-map:slow.rva']
        page.settle()
        self.assertSameAsDesktop(page, steps)
        page.keys(Keys.ADD)
        solving = lambda: [t['text'] for t in page.texts() if 'Поиск решения' in t['text']]
        wait_for(solving, 15, 'the progress line')
        wait_for(lambda: page.js('return window.orvanta.solveProgressMessages') > 2, 15, 'progress from the worker')
        # The page answers meanwhile: the About box opens and closes, the
        # seconds of the solve go on.
        started = time.monotonic()
        page.keys('?')
        wait_for(lambda: page.js('return document.getElementById("about").open'), 15, 'the About box')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: not page.js('return document.getElementById("about").open'), 15, 'the About box to close')
        # A page blocked by the solve would answer only when it ends, minutes on.
        self.assertLess(time.monotonic() - started, 30.0)
        # So does an Esc that closes a menu.
        ActionChains(self.driver).key_down(Keys.ALT).send_keys('b').key_up(Keys.ALT).perform()
        wait_for(lambda: page.js('return document.querySelector(".menu.open") !== null'), 15, 'the Game menu')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: page.js('return document.querySelector(".menu.open") === null'), 15, 'the menu to close')
        page.js(f'window.orvanta.setClock({CLOCK + 2});')
        share = lambda seconds: any(re.fullmatch(rf'\d+\.\d\d %, {seconds} сек', t['text']) for t in page.texts())
        wait_for(lambda: share(2), 15, 'the solve still running after the About box')
        self.assertEqual(page.inspect()['solved'], 0)
        # Esc stops it: the board stays as it was, unsolved.
        page.keys(Keys.ESCAPE)
        wait_for(lambda: not solving(), 15, 'the solve to stop')
        page.settle()
        steps.append(f'clock:{CLOCK + 2}')
        self.assertSameAsDesktop(page, steps)
        self.assertEqual(page.inspect()['solved'], 0)
        # A fresh worker takes the next solve.
        page.keys(Keys.ADD)
        wait_for(solving, 15, 'a second solve')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: not solving(), 15, 'the second solve to stop')
        # A worker that fails ends its solve without a result, and the next
        # solve gets a worker that works.
        page.js(f'window.orvanta.breakNextWorker(); window.orvanta.keyRelease({KEY_ADD});')
        wait_for(lambda: page.js('return window.orvanta.workerErrors') == 1, 15, 'the worker to fail')
        wait_for(lambda: not solving(), 15, 'the failed solve to end')
        self.assertEqual(page.inspect()['solved'], 0)
        page.keys(Keys.ADD)
        wait_for(lambda: any('Поиск решения' in t for t in solving()), 15, 'a solve after the failure')
        before = page.js('return window.orvanta.solveProgressMessages')
        wait_for(lambda: page.js('return window.orvanta.solveProgressMessages') > before, 15, 'its progress')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: not solving(), 15, 'that solve to stop')

    def test_screen_reader_follows_a_game(self):
        # What Chromium's accessibility tree gives a screen reader while the
        # texts are pixels of the picture: the status texts, the board's
        # description, and a live region that announces a solve's progress,
        # its end and the grade.
        page = Page(self.driver, self.base, 'public')
        page.load()
        spoken = lambda: ax_texts(self.driver)
        said = lambda: page.js('return document.getElementById("announcer").textContent')
        self.assertIn(plain(page.texts()[0]['text']), spoken()['text'], 'the mode line')
        self.assertRegex(spoken()['board'], r'городов 8, сетка 11x11')
        cities = [tuple(c) for c in page.js('return window.orvanta.cityPoints();')]
        for point in cities:
            page.click(*point)
        page.settle()
        self.assertIn('Путь замкнут, городов в пути 8', spoken()['board'])
        page.keys(Keys.ADD)
        wait_for(lambda: 'Решение найдено' in said(), 15, 'the end of the solve announced')
        grade = [t['text'] for t in page.texts() if 'Результат в пределах' in t['text']]
        self.assertTrue(grade)
        self.assertIn(plain(grade[0]), plain(said()), 'the grade announced')
        self.assertIn(plain(grade[0]), spoken()['text'], 'the grade')
        live = spoken()['live']
        self.assertEqual(live, ['polite'])

        # A slow solve: its progress as text, announced now and then, and its stop.
        path = os.path.join(self.folder('public'), 'slow.rva')
        with open(path, 'wb') as file:
            file.write(map_record([(450 * i, i % 3) for i in range(16)], 10000))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: page.inspect()['cityCount'] == 16, 15, 'the slow map')
        page.keys(Keys.ADD)
        wait_for(lambda: 'Поиск решения' in spoken()['text'], 15, 'the progress as text')
        wait_for(lambda: re.search(r'Поиск решения… \d+\.\d\d %', said()), 20, 'the progress announced')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: 'Поиск решения прерван' in said(), 15, 'the stop announced')
        self.assertNotIn('Поиск решения…', spoken()['text'])

    def test_window_size_menus_by_keys_dialogs_manual_and_exit(self):
        page = Page(self.driver, self.base, 'public')
        page.load()
        steps = []
        # The picture follows the window's size.
        before = page.size()
        self.driver.set_window_size(700, 520)
        wait_for(lambda: page.size() != before, 15, 'the new size')
        page.settle()
        self.assertSameAsDesktop(page, steps)
        # A right click in the generator makes a new map (from a later clock).
        page.js(f'window.orvanta.setClock({CLOCK + 5});')
        page.click(20, 200, right=True)
        page.settle()
        steps += [f'clock:{CLOCK + 5}', 'right:20,200']
        self.assertSameAsDesktop(page, steps)
        # Alt and a menu's letter open it, an item's letter chooses it, on the
        # keys of the Russian layout whichever layout is active: Alt+И, Н.
        ActionChains(self.driver).key_down(Keys.ALT).send_keys('b').key_up(Keys.ALT).perform()
        wait_for(lambda: page.js('return document.querySelector(".menu.open") !== null'), 15, 'the Game menu')
        assert_readable(self, self.driver, 'an open menu')
        page.keys('y')
        page.settle()
        steps.append(f'command:{COMMAND["startGame"]}')
        self.assertSameAsDesktop(page, steps)
        self.assertEqual(page.inspect()['mode'], 2)
        # A click on the board while the About box is open only closes the box
        # (a right click would start the trip again).
        page.js('window.orvanta.click(false, ...window.orvanta.cityPoints()[1]);')
        page.settle()
        before = page.inspect()
        self.assertEqual(before['route'], [0, 1])
        page.keys('?')
        wait_for(lambda: page.js('return document.getElementById("about").open'), 15, 'the About box')
        self.assertEqual(page.js('return ["about-caption", "about-name"].map((id) => document.getElementById(id).textContent)'),
                         ['О программе', 'Orvanta'])
        assert_readable(self, self.driver, 'the About box')
        page.click(5, 5, right=True)
        wait_for(lambda: not page.js('return document.getElementById("about").open'), 15, 'the click to close it')
        page.settle()
        self.assertEqual(page.inspect(), before)

        # The personal number's dialog keeps the number in the browser; the
        # next start writes it into the saved files.
        page.menu(COMMAND['personalNumber'])
        wait_for(lambda: page.js('return document.getElementById("personal").open'), 15, 'the number dialog')
        field = self.driver.find_element(By.ID, 'personal-text')
        self.assertEqual(field.get_attribute('value'), '0')
        assert_readable(self, self.driver, 'the personal number dialog')
        field.clear()
        field.send_keys('77')
        self.driver.find_element(By.CSS_SELECTOR, '#personal button[value="save"]').click()
        self.assertEqual(page.js('return localStorage.getItem("orvanta.user.txt")'), '77')
        page.load()
        page.menu(COMMAND['saveMap'])
        saved = self.wait_for_download('untitled.rva', 512)
        self.assertEqual(struct.unpack_from('<i', saved, 4)[0], 77)

        # The manual is a page of the site, opened beside the game.
        page.menu(COMMAND['readManual'])
        wait_for(lambda: len(self.driver.window_handles) == 2, 15, 'the manual')
        game = self.driver.current_window_handle
        self.driver.switch_to.window([h for h in self.driver.window_handles if h != game][0])
        wait_for(lambda: 'Руководство' in self.driver.title, 15, 'the manual page')
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'app', 'help.txt'),
                  encoding='utf-8') as file:
            first_line = file.readline().strip()
        # Reflowed for any width: headings and paragraphs, no line of the
        # text file breaking into steps, and touch and keys described.
        manual = self.driver.find_element(By.CSS_SELECTOR, 'article.manual')
        self.assertIn(first_line, manual.text)
        self.assertIn('Касание числа городов', manual.text)
        self.assertGreaterEqual(len(manual.find_elements(By.TAG_NAME, 'h2')), 8)
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                                    {'width': 320, 'height': 568, 'deviceScaleFactor': 1, 'mobile': True})
        width, lines = page.js('''const p = Array.from(document.querySelectorAll('article p')).find((e) =>
            e.textContent.startsWith('Решение ЗК ищется рядом с окном'));
            return [document.documentElement.scrollWidth, Math.round(p.getBoundingClientRect().height / parseFloat(getComputedStyle(p).lineHeight))];''')
        self.assertLessEqual(width, 320)
        self.assertGreater(lines, 10, 'a paragraph fills the narrow screen')
        assert_readable(self, self.driver, 'the manual')
        self.driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
        # Its link back closes the manual's tab and leaves the game as it was.
        self.driver.find_element(By.ID, 'back').click()
        wait_for(lambda: len(self.driver.window_handles) == 1, 15, 'the manual to close')
        self.driver.switch_to.window(game)

        # A name the single-byte code page cannot spell keeps its real
        # characters in the title and in the name a save proposes.
        name = 'карта ✓ %s %n ✓'
        path = os.path.join(self.folder('public'), name + '.rva')
        with open(path, 'wb') as file:
            file.write(map_record([(1, 1), (5, 5), (9, 2)], 11))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: self.driver.title == '"Orvanta" - Карта ' + name, 15, 'the real name in the title')
        page.menu(COMMAND['saveMap'])
        self.wait_for_download(name + '.rva', 512)

        # "Выход" ends the program: the page says so, takes no more input and
        # offers to start again, with nothing said on the console.
        self.driver.get_log('browser')
        page.menu(COMMAND['exitProgram'])
        wait_for(lambda: page.js('return !document.getElementById("ended").hidden'), 15, 'the end')
        self.assertTrue(page.js('return document.getElementById("menubar").hidden && window.orvanta.ended'))
        # Alone on the page, with a restart a finger can hit.
        self.assertEqual(page.js('return ["menubar", "screen"].map((id) => document.getElementById(id).getClientRects().length)'),
                         [0, 0])
        self.assertGreaterEqual(page.js('return document.querySelector("#ended a").getBoundingClientRect().height'), 44)
        assert_readable(self, self.driver, 'the ended page')
        self.assertEqual(self.driver.get_log('browser'), [])
        self.driver.find_element(By.CSS_SELECTOR, '#ended a').click()
        wait_for(lambda: page.js('return !!(window.orvanta && window.orvanta.ready && !window.orvanta.ended)'), 15,
                 'the program to start again')

    def test_keyboard_alone_plays_a_trip_to_its_grade(self):
        page = Page(self.driver, self.base, 'public')
        page.load()
        key = TABLES['virtualKey']
        active = lambda: page.js('const a = document.activeElement; return a.id || a.className || a.tagName;')
        # Enter on a menu's title opens that menu and does not reach the board.
        page.keys(Keys.TAB)
        page.keys(Keys.ENTER)
        wait_for(lambda: page.js('return document.querySelector(".menu.open") !== null'), 15, 'the menu')
        page.keys(Keys.ESCAPE)
        page.settle()
        self.assertEqual(page.inspect()['mode'], 1)
        # Tab goes from the menus' titles to the board, which shows that it has the focus.
        passed = []
        for _ in range(8):
            page.keys(Keys.TAB)
            passed.append(active())
            if passed[-1] == 'canvas':
                break
        self.assertEqual(passed[-1], 'canvas', passed)
        self.assertEqual(set(passed[:-1]), {'BUTTON'}, passed)
        self.assertEqual(page.js('const c = document.getElementById("canvas"); '
                                 'return c.matches(":focus-visible") && getComputedStyle(c).outlineStyle;'), 'solid')
        steps = []
        cities = self.assertSameAsDesktop(page, steps)['cities']

        # Enter starts the game with the cursor on the first city; Page Down and
        # Enter or Space pick every other city in turn, and the last closes the trip.
        page.keys(Keys.ENTER)
        steps.append(f'key:{key["enter"]}')
        for i in range(1, len(cities)):
            pick = (Keys.SPACE, key['space']) if i % 2 else (Keys.ENTER, key['enter'])
            page.keys(Keys.PAGE_DOWN, pick[0])
            steps += [f'key:{key["pageDown"]}', f'key:{pick[1]}']
        page.settle()
        self.assertEqual(page.inspect()['playerRouteLength'], len(cities) + 1)
        page.keys(Keys.ADD)
        wait_for(lambda: page.inspect()['solved'] == 1, 10, 'the solve')
        page.settle()
        steps.append(f'key:{KEY_ADD}')
        # The cursor's two rings are drawn as on the desktop.
        self.assertSameAsDesktop(page, steps)
        _, _, rgba = page.canvas_pixels()
        self.assertEqual(sum(1 for i in range(0, len(rgba), 4) if rgba[i:i + 3] == b'\0\0\0'), 88)
        texts = ' | '.join(t['text'] for t in page.texts())
        self.assertRegex(texts, r'Городов в пути  8    Результат в пределах \d+ % от решения ЗК')
        self.driver.save_screenshot(os.path.join(OUTPUT, 'public-keyboard.png'))
        # Delete starts the trip again, as a right click does.
        page.keys(Keys.DELETE)
        page.settle()
        self.assertEqual(page.inspect()['playerRouteLength'], 1)

    def test_eighteen_cities_solved_in_worker(self):
        page = Page(self.driver, self.base, 'profi')
        page.load()
        page.keys(*([Keys.UP] * 10))
        wait_for(lambda: page.inspect()['cityCount'] == 18, 15, '18 cities')
        page.keys(Keys.ADD)
        wait_for(lambda: page.inspect()['solved'] == 1, 30, 'the 18-city solve')
        page.settle()
        self.assertSameAsDesktop(page, [f'key:{KEY_UP}'] * 10 + [f'key:{KEY_ADD}'])
        elapsed, solving, first_paint = page.js('const o = window.orvanta; return [o.lastSolveMilliseconds, '
                                                'o.lastSolveInWorkerMilliseconds, o.firstPaintMilliseconds];')
        print(f'\n18-city solve: {solving:.1f} ms in the worker, {elapsed:.1f} ms from the key to the result; '
              f'first map painted {first_paint:.0f} ms after the navigation started', file=sys.stderr)
        # Wide margins: a loaded machine must not fail a correct program.
        self.assertLess(first_paint, 10000)
        self.assertLess(elapsed, 10000)
        # A diagonal the editor draws, two cities moved off it: the search
        # settles it by the walk below a gap, which leaves the walk by an
        # exception. The worker solves it as the desktop does.
        cities = [(2 + 2 * i, 2 + 2 * i) for i in range(18)]
        cities[1] = (cities[1][0] + 1, cities[1][1])
        cities[2] = (cities[2][0], cities[2][1] + 1)
        path = os.path.join(self.folder('profi'), 'diagonal.rva')
        with open(path, 'wb') as file:
            file.write(map_record(cities, 41))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: page.inspect()['solved'] == 0, 15, 'the diagonal map')
        page.keys(Keys.ADD)
        wait_for(lambda: page.inspect()['solved'] == 1, 30, 'the diagonal solved')
        self.assertEqual(page.js('return window.orvanta.workerErrors'), 0)
        page.settle()
        self.assertSameAsDesktop(page, [f'key:{KEY_UP}'] * 10 + [f'key:{KEY_ADD}', 'open-map:diagonal.rva', f'key:{KEY_ADD}'])

    def test_a_shared_link_opens_the_same_board_and_a_broken_one_the_usual_first_map(self):
        page = Page(self.driver, self.base, 'public')
        page.load()
        first_map = page.inspect()['cities']
        self.driver.execute_cdp_cmd('Browser.grantPermissions', {
            'origin': self.base, 'permissions': ['clipboardReadWrite', 'clipboardSanitizedWrite']})
        page.menu(COMMAND['shareMap'])
        shared = wait_for(lambda: page.js('return window.orvanta.shared'), 10, 'the share dialog')
        link = shared['text']
        self.assertTrue(link.startswith(f'{self.base}/public.html?clock={CLOCK}#'), link)
        self.assertTrue(page.js('return document.getElementById("share").open'))
        self.driver.find_element(By.ID, 'share-copy').click()
        wait_for(lambda: page.js('return window.orvanta.copied'), 10, 'the copy')
        self.assertEqual(page.js('return navigator.clipboard.readText();'), link)
        self.driver.save_screenshot(os.path.join(OUTPUT, 'share-dialog-desktop.png'))
        page.keys(Keys.ESCAPE)

        # The sharer opens the link through the code dialog (pasted), as the
        # receiver does through the address: both then show the map opened.
        page.menu(COMMAND['openMapCode'])
        field = wait_for(lambda: self.driver.find_element(By.ID, 'map-code-text'), 10, 'the code dialog')
        field.send_keys(Keys.CONTROL, 'v')
        field.send_keys(Keys.ENTER)
        wait_for(lambda: page.inspect()['mode'] == 2, 10, 'the map opened from its code')
        page.settle()
        sharer = page.canvas_pixels()
        self.assertEqual(page.inspect()['cities'], first_map)

        receiver = chromium(self.downloads)  # a fresh profile
        self.addCleanup(receiver.quit)
        other = Page(receiver, self.base, 'public')
        receiver.get(link)
        wait_for(lambda: other.js('return !!(window.orvanta && window.orvanta.ready)'), 15, 'the linked page')
        other.settle()
        self.assertEqual(other.inspect()['cities'], first_map)
        self.assertEqual(other.inspect()['solved'], 0)
        self.assertEqual(receiver.title, self.driver.title)
        self.assertTrue(other.canvas_pixels() == sharer, 'the linked board is drawn pixel for pixel as the sharer sees it')

        # A cut or an empty fragment: the reason, and the usual first map under it.
        code = link.split('#')[1]
        for fragment, reason in ((code[:-1], 'искажён'), ('', 'нет кода карты')):
            receiver.get('about:blank')
            receiver.get(f'{self.base}/public.html?clock={CLOCK}#{fragment}')
            wait_for(lambda: other.js('return !!(window.orvanta && window.orvanta.ready)'), 15, 'the page')
            asked = wait_for(lambda: other.js('return window.orvanta.asked'), 10, 'the reason')
            self.assertIn(reason, asked['message'])
            self.assertTrue(other.js('return document.getElementById("map-code").open'))
            self.assertEqual(other.inspect()['cities'], first_map)
            self.assertEqual(other.inspect()['mode'], 1)

    def test_map_of_the_day_is_the_desktops(self):
        for edition in ('public', 'profi'):
            page = Page(self.driver, self.base, edition)
            page.load()
            page.menu(COMMAND['dailyMap'])
            page.settle()
            self.assertEqual(self.driver.title, '"Orvanta" - Карта дня 2001-09-09')
            self.assertSameAsDesktop(page, [f'command:{COMMAND["dailyMap"]}'])


CYRILLIC = re.compile('[\u0400-\u04ff]')
# The page's visible words: the menu bar, the panels and any open dialog, no
# hidden element (closed menus and dialogs), and the texts drawn on the canvas.
VISIBLE_TEXT_SCRIPT = """
return [document.body.innerText, document.title, ...window.orvanta.texts.map((t) => t.text)].join('\\n');
"""


class EnglishBrowserTest(unittest.TestCase):
    """The page in a browser set to English: every word English, a switch to
    Russian and back mid-game, and the choice kept over a reload."""

    def test_english_browser_gets_english_and_keeps_the_players_choice(self):
        server, base = serve(SITE)
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        driver = chromium(tempfile.mkdtemp(prefix='downloads-', dir=TEMP), 640, 480, language='en-US')
        self.addCleanup(driver.quit)
        english = next(l for l in TABLES['languages'] if l['code'] == 'en')
        for edition in ('public', 'profi'):
            page = Page(driver, base, edition)
            page.load()
            self.assertEqual(page.js('return [window.orvanta.language(), document.documentElement.lang];'),
                             ['en', 'en'])
            titles = [b.text for b in driver.find_elements(By.CSS_SELECTOR, '.menu > button')]
            self.assertEqual(titles, [caption.replace('&', '') for caption, _ in english['menuRows']])
            self.assertTrue(page.texts()[0]['text'].startswith('Generator:    Cities '), page.texts()[0]['text'])
            # A game begun in English, then Russian chosen from the Help menu mid-game.
            page.menu(COMMAND['startGame'])
            for index in (1, 2):
                page.js('window.orvanta.click(false, ...window.orvanta.cityPoints()[arguments[0]]);', index)
                page.settle()
            page.keys(Keys.ADD)
            wait_for(lambda: page.inspect()['solved'] == 1, 15, 'the solve')
            page.settle()
            shown = page.js(VISIBLE_TEXT_SCRIPT)
            self.assertIsNone(CYRILLIC.search(shown), f'{edition}: {shown!r}')
            self.assertIn('Time ', page.texts()[-1]['text'])
            if edition == 'profi':
                self.assertIn('Tour Spectrum', [t['text'] for t in page.texts()])
            driver.save_screenshot(os.path.join(OUTPUT, f'english-{edition}-640x480.png'))
            # The page's description for search engines follows, and the
            # manual opens in English, on a phone too.
            self.assertEqual(page.js('return document.querySelector(\'meta[name="description"]\').content;'),
                             f'Orvanta {edition.capitalize()}: a travelling salesman puzzle in the browser — visit up to '
                             '18 cities by the shortest round trip; plays offline too.')
            if edition == 'public':
                self.check_english_manual(driver, page)
            help_title = driver.find_element(By.CSS_SELECTOR, menu_title(COMMAND['language-en']))
            help_title.click()
            checked = driver.find_elements(By.CSS_SELECTOR, '.menu.open [aria-checked="true"]')
            self.assertEqual([item.text for item in checked], ['English'])
            driver.save_screenshot(os.path.join(OUTPUT, f'english-{edition}-help-menu.png'))
            help_title.click()
            before = page.inspect()
            page.menu(COMMAND['language-ru'])
            page.settle()
            self.assertEqual(page.inspect(), before, 'the switch changes nothing of the game')
            self.assertTrue(page.texts()[-1]['text'].startswith('Время '), page.texts()[-1]['text'])
            self.assertEqual(driver.find_element(By.CSS_SELECTOR, '.menu > button').text, 'Файл')
            # The choice outlives the page; ?lang= overrides it for one visit.
            page.load()
            self.assertEqual(page.js('return window.orvanta.language();'), 'ru')
            page.load(f'clock={CLOCK}&lang=en')
            self.assertEqual(page.js('return window.orvanta.language();'), 'en')
            self.assertEqual(page.js('return document.querySelector(\'link[rel="manifest"]\').getAttribute("href");'),
                             f'{edition}.en.webmanifest')
            page.menu(COMMAND['language-en'])
            page.load()
            self.assertEqual(page.js('return window.orvanta.language();'), 'en')
            page.js('localStorage.clear();')
        # The site's index follows the browser too.
        driver.get(f'{base}/index.html')
        wait_for(lambda: driver.execute_script('return document.documentElement.lang') == 'en', 15, 'the index')
        self.assertIsNone(CYRILLIC.search(driver.execute_script('return document.body.innerText')))
        self.assertTrue(driver.execute_script(
            'return document.querySelector(\'meta[name="description"]\').content').startswith('A travelling salesman'))
        # Without scripts nothing chooses: the game's notice and the manual
        # come in every language.
        driver.execute_cdp_cmd('Emulation.setScriptExecutionDisabled', {'value': True})
        driver.get(f'{base}/public.html')
        shown = driver.find_element(By.TAG_NAME, 'body').text
        notice = 'Для игры нужен JavaScript.'
        for language in TABLES['languages']:
            self.assertIn(language['texts'].get(notice, notice), shown, language['code'])
        driver.get(f'{base}/help.html')
        shown = driver.find_element(By.TAG_NAME, 'body').text
        for manual in ('help.txt', 'help.en.txt'):
            with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'app', manual),
                      encoding='utf-8') as file:
                self.assertIn(file.readline().strip(), shown, manual)
        driver.execute_cdp_cmd('Emulation.setScriptExecutionDisabled', {'value': False})

    def check_english_manual(self, driver, page):
        """The Help menu's manual in English, reflowed for a phone's width;
        the Russian one stays out of the page."""
        page.menu(COMMAND['readManual'])
        wait_for(lambda: len(driver.window_handles) == 2, 15, 'the manual')
        game = driver.current_window_handle
        driver.switch_to.window([h for h in driver.window_handles if h != game][0])
        wait_for(lambda: driver.title == '"Orvanta" — Manual', 15, 'the English manual')
        with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'app', 'help.en.txt'),
                  encoding='utf-8') as file:
            first_line = file.readline().strip()
        manual = driver.find_element(By.CSS_SELECTOR, 'article.manual')
        self.assertEqual(manual.get_attribute('lang'), 'en')
        self.assertIn(first_line, manual.text)
        self.assertGreaterEqual(len(manual.find_elements(By.TAG_NAME, 'h2')), 8)
        # Only the language menu's own name for Russian is in Cyrillic.
        self.assertIsNone(CYRILLIC.search(driver.execute_script('return document.body.innerText').replace('Русский', '')))
        driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                               {'width': 360, 'height': 640, 'deviceScaleFactor': 1, 'mobile': True})
        self.assertLessEqual(driver.execute_script('return document.documentElement.scrollWidth'), 360)
        driver.save_screenshot(os.path.join(OUTPUT, 'english-manual-360x640.png'))
        driver.execute_cdp_cmd('Emulation.clearDeviceMetricsOverride', {})
        driver.find_element(By.ID, 'back').click()
        wait_for(lambda: len(driver.window_handles) == 1, 15, 'the manual to close')
        driver.switch_to.window(game)


# Phone screens (CSS pixels), each at three device pixels per CSS pixel.
PHONES = ((390, 844), (360, 640), (844, 390))

# Every status text's box, the board's and the screen's, in CSS pixels. On a
# small screen the texts are in the panels around the board (the whole
# canvas counts as the board); else they are drawn on the canvas.
LAYOUT_SCRIPT = """
const box = (r) => [r.left, r.top, r.right, r.bottom];
const compact = document.body.classList.contains('compact');
const canvas = document.getElementById('canvas').getBoundingClientRect();
let texts, board = box(canvas);
if (compact) {
  // A control in a panel (the stop of a solve) keeps the program's text it stands for.
  texts = Array.from(document.querySelectorAll('.status .part'), (part) => ({
    text: part.dataset.text ?? part.textContent, box: box(part.getBoundingClientRect()),
    panel: box(part.closest('.status').getBoundingClientRect())}));
} else {
  texts = window.orvanta.texts.map((t) => ({text: t.text, panel: box(canvas),
    box: [canvas.left + t.x, canvas.top + t.y, canvas.left + t.x + t.width, canvas.top + t.y + 16]}));
  const [left, top, right, bottom] = window.orvanta.boardOutline();
  board = [canvas.left + left, canvas.top + top, canvas.left + right + 1, canvas.top + bottom + 1];
}
const titles = Array.from(document.querySelectorAll('.menu > button'), (b) => b.getBoundingClientRect().top);
// The program's own texts are read in the same script, so a solve's progress
// that moves on cannot come between them and the panels.
const program = window.orvanta.texts.map((t) => t.text);
return {compact, texts, board, program, screen: [innerWidth, innerHeight],
        scrollWidth: document.documentElement.scrollWidth, menuRows: new Set(titles).size};
"""

def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def touch(driver, x, y, hold=0.05):
    """A finger at (x, y) of the canvas for `hold` seconds."""
    left, top = driver.execute_script(
        'const r = document.getElementById("canvas").getBoundingClientRect(); return [r.left, r.top];')
    point = [{'x': left + x, 'y': top + y}]
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchStart', 'touchPoints': point})
    time.sleep(hold)
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})
    time.sleep(0.2)


def tap(driver, selector):
    """A finger on the middle of the element `selector` names."""
    x, y = driver.execute_script('const r = document.querySelector(arguments[0]).getBoundingClientRect();'
                                 'return [r.left + r.width / 2, r.top + r.height / 2];', selector)
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchStart', 'touchPoints': [{'x': x, 'y': y}]})
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})
    time.sleep(0.2)


class PhoneTest(unittest.TestCase):
    """Phone screens driven by touch; one browser takes each screen's metrics in turn."""

    @classmethod
    def setUpClass(cls):
        cls.server, cls.base = serve(SITE)
        cls.driver = chromium(tempfile.mkdtemp(prefix='downloads-', dir=TEMP))

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()

    def phone(self, width, height, driver=None):
        driver = driver or self.driver
        driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': height, 'deviceScaleFactor': 3, 'mobile': True})
        driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled', {'enabled': True, 'maxTouchPoints': 5})

    def open_map(self, page, cities, grid=11):
        path = os.path.join(tempfile.mkdtemp(dir=TEMP), 'phone.rva')
        with open(path, 'wb') as file:
            file.write(map_record(cities, grid))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: page.inspect()['cityCount'] == len(cities), 15, 'the map')
        page.settle()

    def play_trip_by_taps(self, page):
        # The points are read for every tap: a panel that grows moves the board.
        point = lambda index: page.js('return window.orvanta.cityPoints()[arguments[0]];', index)
        if page.inspect()['mode'] != 2:
            touch(page.driver, *point(0))
            wait_for(lambda: page.inspect()['mode'] == 2, 15, 'a tap to start the game')
            page.settle()
        count = page.inspect()['cityCount']
        for index in range(1, count):
            touch(page.driver, *point(index))
            page.settle()
        wait_for(lambda: page.inspect()['playerRouteLength'] == count + 1, 15, 'the trip closed by taps')
        page.settle()

    def assertLaidOut(self, page, when):
        layout = page.js(LAYOUT_SCRIPT)
        what = f'{page.edition} at {layout["screen"]}, {when}, {"small-screen" if layout["compact"] else "desktop"} layout'
        self.assertLessEqual(layout['scrollWidth'], layout['screen'][0], f'{what}: no sideways scrolling')
        self.assertEqual(layout['menuRows'], 1, f'{what}: the menu bar in one row')
        width, height = layout['screen']
        texts = layout['texts']
        for text in texts:
            left, top, right, bottom = text['box']
            self.assertTrue(left >= 0 and top >= 0 and right <= width and bottom <= height,
                            f'{what}: {text["text"]!r} at {text["box"]} leaves the screen')
            panel = text['panel']
            self.assertTrue(left >= panel[0] - 0.5 and top >= panel[1] - 0.5 and right <= panel[2] + 0.5 and
                            bottom <= panel[3] + 0.5, f'{what}: {text["text"]!r} is cut off')
            self.assertFalse(overlap(text['box'], layout['board']), f'{what}: {text["text"]!r} over the board')
        for i, a in enumerate(texts):
            for b in texts[i + 1:]:
                self.assertFalse(overlap(a['box'], b['box']), f'{what}: {a["text"]!r} over {b["text"]!r}')
        # Nothing of the program's texts is lost on the way to the panels.
        shown = ''.join(t['text'] for t in texts).replace(' ', '')
        self.assertEqual(shown, ''.join(layout['program']).replace(' ', ''), what)
        return ' | '.join(t['text'] for t in texts)

    def assertMenusInside(self, page):
        """Each drop-down lies within the screen; a tap on the board with a
        menu open only closes the menu."""
        width, height = page.js('return [innerWidth, innerHeight];')
        point = page.js('return window.orvanta.cityPoints()[1];')
        before = (page.inspect(), page.texts())
        for title in self.driver.find_elements(By.CSS_SELECTOR, '.menu > button'):
            title.click()
            left, top, right, bottom = page.js(
                'const r = document.querySelector(".menu.open .menu-items").getBoundingClientRect();'
                'return [r.left, r.top, r.right, r.bottom];')
            self.assertTrue(left >= 0 and right <= width and bottom <= height, f'{title.text} menu at {left}..{right}')
            touch(self.driver, *point)
            self.assertFalse(page.js('return document.querySelector(".menu.open") !== null'), 'the tap closes the menu')
            page.settle()
            self.assertEqual((page.inspect(), page.texts()), before, 'the tap that closed a menu changes nothing')

    def test_small_screens_keep_texts_whole_and_apart(self):
        for width, height in PHONES:
            self.phone(width, height)
            for edition in ('public', 'profi'):
                page = Page(self.driver, self.base, edition)
                page.load()
                canvas = page.js('const c = document.getElementById("canvas"); return [c.width, c.height];')
                self.assertEqual(canvas, [round(n * 3) for n in page.size()], 'the canvas has every device pixel')
                self.assertLaidOut(page, 'loaded')
                # A swipe does not reload the game, a long press selects none of it.
                self.assertEqual(page.js('return [document.documentElement, document.body].map((e) => '
                                         'getComputedStyle(e).overscrollBehaviorY)'), ['none', 'none'])
                self.assertEqual(page.js('return ["menubar", "status-top", "status-bottom"].map((id) => '
                                         'getComputedStyle(document.getElementById(id)).userSelect)'), ['none'] * 3)
                self.assertMenusInside(page)
                self.play_trip_by_taps(page)
                self.assertLaidOut(page, 'after the trip')
                page.keys(Keys.ADD)
                wait_for(lambda: page.inspect()['solved'] == 1, 15, 'the solve')
                page.settle()
                shown = self.assertLaidOut(page, 'after "+"')
                assert_readable(self, self.driver, f'{edition} at {width}x{height}')
                if edition == 'public':
                    self.assertRegex(shown, r'Результат в пределах \d+ % от решения ЗК')
                else:
                    self.assertRegex(shown, r'Спектр путей.*Суммарный путь \d')
                self.driver.save_screenshot(os.path.join(OUTPUT, f'phone-{edition}-{width}x{height}.png'))

    def test_english_texts_stay_whole_on_the_narrowest_screens(self):
        for width, height in ((320, 568), (360, 640)):
            self.phone(width, height)
            for edition in ('public', 'profi'):
                page = Page(self.driver, self.base, edition)
                page.load(f'clock={CLOCK}&lang=en')
                self.assertLaidOut(page, 'loaded in English')
                self.play_trip_by_taps(page)
                page.keys(Keys.ADD)
                wait_for(lambda: page.inspect()['solved'] == 1, 15, 'the solve')
                page.settle()
                shown = self.assertLaidOut(page, 'after "+" in English')
                self.assertRegex(shown, r'Result within \d+ % of TSP solution' if edition == 'public'
                                 else r'Tour Spectrum.*Total length \d')
                visible = page.js(VISIBLE_TEXT_SCRIPT)
                self.assertIsNone(CYRILLIC.search(visible), f'{edition} at {width}x{height}: {visible!r}')
                self.driver.save_screenshot(os.path.join(OUTPUT, f'phone-english-{edition}-{width}x{height}.png'))

    def test_a_slow_solves_progress_stays_whole_and_off_the_board(self):
        self.phone(360, 640)
        page = Page(self.driver, self.base, 'profi')
        page.load()
        self.open_map(page, [(450 * i, i % 3) for i in range(16)], 10000)
        page.keys(Keys.ADD)
        wait_for(lambda: any(re.fullmatch(r'\d+\.\d\d %, \d+ сек', t['text']) for t in page.texts()), 15,
                 'the progress rows')
        page.settle()
        shown = self.assertLaidOut(page, 'while solving')
        self.assertIn('Поиск решения… | ', shown)
        self.assertIn(' | Esc — прервать', shown)
        self.driver.save_screenshot(os.path.join(OUTPUT, 'phone-profi-solving.png'))
        page.keys(Keys.ESCAPE)

    def test_every_function_by_finger(self):
        # A phone (the small-screen panels) and a touch screen large enough for
        # the desktop layout (the texts drawn on the canvas): the city count,
        # a new map, a trip and the stop of a slow solve, all by taps.
        for width, height in ((360, 640), (1024, 768)):
            self.phone(width, height)
            page = Page(self.driver, self.base, 'public')
            page.load()
            what = f'at {width}x{height}'
            count = lambda: page.inspect()['cityCount']
            first = count()
            if width < 640:
                tap(self.driver, '#status-top .count')
            else:
                # The count drawn in the mode line, where it lies on the canvas.
                x, y = page.js("""const line = window.orvanta.texts[0], c = document.createElement('canvas').getContext('2d');
                    c.font = window.orvanta.font; const at = line.text.indexOf('Городов');
                    return [line.x + c.measureText(line.text.slice(0, at + 4)).width, line.y + 8];""")
                touch(self.driver, x, y)
            wait_for(lambda: page.js('return !document.getElementById("stepper").hidden'), 15, f'the stepper {what}')
            self.assertEqual(page.inspect()['mode'], 1, f'the tap on the count only opened the stepper {what}')
            for step in ('down', 'down', 'down', 'up'):
                tap(self.driver, f'#stepper button[data-step="{step}"]')
            wait_for(lambda: count() == first - 2, 15, f'two cities fewer {what}')
            assert_readable(self, self.driver, f'the stepper {what}')
            page.settle()
            self.assertIn(f'Городов {first - 2:2d}', page.texts()[0]['text'])
            self.assertEqual(page.js('return document.getElementById("stepper-count").textContent'), str(first - 2))
            # A tap beside the stepper closes it and does nothing else.
            before = page.inspect()
            touch(self.driver, page.size()[0] // 2, page.size()[1] - 10)
            self.assertTrue(page.js('return document.getElementById("stepper").hidden'), what)
            page.settle()
            self.assertEqual(page.inspect(), before, f'the tap that closed the stepper changes nothing {what}')
            # A new map from the menu keeps the count; a trip closes by taps.
            page.js(f'window.orvanta.setClock({CLOCK + 7});')
            tap(self.driver, menu_title(COMMAND['generator']))
            tap(self.driver, f'button[data-command="{COMMAND["generator"]}"]')
            wait_for(lambda: page.inspect()['cities'] != before['cities'], 15, f'a new map {what}')
            self.assertEqual(page.js('return Array.from(document.querySelectorAll(".menu > button"), '
                                     '(b) => getComputedStyle(b).backgroundColor)'), ['rgba(0, 0, 0, 0)'] * 5,
                             f'no menu title highlighted once its menu closed {what}')
            self.assertEqual(count(), first - 2)
            self.play_trip_by_taps(page)

            # A slow solve stops by a tap on the button that names it.
            self.open_map(page, [(450 * i, i % 3) for i in range(16)], 10000)
            tap(self.driver, menu_title(COMMAND['showSolution']))
            tap(self.driver, f'button[data-command="{COMMAND["showSolution"]}"]')
            stop = '.status button.stop' if width < 640 else '#stop-overlay'
            wait_for(lambda: page.js('const b = document.querySelector(arguments[0]); return b && !b.hidden && '
                                     'b.getBoundingClientRect().width > 0', stop), 15, f'the stop {what}')
            # Read in the page at once: each progress update draws the panel's button anew.
            self.assertEqual(page.js('return document.querySelector(arguments[0]).innerText', stop),
                             'Прервать поиск', what)
            size = page.js('return document.querySelector(arguments[0]).getBoundingClientRect().height', stop)
            self.assertGreaterEqual(size, 32, f'a finger-sized stop {what}')
            self.driver.save_screenshot(os.path.join(OUTPUT, f'touch-stop-{width}x{height}.png'))
            assert_readable(self, self.driver, f'the stop {what}')
            tap(self.driver, stop)
            wait_for(lambda: not page.js('return window.orvanta.texts.some((t) => t.text.includes("Поиск решения"))'),
                     15, f'the solve to stop {what}')
            self.assertEqual(page.inspect()['solved'], 0)

    def test_taps_take_the_city_a_finger_meant(self):
        # In landscape the board is small enough that a finger reaches farther than a click.
        self.phone(*PHONES[2])
        page = Page(self.driver, self.base, 'profi')
        page.load()
        # Four corners of the 11-grid and, in the middle, two cities one step apart.
        self.open_map(page, [(0, 0), (10, 10), (10, 0), (0, 10), (4, 5), (5, 5)])
        points = page.js('return window.orvanta.cityPoints();')
        step = (points[2][0] - points[0][0]) / 10
        # A click takes a city within a tenth of the board's width; a finger
        # reaches a little farther, up to 40 pixels.
        reach = 10 * step * 0.1 + 4
        self.assertLess(reach, 38, 'the board is laid out as expected')
        route = lambda: page.inspect()['route']

        touch(self.driver, points[1][0] + 3, points[1][1] + 2)
        wait_for(lambda: route() == [0, 1], 15, 'a tap beside a city to take it')
        touch(self.driver, points[2][0] - reach / 2 ** 0.5, points[2][1] - reach / 2 ** 0.5)
        wait_for(lambda: route() == [0, 1, 2], 15, 'a tap a finger away from a city to take it')

        # Between two near cities, as far from each: what a click there does.
        between = ((points[4][0] + points[5][0]) / 2, points[4][1] - (reach ** 2 - (step / 2) ** 2) ** 0.5)
        page.js('window.orvanta.click(false, arguments[0], arguments[1]);', *map(int, between))
        page.settle()
        clicked = route()
        # The same trip again, then the tap.
        for right, point in ((True, (0, 0)), (False, points[1]), (False, points[2])):
            page.js('window.orvanta.click(arguments[0], arguments[1], arguments[2]);', right, *map(int, point))
            page.settle()
        self.assertEqual(route(), [0, 1, 2])
        touch(self.driver, *map(int, between))
        page.settle()
        self.assertEqual(route(), clicked, 'an ambiguous tap is a click')

        # A long press is the right click: the trip starts again from the first city.
        touch(self.driver, *points[3], hold=1.5)
        wait_for(lambda: route() == [0], 15, 'a long press to restart the trip')
        self.driver.save_screenshot(os.path.join(OUTPUT, 'phone-profi-game.png'))

    def test_plays_offline_after_one_visit(self):
        # Offline the game has only what the service worker kept: the browser
        # starts again (nothing in its memory), once with its HTTP cache off,
        # once after a server whose files that cache must ask for again. The
        # page paints, a trip closes by taps, "+" solves in the worker.
        for handler, cache_disabled, edition in ((QuietHandler, True, 'profi'), (UncachedHandler, False, 'public')):
            profile = tempfile.mkdtemp(prefix='chromium-', dir=TEMP)
            driver = chromium(TEMP, profile=profile)
            driver.execute_cdp_cmd('Network.enable', {})
            driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': cache_disabled})
            server, base = serve(SITE, handler)
            for kept in ('profi', 'public'):
                page = Page(driver, base, kept)
                page.load()
                wait_for(lambda: page.js('return !!navigator.serviceWorker.controller'), 30, 'the site to be kept')
                if handler is QuietHandler:
                    errors = driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})['installabilityErrors']
                    self.assertEqual(errors, [], f'{kept} installs')
            driver.quit()
            server.shutdown()
            server.server_close()
            driver = chromium(TEMP, profile=profile)
            self.addCleanup(driver.quit)
            self.phone(*PHONES[0], driver=driver)
            driver.execute_cdp_cmd('Network.enable', {})
            driver.execute_cdp_cmd('Network.setCacheDisabled', {'cacheDisabled': cache_disabled})
            page = Page(driver, base, edition)
            page.load()
            # Offline, a link still opens its map first.
            page.menu(COMMAND['shareMap'])
            link = wait_for(lambda: page.js('return window.orvanta.shared'), 10, 'the share dialog')['text']
            shared = page.inspect()['cities']
            driver.save_screenshot(os.path.join(OUTPUT, f'share-dialog-phone-{edition}.png'))
            page.keys(Keys.ESCAPE)
            page.js(f'window.orvanta.setClock({CLOCK + 7});')
            page.js('window.orvanta.click(true, ...window.orvanta.cityPoints()[0]);')  # another map
            page.settle()
            self.assertNotEqual(page.inspect()['cities'], shared)
            driver.get('about:blank')
            driver.get(link)
            wait_for(lambda: page.js('return !!(window.orvanta && window.orvanta.ready)'), 15, 'the linked page offline')
            self.assertEqual(page.inspect()['cities'], shared)
            page.load()
            self.play_trip_by_taps(page)
            page.keys(Keys.ADD)
            wait_for(lambda: page.inspect()['solved'] == 1, 15, f'{edition} solved offline')


# The longest phone tests, about half of the whole run: `--half 2` plays
# these, `--half 1` every other test, so that two browsers share the run.
SECOND_HALF = ('test_small_screens_keep_texts_whole_and_apart', 'test_every_function_by_finger',
               'test_plays_offline_after_one_visit')


def half(number):
    tests = unittest.TestSuite()
    for case in unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__]):
        for test in case:
            if (test._testMethodName in SECOND_HALF) == (number == 2):
                tests.addTest(test)
    return tests


if __name__ == '__main__':
    os.makedirs(OUTPUT, exist_ok=True)
    if sys.argv[4:5] == ['--half']:
        result = unittest.TextTestRunner(verbosity=2).run(half(int(sys.argv[5])))
        sys.exit(0 if result.wasSuccessful() and result.testsRun > 0 else 1)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
