# Checks that every include in src/ names its folder and points to its own folder or one below
# it in the layers README describes. Run from the repository root: python3 tools/check_layers.py
import os, re, sys
ALLOWED = {
    'core': set(),
    'db': {'core'},
    'report': {'core'},
    'controls': {'core', 'db'},
    'ui': {'core', 'db', 'controls'},
    'backup': {'core', 'db', 'controls', 'ui'},
    'register': {'core', 'db', 'controls', 'ui'},
    'monthly': {'core', 'db', 'controls', 'ui', 'backup'},
    'lists': {'core', 'db', 'controls', 'ui', 'backup', 'report', 'monthly'},
    # the declaration check applies the register's student rules
    'declaration': {'core', 'db', 'controls', 'ui', 'backup', 'report', 'monthly', 'register'},
    'admin': {'core', 'db', 'controls', 'ui'},
    'app': {'core', 'db', 'controls', 'ui', 'backup', 'report', 'register', 'monthly', 'lists',
            'declaration', 'admin'},
}
bad = 0
count = 0
for folder in ALLOWED:
    for dirpath, _, files in os.walk(os.path.join('src', folder)):
        for f in files:
            if not f.endswith(('.h', '.cpp')):
                continue
            path = os.path.join(dirpath, f)
            for n, line in enumerate(open(path, encoding='utf-8'), 1):
                m = re.match(r'#include "([^"]+)"', line)
                if not m:
                    continue
                count += 1
                target = m.group(1).split('/')[0]
                if '/' not in m.group(1):
                    print(f'{path}:{n}: include without its folder: {m.group(1)}'); bad += 1
                elif target != folder and target not in ALLOWED[folder]:
                    print(f'{path}:{n}: {folder} reaches up to {m.group(1)}'); bad += 1
print(f'{count} includes checked, {bad} against the layers')
sys.exit(1 if bad else 0)
