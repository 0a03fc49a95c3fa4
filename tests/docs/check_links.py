#!/usr/bin/env python3
"""Every relative link and anchor of the project's Markdown files resolves.

Usage: check_links.py ROOT. Prints one line per broken link; exit 1 if any.
"""
import re
import sys
from pathlib import Path

LINK = re.compile(r'!?\[(?:[^\]\\]|\\.)*\]\(([^)\s]+)(?:\s+"[^"]*")?\)')
FENCE = re.compile(r'^\s*(```|~~~)')


def prose_lines(text):
    """Lines outside fenced code blocks, with inline code spans blanked."""
    fenced = False
    for line in text.splitlines():
        if FENCE.match(line):
            fenced = not fenced
            continue
        if not fenced:
            yield re.sub(r'`[^`]*`', '', line)


def slug(heading):
    """The anchor a heading gets on the common Markdown hosts."""
    s = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', heading)
    s = s.strip().lower()
    s = re.sub(r'[^\w\- ]', '', s)
    return s.replace(' ', '-')


def anchors(path):
    seen, result = {}, set()
    for line in prose_lines(path.read_text(encoding='utf-8')):
        m = re.match(r'^(#{1,6})\s+(.*?)\s*#*\s*$', line)
        if not m:
            continue
        base = slug(m.group(2))
        n = seen.get(base, 0)
        seen[base] = n + 1
        result.add(base if n == 0 else f'{base}-{n}')
    return result


def main(root):
    root = Path(root).resolve()
    files = [p for p in root.rglob('*.md')
             if not any(part.startswith(('build', '.')) for part in p.relative_to(root).parts)]
    broken = 0
    for md in sorted(files):
        text = md.read_text(encoding='utf-8')
        for line in prose_lines(text):
            for target in LINK.findall(line):
                if re.match(r'^[a-z]+:', target):
                    continue
                path, _, anchor = target.partition('#')
                dest = (md.parent / path).resolve() if path else md
                problem = None
                if not dest.exists():
                    problem = 'no such file'
                elif anchor and dest.suffix == '.md' and anchor not in anchors(dest):
                    problem = f'no heading for #{anchor}'
                if problem:
                    broken += 1
                    print(f'{md.relative_to(root)}: {target}: {problem}')
    return 1 if broken else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else '.'))
