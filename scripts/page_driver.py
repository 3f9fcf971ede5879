"""Headless Chromium from Debian, driven by Debian's selenium, for the
page's test, benchmark and screenshot: a fresh profile, no network services, one
CSS pixel to a screen pixel."""

import contextlib
import pathlib
import tempfile

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


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
    with tempfile.TemporaryDirectory() as profile:
        driver = start_chromium(chromium_options(profile, width, height))
        try:
            yield driver
        finally:
            driver.quit()


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
