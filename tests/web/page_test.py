#!/usr/bin/python3
"""The page in headless Chromium: every shared worked case typed in, the
controls against the layout table, the reactions, the focus order and keys,
the report, the word figures, the plain literal, a long paste; and nothing
leaves the page, nothing goes to its console as an error.

  page_test.py --page build-web/quorvel.html --layout QUORVEL_PAGE_TABLES --cases QUORVEL_WORKED_CASES
Exits with 77 (skipped) when the page has not been built.
"""

import argparse
import functools
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
from page_driver import chromium_options, start_chromium  # noqa: E402

# The run-time errors as the report gives them, from the window's rules.
DESCRIPTIONS = {6: 'Overflow', 11: 'Division by zero', 13: 'Type mismatch'}
PINK, WHITE = 'rgb(255, 192, 255)', 'rgb(255, 255, 255)'
OUTPUTS = ['Resol', 'Nideal', 'Nhex', 'ActualClock', 'NewN', 'NewNhex']
WORD_FIELDS = ['Nideal', 'Nhex', 'NewN', 'NewNhex']
INPUTS = ['BitSize', 'Fclock', 'Fwanted', 'Ferror']

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
        cls.profile = tempfile.TemporaryDirectory()
        options = chromium_options(cls.profile.name)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL', 'performance': 'ALL'})
        cls.driver = start_chromium(options)
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
        return self.driver.execute_script(
            'return getComputedStyle(document.getElementById(arguments[0])).backgroundColor', name)

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
                    self.assertEqual(self.driver.execute_script('return arguments[0].textContent', element),
                                     control['caption'])
                if 'text' in control:
                    self.assertEqual(element.get_property('value'), control['text'])
                look = control.get('look')
                if look:
                    self.assertEqual(self.colour(name), PINK if look == 'input' else WHITE)
                if look == 'hex':
                    self.assertEqual(element.value_of_css_property('color'), 'rgba(0, 0, 255, 1)')
                    self.assertEqual(element.value_of_css_property('font-weight'), '700')
        heading = self.element('Label9')
        self.assertEqual(heading.value_of_css_property('color'), 'rgba(0, 128, 0, 1)')
        self.assertEqual(heading.value_of_css_property('font-size'), '13px')
        self.assertEqual(self.element('Label1').value_of_css_property('font-size'), '11px')
        self.assertTrue(self.element('Form1').value_of_css_property('font-family').startswith('"MS Sans Serif"'))
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
        self.open()
        first = self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': '10'})
        failed = self.calculate({'BitSize': '32', 'Fclock': '100', 'Fwanted': '25', 'Ferror': '-25000000'})
        self.assertTrue(failed['report'])
        # While the report is open the fields show what the stopped run left.
        self.assertEqual(failed['fields']['NewN'], first['fields']['NewN'])
        self.assertEqual(failed['fields']['ActualClock'], ' 0')
        self.element('ReportOK').click()
        closed = self.state()
        self.assertFalse(closed['report'])
        self.assertEqual([closed['fields'][name] for name in OUTPUTS],
                         [' .023283064365387', ' 1073741824', '0x 4000 0000', ' 0', '', ''])
        self.assertEqual(closed['fields']['Ferror'], '-25000000')
        self.assertIsNone(closed['titles']['NewN'])

    def test_plain_literal(self):
        # (field, text it holds, what the menu copies; None: the entry is off)
        table = [('Nhex', '0x 4000 0000', '0x40000000'), ('NewNhex', '0x 028F 5C28 F5C3', '0x028F5C28F5C3'),
                 ('Nhex', 'edited', None), ('NewNhex', '', None)]
        for name, text, literal in table:
            with self.subTest(field=name, text=escaped(text)):
                self.open()
                self.type_into(name, text)
                self.driver.execute_script(
                    "window.copied = null; navigator.clipboard.writeText = (t) => { window.copied = t; return Promise.resolve(); };")
                ActionChains(self.driver).context_click(self.element(name)).perform()
                entry = self.element('MenuCopyLiteral')
                self.assertTrue(entry.is_displayed())
                self.assertEqual(entry.text, self.layout['copyLiteralCaption'])
                self.assertEqual(entry.is_enabled(), literal is not None)
                if literal is not None:
                    entry.click()
                    self.assertEqual(self.driver.execute_script('return window.copied'), literal)

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

    def test_million_character_paste(self):
        self.open()
        wanted = '2' + ' ' * 999998 + '5'
        self.element('Fwanted').send_keys(Keys.CONTROL, 'a')
        self.driver.execute_cdp_cmd('Input.insertText', {'text': wanted})
        self.driver.execute_script(RECORD_WRITES)
        self.element('Go').click()
        after = self.state()
        self.assertEqual(len(after['fields']['Fwanted']), len(wanted))
        self.assertEqual(after['fields']['Nideal'], ' 1073741824', escaped(wanted))

    def test_one_file_that_asks_for_nothing(self):
        page = pathlib.Path(self.args.page).resolve()
        self.assertLessEqual(page.stat().st_size, 1024 * 1024, 'at most 1 MiB')
        class Quiet(http.server.SimpleHTTPRequestHandler):
            def log_message(self, *args):
                pass
        server = http.server.ThreadingHTTPServer(
            ('127.0.0.1', 0), functools.partial(Quiet, directory=str(page.parent)))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            for url in (self.url, f'http://127.0.0.1:{server.server_port}/{page.name}'):
                with self.subTest(url=url):
                    self.driver.get_log('performance')
                    self.open(url)
                    self.calculate({'BitSize': '48', 'Fclock': '100', 'Fwanted': '60', 'Ferror': ''})
                    self.element('ReportOK').click()
                    requested = [json.loads(entry['message'])['message']['params']['request']['url']
                                 for entry in self.driver.get_log('performance')
                                 if json.loads(entry['message'])['message']['method'] == 'Network.requestWillBeSent']
                    self.assertEqual([u for u in requested if not u.startswith('data:')], [url])
        finally:
            server.shutdown()
            server.server_close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--page', required=True)
    parser.add_argument('--layout', required=True)
    parser.add_argument('--cases', required=True)
    PageTest.args, rest = parser.parse_known_args()
    if not pathlib.Path(PageTest.args.page).is_file():
        print(f'page_test: {PageTest.args.page} is not built (make web); skipped')
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == '__main__':
    main()
