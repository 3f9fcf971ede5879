#!/usr/bin/python3
"""The page in a browser (Chromium, Firefox ESR or WebKitGTK, one run per
engine, the same rows in each): every shared worked case typed in, the
controls against the layout table, the reactions, the focus order and keys,
the report, the word figures, the plain literal, long pastes, the content
policy; and nothing leaves the page, nothing goes to its console as an error.

  page_test.py --engine chromium|firefox|webkit --page build-web/quorvel.html
               --layout QUORVEL_PAGE_TABLES --cases QUORVEL_WORKED_CASES
Exits with 77 (skipped) when the page has not been built; a browser or
driver that is missing fails it.
"""

import argparse
import base64
import functools
import hashlib
import http.server
import json
import pathlib
import subprocess
import sys
import tempfile
import threading
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / 'scripts'))
from page_driver import ENGINES, insert_text, requested_addresses, start  # noqa: E402

# The run-time errors as the report gives them, from the window's rules.
DESCRIPTIONS = {6: 'Overflow', 11: 'Division by zero', 13: 'Type mismatch'}
PINK, WHITE = 'rgb(255, 192, 255)', 'rgb(255, 255, 255)'
BLUE, GREEN = 'rgb(0, 0, 255)', 'rgb(0, 128, 0)'
OUTPUTS = ['Resol', 'Nideal', 'Nhex', 'ActualClock', 'NewN', 'NewNhex']
WORD_FIELDS = ['Nideal', 'Nhex', 'NewN', 'NewNhex']
INPUTS = ['BitSize', 'Fclock', 'Fwanted', 'Ferror']
MILLION = 1_000_000

# Notes every text the page puts into a field, in order.
RECORD_WRITES = """
window.writes = [];
const value = Object.getOwnPropertyDescriptor(HTMLInputElement.prototype, 'value');
Object.defineProperty(HTMLInputElement.prototype, 'value', {configurable: true, get: value.get,
  set(text) { window.writes.push([this.id, text]); value.set.call(this, text); }});
"""
STATE = """
const fields = {};
for (const name of %s) fields[name] = document.getElementById(name).value;
const titles = {};
for (const name of %s) titles[name] = document.getElementById(name).getAttribute('title');
return {fields, titles, writes: window.writes || [], report: document.getElementById('Report').open,
        reportText: document.getElementById('ReportText').textContent,
        go: !document.getElementById('Go').hidden, focus: document.activeElement.id};
""" % (json.dumps(INPUTS + OUTPUTS), json.dumps(WORD_FIELDS))


def escaped(text):
    """A text as a failure message shows it: ASCII only, long ones cut short."""
    return ascii(text if len(text) <= 60 else text[:30] + '...' + text[-10:]) + f' ({len(text)} characters)'


class PageTest(unittest.TestCase):
    args = None

    @classmethod
    def setUpClass(cls):
        cls.profile = tempfile.TemporaryDirectory(ignore_cleanup_errors=True)
        cls.driver = start(cls.args.engine, cls.profile.name,
                           chromium_capabilities={'goog:loggingPrefs': {'browser': 'ALL', 'performance': 'ALL'}})
        cls.url = pathlib.Path(cls.args.page).resolve().as_uri()
        cls.layout = json.loads(subprocess.run([cls.args.layout], check=True, capture_output=True).stdout)
        cls.cases = json.loads(subprocess.run([cls.args.cases], check=True, capture_output=True).stdout)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.profile.cleanup()

    def tearDown(self):
        errors = [entry['message'] for entry in self.driver.get_log('browser') if entry['level'] == 'SEVERE']
        self.assertEqual(errors, [], 'console errors')

    def open(self, url=None):
        self.driver.get(url or self.url)
        self.driver.execute_async_script(
            "const done = arguments[0];"
            "(function wait() { performance.getEntriesByName('quorvel-interactive').length ? done() :"
            " setTimeout(wait, 5); })();")

    def element(self, name):
        return self.driver.find_element(By.ID, name)

    def type_into(self, name, text):
        field = self.element(name)
        field.send_keys(Keys.CONTROL, 'a')
        field.send_keys(text if text else Keys.BACK_SPACE)

    def state(self):
        return self.driver.execute_script(STATE)

    def colour(self, name):
        return self.style(name, 'background-color')

    def style(self, name, property_name):
        """The computed value, as every engine gives it (colours as rgb())."""
        return self.driver.execute_script(
            'return getComputedStyle(document.getElementById(arguments[0])).getPropertyValue(arguments[1])',
            name, property_name)

    def paste_into(self, name, text):
        """The field's text replaced by the text at one go, as a paste does
        (cut short at the engine's cap on a field's length)."""
        self.element(name).send_keys(Keys.CONTROL, 'a')
        if len(text) <= MILLION:
            insert_text(self.driver, text)
        else:
            # Beyond a million, editing's own bookkeeping outlasts the
            # driver's patience: the text a paste leaves, and its event.
            self.driver.execute_script(
                "const field = document.getElementById(arguments[0]); field.value = arguments[1];"
                "field.dispatchEvent(new InputEvent('input', {bubbles: true, inputType: 'insertFromPaste'}));",
                name, text)
        return text[:self.field_cap]

    def calculate(self, inputs):
        for name in INPUTS:
            self.type_into(name, inputs[name])
        self.driver.execute_script(RECORD_WRITES)
        self.element('Go').click()
        return self.state()

    def test_worked_cases(self):
        for case in self.cases:
            with self.subTest(case=case['name'], inputs={k: escaped(v) for k, v in case['inputs'].items()}):
                self.open()
                after = self.calculate(case['inputs'])
                self.assertEqual(after['writes'], case['writes'], 'writes, in order')
                expected = dict(case['inputs'], **{name: '' for name in OUTPUTS})
                expected.update(dict(case['writes']))
                self.assertEqual(after['fields'], expected)
                written = {name for name, _ in case['writes']}
                for name in WORD_FIELDS:
                    self.assertEqual(after['titles'][name] is not None, name in written, f'tooltip of {name}')
                    if name in written:
                        self.assertTrue(after['titles'][name].split('\n')[1].startswith('Output '), after['titles'][name])
                self.assertEqual(after['report'], case['error'] is not None, 'report open')
                if case['error'] is not None:
                    number = case['error']
                    self.assertEqual(after['reportText'], f"Run-time error '{number}':\n\n{DESCRIPTIONS[number]}")

    def test_word_figures(self):
        # The corrected word of 28.847333 MHz at 48 bits lies above 2^32: its
        # figures need every bit of the loaded word's 53-bit mantissa.
        # Each field is named by its caption without the aligning blanks, and
        # described by what it holds, then by its figures.
        for inputs, name, label, purpose, lines in [
            ({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': ''}, 'Nhex',
             'Wanted N, hexadecimal', 'result: ideal tuning word, hexadecimal',
             ['Wanted N 1073741824 with the entered clock 100 MHz, wanted 25 MHz',
              'Output +25.000 0 MHz', 'Error 0 Hz (0 ppb)', 'Exact nearest word: the same']),
            ({'BitSize': '48', 'Fclock': '100', 'Fwanted': '28.847333', 'Ferror': '5.7'}, 'NewN',
             'Modified N to achieve wanted Fout',
             'result: corrected tuning word for the actual clock, decimal; '
             'part of Calculate new N given measured Frequency Error',
             ['Output +28.847 3 MHz', 'Error +177.425 nHz (+0.000 006 150 50 ppb)',
              'Exact nearest word 81198007799324 (-1 step)', 'Its output +28.847 3 MHz',
              'Its error -177.846 nHz (-0.000 006 165 08 ppb)']),
        ]:
            with self.subTest(inputs=inputs, field=name):
                self.open()
                after = self.calculate(inputs)
                self.assertEqual(after['titles'][name].split('\n')[-len(lines):], lines)
                self.assertEqual(self.element(name).get_attribute('aria-label'), label)
                self.assertEqual(self.element(name + 'Description').get_attribute('textContent'),
                                 purpose + '\n' + after['titles'][name])
        self.assertEqual(self.element('Fwanted').get_attribute('aria-label'), 'Wanted Frequency MHz')
        self.assertEqual(self.element('BitSize').get_attribute('aria-label'), 'DDS Resolution, Bits')

    def test_layout(self):
        self.open()
        twips = self.layout['twipsPerPixel']
        boxes = self.driver.execute_script("""
            const form = document.getElementById('Form1').getBoundingClientRect();
            const boxes = {Form1: [0, 0, form.width, form.height]};
            for (const element of document.querySelectorAll('#Form1 [id]')) {
              const box = element.getBoundingClientRect();
              boxes[element.id] = [box.left - form.left, box.top - form.top, box.width, box.height];
            }
            return boxes;""")
        self.assertEqual([round(v, 2) for v in boxes['Form1']], [0, 0, 361, 333])
        for control in self.layout['controls']:
            name = control['name']
            with self.subTest(control=name):
                element = self.element(name)
                if control['kind'] == 'button':
                    self.assertFalse(element.is_displayed(), 'Calculate shown at start')
                    self.driver.execute_script('arguments[0].hidden = false', element)
                    boxes[name] = self.driver.execute_script(
                        "const f = document.getElementById('Form1').getBoundingClientRect();"
                        "const b = arguments[0].getBoundingClientRect();"
                        "return [b.left - f.left, b.top - f.top, b.width, b.height];", element)
                for got, want in zip(boxes[name], control['place']):
                    self.assertAlmostEqual(got, want / twips, delta=0.05, msg=f'{name} box {boxes[name]}')
                if 'caption' in control:
                    # As written and as drawn, every run of blanks kept.
                    self.assertEqual(self.driver.execute_script(
                        'return [arguments[0].textContent, arguments[0].innerText]', element),
                        [control['caption']] * 2, escaped(control['caption']))
                if 'text' in control:
                    self.assertEqual(element.get_property('value'), control['text'])
                look = control.get('look')
                if look:
                    self.assertEqual(self.colour(name), PINK if look == 'input' else WHITE)
                if look == 'hex':
                    self.assertEqual(self.style(name, 'color'), BLUE)
                    self.assertEqual(self.style(name, 'font-weight'), '700')
        self.assertEqual(self.style('Label9', 'color'), GREEN)
        self.assertEqual(self.style('Label9', 'font-size'), '13px')
        self.assertEqual(self.style('Label1', 'font-size'), '11px')
        self.assertTrue(self.style('Form1', 'font-family').startswith('"MS Sans Serif"'))
        self.assertEqual([e.get_property('textContent') for e in self.driver.find_elements(By.CSS_SELECTOR, '#BitSizeList li')],
                         ['32', '48'])
        self.assertEqual(self.state()['focus'], 'Fclock')

    def test_reactions(self):
        # (what is done, fields white afterwards, fields still pink, Calculate shown)
        steps = [
            ('one character typed into the clock', lambda: self.element('Fclock').send_keys('0'),
             ['Fclock'], ['Fwanted', 'Ferror'], True),
            ('one character typed into the wanted frequency', lambda: self.element('Fwanted').send_keys('0'),
             ['Fwanted'], ['Fclock', 'Ferror'], True),
            ('the error typed', lambda: self.element('Ferror').send_keys('5'), ['Ferror'], ['Fclock', 'Fwanted'], False),
            ('48 picked from the list', self.pick_48, [], ['Fclock', 'Fwanted', 'Ferror'], False),
            ('the clock alone set to 40 and Calculate pressed', self.clock_40_calculated,
             ['Fclock', 'Fwanted'], ['Ferror'], True),
        ]
        for what, step, white, pink, shown in steps:
            with self.subTest(step=what):
                self.open()
                step()
                for name in white:
                    self.assertEqual(self.colour(name), WHITE, name)
                for name in pink:
                    self.assertEqual(self.colour(name), PINK, name)
                self.assertEqual(self.state()['go'], shown)

    def pick_48(self):
        self.element('BitSizeDrop').click()
        self.driver.find_elements(By.CSS_SELECTOR, '#BitSizeList li')[1].click()
        state = self.state()
        self.assertEqual(state['fields']['BitSize'], '48')
        self.assertEqual([state['fields'][name] for name in OUTPUTS], [''] * 6)

    def clock_40_calculated(self):
        self.type_into('Fclock', '40')
        self.element('Go').click()
        self.assertEqual(self.state()['fields']['Fwanted'], '25 NYQUIST!')

    def test_focus_order_and_keys(self):
        order = self.layout['focusOrder']
        for go_shown in (False, True):
            with self.subTest(calculate_shown=go_shown):
                self.open()
                if go_shown:
                    self.element('Fclock').send_keys('0')
                expected = [name for name in order if go_shown or name != 'Go']
                visited = []
                for _ in expected:
                    ActionChains(self.driver).send_keys(Keys.TAB).perform()
                    visited.append(self.state()['focus'])
                self.assertEqual(visited, expected[1:] + expected[:1])
                ActionChains(self.driver).key_down(Keys.SHIFT).send_keys(Keys.TAB).key_up(Keys.SHIFT).perform()
                self.assertEqual(self.state()['focus'], expected[-1])
        # Enter and Escape in a field press nothing.
        for name in INPUTS + OUTPUTS:
            self.element(name).send_keys(Keys.ENTER, Keys.ESCAPE)
        state = self.state()
        self.assertFalse(state['report'])
        self.assertEqual([state['fields'][name] for name in OUTPUTS], [''] * 6)

    def test_report_empties_outputs_not_reached(self):
        # Closed by its button or by Escape, the same.
        for how, close in [('OK', lambda: self.element('ReportOK').click()),
                           ('Escape', lambda: ActionChains(self.driver).send_keys(Keys.ESCAPE).perform())]:
            with self.subTest(closed_by=how):
                self.open()
                first = self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': '10'})
                failed = self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': '-25000000'})
                self.assertTrue(failed['report'])
                # Announced by its title and its error text.
                self.assertEqual(self.referenced_texts('Report'),
                                 {'aria-labelledby': self.layout['caption'],
                                  'aria-describedby': "Run-time error '11':\n\nDivision by zero"})
                # While the report is open the fields show what the stopped run left.
                self.assertEqual(failed['fields']['NewN'], first['fields']['NewN'])
                self.assertEqual(failed['fields']['ActualClock'], ' 0')
                close()
                closed = self.state()
                self.assertFalse(closed['report'])
                self.assertEqual([closed['fields'][name] for name in OUTPUTS],
                                 [' .023283064365387', ' 1073741824', '0x 4000 0000', ' 0', '', ''])
                self.assertEqual(closed['fields']['Ferror'], '-25000000')
                self.assertIsNone(closed['titles']['NewN'])

    def referenced_texts(self, name):
        """The texts of the elements the control's title and description
        name, by attribute."""
        return self.driver.execute_script("""
            const texts = {};
            const element = document.getElementById(arguments[0]);
            for (const attribute of ['aria-labelledby', 'aria-describedby']) {
              const ids = (element.getAttribute(attribute) || '').split(' ').filter(Boolean);
              texts[attribute] = ids.map((id) => document.getElementById(id)?.textContent ?? null).join(' ');
            }
            return texts;""", name)

    def test_hex_menu(self):
        # (field, text it holds, text selected, what the plain literal copies;
        # None: that entry is off). Copy is on while text is selected. Words
        # longer than a read chunk and than the engine's argument list come
        # back whole.
        long_digits = ('0123456789ABCDEF' * 626)[:10001]
        million_digits = ('FEDCBA9876543210' * 62500)[:999_998] + '1'
        table = [('Nhex', '0x 4000 0000', False, '0x40000000'),
                 ('NewNhex', '0x 028F 5C28 F5C3', True, '0x028F5C28F5C3'),
                 ('Nhex', 'edited', True, None), ('NewNhex', '', False, None),
                 ('Nhex', '0x ' + long_digits, False, '0x' + long_digits),
                 ('NewNhex', '0x' + million_digits, False, ('0x' + million_digits)[:self.field_cap])]
        for name, text, selected, literal in table:
            with self.subTest(field=name, text=escaped(text), selected=selected):
                self.open()
                if len(text) > 100:
                    self.paste_into(name, text)
                else:
                    self.type_into(name, text)
                self.driver.execute_script(
                    "window.copied = null; Object.defineProperty(navigator, 'clipboard', {configurable: true,"
                    " value: {writeText: (t) => { window.copied = t; return Promise.resolve(); }}});"
                    "const field = document.getElementById(arguments[0]); field.setSelectionRange(0, 0);"
                    # What a right click does to a selection is the engine's
                    # (WebKit drops it): the text is selected as the menu opens.
                    "if (arguments[1]) document.addEventListener('contextmenu', () => field.select(), true);",
                    name, selected)
                width = self.driver.execute_script(
                    'return document.getElementById(arguments[0]).getBoundingClientRect().width', name)
                ActionChains(self.driver).move_to_element_with_offset(
                    self.element(name), 6 - width / 2, 0).context_click().perform()
                self.assertEqual(self.element('MenuCopy').is_enabled(), selected, 'Copy')
                entry = self.element('MenuCopyLiteral')
                self.assertTrue(entry.is_displayed())
                self.assertEqual(entry.text, self.layout['copyLiteralCaption'])
                self.assertEqual(entry.is_enabled(), literal is not None)
                if literal is not None:
                    entry.click()
                    copied = self.driver.execute_script('return window.copied')
                    self.assertEqual(copied, literal, escaped(copied or ''))

    def test_spectrum_panel(self):
        # 10 MHz of 100 at 32 bits is N = 429496730 = 2 * odd: 12 phase bits
        # drop 20, so the truncation repeats every 2^19 samples.
        self.open()
        self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '10', 'Ferror': ''})
        ActionChains(self.driver).context_click(self.element('Nhex')).perform()
        self.element('MenuSpectrum').click()
        panel = self.driver.execute_script(
            "const d = document.getElementById('Spectrum');"
            "return {open: d.open, modal: d.matches(':modal'), svg: d.querySelector('svg') !== null};")
        self.assertEqual(panel, {'open': True, 'modal': False, 'svg': True})
        self.assertIn('Wanted N 429496730 with the entered clock 100 MHz', self.element('SpectrumHeading').text)
        desc = self.driver.execute_script("return document.querySelector('#SpectrumSketch svg desc').textContent")
        self.assertIn('strongest lines: image 90.000 0 MHz -19.08 dBc', desc)
        figures = lambda: self.element('SpectrumFigures').get_attribute('textContent')
        self.assertIn('Truncation: none', figures())
        self.type_into('SpectrumPhase', '12')
        self.assertIn('Truncation period 524288 samples, 524287 distinct spurs', figures(), escaped(figures()))
        self.calculate({'BitSize': '', 'Fclock': '100', 'Fwanted': '10', 'Ferror': ''})
        self.element('ReportOK').click()
        self.assertEqual(figures(), 'The last calculation did not reach this word.')


    def test_c_constant(self):
        # The run's word with what it gives; off again once the field holds no word.
        self.open()
        self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': ''})
        self.driver.execute_script(
            "window.copied = null; navigator.clipboard.writeText = (t) => { window.copied = t; return Promise.resolve(); };")
        ActionChains(self.driver).context_click(self.element('Nhex')).perform()
        entry = self.element('MenuCopyConstant')
        self.assertEqual(entry.text, self.layout['copyConstantCaption'])
        entry.click()
        self.assertEqual(self.driver.execute_script('return window.copied'),
                         '#define FTW 0x40000000u /* 1073741824: 25000000 Hz from 100 MHz at 32 bits, error 0 Hz, 0 ppb */')
        self.type_into('Nhex', 'edited')
        ActionChains(self.driver).context_click(self.element('Nhex')).perform()
        self.assertFalse(self.element('MenuCopyConstant').is_enabled())

    def test_long_pastes(self):
        # Over 8,192 code units (one read chunk), at a million, and at
        # millions, enough that the module's memory grows while the text is
        # written into it; blanks between two digits. (size, field, the two
        # digits, the other field's text, wanted N at 32 bits)
        table = [(10_001, 'Fwanted', '25', '100', ' 1073741824'), (1_000_000, 'Fclock', '50', '25', ' 2147483648'),
                 (7_000_000, 'Fwanted', '25', '100', ' 1073741824')]
        for size, name, digits, other, word in table:
            with self.subTest(field=name, size=size):
                self.open()
                self.type_into('Fclock' if name == 'Fwanted' else 'Fwanted', other)
                text = digits[0] + ' ' * (min(size, self.field_cap) - 2) + digits[1]
                self.paste_into(name, text)
                self.element('Go').click()
                after = self.state()
                self.assertEqual(len(after['fields'][name]), len(text))
                self.assertFalse(after['report'], after['reportText'])
                self.assertEqual(after['fields']['Nideal'], word, escaped(text))

    def test_content_policy(self):
        # Exactly this policy; the scripts allowed by their own hashes.
        self.open()
        policy, scripts = self.driver.execute_script("""return [
            document.querySelector('meta[http-equiv="Content-Security-Policy"]').content,
            Array.from(document.querySelectorAll('script:not([type])'), (s) => s.textContent)];""")
        hashes = ' '.join("'sha256-%s'" % base64.b64encode(hashlib.sha256(s.encode()).digest()).decode()
                          for s in scripts)
        self.assertEqual(policy, f"default-src 'none'; script-src {hashes} 'wasm-unsafe-eval'; "
                                 "style-src 'unsafe-inline'; font-src data:; img-src data:; "
                                 "base-uri 'none'; form-action 'none'")
        self.assertEqual(len(scripts), 2)

    def test_one_file_that_asks_for_nothing(self):
        page = pathlib.Path(self.args.page).resolve()
        self.assertLessEqual(page.stat().st_size, 1024 * 1024, 'at most 1 MiB')
        asked = []

        class Noting(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass

            def send_head(self):
                asked.append(self.path)
                return super().send_head()
        server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(Noting, directory=str(page.parent)))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        elsewhere = f'http://127.0.0.1:{server.server_port}/elsewhere'
        # What a page could ask for, each of which the policy must stop.
        attempts = """
            const [address, done] = arguments;
            const stopped = [];
            document.addEventListener('securitypolicyviolation', (e) => stopped.push(e.effectiveDirective));
            fetch(address + '/fetch').catch(() => {});
            new Image().src = address + '/image';
            const script = document.createElement('script');
            script.src = address + '/script';
            document.body.append(script);
            setTimeout(() => done(stopped.sort()), 500);"""
        try:
            for url in (self.url, f'http://127.0.0.1:{server.server_port}/{page.name}'):
                with self.subTest(url=url):
                    requested_addresses(self.driver)
                    asked.clear()
                    self.open(url)
                    self.calculate({'BitSize': '48', 'Fclock': '100', 'Fwanted': '60', 'Ferror': ''})
                    self.element('ReportOK').click()
                    requested = requested_addresses(self.driver)
                    if requested is not None:  # Firefox lists no file: address
                        self.assertEqual([address for address in requested if address != url], [])
                    self.assertEqual(asked, [] if url == self.url else ['/' + page.name])
                    self.assertEqual(self.driver.execute_async_script(attempts, elsewhere),
                                     ['connect-src', 'img-src', 'script-src-elem'])
                    self.assertEqual(asked, [] if url == self.url else ['/' + page.name])
                    self.driver.get_log('browser')  # the policy's own reports of what it stopped
        finally:
            server.shutdown()
            server.server_close()


# ---------------------------------------------------------------------------
# What the page does as the window does: whole words, the keyboard, the
# figures, screen readers, small screens and large text, the report, print.

def contrast(first, second):
    """WCAG's contrast ratio of two "rgb(r, g, b)" colours."""
    def luminance(colour):
        channels = [int(v) / 255 for v in colour[colour.index('(') + 1:colour.index(')')].split(',')[:3]]
        linear = [c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4 for c in channels]
        return 0.2126 * linear[0] + 0.7152 * linear[1] + 0.0722 * linear[2]
    lighter, darker = sorted((luminance(first), luminance(second)), reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


NEXT_FRAMES = "const done = arguments[arguments.length - 1]; requestAnimationFrame(() => requestAnimationFrame(() => done()));"
# A text's drawn width in a field's face, at the field's weight and at the
# regular weight, once the faces are loaded.
DRAWN_WIDTHS = """
const [name, text, done] = arguments;
document.fonts.ready.then(() => {
  const widths = [];
  for (const weight of [getComputedStyle(document.getElementById(name)).fontWeight, '400']) {
    const probe = document.createElement('span');
    probe.style.font = getComputedStyle(document.getElementById(name)).font;
    probe.style.fontWeight = weight;
    probe.style.whiteSpace = 'pre';
    probe.textContent = text;
    document.body.append(probe);
    widths.push(probe.getBoundingClientRect().width);
    probe.remove();
  }
  done(widths);
});"""
# Every caption and result whole, and nothing wider than the window.
CUT_TEXTS = """
const cut = [];
// A caption is cut where a word of it reaches out of its label's side by a
// pixel or more (the blank that ends a wrapped line may hang out, and
// Firefox counts it in the label's scroll width), or where a line of it
// falls below or above the label (a line's box may overhang its place by
// the font's leading). A result is cut where its text is wider than its
// field or the field reaches out of the calculator (whose coordinates are
// the field's also where an engine gives them unscaled).
const range = document.createRange();
for (const label of document.querySelectorAll('#Form1 .label')) {
  const box = label.getBoundingClientRect();
  const texts = document.createTreeWalker(label, NodeFilter.SHOW_TEXT);
  let outside = false;
  for (let node = texts.nextNode(); node; node = texts.nextNode()) {
    for (const word of node.data.matchAll(/\S+/g)) {
      range.setStart(node, word.index);
      range.setEnd(node, word.index + word[0].length);
      for (const r of range.getClientRects()) {
        const middle = (r.top + r.bottom) / 2;
        outside ||= r.width > 0 && (r.left <= box.left - 1 || r.right >= box.right + 1 ||
                                    middle < box.top || middle > box.bottom);
      }
    }
  }
  if (outside) cut.push(label.id);
}
const form = document.getElementById('Form1').getBoundingClientRect();
for (const field of document.querySelectorAll('#Form1 input')) {
  if (field.scrollWidth > field.clientWidth || field.getBoundingClientRect().right > form.right + 0.5) cut.push(field.id);
}
if (document.documentElement.scrollWidth > innerWidth) cut.push('page ' + document.documentElement.scrollWidth);
return cut;"""
# The rules the page gives a medium ('print', '(pointer: coarse)'), applied
# to the screen.
AS_MEDIUM = """
const rules = [];
for (const sheet of document.styleSheets) for (const rule of sheet.cssRules) {
  if (rule.media && rule.media.mediaText === arguments[0]) rules.push(...Array.from(rule.cssRules, (r) => r.cssText));
}
if (rules.length === 0) throw new Error('no rules for ' + arguments[0]);
const style = document.createElement('style');
style.textContent = rules.join('\\n');
document.head.append(style);"""
# The controls shown that are less than 24 pixels high or wide.
SMALL_TARGETS = """
return Array.from(document.querySelectorAll('#Form1 input, #Form1 button, #Form1 li, .panel button'))
  .filter((c) => c.getClientRects().length > 0 && getComputedStyle(c).visibility === 'visible')
  .filter((c) => { const r = c.getBoundingClientRect(); return r.width < 24 || r.height < 24; })
  .map((c) => c.id || c.textContent);"""
TEXT_SPACING = ('* { line-height: 1.5 !important; letter-spacing: 0.12em !important;'
                ' word-spacing: 0.16em !important; } p { margin-bottom: 2em !important; }')
WIDE_WORDS = {'BitSize': '48', 'Fclock': '100', 'Fwanted': '49.999999', 'Ferror': '1'}


class PageFeatureTest(unittest.TestCase):
    """Uses PageTest's browser helpers in a session of its own."""
    args = None
    open, element, type_into, state, calculate = PageTest.open, PageTest.element, PageTest.type_into, \
        PageTest.state, PageTest.calculate
    tearDown = PageTest.tearDown

    @classmethod
    def setUpClass(cls):
        cls.args = PageTest.args
        PageTest.setUpClass.__func__(cls)

    @classmethod
    def tearDownClass(cls):
        PageTest.tearDownClass.__func__(cls)

    def run_script(self, script, *args):
        return self.driver.execute_script(script, *args)

    def keys(self, *keys):
        """Presses the keys in turn; a modifier is held from its first
        mention to its next, as in an element's send_keys."""
        chain, held = ActionChains(self.driver), set()
        for key in keys:
            if key in (Keys.ALT, Keys.SHIFT, Keys.CONTROL):
                (chain.key_up if key in held else chain.key_down)(key)
                held ^= {key}
            else:
                chain.send_keys(key)
        chain.perform()

    def settle(self):
        self.driver.execute_async_script(NEXT_FRAMES)

    def test_long_words_whole(self):
        self.open()
        self.calculate(WIDE_WORDS)
        for name in ['Nideal', 'NewN', 'Resol', 'Nhex', 'NewNhex']:
            with self.subTest(field=name, text=escaped(self.element(name).get_property('value'))):
                self.assertLessEqual(self.element(name).get_property('scrollWidth'),
                                     self.element(name).get_property('clientWidth'))
                self.assertFalse(self.element(name + 'CutRight').is_displayed())
        self.assertEqual(self.element('Nideal').get_property('value'), ' 140737485540578')
        self.assertTrue(self.element('Nideal').value_of_css_property('font-family').startswith('"Liberation Sans Narrow"'))
        # Too long for any cut: the face stays and the cut edge is marked.
        self.type_into('Nideal', '1' * 40)
        self.element('Fclock').click()
        self.assertFalse(self.element('Nideal').value_of_css_property('font-family').startswith('"Liberation Sans Narrow"'))
        self.assertEqual([self.element('NidealCut' + side).is_displayed() for side in ('Left', 'Right')], [False, True])

    def test_keyboard_focus_selects_the_text(self):
        # (keys before typing, field typed into)
        for keys, name in [([], 'Fclock'), ([Keys.TAB], 'Fwanted'), ([Keys.TAB, Keys.TAB], 'Ferror'),
                           ([Keys.SHIFT, Keys.TAB, Keys.SHIFT], 'Resol')]:
            with self.subTest(keys=ascii(keys), field=name):
                self.open()
                self.keys(*keys, '30')
                self.assertEqual(self.element(name).get_property('value'), '30')

    def test_double_click_selects_the_number(self):
        for name, text, selected in [('Resol', ' .023283064365387', '.023283064365387'),
                                     ('Resol', ' 3.5527136788005E-07', '3.5527136788005E-07'),
                                     ('ActualClock', '-200.000000745058', '-200.000000745058'),
                                     ('NewN', ' 81198007799325 ', '81198007799325'),
                                     ('Nhex', '0x 4000 0000', '0x 4000 0000')]:
            with self.subTest(field=name, text=escaped(text)):
                self.open()
                self.type_into(name, text)
                ActionChains(self.driver).double_click(self.element(name)).perform()
                got = self.run_script('const f = arguments[0]; return f.value.slice(f.selectionStart, f.selectionEnd)',
                                      self.element(name))
                self.assertEqual(got, selected, escaped(got))

    def test_hex_words_drawn_bold(self):
        self.open()
        # The face's digits are as wide in bold as in regular; its A is
        # wider in bold by more than an engine's rounding of each advance to
        # whole pixels (WebKit's), so a regular cut loaded for the bold one
        # measures the same.
        for name in ['Nhex', 'NewNhex']:
            bold, regular = self.driver.execute_async_script(DRAWN_WIDTHS, name, 'A' * 20)
            self.assertGreater(bold, regular * 1.05, name)

    def test_figures_dialog(self):
        inputs = {'BitSize': '48', 'Fclock': '100', 'Fwanted': '23.711649', 'Ferror': '0'}
        # (how it is opened, the word, a line pair it shows)
        for how, name, lines in [('Alt+Enter', 'Nideal', 'Output +23.711 6 MHz\n    23711649.000000178944 Hz'),
                                 ('menu', 'NewNhex', 'Modified N 66742358500463 with the inferred clock ')]:
            with self.subTest(opened_by=how, field=name):
                self.open()
                self.keys(Keys.ALT, Keys.ENTER, Keys.ALT)
                self.assertFalse(self.element('Figures').is_displayed(), 'figures before a run')
                self.calculate(inputs)
                if how == 'menu':
                    ActionChains(self.driver).context_click(self.element(name)).perform()
                    self.element('MenuShowFigures').click()
                else:
                    self.element(name).click()
                    self.keys(Keys.ALT, Keys.ENTER, Keys.ALT)
                self.assertTrue(self.element('Figures').is_displayed())
                text = self.element('FiguresText').get_property('value')
                self.assertIn(lines, text)
                self.driver.execute_script(
                    "window.copied = null; navigator.clipboard.writeText = (t) => { window.copied = t; return Promise.resolve(); };")
                self.element('FiguresCopy').click()
                self.assertEqual(self.run_script('return window.copied'), text)
                self.keys(Keys.ESCAPE)
                self.assertFalse(self.element('Figures').is_displayed())
                self.assertEqual(self.state()['focus'], name)

    def test_bit_size_list_by_keyboard(self):
        # (keys in the box after typing 40, its text, list open, entry highlighted)
        alt_down = [Keys.ALT, Keys.ARROW_DOWN, Keys.ALT]
        alt_up = [Keys.ALT, Keys.ARROW_UP, Keys.ALT]
        for keys, text, open_, highlighted in [
                ([Keys.ARROW_DOWN], '48', False, None),
                ([Keys.ARROW_UP], '40', False, None),
                (alt_down, '40', True, '32'),
                ([Keys.F4, Keys.ARROW_DOWN], '40', True, '48'),
                ([Keys.F4, Keys.ARROW_DOWN, Keys.ENTER], '48', False, None),
                (alt_down + [Keys.ARROW_DOWN] + alt_up, '48', False, None),
                ([Keys.F4, Keys.ARROW_DOWN, Keys.ESCAPE], '40', False, None),
                ([Keys.F4, Keys.ARROW_DOWN, Keys.F4, Keys.ARROW_DOWN, Keys.ARROW_UP], '32', False, None)]:
            with self.subTest(keys=ascii(keys)):
                self.open()
                self.type_into('BitSize', '40')
                self.keys(*keys)
                box = self.element('BitSize')
                self.assertEqual(box.get_property('value'), text)
                self.assertEqual(self.element('BitSizeList').is_displayed(), open_)
                self.assertEqual(box.get_attribute('aria-expanded'), str(open_).lower())
                current = box.get_attribute('aria-activedescendant')
                self.assertEqual(current and self.element(current).get_property('textContent'), highlighted)

    def test_screen_reader_texts(self):
        self.open()
        self.assertEqual(self.element('Label9').aria_role, 'heading')
        self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': ''})
        self.settle()
        announced = self.element('Announcement')
        self.assertEqual(announced.get_attribute('aria-live'), 'polite')
        text = announced.get_property('textContent')
        self.assertEqual(text.count('Wanted N:  1073741824'), 1, escaped(text))
        self.assertIn('Wanted N, hexadecimal: 0x 4000 0000', text)
        self.calculate({'BitSize': '48', 'Fclock': '100', 'Fwanted': '60', 'Ferror': ''})
        report = self.element('Report')
        self.assertEqual(report.aria_role, 'alertdialog')
        self.assertEqual(self.element(report.get_attribute('aria-describedby')).text, self.state()['reportText'])

    def test_report_over_the_calculator(self):
        self.open()
        self.calculate({'BitSize': '48', 'Fclock': '100', 'Fwanted': '60', 'Ferror': ''})
        # The boxes as the page lays them out: a driver may refuse the box of
        # the form, which the open report makes inert.
        form, report = (self.run_script('const r = document.getElementById(arguments[0]).getBoundingClientRect();'
                                        'return {x: r.x, y: r.y, width: r.width, height: r.height};', name)
                        for name in ('Form1', 'Report'))
        for axis, size in (('x', 'width'), ('y', 'height')):
            self.assertAlmostEqual(report[axis] + report[size] / 2, form[axis] + form[size] / 2, delta=1, msg=axis)
        backdrop = self.run_script("return getComputedStyle(arguments[0], '::backdrop').backgroundColor",
                                   self.element('Report'))
        self.assertNotIn(backdrop, ('transparent', 'rgba(0, 0, 0, 0)'))

    def test_fits_small_screens_and_large_text(self):
        # (what is changed, the window's size, style added)
        for what, size, style in [('a phone', (360, 640), None),
                                  ('minimum font size 16 px', (800, 600), '#Form1 * { font-size: 16px !important; }'),
                                  ('text spacing', (800, 600), TEXT_SPACING)]:
            with self.subTest(what):
                self.driver.set_window_size(*size)
                try:
                    self.open()
                    self.assertEqual(self.run_script('return innerWidth'), size[0])
                    if style:
                        self.run_script("const s = document.createElement('style'); s.textContent = arguments[0];"
                                        "document.head.append(s);", style)
                    self.settle()
                    self.assertEqual(self.run_script(CUT_TEXTS), [], 'before a run')
                    self.calculate(WIDE_WORDS)
                    self.settle()
                    self.assertEqual(self.run_script(CUT_TEXTS), [], 'after a run')
                finally:
                    self.driver.set_window_size(800, 600)

    def test_print(self):
        self.open()
        self.calculate(WIDE_WORDS)
        self.run_script(AS_MEDIUM, 'print')
        self.settle()
        self.assertFalse(self.element('Go').is_displayed())
        self.assertEqual(self.run_script(CUT_TEXTS), [])
        printed = self.element('PrintFigures').text
        self.assertIn('Wanted N 140737485540578 with the entered clock 100 MHz', printed)
        self.assertIn('Modified N ', printed)

    def test_touch_targets(self):
        # (what is opened or changed, how)
        for what, how in [('the bit-size list', lambda: self.element('BitSizeDrop').click()),
                          ('the word menu', lambda: ActionChains(self.driver).context_click(
                              self.element('Nhex')).perform()),
                          ('the report', lambda: self.calculate(
                              {'BitSize': '48', 'Fclock': '100', 'Fwanted': '60', 'Ferror': ''})),
                          ('a phone 320 pixels wide', lambda: self.driver.set_window_size(320, 640))]:
            with self.subTest(what):
                try:
                    self.open()
                    self.run_script(AS_MEDIUM, '(pointer: coarse)')
                    self.type_into('Fclock', '100')
                    how()
                    self.settle()
                    self.assertEqual(self.run_script(SMALL_TARGETS), [])
                finally:
                    self.driver.set_window_size(800, 600)

    def test_quiet_and_readable(self):
        self.open()
        messages = [entry['message'] for entry in self.driver.get_log('browser')]
        self.assertEqual([m for m in messages if 'utofocus' in m], [])
        border = self.element('Ferror').value_of_css_property('border-top-color')
        ground = self.element('Form1').value_of_css_property('background-color')
        self.assertGreaterEqual(contrast(border, ground), 3, (border, ground))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--engine', choices=ENGINES, default='chromium')
    parser.add_argument('--page', required=True)
    parser.add_argument('--layout', required=True)
    parser.add_argument('--cases', required=True)
    PageTest.args, rest = parser.parse_known_args()
    if not pathlib.Path(PageTest.args.page).is_file():
        print(f'page_test: {PageTest.args.page} is not built (make web); skipped')
        sys.exit(77)
    # WebKit cuts a text field's text at 524,288 characters.
    PageTest.field_cap = 524_288 if PageTest.args.engine == 'webkit' else sys.maxsize
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
