#!/usr/bin/python3
"""The page's figures on this machine, in each engine (Chromium, Firefox ESR,
WebKitGTK): its size; the time from opening the file until Calculate works,
in a new profile (cold) and reopened (warm), beside the same file with its
scripts taken out (the floor: what opening a file of that size costs); a
Calculate's time until its texts are in the fields (and the next frame);
and a 1,000,000-character paste answered, reactions and Calculate.

  page_bench.py build-web/quorvel.html [ENGINE...]
"""

import os
import pathlib
import re
import statistics
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'scripts'))
from page_driver import ENGINES, browser, calculate, open_page  # noqa: E402

COLD = 3
# Warm opens come from several browsers, reopening in each: one browser's
# figures move together from one start to the next (its floor by up to a
# third), so a single browser's median can land either side of the goal.
WARM_BROWSERS = 3
WARM = 10
CALCULATES = 50
MILLION = 1_000_000
WARM_GOAL_MS = 150
FLOOR_FACTOR_GOAL = 2


def without_scripts(page, folder):
    """The page with its executable scripts taken out; its data (layout,
    compiled calculator) kept, so that the file is nearly as large."""
    text = pathlib.Path(page).read_text(encoding='utf-8')
    floor = pathlib.Path(folder) / 'floor.html'
    floor.write_text(re.sub(r'<script>.*?</script>', '', text, flags=re.S), encoding='utf-8')
    return floor


def open_floor(driver, floor):
    """Opens the page without scripts: the milliseconds from the start of
    the navigation to the end of its load event."""
    driver.get(floor.resolve().as_uri())
    return driver.execute_async_script("""
        const done = arguments[0];
        (function wait() { const entry = performance.getEntriesByType('navigation')[0];
          entry && entry.loadEventEnd > 0 ? done(entry.loadEventEnd) : setTimeout(wait, 1); })();""")


def opens(engine, page, floor):
    """(cold, warm) times of the page and of the floor, in milliseconds."""
    cold, cold_floor, warm, warm_floor = [], [], [], []
    for _ in range(COLD):
        with browser(engine) as driver:
            cold.append(open_page(driver, page))
        with browser(engine) as driver:
            cold_floor.append(open_floor(driver, floor))
    for _ in range(WARM_BROWSERS):
        with browser(engine) as driver:
            open_page(driver, page)
            open_floor(driver, floor)
            for _ in range(WARM):
                warm.append(open_page(driver, page))
                warm_floor.append(open_floor(driver, floor))
    return cold, cold_floor, warm, warm_floor


def paste_answered(driver):
    """A million characters pasted into the wanted frequency: the
    milliseconds until the frame after its reactions."""
    driver.find_element('id', 'Fwanted').click()
    return driver.execute_async_script("""
        const [text, done] = arguments;
        const field = document.getElementById('Fwanted');
        field.select();
        const start = performance.now();
        document.execCommand('insertText', false, text);
        requestAnimationFrame(() => done(performance.now() - start));""", '2' + ' ' * (MILLION - 2) + '5')


def bench(engine, page, floor):
    cold, cold_floor, warm, warm_floor = opens(engine, page, floor)
    median, floor_median = statistics.median(warm), statistics.median(warm_floor)
    print(f'Page in {engine}, interactive after opening: warm median {median:.0f} ms, worst {max(warm):.0f} ms '
          f'of {len(warm)} ({WARM_BROWSERS} browsers, {WARM} reopenings each); without its scripts {floor_median:.0f} ms, so {median / floor_median:.1f}x '
          f'(goal: at most {WARM_GOAL_MS} ms and {FLOOR_FACTOR_GOAL}x); cold median '
          f'{statistics.median(cold):.0f} ms, worst {max(cold):.0f} ms of {COLD} new profiles '
          f'(without its scripts {statistics.median(cold_floor):.0f} ms)')
    with browser(engine) as driver:
        open_page(driver, page)
        texts = {'BitSize': '48', 'Fclock': '100', 'Fwanted': '23.711649', 'Ferror': '12.5'}
        runs = [calculate(driver, texts) for _ in range(CALCULATES)]
        applied = [run[0] for run in runs]
        frame = [run[1] for run in runs]
        print(f'Page in {engine}, Calculate: texts in the fields after median {statistics.median(applied):.2f} ms, '
              f'worst {max(applied):.2f} ms; next frame after median {statistics.median(frame):.1f} ms '
              f'of {CALCULATES} runs (goal: on screen within one frame, 16 ms)')
        open_page(driver, page)
        pasted = paste_answered(driver)
        applied, frame = calculate(driver, {})
        print(f'Page in {engine}, {MILLION:,}-character paste: reactions on screen {pasted:.0f} ms after it '
              f'began; then Calculate: texts in the fields after {applied:.0f} ms, next frame after '
              f'{frame:.0f} ms (goal: answered within 1 s)')


def main():
    page = sys.argv[1]
    engines = sys.argv[2:] or ENGINES
    size = os.path.getsize(page)
    print(f'Page {page}: {size:,} bytes = {size / 1024:.0f} KiB (goal: at most 1024 KiB)')
    with tempfile.TemporaryDirectory() as folder:
        floor = without_scripts(page, folder)
        for engine in engines:
            bench(engine, page, floor)


if __name__ == '__main__':
    main()
