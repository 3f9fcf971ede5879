#!/usr/bin/python3
"""Puts the page together: one HTML file holding the controls at their
places, the style, the faces, the compiled calculator and the page's script,
so that it opens from disk or from any web server and asks for nothing more.

  assemble_page.py --layout layout.json --module quorvel_module.js \
      --wasm quorvel_module.wasm --script page.js --style page.css --template page.html \
      --icon quorvel.svg --face REGULAR.ttf --bold-face BOLD.ttf --narrow-face NARROW.ttf \
      --output quorvel.html
"""

import argparse
import base64
import hashlib
import html
import io
import json
import sys

# The characters the embedded faces keep: printable ASCII and Latin-1, which
# every caption and every text the calculator writes is made of. Anything
# else the user types is drawn in a face of the browser's.
KEPT_CHARACTERS = list(range(0x20, 0x7F)) + list(range(0xA0, 0x100))


def subset_woff2(path):
    import logging
    from fontTools import subset
    # Tables the subsetter does not know (FFTM, a font editor's time
    # stamps) are dropped, which is all the page wants of them.
    logging.getLogger('fontTools.subset').setLevel(logging.ERROR)
    options = subset.Options()
    options.flavor = 'woff2'
    options.layout_features = ['kern', 'liga']
    options.name_IDs = []
    options.notdef_outline = True
    font = subset.load_font(path, options)
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=KEPT_CHARACTERS)
    subsetter.subset(font)
    out = io.BytesIO()
    subset.save_font(font, out, options)
    return out.getvalue()


# The narrow cut of the stand-in face, in which an output that would not fit
# its field at the window's face is drawn whole.
NARROW_FAMILY = 'Liberation Sans Narrow'


def installed_names(path):
    """The cut's full name and PostScript name, which local() looks for."""
    from fontTools.ttLib import TTFont
    names = TTFont(path, lazy=True)['name']
    return [str(names.getDebugName(4)), str(names.getDebugName(6))]


def access_key(caption):
    """The letter after "&" in a caption: "&Copy All" -> "C"."""
    at = caption.find('&')
    return caption[at + 1] if 0 <= at < len(caption) - 1 else ''


def pixels(twips, layout):
    return f'{twips / layout["twipsPerPixel"]:.4f}'.rstrip('0').rstrip('.') + 'px'


def place_rule(selector, place, layout):
    left, top, width, height = (pixels(v, layout) for v in place)
    return f'{selector} {{ left: {left}; top: {top}; width: {width}; height: {height}; }}'


# The width of the cue at a cut edge of a field, in pixels: a fade into the
# field's ground and an arrowhead pointing past the edge.
CUE_PIXELS = 9


def cue_rules(name, place, layout):
    left, top, width, height = (v / layout['twipsPerPixel'] for v in place)
    return [f'#{name}CutLeft {{ left: {left + 1:.4f}px; top: {top + 1:.4f}px; height: {height - 2:.4f}px; }}',
            f'#{name}CutRight {{ left: {left + width - 1 - CUE_PIXELS:.4f}px; top: {top + 1:.4f}px; '
            f'height: {height - 2:.4f}px; }}']


# Where each control comes when the form flows as one column (text too large
# for the window's places, or print): the rows from the top, a caption
# before its field, the fields of a row from the left.
def flow_order(layout):
    tops = {c['name']: c['place'][1] for c in layout['controls']}
    def key(c):
        if c['kind'] == 'label':
            return (tops[c['for']], 0, 0)
        return (c['place'][1], 1, c['place'][0])
    ordered = sorted(layout['controls'], key=key)
    rules = []
    for index, c in enumerate(ordered):
        names = [c['name']] + ([c['name'] + 'Drop', c['name'] + 'List'] if c['kind'] == 'combo' else [])
        rules += [f'#{n} {{ order: {3 * index + offset}; }}' for offset, n in enumerate(names)]
    return rules


def attributes(**values):
    parts = []
    for name, value in values.items():
        name = name.rstrip('_').replace('_', '-')
        if value is True:
            parts.append(name)
        elif value is not None and value is not False:
            parts.append(f'{name}="{html.escape(str(value))}"')
    return ' '.join(parts)


# A field's accessible description, kept out of sight: what the field holds,
# and after a run a word field's figures.
def description_markup(c):
    return f'<span {attributes(id=c["name"] + "Description", hidden=True)}>{html.escape(c["description"])}</span>'


def controls_markup(layout):
    tab_index = {name: index + 1 for index, name in enumerate(layout['focusOrder'])}
    markup, places = [], []
    for c in layout['controls']:
        name, kind = c['name'], c['kind']
        places.append(place_rule(f'#{name}', c['place'], layout))
        # The script gives the first field the focus, with its text selected.
        common = dict(id=name, tabindex=tab_index.get(name))
        if kind == 'label':
            cls = 'label wraps' if c['wraps'] else 'label'
            markup.append(f'<label {attributes(id=name, class_=cls, for_=c["for"])}>'
                          f'<span class="caption">{html.escape(c["caption"])}</span></label>')
        elif kind == 'heading':
            markup.append(f'<h2 {attributes(id=name, class_="heading")}>{html.escape(c["caption"])}</h2>')
        elif kind == 'text':
            markup.append(f'<input {attributes(type="text", **common, class_=c["look"], value=c["text"], aria_label=c["accessibleName"], aria_describedby=name + "Description", autocomplete="off", spellcheck="false")}>')
            markup.append(description_markup(c))
            for side in ('Left', 'Right'):
                markup.append(f'<span {attributes(id=name + "Cut" + side, class_="cue " + side.lower(), aria_hidden="true", hidden=True)}></span>')
            places.extend(cue_rules(name, c['place'], layout))
        elif kind == 'combo':
            left, top, width, height = c['place']
            drop = 16 * layout['twipsPerPixel']
            markup.append(f'<input {attributes(type="text", **common, class_="combo", value=c["text"], role="combobox", aria_label=c["accessibleName"], aria_describedby=name + "Description", aria_expanded="false", aria_controls=name + "List", aria_autocomplete="none", autocomplete="off", spellcheck="false")}>')
            markup.append(description_markup(c))
            markup.append(f'<button {attributes(type="button", id=name + "Drop", tabindex=-1, aria_hidden="true")}></button>')
            places.append(place_rule(f'#{name}Drop', [left + width - drop, top, drop, height], layout))
            entries = ''.join(f'<li role="option">{html.escape(entry)}</li>' for entry in c['list'])
            markup.append(f'<ul {attributes(id=name + "List", class_="list", role="listbox", aria_label=c["accessibleName"], hidden=True)}>{entries}</ul>')
            places.append(f'#{name}List {{ left: {pixels(left, layout)}; top: {pixels(top + height, layout)}; '
                          f'width: {pixels(width, layout)}; }}')
        elif kind == 'button':
            markup.append(f'<button {attributes(type="button", **common, hidden=True)}>{html.escape(c["caption"])}</button>')
        else:
            sys.exit(f'assemble_page: unknown control kind {kind!r}')
    client = layout['client']
    places.append(f'#Form1 {{ width: {pixels(client[2], layout)}; height: {pixels(client[3], layout)}; }}')
    return '\n'.join(markup), '\n'.join(places), flow_order(layout)


def css_string(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"') + '"'


# The style's rules for the form as one column, between these two lines, apply
# when the script marks the form "flow" and, without the mark, in print.
FLOW_START, FLOW_END = '/* flow */', '/* end flow */'


def with_print_flow(style, order):
    start, end = style.index(FLOW_START), style.index(FLOW_END)
    flow = style[start + len(FLOW_START):end]
    screen = '\n'.join(f'#Form1.flow {rule}' for rule in order)
    printed = '\n'.join(f'#Form1 {rule}' for rule in order)
    return (style[:end] + screen + '\n' + style[end:] +
            '\n@media print {\n' + flow.replace('#Form1.flow', '#Form1') + printed + '\n}\n')


def inline_script(text):
    # A script's text ends at the first "</script"; none may stand inside it.
    return text.replace('</script', '<\\/script')


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ('layout', 'module', 'wasm', 'script', 'style', 'template', 'icon', 'face', 'bold-face',
                   'narrow-face', 'output'):
        parser.add_argument('--' + option, required=True)
    args = parser.parse_args()

    def read(path, mode='r'):
        with open(path, mode) as f:
            return f.read()

    layout = json.loads(read(args.layout))
    controls, places, order = controls_markup(layout)
    colours = layout['colours']
    faces = ', '.join([css_string(f) for f in layout['families']] + [layout['genericFamily']])
    variables = '\n'.join([f'  --{name}: {value};' for name, value in [
        ('pink', colours['pink']), ('white', colours['white']), ('blue', colours['blue']),
        ('green', colours['green']), ('system', colours['system']), ('text', colours['text']),
        ('disabled-text', colours['disabledText']), ('highlight', colours['highlight']),
        ('face', faces), ('narrow-face', f'{css_string(NARROW_FAMILY)}, {faces}'), ('points', f'{layout["points"]}pt'), ('heading-points', f'{layout["headingPoints"]}pt'),
        ('wrapped-line', f'{layout["wrappedLineEm"]}em')]])

    # The first stand-in face, embedded: a machine without any of the faces
    # still draws every caption to the widths it was laid out for. An
    # installed copy is found by each cut's own full and PostScript names:
    # the family's name alone finds the regular cut, whatever the weight.
    family = css_string(layout['families'][1])
    fonts = []
    for path, face_family, weight in ((args.face, family, 'normal'), (args.bold_face, family, 'bold'),
                                      (args.narrow_face, css_string(NARROW_FAMILY), 'normal')):
        data = base64.b64encode(subset_woff2(path)).decode('ascii')
        local = ', '.join(f'local({css_string(name)})' for name in installed_names(path))
        fonts.append(f'@font-face {{ font-family: {face_family}; font-weight: {weight}; '
                     f'src: {local}, url(data:font/woff2;base64,{data}) format("woff2"); }}')

    scripts = [inline_script(read(args.module)), inline_script(read(args.script))]
    hashes = ' '.join("'sha256-" + base64.b64encode(hashlib.sha256(s.encode('utf-8')).digest()).decode('ascii') + "'"
                      for s in scripts)
    # Nothing leaves the page: no fetch, no form, no frame, no base; scripts
    # only as written here, the compiled calculator allowed to compile.
    csp = (f"default-src 'none'; script-src {hashes} 'wasm-unsafe-eval'; style-src 'unsafe-inline'; "
           "font-src data:; img-src data:; base-uri 'none'; form-action 'none'")
    icon = 'data:image/svg+xml;base64,' + base64.b64encode(read(args.icon, 'rb')).decode('ascii')
    layout_json = json.dumps(layout, separators=(',', ':')).replace('</', '<\\/')

    page = read(args.template)
    for key, value in [('@CSP@', html.escape(csp)), ('@CAPTION@', html.escape(layout['caption'])),
                       ('@ICON@', icon), ('@FONTS@', '\n'.join(fonts)), ('@VARIABLES@', variables),
                       ('@STYLE@', with_print_flow(read(args.style), order)), ('@PLACES@', places), ('@CONTROLS@', controls),
                       ('@COPY_LITERAL@', html.escape(layout['copyLiteralCaption'])),
                       ('@COPY_CONSTANT@', html.escape(layout['copyConstantCaption'])),
                       ('@SHOW_FIGURES@', html.escape(layout['showFiguresCaption'])),
                       ('@SHOW_SPECTRUM@', html.escape(layout['showSpectrumCaption'])),
                       ('@FIGURES_TITLE@', html.escape(layout['figuresTitle'])),
                       ('@COPY_ALL@', html.escape(layout['copyAllCaption'].replace('&', ''))),
                       ('@COPY_ALL_KEY@', html.escape(access_key(layout['copyAllCaption']))),
                       ('@CLOSE@', html.escape(layout['closeCaption'])),
                       ('@LAYOUT@', layout_json),
                       ('@WASM@', base64.b64encode(read(args.wasm, 'rb')).decode('ascii')),
                       ('@SCRIPTS@', '\n'.join(f'<script>{s}</script>' for s in scripts))]:
        page = page.replace(key, value)
    with open(args.output, 'w', encoding='utf-8') as f:
        f.write(page)


if __name__ == '__main__':
    main()
