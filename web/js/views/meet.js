// A meet: its header, the search by number or name as one types, and the
// program: every heat in order with its state, the heat now swimming at the
// top of the list, kept current from now.json.

import { el, replace, daysText } from '../dom.js';
import {
  loadData, cached, meetAddress, numberShardFile, nameShardFile, NotFound,
} from '../data.js';
import { readQuery, matches } from '../search.js';
import { PROGRAM_FILE, NOW_FILE, statesFit, programHeats, stateWord } from '../program.js';

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

// A file the publisher may not have written yet reads as null.
const unlessMissing = (promise) => promise.catch((error) => {
  if (error instanceof NotFound) return null;
  throw error;
});

// The program as a list of links, one a heat; its rows are made once for a
// program and only their state words change after.
class ProgramList {
  constructor(page) {
    this.page = page;
    this.section = el('section', { class: 'program', 'aria-label': 'プログラム' });
    this.rows = new Map(); // heat -> {row, word}
    this.program = null;
    this.nowHeat = null;
    this.placed = null; // scrollTop the list was put at for the heat now swimming
  }

  draw(program, now) {
    if (!program || !(program.heats || []).length) {
      this.program = null;
      replace(this.section);
      return;
    }
    if (program !== this.program) this.build(program);
    const entries = programHeats(program, now);
    for (const entry of entries) {
      const shown = this.rows.get(entry.heat);
      if (!shown || shown.row.dataset.state === entry.state) continue;
      shown.row.dataset.state = entry.state;
      shown.word.textContent = stateWord(entry);
    }
    const nowHeat = statesFit(program, now) ? now.now : null;
    if (nowHeat !== this.nowHeat) {
      this.rows.get(this.nowHeat)?.row.removeAttribute('aria-current');
      this.rows.get(nowHeat)?.row.setAttribute('aria-current', 'true');
      // Followed while the list stays where it was put; a list scrolled by
      // hand is left alone.
      if (this.placed === null || this.list.scrollTop === this.placed) this.scrollTo(nowHeat);
      this.nowHeat = nowHeat;
    }
  }

  build(program) {
    const { season, meet: code } = this.page.address;
    this.program = program;
    this.rows.clear();
    this.nowHeat = null;
    this.placed = null;
    const items = program.heats.map((h) => {
      const word = el('span', { class: 'state' });
      const row = el('li', { 'data-heat': h.heat },
        el('a', { href: `#/${season}/${code}/h/${h.heat}` },
          el('span', { class: 'what' }, [h.event, h.stage].filter(Boolean).join(' ') || '—'),
          word,
          el('span', { class: 'sub' }, `組 ${h.heat}`)));
      this.rows.set(h.heat, { row, word });
      return row;
    });
    // Room below the last heat, so that a heat near the end can stand at the top.
    this.spacer = el('li', { class: 'spacer', 'aria-hidden': 'true' });
    this.list = el('ol', { class: 'program-list' }, items, this.spacer);
    replace(this.section, el('h2', {}, `プログラム (${items.length}組)`), this.list);
  }

  scrollTo(heat) {
    const shown = this.rows.get(heat);
    if (!shown || !this.list.isConnected) return;
    this.spacer.style.height = '0';
    const lack = this.list.clientHeight - (this.list.scrollHeight - shown.row.offsetTop);
    if (lack > 0) this.spacer.style.height = `${lack}px`;
    this.list.scrollTop = shown.row.offsetTop;
    this.placed = this.list.scrollTop;
  }
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
  let [meet, fold, program, now] = await Promise.all([
    loadData(meetFile), loadData(meetAddress(season, code, 'fold.json')),
    unlessMissing(loadData(programFile)), unlessMissing(loadData(nowFile))]);
  // Asked for while the publisher was writing a new program: its states came first.
  if (now && program && !statesFit(program, now)) program = await unlessMissing(loadData(programFile));
  if (!page.current()) return { addresses: [] };

  const header = el('section', { class: 'meet' });
  const heats = new ProgramList(page);
  const results = el('div', { id: 'results', 'aria-live': 'polite' });
  const input = el('input', {
    id: 'search', type: 'search', autocomplete: 'off', enterkeyhint: 'search',
    placeholder: '番号か名前', 'aria-label': '番号か名前で検索',
  });
  input.value = params.get('q') || '';
  let shards = new Map(); // shard address -> rows

  // Runs at each keystroke; with the shard in hand it answers at once.
  function search() {
    const query = readQuery(input.value, fold);
    page.remember(input.value ? { q: input.value } : {});
    if (query.kind === 'none') return replace(results);
    const file = meetAddress(season, code,
      query.kind === 'number' ? numberShardFile(query.shard) : nameShardFile(query.shard));
    const rows = shards.get(file);
    if (rows) return replace(results, resultList(page, matches(rows, query)));
    replace(results, el('p', { class: 'note' }, '検索中…'));
    const asked = shards;
    loadData(file).then((data) => data.competitors || [], (error) => {
      if (error instanceof NotFound) return [];
      throw error;
    }).then((found) => {
      asked.set(file, found);
      if (page.current() && asked === shards) search();
    }, () => replace(results, el('p', { class: 'note' }, 'サーバーに接続できません。')));
  }
  input.addEventListener('input', search);

  const draw = (data) => {
    replace(header, meetHeader(data));
    document.title = `${data.name || data.code} - 競技会結果`;
  };
  draw(meet);
  replace(page.view, header,
    el('form', { class: 'search', role: 'search', onsubmit: (e) => e.preventDefault() },
      el('label', { for: 'search' }, '選手を探す'), input),
    results, heats.section);
  heats.draw(program, now);
  if (input.value) search();

  return {
    addresses: [nowFile, meetFile],
    refresh: async () => {
      // The states as just asked for; the program again only when they are
      // of another one.
      now = cached(nowFile) || await unlessMissing(loadData(nowFile));
      if (now && !statesFit(program, now)) program = await unlessMissing(loadData(programFile));
      if (!page.current()) return;
      heats.draw(program, now);
      const data = cached(meetFile) || meet;
      if (data === meet) return;
      meet = data;
      draw(data);
      // New competitors may be in the shards asked for so far: ask for them
      // again (an unchanged shard answers 304), showing the old answer
      // meanwhile.
      const fresh = new Map();
      await Promise.all([...shards.keys()].map((file) => loadData(file).then(
        (found) => fresh.set(file, found.competitors || []),
        (error) => { if (!(error instanceof NotFound)) throw error; fresh.set(file, []); })));
      if (!page.current()) return;
      shards = fresh;
      if (input.value) search();
    },
  };
}
