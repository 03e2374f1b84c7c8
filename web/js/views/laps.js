// Picking from a heat file what the core computed: the texts of the chosen
// lap interval, the places and the leader at a split. Nothing is worked out
// here; an array shorter than the captions reads as empty texts.

import { el } from '../dom.js';

export function lapOptions(meet) {
  const options = (meet.lapOptions || []).filter((o) => o.enabled !== false);
  return options.length ? options : [{ index: 0, label: '通算', enabled: true }];
}

export function chosenOption(meet, params) {
  const options = lapOptions(meet);
  const wanted = Number(params.get('lap'));
  return options.find((o) => o.index === wanted) || options[0];
}

// The lane's texts for a lap option: the cumulative times for the first
// option, else the laps of its interval ("25m" → laps["25"]).
export function textsFor(lane, option) {
  if (!option || option.index === 0) return lane.cumulative || [];
  const laps = lane.laps || {};
  const digits = String(option.label || '').replace(/[^0-9]/g, '');
  return laps[digits] || laps[option.label] || laps[String(option.index)] || [];
}

export const textAt = (texts, i) => String(texts[i] ?? '').trim();

export function captionsOf(heat, meet) {
  const captions = heat.captions || meet.distanceCaptions || [];
  return captions.map((c) => String(c).trim());
}

// The lane's newest split: the last one with a cumulative time, or null.
export function newestSplit(lane) {
  const cumulative = lane.cumulative || [];
  for (let i = cumulative.length - 1; i >= 0; i--) if (textAt(cumulative, i) !== '') return i;
  return null;
}

// The splits that have a text in the chosen interval for any of the lanes.
export function splitsWithTimes(lanes, option, count) {
  const shown = [];
  for (let i = 0; i < count; i++) {
    if (lanes.some((lane) => textAt(textsFor(lane, option), i) !== '')) shown.push(i);
  }
  return shown;
}

// The split asked for when it is shown, else the last shown one before it,
// else the last shown.
export function settleSplit(shown, wanted) {
  if (shown.length === 0) return 0;
  if (Number.isInteger(wanted) && wanted >= 0) {
    const before = shown.filter((i) => i <= wanted);
    if (before.length) return before[before.length - 1];
  }
  return shown[shown.length - 1];
}

export function lapChoice(meet, option, pick) {
  return el('div', { class: 'choice', role: 'group', 'aria-label': 'ラップの間隔' },
    el('span', { class: 'label' }, 'ラップ'),
    lapOptions(meet).map((o) => el('button', {
      type: 'button', 'aria-pressed': String(o.index === option.index), 'data-lap': o.index,
      onclick: () => pick(o),
    }, o.label)));
}

const placeOf = (lane, at) => {
  const place = (lane.places || [])[at];
  return Number.isInteger(place) ? place : null;
};

// Every lane of the heat at one split: place, lane, name and team, the
// chosen interval's text; the leader marked, the followed lane picked out.
export function heatTable(heat, at, option, ownLane) {
  const leader = (heat.leaders || [])[at];
  const lanes = [...(heat.lanes || [])].sort((a, b) => {
    const pa = placeOf(a, at), pb = placeOf(b, at);
    if (pa !== pb) return pa === null ? 1 : pb === null ? -1 : pa - pb;
    return a.lane - b.lane;
  });
  const rows = lanes.map((lane) => {
    const isLeader = leader !== null && leader !== undefined && lane.lane === leader;
    const place = placeOf(lane, at);
    return el('tr', { class: [isLeader ? 'leader' : '', lane.lane === ownLane ? 'own' : ''].join(' ').trim() || null,
      'data-lane': lane.lane },
    el('td', { class: 'place' }, place === null ? '' : String(place)),
    el('td', { class: 'lane' }, String(lane.lane)),
    el('td', { class: 'who' },
      el('span', { class: 'name' }, lane.name || '', isLeader ? el('span', { class: 'badge' }, '先頭') : null),
      el('span', { class: 'sub' }, lane.team || '')),
    el('td', { class: 'time' }, textAt(textsFor(lane, option), at)));
  });
  return el('table', { class: 'heat' },
    el('thead', {}, el('tr', {}, el('th', { class: 'place' }, '順位'), el('th', { class: 'lane' }, 'レーン'),
      el('th', {}, '選手'), el('th', { class: 'time' }, option.label))),
    el('tbody', {}, rows));
}
