// The viewer's own small rules, run by Node on the same modules the browser
// loads: reading a typed search with fold.json's table, picking the shard
// and the matches, picking a lap interval's texts and a split, reading an
// address, the stars kept in the browser's storage.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { readQuery, foldName, matches, trimmed } from '../../web/js/search.js';
import { textsFor, textAt, splitsWithTimes, settleSplit, lapOptions, chosenOption, newestSplit }
  from '../../web/js/views/laps.js';
import { starred, setStar } from '../../web/js/stars.js';
import { readAddress, pageFiles, pageModules, notHeld } from '../../web/js/address.js';
import { keptEtag } from '../../web/js/data.js';

const web = new URL('fixture/swim/2026/2026001/web/', import.meta.url);
const json = (name) => JSON.parse(readFileSync(new URL(name, web), 'utf8'));
const fold = json('fold.json');
const heat = json('heats/0001.json');
const meet = json('meet.json');

test('a typed text is read as the core reads it', () => {
  const cases = [
    // typed, kind, folded or trimmed text, shard
    ['12', 'number', '12', '1'],
    [' 12　', 'number', '12', '1'],
    ['１２', 'number', '12', '1'],
    ['１２４８', 'number', '1248', '1'],
    ['　１0 ', 'number', '10', '1'],
    ['／1', 'number', '／1', '_'],
    ['A1', 'number', 'A1', '_'],
    ['0', 'number', '0', '0'],
    ['9', 'number', '9', '9'],
    ['ﾔﾏﾀﾞ', 'name', 'ヤマダ', '30e4'],
    ['やまだ', 'name', 'ヤマダ', '30e4'],
    ['山 田', 'name', '山田', '5c71'],
    ['<img', 'name', '<img', '003c'],
    ['ﾀﾞ', 'name', 'ダ', '30c0'],
    ['ﾀ', 'name', 'タ', '30bf'],
    ['𠮷', 'name', '𠮷', '20bb7'],
  ];
  for (const [typed, kind, text, shard] of cases) {
    assert.deepEqual(readQuery(typed, fold), { kind, text, shard }, typed);
  }
  for (const typed of ['', ' ', '　 　', '\t']) {
    assert.deepEqual(readQuery(typed, fold), { kind: 'none' }, JSON.stringify(typed));
  }
});

test('folding takes a pair before a single character, and drops what the table empties', () => {
  assert.equal(foldName('ｶﾞﾀﾞ', fold), 'ガダ');
  assert.equal(foldName('ﾀﾞﾀ', fold), 'ダタ');
  assert.equal(foldName('ﾀﾀﾞ', fold), 'タダ');
  assert.equal(foldName('Ａ A', fold), 'aa');
  assert.equal(foldName('無', fold), '無');
  assert.equal(trimmed(' \u3000x y\u3000 '), 'x y');
});

test('a number search is a prefix of the number; a name search is held in the key', () => {
  const rows = json('numbers/1.json').competitors;
  const numbers = (text) => matches(rows, { kind: 'number', text }).map((r) => r[1]);
  assert.deepEqual(numbers('1'), ['1001', '1002', '1203']);
  assert.deepEqual(numbers('1002'), ['1002']);
  assert.deepEqual(numbers('10021'), []);
  assert.deepEqual(numbers('002'), []);
  const named = json('names/30e4.json').competitors;
  const names = (text) => matches(named, { kind: 'name', text }).map((r) => r[0]);
  assert.deepEqual(names('ヤマダ'), [2]);
  assert.deepEqual(names('マダハ'), [2]);
  assert.deepEqual(names('ヤマダハナコX'), []);
  assert.deepEqual(matches(rows, { kind: 'none' }), []);
});

test('the texts of a lap interval are the arrays of the heat file', () => {
  const lane = heat.lanes.find((l) => l.lane === 4);
  const options = lapOptions(meet);
  assert.deepEqual(options.map((o) => o.label), ['通算', '25m', '50m', '100m']);
  assert.deepEqual(textsFor(lane, options[0]), lane.cumulative);
  assert.deepEqual(textsFor(lane, options[1]), lane.laps['25']);
  assert.deepEqual(textsFor(lane, options[3]), lane.laps['100']);
  assert.equal(textAt(lane.cumulative, 3), '1:07.31');
  assert.equal(textAt(lane.cumulative, 4), '');
  assert.equal(textAt(lane.cumulative, 59), '');
  assert.equal(chosenOption(meet, new URLSearchParams('lap=2')).label, '50m');
  assert.equal(chosenOption(meet, new URLSearchParams('lap=4')).label, '通算');
  assert.equal(chosenOption(meet, new URLSearchParams('lap=x')).label, '通算');
});

test('the splits shown are those with a text; a wanted split settles on one of them', () => {
  const fifty = lapOptions(meet)[2];
  assert.deepEqual(splitsWithTimes(heat.lanes, lapOptions(meet)[0], 60), [0, 1, 2, 3]);
  assert.deepEqual(splitsWithTimes(heat.lanes, fifty, 60), [1, 3]);
  assert.deepEqual(splitsWithTimes([], fifty, 60), []);
  const cases = [[[1, 3], null, 3], [[1, 3], 0, 3], [[1, 3], 1, 1], [[1, 3], 2, 1], [[1, 3], 3, 3],
    [[1, 3], 4, 3], [[1, 3], 59, 3], [[1, 3], -1, 3], [[], 2, 0]];
  for (const [shown, wanted, at] of cases) assert.equal(settleSplit(shown, wanted), at, `${shown} ${wanted}`);
});

test('the newest split is the last with a cumulative time', () => {
  const full = Array.from({ length: 60 }, (_, i) => `${i + 10}.00`);
  const cases = [[[], null], [['15.21'], 0], [['15.21', '', ''], 0], [['', '32.40'], 1], [[' ', '  '], null],
    [full, 59], [[...full, ''], 59]];
  for (const [cumulative, newest] of cases) assert.equal(newestSplit({ cumulative }), newest, String(cumulative));
  assert.equal(newestSplit({}), null);
});

test('an address names a page only with plain words and four-digit heats', () => {
  const cases = [
    ['', 'start'], ['#/', 'start'], ['#/2026', 'meets'], ['#/2026/2026001', 'meet'],
    ['#/2026/2026001/c/23', 'competitor'], ['#/2026/2026001/c/23/h/0012', 'swim'],
    ['#/2026/2026001/h/0012', 'heat'], ['#/2026/2026001/h/012', 'unknown'],
    ['#/2026/2026001/h/00123', 'unknown'], ['#/2026/..', 'unknown'], ['#/2026/a%2Fb', 'unknown'],
    ['#/2026/2026001/c/x', 'unknown'], ['#/2026/2026001/c/1234567', 'competitor'],
    ['#/2026/2026001/c/12345678', 'unknown'], ['#/%E0%A4%A', 'unknown'],
    ['#/' + 'a'.repeat(32), 'meets'], ['#/' + 'a'.repeat(33), 'unknown'],
    ['#/2026/2026001/c/23/h/0012/x', 'unknown'],
    ['#/2026/2026001/mine', 'mine'], ['#/2026/2026001/mine/x', 'unknown'], ['#/2026/2026001/mines', 'unknown'],
    ['#/2026/mine', 'meet'],
  ];
  for (const [hash, page] of cases) assert.equal(readAddress(hash).page, page, hash);
  const swim = readAddress('#/2026/2026001/c/23/h/0012?lap=1&at=3');
  assert.deepEqual([swim.ordinal, swim.heat, swim.params.get('lap'), swim.params.get('at')],
    [23, '0012', '1', '3']);
});

test('an ETag given in the second its file changed is not sent back', () => {
  const cases = [
    // Date, Last-Modified, kept
    ['Wed, 09 Dec 2026 10:00:01 GMT', 'Wed, 09 Dec 2026 10:00:00 GMT', true],
    ['Wed, 09 Dec 2026 10:00:00 GMT', 'Wed, 09 Dec 2026 10:00:00 GMT', false],
    ['Wed, 09 Dec 2026 09:59:59 GMT', 'Wed, 09 Dec 2026 10:00:00 GMT', false],
    [null, 'Wed, 09 Dec 2026 10:00:00 GMT', true],
    ['Wed, 09 Dec 2026 10:00:00 GMT', null, true],
    ['no date', 'Wed, 09 Dec 2026 10:00:00 GMT', true],
  ];
  for (const [date, modified, kept] of cases)
    assert.equal(keptEtag('"6a-10"', date, modified), kept ? '"6a-10"' : null, `${date} / ${modified}`);
});

test('the stars of a meet are read back from the storage, and only ordinals', () => {
  const kept = new Map();
  globalThis.localStorage = {
    getItem: (key) => (kept.has(key) ? kept.get(key) : null),
    setItem: (key, value) => kept.set(key, String(value)),
    removeItem: (key) => kept.delete(key),
  };
  const key = 'quendro.mine.2026/2026001';
  const cases = [
    // stored text, ordinals read
    [null, []], ['[2,0]', [2, 0]], ['[0,0,2]', [0, 2]], ['[9999999,10000000]', [9999999]],
    ['[-1,1.5,"3",null]', []], ['{"0":1}', []], ['not json', []], ['[]', []],
  ];
  for (const [text, ordinals] of cases) {
    if (text === null) kept.delete(key); else kept.set(key, text);
    assert.deepEqual(starred('2026', '2026001'), ordinals, String(text));
  }
  kept.clear();
  setStar('2026', '2026001', 5, true);
  setStar('2026', '2026001', 3, true);
  setStar('2026', '2026001', 5, true);
  setStar('2026', '2026002', 7, true);
  assert.deepEqual(starred('2026', '2026001'), [3, 5]);
  assert.deepEqual(starred('2026', '2026002'), [7]);
  setStar('2026', '2026001', 3, false);
  setStar('2026', '2026001', 5, false);
  assert.equal(kept.has(key), false);
  assert.deepEqual(starred('2026', '2026001'), []);
  delete globalThis.localStorage;
});

test('a page asks for its files at once: the bucket by the size in hand, else the layout\'s', () => {
  const web = '/swim/2026/2026001/web/';
  const files = (hash, inHand) => pageFiles(readAddress(hash), inHand).map((f) => f.replace(web, ''));
  assert.deepEqual(files('#/2026'), ['/swim/2026/web/meets.json']);
  // The meet page's program comes after its search box.
  assert.deepEqual(files('#/2026/2026001'), ['meet.json', 'fold.json']);
  assert.deepEqual(files('#/2026/2026001/c/255'), ['meet.json', 'competitors/0.json']);
  assert.deepEqual(files('#/2026/2026001/c/256'), ['meet.json', 'competitors/1.json']);
  assert.deepEqual(files('#/2026/2026001/c/256', { competitorBucketSize: 100 }),
    ['meet.json', 'competitors/2.json']);
  assert.deepEqual(files('#/2026/2026001/c/3/h/0002'), ['meet.json', 'competitors/0.json', 'heats/0002.json']);
  assert.deepEqual(files('#/2026/2026001/h/0002'), ['meet.json', 'heats/0002.json']);
  const mine = (inHand, ordinals) => pageFiles(readAddress('#/2026/2026001/mine'), inHand, ordinals)
    .map((f) => f.replace(web, ''));
  assert.deepEqual(mine(undefined, []), ['meet.json', 'program.json', 'now.json']);
  assert.deepEqual(mine(undefined, [300, 5, 255]),
    ['meet.json', 'program.json', 'now.json', 'competitors/1.json', 'competitors/0.json']);
  assert.deepEqual(mine({ competitorBucketSize: 100 }, [300, 5, 255]),
    ['meet.json', 'program.json', 'now.json', 'competitors/3.json', 'competitors/0.json', 'competitors/2.json']);
  assert.deepEqual(files('#/'), []);
});

test('what the published meet does not hold is told from its own files', () => {
  const bucket = json('competitors/0.json');
  const counted = { ...meet, heatCount: 2, competitorCount: 3 };
  const cases = [
    // address, meet, bucket, not held
    ['#/2026/2026001/c/2', counted, bucket, null],
    ['#/2026/2026001/c/7', counted, bucket, 'competitor'], // the bucket is published without them
    ['#/2026/2026001/c/3', counted, null, null], // within the count: their bucket may still come
    ['#/2026/2026001/c/4', counted, null, 'competitor'], // past the count, no bucket
    ['#/2026/2026001/c/4', { ...counted, competitorCount: undefined }, null, null],
    ['#/2026/2026001/c/7', null, null, null], // the meet itself is not published yet
    ['#/2026/2026001/h/0002', counted, undefined, null], // the last heat of the table
    ['#/2026/2026001/h/0003', counted, undefined, 'heat'], // just past it
    ['#/2026/2026001/h/0000', counted, undefined, 'heat'],
    ['#/2026/2026001/h/0001', counted, undefined, null],
    ['#/2026/2026001/c/0/h/0002', counted, bucket, null], // one of the competitor's swims
    ['#/2026/2026001/c/0/h/0003', counted, bucket, 'heat'],
    ['#/2026/2026001/c/1/h/0002', counted, bucket, 'swim'], // they do not swim in heat 0002
    ['#/2026/2026001/c/7/h/0001', counted, bucket, 'competitor'],
  ];
  for (const [hash, m, b, missing] of cases) assert.equal(notHeld(readAddress(hash), m, b), missing, hash);
});

test('a page asks for all its modules at once: those every page needs from the page, its own with its files', () => {
  const root = new URL('../../web/', import.meta.url);
  const page = readFileSync(new URL('index.html', root), 'utf8');
  const preloaded = [...page.matchAll(/<(?:script type="module" src|link rel="modulepreload" href)="js\/([^"]+)"/g)]
    .map((m) => m[1]);
  // Every module a module imports, by its path below js/, followed through.
  const importsOf = (module, seen = new Set()) => {
    if (seen.has(module)) return seen;
    seen.add(module);
    const text = readFileSync(new URL(`js/${module}`, root), 'utf8');
    for (const [, relative] of text.matchAll(/^import[^;]*?from '(\.{1,2}\/[^']+)';/gms)) {
      importsOf(new URL(relative, `file:///js/${module}`).pathname.replace(/^\/js\//, ''), seen);
    }
    return seen;
  };
  assert.deepEqual([...importsOf('main.js')].filter((m) => !preloaded.includes(m)), []);
  const modules = readdirSync(new URL('js/', root), { recursive: true }).filter((f) => f.endsWith('.js'));
  const listed = new Set(preloaded);
  for (const kind of ['meets', 'meet', 'program', 'competitor', 'swim', 'heat', 'mine']) {
    const own = pageModules(kind);
    assert.ok(own.length > 0, kind);
    own.forEach((m) => listed.add(m));
    const missing = [...importsOf(own[0])].filter((m) => !own.includes(m) && !preloaded.includes(m));
    assert.deepEqual(missing, [], kind);
  }
  assert.deepEqual(modules.filter((m) => !listed.has(m)), []);
});
