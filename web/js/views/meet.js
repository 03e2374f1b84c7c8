// A meet: its header, the search by number or name as one types, and the
// program: every heat in order with its state, the heat now swimming at the
// top of the list, kept current from now.json. The search box comes first,
// with meet.json and fold.json; the program (its modules and files) is asked
// for once the box is on the screen, so that a search typed at once has the
// link to itself: a search typed before then puts the program off until the
// box is emptied (its rows would stand below the search's results).

import { el, replace, daysText } from '../dom.js';
import {
  loadData, loadAgain, askAll, cached, meetAddress, numberShardFile, nameShardFile, NotFound,
  competitorBucketFile,
  PROGRAM_FILE, NOW_FILE,
} from '../data.js';
import { readQuery, matches } from '../search.js';
import { pageModules } from '../address.js';
import { PERIOD_MS } from '../live.js';
import { mineEntry } from './common.js';

const SHOWN_RESULTS = 50;

function meetHeader(meet) {
  const facts = [
    daysText(meet.firstDay, meet.lastDay),
    meet.venue,
    meet.pool ? `${meet.pool}m プール` : '',
    meet.touchpads ? `タッチ板 ${meet.touchpads}` : '',
  ].filter(Boolean);
  return [el('h1', {}, meet.name || meet.code), el('p', { class: 'sub' }, facts.join(' ・ '))];
}

function resultList(page, rows) {
  const { season, meet: code } = page.address;
  if (rows.length === 0) return el('p', { class: 'note' }, '該当する選手はいません。');
  const items = rows.slice(0, SHOWN_RESULTS).map(([ordinal, number, name, team, grade]) =>
    el('li', {}, el('a', { class: 'person', href: `#/${season}/${code}/c/${Number(ordinal)}` },
      el('span', { class: 'number' }, number),
      el('span', { class: 'name' }, name),
      el('span', { class: 'sub' }, [team, grade].filter(Boolean).join(' ')))));
  const more = rows.length > SHOWN_RESULTS
    ? el('p', { class: 'note' }, `ほか ${rows.length - SHOWN_RESULTS} 人。続けて入力すると絞り込めます。`)
    : null;
  return [el('p', { class: 'count' }, `${rows.length} 人`), el('ul', { class: 'people' }, items), more];
}

export async function showMeet(page) {
  const { season, meet: code, params } = page.address;
  const meetFile = meetAddress(season, code, 'meet.json');
  const programFile = meetAddress(season, code, PROGRAM_FILE);
  const nowFile = meetAddress(season, code, NOW_FILE);
  let [meet, fold] = await Promise.all([loadData(meetFile), loadData(meetAddress(season, code, 'fold.json'))]);
  if (!page.current()) return { addresses: [] };

  const header = el('section', { class: 'meet' });
  // The program's place, and the program once asked for: its modules, its
  // list, and the files as last read.
  const programPlace = el('section', { class: 'program', 'aria-label': 'プログラム' });
  let parts = null; // {ProgramList, unlessMissing, statesFit}
  let heats = null;
  let program = null;
  let now = null;
  let programAsked = false;
  const askProgram = async () => {
    if (programAsked || !page.current()) return;
    programAsked = true;
    try {
      // Its files and its modules at once.
      askAll([programFile, nowFile]);
      const modules = await Promise.all(pageModules('program').map((m) => import(`../${m}`)));
      parts = Object.assign({}, ...modules);
      const { unlessMissing, statesFit } = parts;
      [program, now] = await Promise.all([unlessMissing(loadData(programFile)), unlessMissing(loadData(nowFile))]);
      // Asked for while the publisher was writing a new program: its states
      // came first, and the program is asked for anew.
      if (now && program && !statesFit(program, now)) program = await unlessMissing(loadAgain(programFile));
    } catch {
      // The server did not answer: asked for again at the live pace.
      programAsked = false;
      setTimeout(() => { if (!typed) askProgram(); }, PERIOD_MS);
      return;
    }
    if (!page.current()) return;
    heats = new parts.ProgramList(page);
    programPlace.replaceWith(heats.section);
    heats.draw(program, now);
  };
  let typed = false; // a search typed before the program was asked for
  const results = el('div', { id: 'results', 'aria-live': 'polite' });
  const input = el('input', {
    id: 'search', type: 'search', autocomplete: 'off', enterkeyhint: 'search',
    placeholder: '番号か名前', 'aria-label': '番号か名前で検索',
  });
  input.value = params.get('q') || '';
  let shards = new Map(); // shard address -> rows
  const waiting = new Set(); // shard addresses whose answer is on its way
  // Enter was pressed before the answer came: a single hit opens when it does.
  let openWhenAnswered = false;
  const openSingle = (found) => {
    if (found.length !== 1) return false;
    location.hash = `#/${season}/${code}/c/${Number(found[0][0])}`;
    return true;
  };

  // Runs at each keystroke; with the shard in hand it answers at once.
  function search() {
    const query = readQuery(input.value, fold);
    page.remember(input.value ? { q: input.value } : {});
    if (query.kind === 'none') return replace(results);
    const file = meetAddress(season, code,
      query.kind === 'number' ? numberShardFile(query.shard) : nameShardFile(query.shard));
    const rows = shards.get(file);
    if (rows) {
      const found = matches(rows, query);
      // A single hit is the page most likely opened next: its competitor's
      // bucket is asked for now, and their page finds it on the way.
      if (found.length === 1) askAll([meetAddress(season, code, competitorBucketFile(Number(found[0][0]), meet))]);
      if (openWhenAnswered) {
        openWhenAnswered = false;
        if (openSingle(found)) return undefined;
      }
      return replace(results, resultList(page, found));
    }
    replace(results, el('p', { class: 'note' }, '検索中…'));
    if (waiting.has(file)) return undefined;
    waiting.add(file);
    loadData(file).then((data) => data.competitors || [], (error) => {
      if (error instanceof NotFound) return [];
      throw error;
    }).then((found) => {
      waiting.delete(file);
      // A refresh meanwhile may have brought a newer answer.
      if (!shards.has(file)) shards.set(file, found);
      if (page.current()) search();
    }, () => {
      waiting.delete(file);
      replace(results, el('p', { class: 'note' }, 'サーバーに接続できません。'));
    });
  }
  input.addEventListener('input', () => {
    openWhenAnswered = false;
    if (!programAsked) typed = input.value !== '';
    search();
    if (!typed) askProgram();
  });
  // Enter opens the one competitor found; with the answer still on its way,
  // when it comes.
  const enter = (event) => {
    event.preventDefault();
    openWhenAnswered = true;
    search();
  };

  const draw = (data) => {
    replace(header, meetHeader(data));
    document.title = `${data.name || data.code} - 競技会結果`;
  };
  draw(meet);
  replace(page.view, header, mineEntry(page.address),
    el('form', { class: 'search', role: 'search', onsubmit: enter },
      el('label', { for: 'search' }, '選手を探す'), input),
    results, programPlace);
  if (input.value) search();
  // The frame after the search box is on the screen.
  requestAnimationFrame(() => setTimeout(() => {
    if (!typed) askProgram();
  }));

  return {
    addresses: () => (heats ? [nowFile, meetFile] : [meetFile]),
    refresh: async () => {
      // The states as just asked for; the program again only when they are
      // of another one.
      if (heats) {
        const { unlessMissing, statesFit } = parts;
        now = cached(nowFile) || await unlessMissing(loadData(nowFile));
        if (now && !statesFit(program, now)) program = await unlessMissing(loadAgain(programFile));
        if (!page.current()) return;
        heats.draw(program, now);
      }
      const data = cached(meetFile) || meet;
      if (data === meet) return;
      meet = data;
      draw(data);
      // New competitors may be in the shards asked for so far: ask for them
      // again (an unchanged shard answers 304), showing the old answer
      // meanwhile.
      const fresh = new Map();
      await Promise.all([...shards.keys()].map((file) => loadAgain(file).then(
        (found) => fresh.set(file, found.competitors || []),
        (error) => { if (!(error instanceof NotFound)) throw error; fresh.set(file, []); })));
      if (!page.current()) return;
      shards = fresh;
      if (input.value) search();
    },
  };
}
