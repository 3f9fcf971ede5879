#!/usr/bin/python3
"""Every package a build or a test uses is named by the group of
scripts/install-deps.sh that the command needing it installs, so that taking
one out of its group fails here rather than on a fresh machine:
  packages_test.py SOURCE_DIR
USED is the one table: what is used, a file that proves it (a dpkg -S
pattern), the package the group lists for it, and the group. Three checks:
  listed    `install-deps.sh --list GROUP` names the package;
  owned     where the package is installed, the file belongs to it or to a
            package it brings in (pkg-config brings pkgconf's program);
  complete  every find_package, pkg_check_modules, find_path and
            find_program of the CMake files, every library header the
            sources include from /usr/include, every module the Python
            scripts import and every /usr/bin program they name has a row."""

import ast
import fnmatch
import pathlib
import re
import subprocess
import sys

# The groups of install-deps.sh: base (the open command; every build), web
# (the test command: the page's build and its browser test), fuzz, package,
# screenshot; optional: a check that is left out when the program is missing.
USED = [
    # what is used                      file that proves it                           package              group
    ('program make',                     '/usr/bin/make',                              'make',              'base'),
    ('program cmake',                    '/usr/bin/cmake',                             'cmake',             'base'),
    ('program ninja',                    '/usr/bin/ninja',                             'ninja-build',       'base'),
    ('program g++',                      '/usr/bin/g++',                               'g++',               'base'),
    ('program pkg-config',               '/usr/bin/pkg-config',                        'pkg-config',        'base'),
    ('cmake PkgConfig',                  '/usr/bin/pkg-config',                        'pkg-config',        'base'),
    ('cmake Qt6',                        '*/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake',  'qt6-base-dev',      'base'),
    ('cmake Qt6',                        '*/cmake/Qt6Test/Qt6TestConfig.cmake',        'qt6-base-dev',      'base'),
    ('cmake Qt6',                        '/usr/lib/*/libGL.so',                        'libgl-dev',         'base'),
    ('the window icon in SVG',           '*/qt6/plugins/imageformats/libqsvg.so',      'libqt6svg6',        'base'),
    ('the window face',                  '*/liberation2/LiberationSans-Regular.ttf',   'fonts-liberation2', 'base'),
    ('a stand-in face',                  '*/croscore/Arimo-Regular.ttf',               'fonts-croscore',    'base'),
    ('a stand-in face',                  '*/urw-base35/NimbusSans-Regular.otf',        'fonts-urw-base35',  'base'),
    ('cmake CLI11',                      '*/cmake/CLI11/CLI11Config.cmake',            'libcli11-dev',      'base'),
    ('header CLI/CLI.hpp',               '/usr/include/CLI/CLI.hpp',                   'libcli11-dev',      'base'),
    ('cmake nlohmann_json',              '*/cmake/nlohmann_json/nlohmann_jsonConfig.cmake', 'nlohmann-json3-dev', 'base'),
    ('header nlohmann/json.hpp',         '/usr/include/nlohmann/json.hpp',             'nlohmann-json3-dev', 'base'),
    ('pkg-config gmpxx',                 '*/pkgconfig/gmpxx.pc',                       'libgmp-dev',        'base'),
    ('header gmpxx.h',                   '/usr/include/gmpxx.h',                       'libgmp-dev',        'base'),
    ('header fast_float/fast_float.h',   '/usr/include/fast_float/fast_float.h',       'libfast-float-dev', 'base'),
    ('header fmt/format.h',              '/usr/include/fmt/format.h',                  'libfmt-dev',        'base'),
    ('cmake GTest',                      '*/cmake/GTest/GTestConfig.cmake',            'libgtest-dev',      'base'),
    ('header gtest/gtest.h',             '/usr/include/gtest/gtest.h',                 'libgtest-dev',      'base'),
    ('cmake GTest',                      '/usr/lib/*/libgmock.a',                      'libgmock-dev',      'base'),
    ('cmake benchmark',                  '*/cmake/benchmark/benchmarkConfig.cmake',    'libbenchmark-dev',  'base'),
    ('header benchmark/benchmark.h',     '/usr/include/benchmark/benchmark.h',         'libbenchmark-dev',  'base'),
    ('program dpkg-buildflags',          '/usr/bin/dpkg-buildflags',                   'dpkg-dev',          'base'),
    ('program help2man',                 '/usr/bin/help2man',                          'help2man',          'base'),
    ('program desktop-file-validate',    '/usr/bin/desktop-file-validate',             'desktop-file-utils', 'base'),
    ('program appstreamcli',             '/usr/bin/appstreamcli',                      'appstream',         'base'),
    ('program file (the .deb)',          '/usr/bin/file',                              'file',              'base'),
    ('program xdpyinfo',                 '/usr/bin/xdpyinfo',                          'x11-utils',         'base'),
    ('program man',                      '/usr/bin/man',                               'man-db',            'optional'),
    ('program clang++-14',               '/usr/bin/clang++-14',                        'clang-14',          'fuzz'),
    ('header fuzzer/FuzzedDataProvider.h', '*/include/fuzzer/FuzzedDataProvider.h',    'libclang-rt-14-dev', 'fuzz'),
    ('program Xvfb',                     '/usr/bin/Xvfb',                              'xvfb',              'screenshot'),
    ('program xauth',                    '/usr/bin/xauth',                             'xauth',             'screenshot'),
    ('pkg-config xcb (start-up bench)',  '*/pkgconfig/xcb.pc',                         'libxcb1-dev',       'screenshot'),
    ('program lintian',                  '/usr/bin/lintian',                           'lintian',           'package'),
    ('program em++',                     '/usr/bin/em++',                              'emscripten',        'web'),
    ('program emcmake',                  '/usr/bin/emcmake',                           'emscripten',        'web'),
    ('program node',                     '/usr/bin/node',                              'emscripten',        'web'),
    ('program autoreconf',               '/usr/bin/autoreconf',                        'autoconf',          'web'),
    ('program automake',                 '/usr/bin/automake-*',                        'automake',          'web'),
    ('program libtoolize',               '/usr/bin/libtoolize',                        'libtool',           'web'),
    ('program m4',                       '/usr/bin/m4',                                'm4',                'web'),
    ('program python3',                  '/usr/bin/python3',                           'python3-selenium',  'web'),
    ('python fontTools',                 '*/dist-packages/fontTools/subset/__init__.py', 'python3-fonttools', 'web'),
    ('python brotli (WOFF2 faces)',      '*/dist-packages/brotli.py',                  'python3-brotli',    'web'),
    ('python selenium',                  '*/dist-packages/selenium/webdriver/__init__.py', 'python3-selenium', 'web'),
    ('program chromium',                 '/usr/bin/chromium',                          'chromium',          'web'),
    ('program chromedriver',             '/usr/bin/chromedriver',                      'chromium-driver',   'web'),
    ('program firefox-esr',              '/usr/bin/firefox-esr',                       'firefox-esr',       'web'),
    ('program WebKitWebDriver',          '/usr/bin/WebKitWebDriver',                   'webkit2gtk-driver', 'web'),
    ('localhost without /etc/hosts',     '/usr/lib/*/libnss_myhostname.so.2',          'libnss-myhostname', 'web'),
]

# Where the uses are looked for.
CMAKE_FILES = ('CMakeLists.txt', '*/CMakeLists.txt', '*/*/CMakeLists.txt', '*/*.cmake', '*/*/*.cmake')
SOURCE_FILES = ('*/*.cpp', '*/*.h', '*/*/*.cpp', '*/*/*.h')
SCRIPT_FILES = ('Makefile', '.ci/run', '*/*.py', '*/*/*.py', '*/*.sh', '*/*/*.sh', *CMAKE_FILES)
# The C and C++ libraries come with the compiler.
TOOLCHAIN_PACKAGES = {'libc6-dev', 'libstdc++-12-dev', 'linux-libc-dev'}


def files(src, patterns):
    return sorted({path for pattern in patterns for path in src.glob(pattern)
                   if not path.relative_to(src).parts[0].startswith('build')})


def listed(src, group):
    out = subprocess.run(['sh', str(src / 'scripts/install-deps.sh'), '--list', group],
                         capture_output=True, text=True, check=True).stdout
    return set(out.split())


def dpkg_owners(patterns):
    """For each dpkg -S pattern, the packages dpkg says hold the files
    matching it (one dpkg run for them all)."""
    out = subprocess.run(['dpkg', '-S', *patterns], capture_output=True, text=True).stdout
    owners = {pattern: set() for pattern in patterns}
    for line in out.splitlines():
        if line.startswith('diversion '):
            continue
        packages, _, path = line.partition(': ')
        for pattern in patterns:
            if fnmatch.fnmatchcase(path, pattern):
                owners[pattern] |= {package.strip().split(':')[0] for package in packages.split(',')}
    return owners


def installed_depends():
    """Each installed package and the packages it depends on (every
    alternative of an "a | b" among them)."""
    out = subprocess.run(['dpkg-query', '-W', '-f=${db:Status-Abbrev} ${Package} ${Pre-Depends}, ${Depends}\n'],
                         capture_output=True, text=True, check=True).stdout
    graph = {}
    for line in out.splitlines():
        status, _, rest = line.partition(' ')
        if status.startswith('ii'):
            name, _, depends = rest.partition(' ')
            graph[name] = {re.sub(r'[:\s(].*', '', dep.strip()) for dep in re.split(r'[,|]', depends)} - {''}
    return graph


def brought_in(package, graph):
    seen, queue = {package}, [package]
    while queue:
        for dep in graph.get(queue.pop(), ()):
            if dep not in seen:
                seen.add(dep)
                queue.append(dep)
    return seen


def check_listed(src):
    lists = {group: listed(src, group) for group in ('base', 'fuzz', 'screenshot', 'package', 'web')}
    return [f'{what} comes from {package}, which `install-deps.sh --list {group}` does not name'
            for what, _, package, group in USED if group != 'optional' and package not in lists[group]]


def check_owned():
    graph = installed_depends()
    owners = dpkg_owners([pattern for _, pattern, _, _ in USED])
    return [f'{what}: {pattern} belongs to {sorted(owners[pattern]) or "no package"}, '
            f'not to {package} or a package it brings in'
            for what, pattern, package, _ in USED
            # A package not installed here can only have its listing checked.
            if package in graph and not owners[pattern] & brought_in(package, graph)]


def uses_in_cmake(text):
    for name in re.findall(r'find_package\(\s*(\w+)', text):
        yield f'cmake {name}'
    for name in re.findall(r'pkg_check_modules\([^)]*IMPORTED_TARGET\s+([\w+-]+)', text):
        yield f'pkg-config {name}'
    for name in re.findall(r'find_path\(\s*\w+\s+([\w/.+-]+)', text):
        yield f'header {name}'
    for name in re.findall(r'find_program\(\s*\w+\s+([\w.+-]+)', text):
        yield f'program {name}'


def uses_in_sources(paths):
    """The packages of the library headers the sources include."""
    headers = {h for path in paths for h in re.findall(r'#include <([^>]+)>', path.read_text(errors='replace'))}
    found = [str(pathlib.Path('/usr/include', h)) for h in sorted(headers) if pathlib.Path('/usr/include', h).is_file()]
    for packages in dpkg_owners(found).values():
        for package in packages - TOOLCHAIN_PACKAGES:
            yield f'headers of {package}'


def python_imports(text):
    for node in ast.walk(ast.parse(text)):
        if isinstance(node, ast.Import):
            yield from (alias.name.split('.')[0] for alias in node.names)
        elif isinstance(node, ast.ImportFrom) and node.level == 0:
            yield node.module.split('.')[0]


def uses_in_scripts(src, paths):
    local = {path.stem for path in files(src, ('*/*.py', '*/*/*.py'))}
    for path in paths:
        if path.resolve() == pathlib.Path(__file__).resolve():
            continue  # the table itself
        text = path.read_text(errors='replace')
        if path.suffix == '.py':
            for name in python_imports(text):
                if name not in sys.stdlib_module_names and name not in local:
                    yield f'python {name}'
        for name in re.findall(r'/usr/bin/([\w.+-]+)', text):
            if name not in ('env', 'sh'):
                yield f'program {name}'


def check_complete(src):
    rows = {what.split(' (')[0] for what, *_ in USED} | {f'headers of {package}' for _, _, package, _ in USED}
    used = {*(use for path in files(src, CMAKE_FILES) for use in uses_in_cmake(path.read_text())),
            *uses_in_sources(files(src, SOURCE_FILES)),
            *uses_in_scripts(src, files(src, SCRIPT_FILES))}
    return [f'{use} is used but has no row in the table' for use in sorted(used - rows)]


def main():
    src = pathlib.Path(sys.argv[1]).resolve()
    faults = check_listed(src) + check_owned() + check_complete(src)
    for fault in faults:
        print('FAIL:', fault.encode('ascii', 'backslashreplace').decode())
    return 1 if faults else 0


if __name__ == '__main__':
    sys.exit(main())
