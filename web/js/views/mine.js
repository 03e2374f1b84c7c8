// マイ選手: the swimmers starred on this phone and each of their swims: a
// swim done with its final, place and latest splits, the swim in the water
// with its newest split, an upcoming swim with its heat, lane and the heats
// until it. The states and the heats until come from the publisher's
// program.json and now.json; the page follows now.json, the competitors'
// files and the heats in the water, and so updates by itself.

import { el, replace } from '../dom.js';
import {
  loadData, loadAgain, meetAddress, competitorBucketFile, heatFile, NotFound,
} from '../data.js';
import { meetFile, personLine, starButton } from './common.js';
import { PROGRAM_FILE, NOW_FILE, statesFit, programHeats, stateWord } from '../program.js';
import { captionsOf, textAt, newestSplit } from './laps.js';
import { starred } from '../stars.js';

const LATEST_SPLITS = 4;
const STATE_CLASS = { D: 'done', S: 'swimming', U: 'upcoming', P: 'waiting' };

const placeText = (place) => (Number.isInteger(place) ? `${place}位` : '');

// A file that is not there (yet): null.
const orNull = (promise) => promise.catch((error) => {
  if (error instanceof NotFound) return null;
  throw error;
});

// The last few splits of a lane, oldest first, as caption and time.
function latestSplits(lane, captions) {
  const newest = newestSplit(lane);
  if (newest === null) return null;
  const cells = [];
  for (let i = Math.max(0, newest - LATEST_SPLITS + 1); i <= newest; i++) {
    const time = textAt(lane.cumulative || [], i);
    if (time) cells.push(el('li', {}, el('span', { class: 'cap' }, captions[i] || ''), el('span', {}, time)));
  }
  return el('ul', { class: 'latest', 'aria-label': '直近のスプリット' }, cells);
}

// One swim of a starred swimmer, as a card that opens the swim.
function swimCard(address, ordinal, swim, entry, heat, meet) {
  const state = entry ? entry.state : '';
  const lane = heat ? (heat.lanes || []).find((l) => Number(l.ordinal) === ordinal) : null;
  const captions = heat ? captionsOf(heat, meet) : [];
  const final = String((lane && lane.final) || swim.final || '').trim();
  const word = entry ? stateWord(entry) : '';
  const where = `組 ${swim.heat} ・ ${swim.lane}レーン`;
  let result = null;
  let splits = null;
  if (state === 'S' && lane) {
    const newest = newestSplit(lane);
    if (newest !== null) {
      result = el('span', { class: 'now' }, el('span', { class: 'sub' }, captions[newest] || ''), ' ',
        el('span', { class: 'final' }, textAt(lane.cumulative || [], newest)), ' ',
        el('span', { class: 'sub' }, placeText((lane.places || [])[newest])));
    }
    splits = latestSplits(lane, captions);
  } else if (final) {
    result = el('span', { class: 'now' }, el('span', { class: 'final' }, final), ' ',
      el('span', { class: 'sub' }, placeText(lane && lane.place)));
    splits = lane ? latestSplits(lane, captions) : null;
  }
  const body = [
    el('span', { class: 'what' }, el('strong', {}, [swim.event, swim.stage].filter(Boolean).join(' ')),
      word ? el('span', { class: `mine-state ${STATE_CLASS[state] || ''}`.trim() }, word) : null),
    el('span', { class: 'sub' }, where),
    result,
    splits,
  ];
  const base = `#/${address.season}/${address.meet}/c/${ordinal}/h/`;
  const kind = `mine-swim ${STATE_CLASS[state] || ''}`.trim();
  return el('li', { class: kind, 'data-heat': swim.heat, 'data-state': state },
    /^[0-9]{4}$/.test(swim.heat || '') ? el('a', { class: 'card', href: base + swim.heat }, body)
      : el('div', { class: 'card' }, body));
}

export async function showMine(page) {
  const { address } = page;
  const { season, meet: code } = address;
  const file = (name) => meetAddress(season, code, name);
  let meet;
  let program;
  let now;
  let buckets = new Map(); // competitors file -> its data, or null
  let heats = new Map(); // heat file -> its data, or null
  let watched = [];
  const body = el('div', { class: 'mine-view' });

  // Reads every file the page shows: the program and its states, the
  // starred swimmers' competitors files, and the heats of their swims that
  // are done or in the water.
  const read = async () => {
    [meet, now] = await Promise.all([loadData(meetFile(address)), orNull(loadData(file(NOW_FILE)))]);
    // The program as asked for with the page's files; asked for anew when
    // it was not there or the states are of another one.
    if (!program || !statesFit(program, now)) {
      program = await orNull((program === undefined ? loadData : loadAgain)(file(PROGRAM_FILE)));
    }
    const ordinals = starred(season, code);
    const bucketFiles = [...new Set(ordinals.map((n) => file(competitorBucketFile(n, meet))))];
    buckets = new Map(await Promise.all(bucketFiles.map(async (f) => [f, await orNull(loadData(f))])));
    const states = new Map(programHeats(program, now).map((h) => [h.heat, h]));
    const swimHeats = new Set();
    for (const n of ordinals) {
      const competitor = competitorOf(n);
      for (const swim of (competitor && competitor.swims) || []) {
        const state = states.get(swim.heat)?.state;
        if (state === 'D' || state === 'S') swimHeats.add(swim.heat);
      }
    }
    const heatFiles = [...swimHeats].map((h) => file(heatFile(h)));
    heats = new Map(await Promise.all(heatFiles.map(async (f) => [f, await orNull(loadData(f))])));
    // Asked for again at every turn: the states, the competitors files and
    // the heats in the water.
    watched = [file(NOW_FILE), ...bucketFiles,
      ...[...swimHeats].filter((h) => states.get(h).state === 'S').map((h) => file(heatFile(h)))];
  };

  const competitorOf = (n) => {
    const data = buckets.get(file(competitorBucketFile(n, meet)));
    return (data && data.competitors || {})[String(n)] || null;
  };

  const draw = () => {
    const states = new Map(programHeats(program, now).map((h) => [h.heat, h]));
    const ordinals = starred(season, code);
    document.title = `マイ選手 - ${meet.name || meet.code} - 競技会結果`;
    const swimmers = ordinals.map((n) => {
      const competitor = competitorOf(n);
      if (!competitor) {
        return el('section', { class: 'mine-card', 'data-ordinal': n },
          el('div', { class: 'who-line' }, el('h2', {}, `選手 ${n}`), starButton(address, n, changed)),
          el('p', { class: 'note' }, 'この大会の選手の中に見つかりません。'));
      }
      // The swims as the competitors file lists them: in the heat table's
      // order, as the window lists them.
      const swims = competitor.swims || [];
      return el('section', { class: 'mine-card', 'data-ordinal': n },
        el('div', { class: 'who-line' },
          el('h2', {}, el('a', { href: `#/${season}/${code}/c/${n}` }, competitor.name)),
          starButton(address, n, changed)),
        personLine(competitor),
        swims.length
          ? el('ul', { class: 'cards mine-swims' }, swims.map((swim) => swimCard(address, n, swim,
            states.get(swim.heat), heats.get(file(heatFile(swim.heat))), meet)))
          : el('p', { class: 'note' }, 'まだ種目がありません。'));
    });
    replace(body,
      el('h1', {}, 'マイ選手'),
      el('p', { class: 'sub' }, meet.name || meet.code),
      swimmers.length ? swimmers : [
        el('p', { class: 'note' },
          'まだ選手がいません。選手のページで「☆ マイ選手」を押すと、ここに出ます。'),
        el('p', {}, el('a', { href: `#/${season}/${code}` }, '選手を探す'))],
      swimmers.length ? el('p', { class: 'note' }, '★ はこのスマートフォンにだけ保存されます。') : null);
  };

  async function redraw() {
    await read();
    if (page.current()) draw();
  }
  // A star taken away on this page: the swimmer leaves the list, and the
  // page's files follow (a failure to read is the next turn's to mend).
  const changed = () => redraw().catch(() => {});

  await read();
  if (!page.current()) return { addresses: [] };
  draw();
  replace(page.view, el('nav', { class: 'back' }, el('a', { href: `#/${season}/${code}` }, '← 大会')), body);
  return { addresses: () => watched, refresh: redraw };
}

