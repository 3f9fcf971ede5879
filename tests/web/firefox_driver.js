// Firefox ESR under puppeteer-core over WebDriver BiDi, for the page's test
// and benchmark: one JSON request a line on standard input, one JSON answer a
// line on standard output ({value} or {error}). scripts/page_driver.py gives
// it the same surface as selenium's WebDriver.
//   node firefox_driver.js PROFILE_DIR WIDTH HEIGHT
'use strict';
const readline = require('node:readline');
const puppeteer = require('puppeteer-core');

const [profile, width, height] = process.argv.slice(2);
// Debian's Firefox ESR, or the one QUORVEL_FIREFOX names (another release).
const kFirefox = process.env.QUORVEL_FIREFOX || '/usr/bin/firefox-esr';
// Nothing the browser does on its own may reach the network.
const kQuietPrefs = {
  'app.update.enabled': false,
  'browser.safebrowsing.malware.enabled': false,
  'browser.safebrowsing.phishing.enabled': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'datareporting.policy.dataSubmissionEnabled': false,
  'toolkit.telemetry.enabled': false,
};

// How long a viewport change may take to show: 50 tries 20 ms apart.
const kViewportTries = 50;
const kViewportPollMs = 20;

let page = null;
const handles = new Map();
let nextHandle = 1;
const consoleErrors = [];
const requests = [];

function remember(handle) {
  if (!handle) return null;
  const id = nextHandle++;
  handles.set(id, handle);
  return id;
}

function handleOf(id) {
  const handle = handles.get(id);
  if (!handle) throw new Error(`no element ${id}`);
  return handle;
}

// Arguments as selenium passes them: elements stand as {__element: id}.
function argumentsOf(args) {
  return args.map((arg) => (arg && typeof arg === 'object' && '__element' in arg ? handleOf(arg.__element) : arg));
}

// A selenium script is a function body that reads `arguments`; an
// asynchronous one calls its last argument when done. The function is made
// here, outside the page, whose policy allows no eval.
function scriptFunction(body, isAsync) {
  if (!isAsync) return new Function(body);
  return new Function(`const args = Array.from(arguments);
    return new Promise((done) => { args.push(done); (function () { ${body} }).apply(null, args); });`);
}

async function find(request) {
  const selector = request.by === 'id' ? `[id="${request.value.replace(/["\\]/g, '\\$&')}"]` : request.value;
  const found = await page.$$(selector);
  return found.map(remember);
}

async function keys(steps) {
  for (const [what, key] of steps) {
    if (what === 'down') await page.keyboard.down(key);
    else if (what === 'up') await page.keyboard.up(key);
    else if (what === 'press') await page.keyboard.press(key);
    else await page.keyboard.type(key);
  }
}

// A move and then presses and releases of one button go as one click of
// that count: Firefox counts a double-click only within one action sequence.
function clickOf(steps) {
  const [move, ...presses] = steps;
  const button = presses.length ? presses[0][3] : null;
  const alternate = presses.every(([what, , , held], i) => what === (i % 2 ? 'up' : 'down') && held === button);
  if (move[0] !== 'move' || presses.length === 0 || presses.length % 2 || !alternate) return null;
  return { x: move[1], y: move[2], button, count: presses.length / 2 };
}

async function pointer(steps) {
  const click = clickOf(steps);
  if (click) {
    await page.mouse.click(click.x, click.y, { button: click.button, count: click.count });
    return;
  }
  for (const [what, x, y, button] of steps) {
    if (what === 'move') await page.mouse.move(x, y);
    else if (what === 'down') await page.mouse.down({ button });
    else await page.mouse.up({ button });
  }
}

const operations = {
  async get({ url }) {
    handles.clear();
    await page.goto(url, { waitUntil: 'load' });
  },
  async script({ body, args, isAsync }) {
    return page.evaluate(scriptFunction(body, isAsync), ...argumentsOf(args));
  },
  find,
  async click({ element }) {
    await handleOf(element).click();
  },
  async focus({ element }) {
    await handleOf(element).focus();
  },
  // Whether the element's computed role, as the accessibility tree gives
  // it to assistive technology, is the role named.
  async hasRole({ element, role }) {
    const target = handleOf(element);
    for (const found of await page.$$(`::-p-aria([role="${role.replace(/["\\]/g, '')}"])`)) {
      if (await page.evaluate((a, b) => a === b, found, target)) return true;
    }
    return false;
  },
  async setViewport({ width, height }) {
    try {
      await page.setViewport({ width, height });
    } catch (error) {
      // Firefox ESR 140 knows no screen-orientation override, which
      // puppeteer sends beside the viewport; the viewport is set all the same.
      if (!String(error && error.message).includes('setScreenOrientationOverride')) throw error;
      // (Polled from here: the page's policy allows no eval, which
      // waitForFunction needs.)
      for (let tries = 0; tries < kViewportTries; tries += 1) {
        if (await page.evaluate((w, h) => innerWidth === w && innerHeight === h, width, height)) return;
        await new Promise((resolve) => setTimeout(resolve, kViewportPollMs));
      }
      throw new Error(`the viewport did not become ${width}x${height}`);
    }
  },
  keys: ({ steps }) => keys(steps),
  pointer: ({ steps }) => pointer(steps),
  log({ kind }) {
    const list = kind === 'browser' ? consoleErrors : requests;
    return list.splice(0, list.length);
  },
};

async function main() {
  const browser = await puppeteer.launch({
    browser: 'firefox', executablePath: kFirefox, headless: true, userDataDir: profile,
    defaultViewport: { width: Number(width), height: Number(height) }, extraPrefsFirefox: kQuietPrefs,
  });
  // The tab Firefox opens with never gets the focus when headless, so no
  // focus or blur event would reach the page: a tab of our own does.
  const [first] = await browser.pages();
  page = await browser.newPage();
  if (first) await first.close();
  page.on('console', (message) => {
    if (message.type() === 'error') consoleErrors.push({ level: 'SEVERE', message: message.text() });
  });
  page.on('pageerror', (error) => consoleErrors.push({ level: 'SEVERE', message: String(error) }));
  page.on('request', (request) => requests.push(request.url()));
  const answer = (reply) => process.stdout.write(`${JSON.stringify(reply)}\n`);
  answer({ value: 'ready' });
  for await (const line of readline.createInterface({ input: process.stdin })) {
    const request = JSON.parse(line);
    if (request.op === 'quit') break;
    try {
      answer({ value: (await operations[request.op](request)) ?? null });
    } catch (error) {
      answer({ error: String(error && error.message ? error.message : error) });
    }
  }
  await browser.close();
}

main().catch((error) => {
  process.stderr.write(`firefox_driver: ${error && error.stack ? error.stack : error}\n`);
  process.exit(1);
});
