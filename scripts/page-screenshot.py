#!/usr/bin/python3
"""Draws the page after the calculation the window's picture shows, into a
PNG of the window's client area:
  scripts/page-screenshot.py build-web/quorvel.html docs/page.png"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page_driver import calculate, chromium, open_page  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402


def main():
    page, out = sys.argv[1], sys.argv[2]
    with chromium() as driver:
        open_page(driver, page)
        calculate(driver, {'Fwanted': '10.7', 'Ferror': '12.5'})
        driver.find_element(By.ID, 'Fclock').click()
        driver.find_element(By.ID, 'Form1').screenshot(out)
    print(f'page-screenshot: wrote {out}')


if __name__ == '__main__':
    main()
