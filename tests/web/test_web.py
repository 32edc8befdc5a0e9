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
TITLES = {'public': '"Orvanta" Public Version 11', 'profi': '"Orvanta" Profi Release 11'}
# Every temporary folder of the run (browser profiles, downloads, files) lies here.
TEMP = tempfile.mkdtemp(prefix='orvanta-web-test-')
atexit.register(shutil.rmtree, TEMP, ignore_errors=True)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, '.wasm': 'application/wasm'}

    def log_message(self, *args):
        pass


def serve(directory):
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(QuietHandler, directory=directory))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, f'http://127.0.0.1:{server.server_address[1]}'


def chromium(downloads, width=800, height=600, mobile=None):
    options = Options()
    for flag in ('--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 f'--window-size={width},{height}', f'--user-data-dir={tempfile.mkdtemp(prefix="chromium-", dir=TEMP)}'):
        options.add_argument(flag)
    if mobile:
        options.add_experimental_option('mobileEmulation', mobile)
    options.binary_location = '/usr/bin/chromium'
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    return driver


def wait_for(condition, timeout=10.0, what='condition'):
    """The timeouts are wide: a correct page answers at once, a loaded machine
    may still take seconds, and a wrong one never does."""
    end = time.monotonic() + timeout
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
        os.makedirs(OUTPUT, exist_ok=True)

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def setUp(self):
        self.driver = chromium(self.downloads)
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
        # 16 cities on three neighbouring rows of the 10000-grid, 530 apart:
        # a board that takes the solver minutes (the diagonal of the 41-grid
        # is counted at once).
        path = os.path.join(self.folder('public'), 'slow.rva')
        with open(path, 'wb') as file:
            file.write(map_record([(530 * i, i % 3) for i in range(16)], 10000))
        page.open_file(COMMAND['openMap'], path)
        wait_for(lambda: page.inspect()['cityCount'] == 16, 15, 'the slow map')
        steps = ['open-map:slow.rva']
        page.settle()
        self.assertSameAsDesktop(page, steps)
        page.keys(Keys.ADD)
        solving = lambda: [t['text'] for t in page.texts() if 'Поиск решения ЗК' in t['text']]
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
        page.js(f'window.orvanta.setClock({CLOCK + 2});')
        wait_for(lambda: any('2 сек' in text for text in solving()), 15, 'the solve still running after the About box')
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
        wait_for(lambda: any('Поиск решения ЗК' in t for t in solving()), 15, 'a solve after the failure')
        before = page.js('return window.orvanta.solveProgressMessages')
        wait_for(lambda: page.js('return window.orvanta.solveProgressMessages') > before, 15, 'its progress')
        page.keys(Keys.ESCAPE)
        wait_for(lambda: not solving(), 15, 'that solve to stop')

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
        page.keys('y')
        page.settle()
        steps.append(f'command:{COMMAND["startGame"]}')
        self.assertSameAsDesktop(page, steps)
        self.assertEqual(page.inspect()['mode'], 2)

        # The personal number's dialog keeps the number in the browser; the
        # next start writes it into the saved files.
        page.menu(COMMAND['personalNumber'])
        wait_for(lambda: page.js('return document.getElementById("personal").open'), 15, 'the number dialog')
        field = self.driver.find_element(By.ID, 'personal-text')
        self.assertEqual(field.get_attribute('value'), '0')
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
        self.assertIn(first_line, self.driver.find_element(By.TAG_NAME, 'pre').text)
        self.driver.close()
        self.driver.switch_to.window(game)

        # "Выход" ends the program: the page says so and takes no more input.
        page.menu(COMMAND['exitProgram'])
        wait_for(lambda: page.js('return !document.getElementById("ended").hidden'), 15, 'the end')
        self.assertTrue(page.js('return document.getElementById("menubar").hidden && window.orvanta.ended'))

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


class PhoneTest(unittest.TestCase):
    """A phone-sized screen at three device pixels per CSS pixel, driven by touch."""

    @classmethod
    def setUpClass(cls):
        cls.server, cls.base = serve(SITE)

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def touch(self, driver, x, y, hold):
        left, top = driver.execute_script(
            'const r = document.getElementById("canvas").getBoundingClientRect(); return [r.left, r.top];')
        point = [{'x': left + x, 'y': top + y}]
        driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchStart', 'touchPoints': point})
        time.sleep(hold)
        driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': 'touchEnd', 'touchPoints': []})
        time.sleep(0.2)

    def test_taps_and_long_press_on_a_phone(self):
        downloads = tempfile.mkdtemp(prefix='downloads-', dir=TEMP)
        mobile = {'deviceMetrics': {'width': 390, 'height': 844, 'pixelRatio': 3.0, 'touch': True}}
        driver = chromium(downloads, mobile=mobile)
        self.addCleanup(driver.quit)
        for edition in ('public', 'profi'):
            page = Page(driver, self.base, edition)
            page.load()
            width, height = page.size()
            canvas = page.js('const c = document.getElementById("canvas"); return [c.width, c.height];')
            self.assertEqual(canvas, [round(width * 3), round(height * 3)], 'the canvas has every device pixel')
            driver.save_screenshot(os.path.join(OUTPUT, f'phone-{edition}.png'))
        cities = reference('profi', width, height, [], tempfile.mkdtemp(dir=TEMP))['cities']
        self.touch(driver, *cities[0][2:], hold=0.05)
        wait_for(lambda: page.inspect()['mode'] == 2, 15, 'a tap to start the game')
        self.touch(driver, *cities[1][2:], hold=0.05)
        wait_for(lambda: page.inspect()['playerRouteLength'] == 2, 15, 'a tap to pick a city')
        # A long press is the right click: the trip starts again from the first city.
        self.touch(driver, *cities[3][2:], hold=1.5)
        wait_for(lambda: page.inspect()['playerRouteLength'] == 1, 15, 'a long press to restart the trip')
        driver.save_screenshot(os.path.join(OUTPUT, 'phone-profi-game.png'))


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1] + sys.argv[4:], verbosity=2)
