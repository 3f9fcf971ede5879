// The page's script: moves texts between the page's controls and the
// compiled calculator and applies what a run made, in the order it made it.
// Every number, text and caption comes from the module or from the layout
// the page was built from; nothing here reads or writes a number.
'use strict';
(() => {
  const layout = JSON.parse(document.getElementById('Layout').textContent);
  const control = (name) => document.getElementById(name);
  const fieldIndex = new Map(layout.fields.map((name, index) => [name, index]));
  const inputs = layout.fields.slice(0, layout.inputCount);
  const outputs = layout.fields.slice(layout.inputCount);
  const hexFields = layout.controls.filter((c) => c.look === 'hex').map((c) => c.name);
  const go = control('Go');
  const report = control('Report');

  // The module, and the page's calculator in it, once compiled. A click that
  // comes before waits for it; later clicks run at once.
  let calculator = null;
  // The compiled calculator travels in the page as base64.
  const encoded = atob(document.getElementById('Calculator').textContent);
  const wasmBinary = new Uint8Array(encoded.length);
  for (let at = 0; at < encoded.length; at += 1) wasmBinary[at] = encoded.charCodeAt(at);
  const ready = QuorvelModule({ wasmBinary }).then((module) => {
    const page = module._quorvel_page_new();
    calculator = { module, page };
    performance.mark('quorvel-interactive');
    return calculator;
  });

  // Texts cross as UTF-16 code units, one for one, so that whatever the
  // user typed reaches the calculation unchanged.
  const kChunk = 8192;
  function readText({ module }, handle) {
    const start = module._quorvel_text_data(handle) >> 1;
    const units = module.HEAPU16.subarray(start, start + module._quorvel_text_length(handle));
    let text = '';
    for (let at = 0; at < units.length; at += kChunk) {
      text += String.fromCharCode.apply(null, units.subarray(at, at + kChunk));
    }
    return text;
  }
  function writeText({ module, page }, handle, text) {
    const data = module._quorvel_text_resize(page, handle, text.length);
    if (!data) return;
    // Read after the resize: growing the memory replaces the view.
    const units = module.HEAPU16;
    const start = data >> 1;
    for (let at = 0; at < text.length; at += 1) units[start + at] = text.charCodeAt(at);
  }

  // The change reactions. A change is any change of the text: typing,
  // deleting, pasting, or a set-text of the Calculate action.
  function Fclock_Change() {
    control('Fclock').classList.add('edited');
    go.hidden = false;
  }
  function Fwanted_Change() {
    control('Fwanted').classList.add('edited');
    go.hidden = false;
  }
  function Ferror_Change() {
    control('Ferror').classList.add('edited');
  }
  const changeReaction = { Fclock: Fclock_Change, Fwanted: Fwanted_Change, Ferror: Ferror_Change };
  for (const [name, reaction] of Object.entries(changeReaction)) control(name).addEventListener('input', reaction);

  // A field the calculation writes shows the start of its text, where the
  // most significant digits are and the number comes before any marker.
  function setText(name, text) {
    const field = control(name);
    const changed = field.value !== text;
    field.value = text;
    field.scrollLeft = 0;
    if (document.activeElement === field) field.setSelectionRange(0, 0);
    if (changed && changeReaction[name]) changeReaction[name]();
  }

  function setTip(name, tip) {
    if (tip) control(name).title = tip;
    else control(name).removeAttribute('title');
  }

  // The Calculate action, then the word figures, then the report of a run
  // that stopped; the outputs it did not reach are emptied once the report
  // is closed.
  function calculate(state) {
    const { module, page } = state;
    for (const name of inputs) {
      writeText(state, module._quorvel_page_input(page, fieldIndex.get(name)), control(name).value);
    }
    const count = module._quorvel_page_calculate(page);
    const written = new Set();
    for (let index = 0; index < count; index += 1) {
      const name = layout.fields[module._quorvel_page_write_field(page, index)];
      written.add(name);
      setText(name, readText(state, module._quorvel_page_write_text(page, index)));
    }
    // Only the word fields have tips; the others get none.
    for (const name of outputs) {
      setTip(name, readText(state, module._quorvel_page_tip(page, fieldIndex.get(name))));
    }
    for (const name of layout.fields) {
      control(name + 'Description').textContent =
        readText(state, module._quorvel_page_description(page, fieldIndex.get(name)));
    }
    refreshSpectrum();
    const stop = module._quorvel_page_report(page);
    if (stop) {
      showReport(readText(state, stop), () => {
        for (const name of outputs) if (!written.has(name)) setText(name, '');
      });
    }
  }

  function Go_Click() {
    if (calculator) calculate(calculator);
    else ready.then(calculate);
  }
  go.addEventListener('click', Go_Click);

  // Closing the report, by its button or by Escape, runs what follows it at
  // once, as a modal box returns to the code that opened it.
  let afterReport = null;
  function showReport(text, afterClose) {
    control('ReportText').textContent = text;
    afterReport = afterClose;
    report.showModal();
    control('ReportOK').focus();
  }
  function closeReport() {
    report.close();
    const then = afterReport;
    afterReport = null;
    if (then) then();
  }
  control('ReportOK').addEventListener('click', closeReport);
  report.addEventListener('cancel', (event) => {
    event.preventDefault();
    closeReport();
  });

  // Tab and Shift+Tab go round the controls in the window's order, the
  // Calculate button only while it is shown.
  control('Form1').addEventListener('keydown', (event) => {
    if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
    const order = layout.focusOrder.map(control).filter((element) => !element.hidden);
    const at = order.indexOf(document.activeElement);
    if (at < 0) return;
    event.preventDefault();
    const step = event.shiftKey ? order.length - 1 : 1;
    order[(at + step) % order.length].focus();
  });

  // The bit-size box: any text typed, or an entry picked from its list.
  const bitSize = control('BitSize');
  const bitSizeList = control('BitSizeList');
  const entries = Array.from(bitSizeList.children);
  function showList(shown) {
    bitSizeList.hidden = !shown;
    bitSize.setAttribute('aria-expanded', String(shown));
  }
  function pick(entry) {
    bitSize.value = entry.textContent;
    showList(false);
    bitSize.focus();
  }
  control('BitSizeDrop').addEventListener('mousedown', (event) => {
    event.preventDefault();
    showList(bitSizeList.hidden);
    bitSize.focus();
  });
  for (const entry of entries) {
    entry.addEventListener('mousedown', (event) => {
      event.preventDefault();
      pick(entry);
    });
  }
  bitSize.addEventListener('blur', () => showList(false));
  bitSize.addEventListener('keydown', (event) => {
    const down = event.key === 'ArrowDown';
    if ((down && event.altKey) || event.key === 'F4') {
      showList(bitSizeList.hidden);
    } else if ((down || event.key === 'ArrowUp') && !event.altKey) {
      // Up and down step through the entries, from the one shown.
      const at = entries.findIndex((entry) => entry.textContent === bitSize.value);
      const next = at < 0 ? 0 : Math.min(Math.max(at + (down ? 1 : -1), 0), entries.length - 1);
      bitSize.value = entries[next].textContent;
    } else if (event.key === 'Escape' && !bitSizeList.hidden) {
      showList(false);
    } else {
      return;
    }
    event.preventDefault();
  });

  // The hex fields' menu: copy, select all, and the word as a plain literal
  // ("0x40000000") that source code and register tools take as it stands.
  // Shift with the menu key or right button gives the browser's own menu.
  const menu = control('HexMenu');
  let menuField = null;
  function plainLiteral(text) {
    if (!calculator) return null;
    const { module, page } = calculator;
    writeText(calculator, module._quorvel_page_scratch(page), text);
    const literal = module._quorvel_page_plain_literal(page);
    return literal ? readText(calculator, literal) : null;
  }
  function closeMenu() {
    menu.hidden = true;
    if (menuField) menuField.focus();
    menuField = null;
  }
  function copyText(text) {
    const fallback = () => {
      const scratch = document.createElement('textarea');
      scratch.value = text;
      document.body.append(scratch);
      scratch.select();
      document.execCommand('copy');
      scratch.remove();
    };
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(fallback);
    else fallback();
  }
  for (const name of hexFields) {
    const field = control(name);
    field.addEventListener('contextmenu', (event) => {
      if (event.shiftKey) return;
      event.preventDefault();
      menuField = field;
      const literal = plainLiteral(field.value);
      control('MenuCopyLiteral').disabled = literal === null;
      control('MenuCopy').disabled = field.selectionStart === field.selectionEnd;
      const box = control('Form1').getBoundingClientRect();
      const fieldBox = field.getBoundingClientRect();
      const x = event.clientX || fieldBox.left;
      const y = event.clientY || fieldBox.bottom;
      menu.style.left = `${x - box.left}px`;
      menu.style.top = `${y - box.top}px`;
      menu.hidden = false;
      // Near the right edge of the window the menu opens to the left.
      const overhang = menu.getBoundingClientRect().right - document.documentElement.clientWidth;
      if (overhang > 0) menu.style.left = `${x - box.left - overhang}px`;
      menu.querySelector('button:not(:disabled)').focus();
    });
    // A double-click selects the whole word, "0x" and every group.
    field.addEventListener('dblclick', () => field.select());
  }
  control('MenuCopy').addEventListener('click', () => {
    const field = menuField;
    closeMenu();
    copyText(field.value.slice(field.selectionStart, field.selectionEnd));
  });
  control('MenuSelectAll').addEventListener('click', () => {
    const field = menuField;
    closeMenu();
    field.select();
  });
  control('MenuCopyLiteral').addEventListener('click', () => {
    const literal = plainLiteral(menuField.value);
    closeMenu();
    if (literal !== null) copyText(literal);
  });
  menu.addEventListener('keydown', (event) => {
    const items = Array.from(menu.querySelectorAll('button:not(:disabled)'));
    const at = items.indexOf(document.activeElement);
    if (event.key === 'Escape' || event.key === 'Tab') closeMenu();
    else if (event.key === 'ArrowDown') items[(at + 1) % items.length].focus();
    else if (event.key === 'ArrowUp') items[(at + items.length - 1) % items.length].focus();
    else return;
    event.preventDefault();
  });
  menu.addEventListener('focusout', (event) => {
    if (!menu.hidden && !menu.contains(event.relatedTarget)) {
      menu.hidden = true;
      menuField = null;
    }
  });

  // The spectrum panel of a word field: heading, sketch (SVG text from the
  // module, inline) and figures, redrawn at once when P or H changes and
  // after each Calculate. Opened from the hex fields' menu, or with
  // Ctrl+Shift+S in any word field; not modal.
  const spectrum = control('Spectrum');
  const spectrumFields = ['Nideal', 'Nhex', 'NewN', 'NewNhex'];
  let spectrumField = null;
  function refreshSpectrum() {
    if (!calculator || !spectrum.open) return;
    const { module, page } = calculator;
    const dark = window.matchMedia('(prefers-color-scheme: dark)').matches ? 1 : 0;
    const phase = control('SpectrumPhase').valueAsNumber || 0;
    const harmonics = control('SpectrumHarmonics').valueAsNumber || 0;
    module._quorvel_page_spectrum(page, fieldIndex.get(spectrumField), phase, harmonics, dark);
    const part = (index) => readText(calculator, module._quorvel_page_spectrum_part(page, index));
    control('SpectrumHeading').textContent = part(0);
    control('SpectrumFigures').textContent = part(1);
    control('SpectrumSketch').innerHTML = part(2);
  }
  function showSpectrum(name) {
    spectrumField = name;
    if (!spectrum.open) spectrum.show();
    refreshSpectrum();
    control('SpectrumFigures').focus();
  }
  control('MenuSpectrum').addEventListener('click', () => {
    const name = menuField.id;
    closeMenu();
    showSpectrum(name);
  });
  for (const name of spectrumFields) {
    control(name).addEventListener('keydown', (event) => {
      if (event.ctrlKey && event.shiftKey && (event.key === 'S' || event.key === 's')) {
        event.preventDefault();
        showSpectrum(name);
      }
    });
  }
  control('SpectrumPhase').addEventListener('input', refreshSpectrum);
  control('SpectrumHarmonics').addEventListener('input', refreshSpectrum);
  control('SpectrumCopy').addEventListener('click', () => copyText(control('SpectrumFigures').textContent));
  control('SpectrumClose').addEventListener('click', () => spectrum.close());

  control(layout.initialFocus).focus();
})();
