#!/usr/bin/env python3
"""Gives texts that moved to another class the translations they had there.

    carry-translations.py OLD.ts NEW.ts

OLD is the file before lupdate ran, NEW the file after. A message of NEW that
lupdate left unfinished gets the finished translation of the same text (and
comment) from any context of OLD, where there is exactly one such translation.
"""
import re
import sys

MESSAGE = re.compile(r'<message( numerus="yes")?>(.*?)</message>', re.S)
SOURCE = re.compile(r'<source>(.*?)</source>', re.S)
COMMENT = re.compile(r'<comment>(.*?)</comment>', re.S)
TRANSLATION = re.compile(r'<translation( type="[a-z]+")?>(.*?)</translation>', re.S)


def key(body):
    source = SOURCE.search(body)
    comment = COMMENT.search(body)
    return (source.group(1) if source else None, comment.group(1) if comment else None)


def main(old_path, new_path):
    old = open(old_path, encoding='utf-8').read()
    known = {}
    for match in MESSAGE.finditer(old):
        body = match.group(2)
        translation = TRANSLATION.search(body)
        if not translation or translation.group(1):
            continue
        known.setdefault(key(body), set()).add(translation.group(2))
    carried = 0

    def carry(match):
        nonlocal carried
        body = match.group(2)
        translation = TRANSLATION.search(body)
        if not translation or translation.group(1) != ' type="unfinished"':
            return match.group(0)
        found = known.get(key(body), set())
        if len(found) != 1:
            return match.group(0)
        carried += 1
        text = next(iter(found))
        body = body[:translation.start()] + '<translation>' + text + '</translation>' + \
            body[translation.end():]
        return '<message%s>%s</message>' % (match.group(1) or '', body)

    new = MESSAGE.sub(carry, open(new_path, encoding='utf-8').read())
    open(new_path, 'w', encoding='utf-8').write(new)
    print('%s: %d translation(s) carried over' % (new_path, carried))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
