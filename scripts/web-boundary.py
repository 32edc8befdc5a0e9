#!/usr/bin/env python3
"""The web edition's boundary between the page's JavaScript and the C++ module,
listed from the sources: the hooks the C++ calls (EM_JS functions and the
`Module.web` methods they call, which the shell's `web` object defines), the
exports the page calls (EMSCRIPTEN_KEEPALIVE functions, `_orvanta_*` in the
shell), and the runtime methods the page uses.

  web-boundary.py [ROOT]            checks: fails when the two sides disagree
                                    (an export or hook one side lacks or
                                    nobody uses) or when app/web/js_boundary.md
                                    is not the list the sources give
  web-boundary.py --write [ROOT]    writes app/web/js_boundary.md afresh
"""
import pathlib
import re
import sys

LIST = 'app/web/js_boundary.md'


def closing(text, start):
    """The index just past the bracket that closes the one at `start`."""
    depth = 0
    quote = None
    i = start
    while i < len(text):
        c = text[i]
        if quote:
            if c == '\\':
                i += 1
            elif c == quote:
                quote = None
        elif c in '"\'`':
            quote = c
        elif c in '({[':
            depth += 1
        elif c in ')}]':
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1
    raise ValueError(f'unclosed bracket at {start}')


def without_comments(cpp):
    return re.sub(r'//[^\n]*', '', cpp)


def read_sources(root):
    hooks, inline, exports, problems = [], [], [], []
    for path in sorted((root / 'app/web').glob('*.cpp')):
        text = without_comments(path.read_text(encoding='utf-8'))
        for match in re.finditer(r'\bEM_JS\s*\(', text):
            call = text[match.end() - 1:closing(text, match.end() - 1)]
            name = re.match(r'\(\s*[^,]+,\s*(\w+)\s*,', call).group(1)
            methods = re.findall(r'Module\.web\.(\w+)', call)
            hooks.append((name, methods, path.name))
        for match in re.finditer(r'\bEM_ASM\w*\s*\(', text):
            call = text[match.end() - 1:closing(text, match.end() - 1)]
            posted = re.findall(r"type\s*:\s*'(\w+)'", call)
            inline.append((path.name, posted))
        for match in re.finditer(r'EMSCRIPTEN_KEEPALIVE\s+[^(;{]*?\b(orvanta_\w+)\s*\(', text):
            exports.append((match.group(1), path.name))
    cmake = (root / 'app/web/CMakeLists.txt').read_text(encoding='utf-8')
    runtime = re.search(r'EXPORTED_RUNTIME_METHODS=\[([^\]]*)\]', cmake)
    exported_runtime = runtime.group(1).split(',') if runtime else []

    shell_uses = {}   # export -> files of the shell that call it
    runtime_uses = set()
    web_methods = []
    for path in sorted((root / 'app/web/shell').glob('*.js')):
        text = path.read_text(encoding='utf-8')
        for name in re.findall(r'\b_(orvanta_\w+)', text):
            shell_uses.setdefault(name, set()).add(path.name)
        runtime_uses.update(re.findall(r'\b(?:program|module|instance)\.(?!_)([A-Za-z]\w*)', text))
        web = re.search(r'^const web = \{\n(.*?)^\};', text, re.S | re.M)
        if web:
            web_methods += [(m, path.name) for m in re.findall(r'^  (\w+)\s*(?:\(|:)', web.group(1), re.M)]

    defined = {name for name, _ in exports}
    for name, files in sorted(shell_uses.items()):
        if name not in defined:
            problems.append(f'the shell ({", ".join(sorted(files))}) calls _{name}, which no app/web/*.cpp exports')
    for name, file in exports:
        if name not in shell_uses:
            problems.append(f'{file} exports {name}, which the shell never calls')
    shell_web = {m for m, _ in web_methods}
    used = set()
    for name, methods, file in hooks:
        for method in methods:
            used.add(method)
            if method not in shell_web:
                problems.append(f'{file}: {name} calls Module.web.{method}, which the shell\'s web object lacks')
    for method, file in web_methods:
        if method not in used:
            problems.append(f'{file}: web.{method} is called by no EM_JS hook')
    return hooks, inline, exports, shell_uses, web_methods, sorted(runtime_uses), exported_runtime, problems


def render(hooks, inline, exports, shell_uses, web_methods, runtime_uses, exported_runtime):
    defined_in = dict(web_methods)
    lines = [
        '# The web page\'s boundary between JavaScript and C++',
        '',
        'Written by `scripts/web-boundary.py --write` from app/web/*.cpp and',
        'app/web/shell/*.js; `scripts/check-layers.sh` fails when this list and the',
        'code disagree, or when one side offers what the other never uses.',
        '',
        '## Hooks: the C++ calls the page',
        '',
        'Each is an `EM_JS` function; most call a method of the `web` object that the',
        'page hands to the module (`createOrvanta({web})`, in C++ `Module.web`).',
        '',
        '| C++ function | calls | C++ file | page file |',
        '|---|---|---|---|',
    ]
    for name, methods, file in hooks:
        called = ', '.join(f'`web.{m}`' for m in methods) or '(its own JavaScript)'
        pages = ', '.join(sorted({defined_in.get(m, '?') for m in methods}))
        lines.append(f'| `{name}` | {called} | {file} | {pages} |')
    for file, posted in inline:
        what = ', '.join(f'`{p}`' for p in posted)
        lines.append(f'| `EM_ASM` | posts {what} to the page | {file} | |')
    lines += [
        '',
        '## Exports: the page calls the C++',
        '',
        'Each is an `EMSCRIPTEN_KEEPALIVE` function, `Module._<name>` in the page.',
        '',
        '| export | C++ file | called from |',
        '|---|---|---|',
    ]
    for name, file in exports:
        lines.append(f'| `{name}` | {file} | {", ".join(sorted(shell_uses.get(name, [])))} |')
    lines += [
        '',
        '## Runtime members the page uses',
        '',
        ', '.join(f'`{m}`' for m in runtime_uses) +
        ' (app/web/CMakeLists.txt exports ' + ', '.join(f'`{m}`' for m in exported_runtime) + ')',
        '',
    ]
    return '\n'.join(lines)


def main(argv):
    write = '--write' in argv
    rest = [a for a in argv if a != '--write']
    root = pathlib.Path(rest[0] if rest else pathlib.Path(__file__).resolve().parent.parent)
    *found, problems = read_sources(root)
    text = render(*found)
    listed = root / LIST
    if write:
        listed.write_text(text, encoding='utf-8')
    elif not listed.is_file() or listed.read_text(encoding='utf-8') != text:
        problems.append(f'{LIST} is not the list the sources give: run scripts/web-boundary.py --write')
    for problem in problems:
        print(f'web boundary: {problem}')
    if problems:
        return 1
    print(f'web boundary: {LIST} lists {len(found[0])} hooks and {len(found[2])} exports, as the code has them')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
