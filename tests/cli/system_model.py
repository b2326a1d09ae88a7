"""An independent model of `quorvel-calc system`: the pipe tables read from data/ with the csv
module, the friction factor from fluids (Colebrook by its Lambert W solution, not iterated),
the tree walked in Python. Written from the rules of the calculation, not from the C++ code.
"""

import csv
import math
import os
import re

from fluids.friction import Colebrook

C_WATER = 4.187  # kJ/(kg K)
G_EARTH = 9.81  # m/s2
SLOPE_VELOCITY = 0.25  # m/s

DENSITY_ROWS = {0: 999.87, 5: 999.8, 10: 999.73, 15: 998.98, 20: 998.23, 25: 996.91,
                30: 995.6, 35: 993.92, 40: 992.24, 45: 990.12, 50: 988.0, 60: 983.24,
                70: 977.7, 80: 971.83, 90: 965.2, 100: 958.4}

# ASCII digits only: Python's float() would take full-width ones.
NUMBER = re.compile(r'^[ \t]*[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?[ \t]*$')


def density(t):
    """kg/m3: the tabulated row at a whole table temperature, else the quadratic through the
    rows at 0, 10 and 20 C (as the program's water tables define it)."""
    if t in DENSITY_ROWS:
        return DENSITY_ROWS[t]
    return ((t - 10) * (t - 20) * 999.87 / 200 + t * (t - 20) * 999.73 / -100 +
            t * (t - 10) * 998.23 / 200)


def viscosity(t):
    return 1e-4 * 0.0178 * (1.0 / (0.00022 * (t * t) + (0.0337 * t + 1.0)))


def number(text):
    """A strictly decimal text as a float; None when it is not one (or is beyond a double)."""
    if not NUMBER.match(text):
        return None
    value = float(text)
    return value if math.isfinite(value) else None


def read_table(folder, name):
    with open(os.path.join(folder, name), encoding='utf-8', newline='') as f:
        return list(csv.DictReader(f))


class Catalog:
    def __init__(self, folder):
        steel = read_table(folder, '钢管规格.csv')
        others = read_table(folder, '铜管及塑料管规格.csv')
        self.series = {}
        for part in read_table(folder, '管道系列.csv'):
            source = steel if part['规格表'] == '钢管规格.csv' else others
            plastic = 'PP-R' in part['管材']
            low = float(part['DN下限']) if part['DN下限'] else None
            high = float(part['DN上限']) if part['DN上限'] else None
            rows = self.series.setdefault(part['名称'], {
                'rows': [], 'plastic': plastic,
                'k': (float(part['K闭式_mm']), float(part['K开式_mm']))})['rows']
            for r in source:
                if r['管材'] != part['管材']:
                    continue
                if part['系列或型号'] and r.get('系列或型号') != part['系列或型号']:
                    continue
                if not plastic and not r['公称直径DN']:
                    continue
                size = float(r['外径_mm'] if plastic else r['公称直径DN'])
                if (low is not None and size < low) or (high is not None and size > high):
                    continue
                rows.append((int(round(size)), float(r['内径_mm'])))
        for s in self.series.values():
            s['rows'].sort(key=lambda row: row[1])
        self.velocity = {False: {}, True: {}}
        for r in read_table(folder, '推荐比摩阻.csv'):
            if r['参数'] != '管内流速推荐值':
                continue
            is_open = r['系统类型'] == '空调水系统(开式)'
            self.velocity[is_open][int(r['公称直径DN'])] = float(r['上限'])

    def upper(self, is_open, dn, inner):
        """Upper recommended velocity: by DN when tabulated, else the DN nearest the bore."""
        table = self.velocity[is_open]
        if dn is not None and dn in table:
            return table[dn]
        best = min(sorted(table), key=lambda k: abs(k - inner))
        return table[best]


def friction_factor(re_, k, d_mm):
    if re_ < 2300:
        return 64 / re_
    return Colebrook(re_, k / d_mm)


def hydraulics(G, d_mm, rho, nu, k):
    """v (m/s), Re, R (Pa/m) of G m3/h in a bore of d_mm."""
    if G == 0:
        return 0.0, 0.0, 0.0
    d = d_mm / 1000
    v = G / 3600 / (math.pi / 4 * d * d)
    re_ = v * d / nu
    lam = friction_factor(re_, k, d_mm)
    return v, re_, lam / d * rho * v * v / 2


DEFAULTS = dict(t=7.0, dt=5.0, series='steel', k=None, rmax=300.0, lift=None,
                doubled=False, plant=0.0, safety=1.1, balance=15.0)

FIELDS = ['id', 'up', 'L', 'G', 'Q', 'DN', 'd', 'zeta', 'equip']


def compute(rows, catalog, **options):
    """rows: dicts of the nine input texts. Returns (list of result dicts, summary dict)."""
    o = dict(DEFAULTS, **options)
    n = len(rows)
    is_open = o['lift'] is not None
    results = [dict(errors=set(), notes=[]) for _ in rows]
    setting = None
    if not (0 <= o['t'] <= 100):
        setting = 'bad-setting-t'
    elif o['dt'] <= 0:
        setting = 'bad-setting-dt'
    elif o['k'] is not None and o['k'] < 0:
        setting = 'bad-setting-k'
    elif o['rmax'] <= 0:
        setting = 'bad-setting-rmax'
    elif is_open and o['lift'] < 0:
        setting = 'bad-setting-open'
    elif o['plant'] < 0:
        setting = 'bad-setting-plant'
    elif o['safety'] <= 0:
        setting = 'bad-setting-safety'
    elif not (0 <= o['balance'] <= 100):
        setting = 'bad-setting-balance'
    if setting:
        for r in results:
            r['errors'] = {setting}
        return results, None

    series = catalog.series[o['series']]
    k = o['k'] if o['k'] is not None else series['k'][1 if is_open else 0]
    rho, nu = density(o['t']), viscosity(o['t'])

    nums = []
    for row, res in zip(rows, results):
        e = res['errors']
        if row.get('_bad'):
            e.add('bad-row')
            nums.append({})
            continue
        if row['id'] == '':
            e.add('missing-id')
        values = {}
        for f in ['L', 'G', 'Q', 'DN', 'd', 'zeta', 'equip']:
            text = row[f]
            if text == '':
                if f == 'L':
                    e.add('missing-L')
                values[f] = None
                continue
            v = number(text)
            if v is None:
                e.add('not-number-' + f)
                values[f] = None
            elif v < 0 and f not in ('zeta', 'equip'):
                e.add('negative-' + f)
                values[f] = None
            else:
                values[f] = v
        if values['d'] == 0:
            e.add('zero-d')
        if values['d'] is None and values['DN'] == 0:
            e.add('zero-DN')
        nums.append(values)

    ids = {}
    for i, row in enumerate(rows):
        if row['id']:
            ids.setdefault(row['id'], []).append(i)
    for i, row in enumerate(rows):
        if row['id'] and len(ids[row['id']]) > 1:
            results[i]['errors'].add('duplicate-id')
    parent = [None] * n  # None: the plant; -1 unresolved
    for i, row in enumerate(rows):
        up = row['up']
        if up == '':
            continue
        if up not in ids:
            results[i]['errors'].add('unknown-up')
            parent[i] = -1
        elif len(ids[up]) > 1:
            results[i]['errors'].add('up-failed')
            parent[i] = -1
        else:
            parent[i] = ids[up][0]
    children = [[] for _ in rows]
    for i, p in enumerate(parent):
        if p is not None and p >= 0:
            children[p].append(i)

    # Sections on a loop: following the upstream links from them comes back to them.
    on_loop = [False] * n
    for i in range(n):
        seen, at = set(), i
        while at is not None and at >= 0 and at not in seen:
            seen.add(at)
            at = parent[at]
        if at == i:
            on_loop[i] = True
    for i in range(n):
        if on_loop[i]:
            results[i]['errors'].add('loop')

    # Depth from the plant (or from an unresolved link); sections hanging on a loop are left out
    # of the computed tree.
    order = [i for i in range(n) if parent[i] is None or parent[i] == -1]
    for i in order:
        order.extend(children[i])
    in_tree = set(order)

    def failed(i):
        return bool(results[i]['errors'])

    for i in reversed(order):
        r, v = results[i], nums[i]
        if failed(i):
            continue
        if v['G'] is not None:
            r['G'] = v['G']
        elif v['Q'] is not None:
            r['G'] = 3600 * v['Q'] / (C_WATER * rho * o['dt'])
        elif not children[i]:
            r['errors'].add('no-flow')
            continue
        elif any(failed(c) for c in children[i]):
            r['errors'].add('flow-from-failed')
            continue
        else:
            r['G'] = sum(results[c]['G'] for c in children[i])
        try:
            size(r, v, series, catalog, is_open, rho, nu, k, o)
            if failed(i):
                continue
            r['Py'] = r['R'] * v['L']
            r['zeta'] = v['zeta'] or 0.0
            r['Pd'] = rho * r['v'] ** 2 / 2
            r['Pj'] = r['zeta'] * r['Pd']
            r['equip'] = (v['equip'] or 0.0) * 1000
            r['P'] = (r['Py'] + r['Pj']) * (2 if o['doubled'] else 1) + r['equip']
            finite = all(math.isfinite(r[f]) for f in ('G', 'v', 'R', 'Py', 'Pd', 'Pj', 'P'))
        except (OverflowError, ZeroDivisionError):
            finite = False
        if not finite:
            r['errors'].add('not-computable')
            continue
        notes = r['notes']
        if r['v'] > r['upper']:
            notes.append('vel-high')
        if r['R'] > o['rmax']:
            notes.append('r-high')
        if r['v'] < SLOPE_VELOCITY:
            notes.append('vel-low')
        if 0 < r['Re'] < 2300:
            notes.append('laminar')

    for i in order:
        p = parent[i]
        r = results[i]
        if p is not None and p >= 0 and failed(p) and not failed(i):
            r['errors'].add('up-failed')
        if not failed(i):
            r['Pend'] = (results[p]['Pend'] if p is not None and p >= 0 else 0.0) + r['P']
    for i in range(n):
        if i not in in_tree and not failed(i):
            results[i]['errors'].add('up-failed')

    # Summary.
    ok = [not failed(i) for i in range(n)]
    flow = sum(results[i]['G'] for i in range(n) if parent[i] is None and ok[i])
    end = None
    for i in range(n):
        if ok[i] and not children[i] and (end is None or results[i]['Pend'] > results[end]['Pend']):
            end = i
    path = []
    at = end
    while at is not None and at >= 0:
        path.append(at)
        at = parent[at]
    path.reverse()
    critical = results[end]['Pend'] if end is not None else 0.0
    lift = o['lift'] if is_open else 0.0
    head_pa = o['safety'] * (critical + o['plant'] * 1000) + rho * G_EARTH * lift

    def deepest(i):
        """The largest end loss below i, or None when something below i failed."""
        if not ok[i]:
            return None
        if not children[i]:
            return results[i]['Pend']
        below = [deepest(c) for c in children[i]]
        return None if None in below else max(below)

    unbalanced = []

    def balance(branches, start):
        if len(branches) < 2:
            return
        losses = [deepest(b) for b in branches]
        if None in losses:
            return
        losses = [x - start for x in losses]
        largest = max(losses)
        if largest <= 0:
            return
        for b, loss in zip(branches, losses):
            percent = (largest - loss) / largest * 100
            if percent > o['balance']:
                extra = largest - loss
                kv = results[b]['G'] / math.sqrt(extra / 1e5)
                unbalanced.append((rows[b]['id'], percent, extra, kv))

    balance([i for i in range(n) if parent[i] is None], 0.0)
    for i in range(n):
        if ok[i]:
            balance(children[i], results[i]['Pend'])
    summary = dict(flow_m3h=flow, critical='>'.join(rows[i]['id'] for i in path),
                   critical_Pa=critical, head_kPa=head_pa / 1000,
                   head_m=head_pa / (rho * G_EARTH), unbalanced=unbalanced)
    return results, summary


def size(r, v, series, catalog, is_open, rho, nu, k, o):
    G = r['G']
    if v['d'] is not None:
        r['d'] = v['d']
        r['DN'] = int(v['DN']) if v['DN'] is not None and v['DN'] == int(v['DN']) else None
        r['upper'] = catalog.upper(is_open, None, r['d'])
    elif v['DN'] is not None:
        match = [row for row in series['rows'] if row[0] == v['DN']]
        if not match:
            r['errors'].add('unknown-DN')
            return
        r['DN'], r['d'] = match[0]
        r['upper'] = catalog.upper(is_open, None if series['plastic'] else r['DN'], r['d'])
    else:
        chosen = None
        for dn, inner in series['rows']:
            upper = catalog.upper(is_open, None if series['plastic'] else dn, inner)
            vel, _, R = hydraulics(G, inner, rho, nu, k)
            if vel <= upper and R <= o['rmax']:
                chosen = (dn, inner, upper)
                break
        if chosen is None:
            dn, inner = series['rows'][-1]
            chosen = (dn, inner, catalog.upper(is_open, None if series['plastic'] else dn, inner))
            r['notes'].append('no-size-fits')
        r['DN'], r['d'], r['upper'] = chosen
    r['v'], r['Re'], r['R'] = hydraulics(G, r['d'], rho, nu, k)
