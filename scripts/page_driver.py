"""The three browsers the page is tested and measured in, all from Debian,
behind one surface: the part of selenium's WebDriver the page's test uses
(get, execute_script, execute_async_script, find_element(s) by id or CSS,
an element's send_keys/click/get_attribute/get_property/is_displayed/
is_enabled/text/value_of_css_property, ActionChains, get_log('browser')).

  chromium  headless Chromium through chromedriver
  firefox   headless Firefox ESR through puppeteer-core over WebDriver BiDi
            (tests/web/firefox_driver.js, speaking JSON lines)
  webkit    WebKitGTK's MiniBrowser through WebKitWebDriver, on its own Xvfb

Each starts with a fresh profile, no network services, one CSS pixel to a
screen pixel."""

import contextlib
import json
import os
import pathlib
import subprocess
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.remote.command import Command
from selenium.webdriver.remote.webelement import WebElement
from selenium.webdriver.webkitgtk.service import Service as WebKitService

ENGINES = ('chromium', 'firefox', 'webkit')
ROOT = pathlib.Path(__file__).resolve().parents[1]
FIREFOX_DRIVER = ROOT / 'tests' / 'web' / 'firefox_driver.js'
NODE = '/usr/bin/node'
WEBKIT_DRIVER = '/usr/bin/WebKitWebDriver'
MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
XVFB = '/usr/bin/Xvfb'
# MiniBrowser's toolbar buttons and address entry give up their least
# widths, so that its window can be as narrow as a phone (447 px otherwise).
MINIBROWSER_NARROW_TOOLBAR = ('box > button, box > entry '
                              '{ min-width: 0; padding-left: 0; padding-right: 0; margin: 0; }\n')


def chromium_options(profile, width=800, height=600):
    """Debian's Chromium, headless, with the profile folder given and none of
    its network services."""
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                 '--disable-background-networking', '--disable-component-update', '--disable-sync',
                 '--disable-dev-shm-usage', '--force-device-scale-factor=1', '--hide-scrollbars',
                 f'--window-size={width},{height}', f'--user-data-dir={profile}'):
        options.add_argument(flag)
    return options


def start_chromium(options):
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


@contextlib.contextmanager
def chromium(width=800, height=600):
    with browser('chromium', width, height) as driver:
        yield driver


# Selenium's key code points, as the Firefox adapter presses them.
MODIFIERS = {'\ue008': 'Shift', '\ue009': 'Control', '\ue00a': 'Alt', '\ue03d': 'Meta'}
NAMED_KEYS = {'\ue003': 'Backspace', '\ue004': 'Tab', '\ue006': 'Enter', '\ue007': 'Enter', '\ue00c': 'Escape',
              '\ue00d': ' ', '\ue010': 'End', '\ue011': 'Home', '\ue012': 'ArrowLeft', '\ue013': 'ArrowUp',
              '\ue014': 'ArrowRight', '\ue015': 'ArrowDown', '\ue017': 'Delete', '\ue034': 'F4'}
NULL_KEY = '\ue000'
BUTTONS = {0: 'left', 1: 'middle', 2: 'right'}
ELEMENT_KEY = 'element-6066-11e4-a52e-4f735466cecf'
# The roles the Firefox adapter can tell an element has.
ROLES_ASKED = ('heading', 'alertdialog', 'dialog', 'button', 'textbox', 'combobox', 'listbox', 'menu', 'status')


def key_steps(text):
    """Selenium's send_keys as key presses: a modifier is held from its
    first mention to its second (or to the end); other text is typed.
    '\\ue009a' -> Control down, a, Control up."""
    steps, held = [], []
    for character in text:
        if character == NULL_KEY:
            steps += [['up', key] for key in reversed(held)]
            held = []
        elif character in MODIFIERS:
            key = MODIFIERS[character]
            steps.append(['up' if key in held else 'down', key])
            held = [k for k in held if k != key] if key in held else held + [key]
        elif character in NAMED_KEYS or held:
            steps.append(['press', NAMED_KEYS.get(character, character)])
        elif steps and steps[-1][0] == 'type':
            steps[-1][1] += character
        else:
            steps.append(['type', character])
    return steps + [['up', key] for key in reversed(held)]


class FirefoxElement(WebElement):
    """An element in the Firefox adapter, answering as selenium's does."""

    def _script(self, body, *args):
        return self._parent.execute_script(body, self, *args)

    def click(self):
        self._parent.call('click', element=self._id)

    def send_keys(self, *value):
        # As chromedriver does: focus, with the caret at the end of a text
        # field not focused before.
        self._script("""const field = arguments[0];
            if (document.activeElement === field) return;
            field.focus();
            // (Number fields have no selection and refuse to set one.)
            if (typeof field.value === 'string' && field.selectionStart !== null)
              field.setSelectionRange(field.value.length, field.value.length);""")
        self._parent.call('keys', steps=key_steps(''.join(str(v) for v in value)))

    def clear(self):
        self._script("arguments[0].value = ''")

    def get_attribute(self, name):
        return self._script("""const [element, name] = arguments;
            const property = element[name];
            if (property !== undefined && property !== null && typeof property !== 'object' &&
                typeof property !== 'function') return String(property);
            return element.getAttribute(name);""", name)

    def get_property(self, name):
        return self._script('return arguments[0][arguments[1]]', name)

    def get_dom_attribute(self, name):
        return self._script('return arguments[0].getAttribute(arguments[1])', name)

    def is_displayed(self):
        return self._script("""const element = arguments[0];
            return element.checkVisibility({visibilityProperty: true}) &&
                element.getClientRects().length > 0;""")

    def is_enabled(self):
        return self._script('return !arguments[0].disabled')

    @property
    def text(self):
        return self._script('return arguments[0].innerText.trim()')

    @property
    def tag_name(self):
        return self._script('return arguments[0].localName')

    def value_of_css_property(self, property_name):
        return self._script('return getComputedStyle(arguments[0]).getPropertyValue(arguments[1])', property_name)

    @property
    def aria_role(self):
        """The computed role, where it is one of ROLES_ASKED (BiDi finds
        elements by role but does not tell an element's); None otherwise."""
        return next((role for role in ROLES_ASKED if self._parent.call('hasRole', element=self._id, role=role)), None)


class FirefoxDriver:
    """Firefox ESR through tests/web/firefox_driver.js: selenium's calls,
    each one request and one answer."""
    engine = 'firefox'

    def __init__(self, profile, width, height):
        environment = dict(os.environ, PUPPETEER_SKIP_DOWNLOAD='1')
        self.process = subprocess.Popen([NODE, str(FIREFOX_DRIVER), profile, str(width), str(height)],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True,
                                        encoding='utf-8', env=environment)
        self.answer()

    def answer(self):
        line = self.process.stdout.readline()
        if not line:
            raise RuntimeError(f'firefox_driver ended (exit {self.process.wait()})')
        reply = json.loads(line)
        if 'error' in reply:
            raise RuntimeError(f'firefox_driver: {reply["error"]}')
        return reply['value']

    def call(self, op, **request):
        self.process.stdin.write(json.dumps(dict(request, op=op)) + '\n')
        self.process.stdin.flush()
        return self.answer()

    def get(self, url):
        self.call('get', url=url)

    def set_window_size(self, width, height):
        """The page's viewport: a headless window has no frame around it."""
        self.call('setViewport', width=width, height=height)

    @staticmethod
    def encoded(args):
        return [{'__element': arg.id} if isinstance(arg, FirefoxElement) else arg for arg in args]

    def execute_script(self, script, *args):
        return self.call('script', body=script, args=self.encoded(args), isAsync=False)

    def execute_async_script(self, script, *args):
        return self.call('script', body=script, args=self.encoded(args), isAsync=True)

    def find_elements(self, by=By.ID, value=None):
        if by not in (By.ID, By.CSS_SELECTOR):
            raise ValueError(f'the Firefox adapter finds by id or CSS, not {by}')
        ids = self.call('find', by='id' if by == By.ID else 'css', value=value)
        return [FirefoxElement(self, handle) for handle in ids]

    def find_element(self, by=By.ID, value=None):
        found = self.find_elements(by, value)
        if not found:
            raise LookupError(f'no element {by}={value!r}')
        return found[0]

    def get_log(self, kind):
        """'browser': the console's errors since the last call, as selenium
        gives them; 'requests': the addresses the page asked for."""
        return self.call('log', kind=kind)

    def execute(self, command, params=None):
        """ActionChains' perform: the W3C action ticks, one after another;
        the pointer's steps between two key steps go as one sequence, since
        Firefox counts a second press as a double-click only within one."""
        if command == Command.W3C_CLEAR_ACTIONS:
            return None
        if command != Command.W3C_ACTIONS:
            raise NotImplementedError(command)
        sources = params['actions']
        position, pointer_steps = [0, 0], []
        for tick in range(max(len(source['actions']) for source in sources)):
            for source in sources:
                if tick < len(source['actions']):
                    self.act(source['type'], source['actions'][tick], position, pointer_steps)
        self.send_pointer(pointer_steps)
        return None

    def send_pointer(self, steps):
        if steps:
            self.call('pointer', steps=steps)
            steps.clear()

    def act(self, device, action, position, pointer_steps):
        kind = action['type']
        if kind == 'pause':
            return
        if device == 'key':
            self.send_pointer(pointer_steps)
            key = action['value']
            self.call('keys', steps=[['down' if kind == 'keyDown' else 'up',
                                      MODIFIERS.get(key) or NAMED_KEYS.get(key, key)]])
        elif kind == 'pointerMove':
            origin = action.get('origin', 'viewport')
            x, y = action.get('x', 0), action.get('y', 0)
            if isinstance(origin, dict):
                origin = FirefoxElement(self, origin[ELEMENT_KEY])
            if isinstance(origin, FirefoxElement):
                centre = self.execute_script(
                    'const box = arguments[0].getBoundingClientRect();'
                    'return [box.left + box.width / 2, box.top + box.height / 2];', origin)
                x, y = centre[0] + x, centre[1] + y
            elif origin == 'pointer':
                x, y = position[0] + x, position[1] + y
            position[:] = [x, y]
            pointer_steps.append(['move', x, y])
        else:
            pointer_steps.append(['down' if kind == 'pointerDown' else 'up', 0, 0, BUTTONS[action.get('button', 0)]])

    def quit(self):
        try:
            self.process.stdin.write(json.dumps({'op': 'quit'}) + '\n')
            self.process.stdin.close()
            self.process.wait(timeout=30)
        finally:
            if self.process.poll() is None:
                self.process.kill()
                self.process.wait()


# The page's console errors and unhandled failures, noted from the moment
# the hook is put in (WebKitWebDriver gives no console log).
CONSOLE_HOOK = """
if (!window.quorvelConsole) {
  window.quorvelConsole = [];
  const note = (message) => window.quorvelConsole.push({level: 'SEVERE', message: String(message)});
  const error = console.error.bind(console);
  console.error = (...parts) => { note(parts.join(' ')); error(...parts); };
  window.addEventListener('error', (event) => note(event.message));
  window.addEventListener('unhandledrejection', (event) => note(event.reason));
}"""


class WebKitElement(WebElement):
    """WebKitWebDriver now and then types a capital letter as a small one;
    each capital goes with Shift held, which it never loses."""

    def send_keys(self, *value):
        text = ''.join(str(v) for v in value)
        super().send_keys(''.join(f'\ue008{c.lower()}\ue008' if 'A' <= c <= 'Z' else c for c in text))


class WebKitDriver(webdriver.Remote):
    """WebKitGTK's MiniBrowser in automation mode, on an Xvfb display of its
    own; the console read through a hook put into each page opened."""
    engine = 'webkit'
    _web_element_cls = WebKitElement

    def __init__(self, width, height, log_path):
        self.xvfb = subprocess.Popen([XVFB, '-displayfd', '1', '-screen', '0', f'{width}x{height}x24',
                                      '-nolisten', 'tcp'], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        display = self.xvfb.stdout.readline().strip()
        self.service = WebKitService(WEBKIT_DRIVER, log_path=log_path, env=dict(os.environ, DISPLAY=f':{display}'))
        options = webdriver.WebKitGTKOptions()
        options.binary_location = MINIBROWSER
        options.add_argument('--automation')
        try:
            self.service.start()
            super().__init__(command_executor=self.service.service_url, options=options)
            self.set_window_rect(0, 0, width, height)
        except BaseException:
            self.stop()
            raise

    def get(self, url):
        super().get(url)
        self.execute_script(CONSOLE_HOOK)

    def get_log(self, log_type):
        if log_type != 'browser':
            raise NotImplementedError(log_type)
        return self.execute_script('const notes = window.quorvelConsole || []; window.quorvelConsole = []; return notes;')

    def stop(self):
        self.service.stop()
        self.xvfb.terminate()
        self.xvfb.wait()

    def quit(self):
        try:
            super().quit()
        finally:
            self.stop()


def start(engine, profile, width=800, height=600, chromium_capabilities=None):
    """A browser of the engine named, with a fresh profile in the folder
    given; chromium_capabilities adds selenium capabilities (logs)."""
    if engine == 'chromium':
        options = chromium_options(profile, width, height)
        for name, value in (chromium_capabilities or {}).items():
            options.set_capability(name, value)
        driver = start_chromium(options)
        driver.engine = 'chromium'
        return driver
    if engine == 'firefox':
        return FirefoxDriver(profile, width, height)
    if engine == 'webkit':
        # MiniBrowser keeps its data under XDG_DATA_HOME and XDG_CACHE_HOME,
        # and reads its GTK style from XDG_CONFIG_HOME.
        os.environ['XDG_DATA_HOME'] = os.environ['XDG_CACHE_HOME'] = os.environ['XDG_CONFIG_HOME'] = profile
        style = pathlib.Path(profile, 'gtk-3.0', 'gtk.css')
        style.parent.mkdir(exist_ok=True)
        style.write_text(MINIBROWSER_NARROW_TOOLBAR, encoding='utf-8')
        return WebKitDriver(width, height, os.path.join(profile, 'driver.log'))
    raise ValueError(f'unknown engine {engine!r} ({", ".join(ENGINES)})')


@contextlib.contextmanager
def browser(engine, width=800, height=600):
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile:
        driver = start(engine, profile, width, height)
        try:
            yield driver
        finally:
            driver.quit()


def requested_addresses(driver):
    """The addresses the page asked the network for since the last call
    (data: ones left out), where the engine reports them; None where it does
    not (WebKit)."""
    if driver.engine == 'chromium':
        messages = [json.loads(entry['message'])['message'] for entry in driver.get_log('performance')]
        addresses = [m['params']['request']['url'] for m in messages if m['method'] == 'Network.requestWillBeSent']
    elif driver.engine == 'firefox':
        addresses = driver.get_log('requests')
    else:
        return None
    return [address for address in addresses if not address.startswith('data:')]


def insert_text(driver, text):
    """Puts the text where the focused field's selection is, as a paste
    does: one edit, one input event."""
    driver.execute_script("document.execCommand('insertText', false, arguments[0])", text)


def open_page(driver, page):
    """Opens the page from disk and waits until Calculate works; the time
    from the start of the navigation to then, in milliseconds."""
    driver.get(pathlib.Path(page).resolve().as_uri())
    return driver.execute_async_script(
        "const done = arguments[0];"
        "(function wait() { const mark = performance.getEntriesByName('quorvel-interactive')[0];"
        " mark ? done(mark.startTime) : setTimeout(wait, 1); })();")


def calculate(driver, texts):
    """Puts the texts into their fields as typing would and presses
    Calculate: the milliseconds until the texts were in the fields, and
    until the next frame began."""
    return driver.execute_async_script("""
        const [texts, done] = arguments;
        for (const [name, text] of Object.entries(texts)) {
          const field = document.getElementById(name);
          field.value = text;
          field.dispatchEvent(new Event('input', {bubbles: true}));
        }
        const start = performance.now();
        document.getElementById('Go').click();
        const applied = performance.now() - start;
        requestAnimationFrame(() => done([applied, performance.now() - start]));""", texts)
