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
  const form = control('Form1');
  const textFields = layout.controls.filter((c) => c.kind === 'text').map((c) => c.name);
  const wordFields = ['Nideal', 'Nhex', 'NewN', 'NewNhex'];
  const accessibleNames = new Map(layout.controls.filter((c) => c.accessibleName)
    .map((c) => [c.name, c.accessibleName]));

  // The module, and the page's calculator in it, once compiled. A click that
  // comes before waits for it; later clicks run at once.
  let calculator = null;
  // The compiled calculator travels in the page as base64, decoded by the
  // engine's own decoder where it has one (a byte at a time, the decoding
  // took Firefox about a tenth of its open).
  function decodeBase64(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const encoded = atob(text);
    const bytes = new Uint8Array(encoded.length);
    for (let at = 0; at < encoded.length; at += 1) bytes[at] = encoded.charCodeAt(at);
    return bytes;
  }
  const wasmBinary = decodeBase64(document.getElementById('Calculator').textContent);
  // The factory asks for the instance at once, and the engine compiles while
  // this script sets up the controls below. Left to the factory, the compile
  // would start only after the set-up, and the page would open about a sixth
  // later (in WebKit, a fifth).
  function instantiateWasm(imports, receiveInstance) {
    WebAssembly.instantiate(wasmBinary, imports).then(({ instance, module }) => receiveInstance(instance, module));
    return {};
  }
  const ready = QuorvelModule({ instantiateWasm }).then((module) => {
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
    fitText(field);
  }

  // An output that would not fit its field at the window's face is drawn in
  // the narrow cut of it; one that fits in neither keeps the face. Any field
  // whose text then runs past an edge shows a cue at that edge.
  function fitText(field) {
    if (!textFields.includes(field.id)) return;
    if (outputs.includes(field.id)) {
      field.classList.remove('narrow');
      if (field.scrollWidth > field.clientWidth) {
        field.classList.add('narrow');
        if (field.scrollWidth > field.clientWidth) field.classList.remove('narrow');
      }
    }
    showCues(field);
  }
  function showCues(field) {
    const hiddenWidth = field.scrollWidth - field.clientWidth;
    control(field.id + 'CutLeft').hidden = !(hiddenWidth > 0 && field.scrollLeft > 0);
    control(field.id + 'CutRight').hidden = !(hiddenWidth > 0 && field.scrollLeft < hiddenWidth - 1);
  }
  for (const name of textFields) {
    const field = control(name);
    field.addEventListener('input', () => fitText(field));
    field.addEventListener('scroll', () => showCues(field));
    for (const type of ['keyup', 'mouseup', 'select', 'focus']) {
      field.addEventListener(type, () => showCues(field));
    }
    // The start of the text comes back into view when the focus leaves.
    field.addEventListener('blur', () => {
      field.scrollLeft = 0;
      showCues(field);
    });
  }

  // An output holds one number or word: a double-click selects all of it,
  // not the fragment between two dots or blanks, and not the blank in front.
  for (const name of outputs) {
    const field = control(name);
    field.addEventListener('dblclick', () => {
      const start = field.value.length - field.value.trimStart().length;
      field.setSelectionRange(start, start + field.value.trim().length);
    });
  }

  function setTip(name, tip) {
    if (tip) control(name).title = tip;
    else control(name).removeAttribute('title');
  }

  // The Calculate action, then the word figures, then the report of a run
  // that stopped; the outputs it did not reach are emptied once the report
  // is closed. A run that finished is announced once, politely: what it
  // wrote, field by field, as the window's fields report their new texts.
  const figures = new Map();
  function calculate(state) {
    const { module, page } = state;
    for (const name of inputs) {
      writeText(state, module._quorvel_page_input(page, fieldIndex.get(name)), control(name).value);
    }
    const count = module._quorvel_page_calculate(page);
    const written = new Set();
    const writes = [];
    for (let index = 0; index < count; index += 1) {
      const name = layout.fields[module._quorvel_page_write_field(page, index)];
      const text = readText(state, module._quorvel_page_write_text(page, index));
      written.add(name);
      writes.push(`${accessibleNames.get(name)}: ${text}`);
      setText(name, text);
    }
    // Only the word fields have tips and figures; the others get none.
    for (const name of outputs) {
      setTip(name, readText(state, module._quorvel_page_tip(page, fieldIndex.get(name))));
      figures.set(name, readText(state, module._quorvel_page_figures(page, fieldIndex.get(name))));
    }
    for (const name of layout.fields) {
      control(name + 'Description').textContent =
        readText(state, module._quorvel_page_description(page, fieldIndex.get(name)));
    }

    control('PrintNideal').textContent = figures.get('Nideal');
    control('PrintNewN').textContent = figures.get('NewN');
    if (figuresField) control('FiguresText').value = figures.get(figuresField) || layout.noFigures;
    refreshSpectrum();
    arrange();
    const stop = module._quorvel_page_report(page);
    if (stop) {
      showReport(readText(state, stop), () => {
        for (const name of outputs) if (!written.has(name)) setText(name, '');
      });
    } else {
      announce(writes.join('\n'));
    }
  }

  // A polite announcement replaces the last; emptied first, so that the
  // same results again are announced again.
  const announcement = control('Announcement');
  function announce(text) {
    announcement.textContent = '';
    requestAnimationFrame(() => { announcement.textContent = text; });
  }

  function Go_Click() {
    if (calculator) calculate(calculator);
    else ready.then(calculate);
  }
  go.addEventListener('click', Go_Click);

  // The page's boxes. A modal one (the report) comes over the calculator
  // with the rest dimmed, as a message box over its window; another (the
  // figures) stands beside it, or below it where there is no room, and the
  // calculator stays in use. Closing one gives the focus back to where it
  // was and runs what follows it at once.
  const kPanelGap = 8;
  function placePanel(panel, modal) {
    const box = form.getBoundingClientRect();
    const own = panel.getBoundingClientRect();
    const width = document.documentElement.clientWidth;
    const height = document.documentElement.clientHeight;
    let left = box.left + (box.width - own.width) / 2;
    let top = box.top + (box.height - own.height) / 2;
    if (!modal) {
      const besideRoom = width - box.right - kPanelGap >= own.width;
      left = besideRoom ? box.right + kPanelGap : box.left;
      top = besideRoom ? box.top : box.bottom + kPanelGap;
    }
    const clamp = (value, room) => Math.max(0, Math.min(value, room));
    panel.style.left = `${modal ? clamp(left, width - own.width) : Math.max(0, left) + window.scrollX}px`;
    panel.style.top = `${modal ? clamp(top, height - own.height) : Math.max(0, top) + window.scrollY}px`;
  }
  const panels = new Map();
  function showPanel(panel, { modal, focus, onClose }) {
    if (!panels.has(panel)) panels.set(panel, { opener: document.activeElement, onClose });
    else panels.get(panel).onClose = onClose;
    panel.style.position = modal ? 'fixed' : 'absolute';
    if (!panel.open) {
      if (modal) panel.showModal();
      else panel.show();
    }
    placePanel(panel, modal);
    focus.focus();
  }
  function closePanel(panel) {
    const state = panels.get(panel);
    panels.delete(panel);
    panel.close();
    if (!state) return;
    if (state.opener && state.opener.isConnected) state.opener.focus();
    if (state.onClose) state.onClose();
  }
  function closesOnEscape(panel) {
    panel.addEventListener('cancel', (event) => {
      event.preventDefault();
      closePanel(panel);
    });
    panel.addEventListener('keydown', (event) => {
      if (event.key !== 'Escape') return;
      event.preventDefault();
      closePanel(panel);
    });
  }

  // Closing the report, by its button or by Escape, runs what follows it.
  function showReport(text, afterClose) {
    control('ReportText').textContent = text;
    showPanel(report, { modal: true, focus: control('ReportOK'), onClose: afterClose });
  }
  control('ReportOK').addEventListener('click', () => closePanel(report));
  closesOnEscape(report);

  // A word's figures to read and copy, opened from the word field's menu or
  // by Alt+Enter in it once a run has reached the word; an open box follows
  // the runs and says so when a run did not reach its word.
  const figuresPanel = control('Figures');
  const figuresText = control('FiguresText');
  let figuresField = null;
  function showFigures(name) {
    const text = figures.get(name);
    if (!text) return;
    figuresField = name;
    figuresText.value = text;
    const lines = text.split('\n');
    figuresText.rows = lines.length + 1;
    figuresText.cols = Math.max(...lines.map((line) => line.length));
    showPanel(figuresPanel, { modal: false, focus: figuresText, onClose: () => { figuresField = null; } });
  }
  control('FiguresCopy').addEventListener('click', () => copyText(figuresText.value));
  control('FiguresClose').addEventListener('click', () => closePanel(figuresPanel));
  closesOnEscape(figuresPanel);
  for (const name of wordFields) {
    control(name).addEventListener('keydown', (event) => {
      if (event.key !== 'Enter' || !event.altKey) return;
      event.preventDefault();
      showFigures(name);
    });
  }

  // Tab and Shift+Tab go round the controls in the window's order, the
  // Calculate button only while it is shown; a field reached by the
  // keyboard has its whole text selected, so that typing replaces it.
  function focusWhole(element) {
    element.focus();
    if (element instanceof HTMLInputElement) element.select();
  }
  form.addEventListener('keydown', (event) => {
    if (event.key !== 'Tab' || event.altKey || event.ctrlKey || event.metaKey) return;
    const order = layout.focusOrder.map(control).filter((element) => !element.hidden);
    const at = order.indexOf(document.activeElement);
    if (at < 0) return;
    event.preventDefault();
    const step = event.shiftKey ? order.length - 1 : 1;
    focusWhole(order[(at + step) % order.length]);
  });

  // The bit-size box: any text typed, or an entry picked from its list. As
  // in an editable combo box, the box keeps the entry last picked apart
  // from the text: Up and Down step from that entry, whatever was typed
  // since (typed 40 after 32: Down gives 48). Alt+Down and F4 open the
  // list at that entry; there Up and Down move, and Enter, Alt+Up, Alt+Down
  // or F4 take the entry highlighted, Escape nothing.
  const bitSize = control('BitSize');
  const bitSizeList = control('BitSizeList');
  const entries = Array.from(bitSizeList.children);
  entries.forEach((entry, index) => { entry.id = `BitSizeEntry${index}`; });
  let currentEntry = 0;
  let highlighted = -1;
  function highlight(index) {
    highlighted = index;
    entries.forEach((entry, at) => {
      entry.classList.toggle('current', at === index);
      entry.setAttribute('aria-selected', String(at === index));
    });
    if (index >= 0) bitSize.setAttribute('aria-activedescendant', entries[index].id);
    else bitSize.removeAttribute('aria-activedescendant');
  }
  function showList(shown) {
    bitSizeList.hidden = !shown;
    bitSize.setAttribute('aria-expanded', String(shown));
    highlight(shown ? currentEntry : -1);
  }
  function pick(index) {
    currentEntry = index;
    bitSize.value = entries[index].textContent;
  }
  control('BitSizeDrop').addEventListener('mousedown', (event) => {
    event.preventDefault();
    showList(bitSizeList.hidden);
    bitSize.focus();
  });
  entries.forEach((entry, index) => {
    entry.addEventListener('mousedown', (event) => {
      event.preventDefault();
      pick(index);
      showList(false);
      bitSize.focus();
    });
  });
  bitSize.addEventListener('blur', () => showList(false));
  const kStepKeys = { ArrowDown: 1, PageDown: 1, ArrowUp: -1, PageUp: -1 };
  function listKey(event) {
    const closing = event.key === 'F4' || event.key === 'Enter' ||
      (event.altKey && (event.key === 'ArrowDown' || event.key === 'ArrowUp'));
    if (closing) {
      if (highlighted >= 0) pick(highlighted);
      showList(false);
    } else if (event.key === 'Escape') {
      showList(false);
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      highlight(Math.min(Math.max(highlighted + kStepKeys[event.key], 0), entries.length - 1));
    } else {
      return false;
    }
    return true;
  }
  function boxKey(event) {
    if ((event.key === 'ArrowDown' && event.altKey) || event.key === 'F4') {
      showList(true);
    } else if (event.key in kStepKeys) {
      const next = currentEntry + kStepKeys[event.key];
      if (next >= 0 && next < entries.length) pick(next);
    } else {
      return false;
    }
    return true;
  }
  bitSize.addEventListener('keydown', (event) => {
    if (event.ctrlKey || event.metaKey) return;
    if (bitSizeList.hidden ? boxKey(event) : listKey(event)) event.preventDefault();
  });

  // The word fields' menu: copy, select all; on a hex field the word as a
  // plain literal ("0x40000000") that source code and register tools take
  // as it stands; and the word's figures. Shift with the menu key or right
  // button gives the browser's own menu.
  const menu = control('HexMenu');
  let menuField = null;
  function plainLiteral(text) {
    if (!calculator) return null;
    const { module, page } = calculator;
    writeText(calculator, module._quorvel_page_scratch(page), text);
    const literal = module._quorvel_page_plain_literal(page);
    return literal ? readText(calculator, literal) : null;
  }
  // The run's word in that field as a C constant, with what it gives.
  function cConstant(name) {
    if (!calculator) return null;
    const { module, page } = calculator;
    const constant = module._quorvel_page_c_constant(page, fieldIndex.get(name));
    return constant ? readText(calculator, constant) : null;
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
  for (const name of wordFields) {
    const field = control(name);
    field.addEventListener('contextmenu', (event) => {
      if (event.shiftKey) return;
      event.preventDefault();
      menuField = field;
      const hex = hexFields.includes(name);
      const literal = hex ? plainLiteral(field.value) : null;
      control('MenuLiteralRule').hidden = !hex;
      control('MenuCopyLiteral').hidden = !hex;
      control('MenuCopyConstant').hidden = !hex;
      control('MenuCopyLiteral').disabled = literal === null;
      control('MenuCopyConstant').disabled = literal === null || cConstant(name) === null;
      control('MenuCopy').disabled = field.selectionStart === field.selectionEnd;
      control('MenuShowFigures').disabled = !figures.get(name);
      // The menu's place is in the form's own pixels, which the form's
      // scale makes smaller on screen.
      const box = form.getBoundingClientRect();
      const fieldBox = field.getBoundingClientRect();
      const x = event.clientX || fieldBox.left;
      const y = event.clientY || fieldBox.bottom;
      menu.style.left = `${(x - box.left) / scale}px`;
      menu.style.top = `${(y - box.top) / scale}px`;
      menu.hidden = false;
      // Near the right edge of the window the menu opens to the left.
      const overhang = menu.getBoundingClientRect().right - document.documentElement.clientWidth;
      if (overhang > 0) menu.style.left = `${(x - box.left - overhang) / scale}px`;
      menu.querySelector('button:not(:disabled)').focus();
    });
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
  control('MenuCopyConstant').addEventListener('click', () => {
    const constant = cConstant(menuField.id);
    closeMenu();
    if (constant !== null) copyText(constant);
  });
  control('MenuShowFigures').addEventListener('click', () => {
    const name = menuField.id;
    closeMenu();
    showFigures(name);
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


  // The calculator fits the width it is given: below the window's width the
  // whole form is scaled down as one picture (zoom lays it out again at the
  // smaller size, so text stays sharp). Where a caption or a result no
  // longer fits its place at all (a larger minimum font size, more spacing
  // between letters and words, or text that a scaled form draws relatively
  // wider, as WebKit does where it rounds the scaled font size), the form
  // flows as one column instead, in which every caption and result is whole.
  const kNaturalWidth = layout.client[2] / layout.twipsPerPixel;
  let scale = 1;
  function fitsPlaces() {
    for (const label of form.querySelectorAll('.label')) {
      const caption = label.firstElementChild;
      if (caption.offsetWidth > label.clientWidth || caption.offsetHeight > label.clientHeight) return false;
    }
    return outputs.every((name) => {
      const field = control(name);
      return field.scrollWidth <= field.clientWidth;
    });
  }
  function fitTexts() {
    for (const name of textFields) fitText(control(name));
  }
  function flow() {
    form.style.zoom = '';
    scale = 1;
    form.classList.add('flow');
    fitTexts();
  }
  // The height of the smallest control shown, before any scaling.
  function smallestControl() {
    const heights = Array.from(form.querySelectorAll('input, button'), (c) => c.offsetHeight);
    return Math.min(...heights.filter((height) => height > 0));
  }
  function arrange() {
    form.classList.remove('flow');
    form.style.zoom = '';
    scale = 1;
    fitTexts();
    if (!fitsPlaces()) {
      flow();
      return;
    }
    const margin = parseFloat(getComputedStyle(document.body).marginLeft);
    const room = document.documentElement.clientWidth - 2 * margin;
    if (room < kNaturalWidth) {
      scale = room / kNaturalWidth;
      // On a touch screen the style names the least size a finger needs.
      const touchTarget = parseFloat(getComputedStyle(form).getPropertyValue('--touch-target'));
      if (touchTarget > 0 && smallestControl() * scale < touchTarget) {
        flow();
        return;
      }
      form.style.zoom = String(scale);
      fitTexts();
      if (!fitsPlaces()) flow();
    }
  }
  // Captions change size with the text settings; the arrangement follows on
  // the next frame, after which its own changes are settled.
  let arranging = false;
  function arrangeSoon() {
    if (arranging) return;
    arranging = true;
    requestAnimationFrame(() => {
      arranging = false;
      arrange();
    });
  }
  window.addEventListener('resize', arrangeSoon);
  const captionWatch = new ResizeObserver(arrangeSoon);
  for (const caption of form.querySelectorAll('.caption')) captionWatch.observe(caption);
  arrange();

  focusWhole(control(layout.initialFocus));
})();
