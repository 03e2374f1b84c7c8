// A heat: its lanes with names, teams and finals in the order of their final
// places (as the publisher ranked them), and, where the lap file has splits,
// every lane at one split with its place, the leader marked. With no split
// chosen the page follows the newest split as times arrive.

import { el, replace } from '../dom.js';
import { loadData, meetAddress, heatFile } from '../data.js';
import { meetFile, backTo } from './common.js';
import {
  chosenOption, captionsOf, splitsWithTimes, settleSplit, lapChoice, heatTable,
} from './laps.js';

export function heatTitle(heat) {
  return el('h2', {}, [heat.event, heat.stage].filter(Boolean).join(' '), ' ',
    el('span', { class: 'sub' }, `組 ${heat.heat}`));
}

export function splitChoice(shown, captions, at, pick) {
  return el('div', { class: 'choice splits', role: 'group', 'aria-label': '距離' },
    el('span', { class: 'label' }, '距離'),
    shown.map((i) => el('button', {
      type: 'button', 'aria-pressed': String(i === at), 'data-split': i, onclick: () => pick(i),
    }, captions[i] || `${i + 1}`)));
}

const finalPlace = (lane) => (Number.isInteger(lane.place) ? lane.place : null);

// The lanes by their final places; lanes without one after, by lane.
export function resultTable(heat) {
  const lanes = [...(heat.lanes || [])].sort((a, b) => {
    const pa = finalPlace(a), pb = finalPlace(b);
    if (pa !== pb) return pa === null ? 1 : pb === null ? -1 : pa - pb;
    return a.lane - b.lane;
  });
  return el('table', { class: 'results' },
    el('thead', {}, el('tr', {}, el('th', { class: 'place' }, '順位'), el('th', { class: 'lane' }, 'レーン'),
      el('th', {}, '選手'), el('th', { class: 'time' }, '記録'))),
    el('tbody', {}, lanes.map((lane) => el('tr', { 'data-lane': lane.lane },
      el('td', { class: 'place' }, finalPlace(lane) === null ? '' : String(finalPlace(lane))),
      el('td', { class: 'lane' }, String(lane.lane)),
      el('td', { class: 'who' },
        el('span', { class: 'name' }, lane.name || ''),
        el('span', { class: 'sub' }, lane.team || '')),
      el('td', { class: 'time final' }, lane.final || '')))));
}

export async function showHeat(page) {
  const { address } = page;
  const meet = await loadData(meetFile(address));
  const file = meetAddress(address.season, address.meet, heatFile(address.heat));
  let heat = await loadData(file);
  let option = chosenOption(meet, address.params);
  let wanted = address.params.has('at') ? Number(address.params.get('at')) : null;
  const body = el('div', { class: 'heat-view' });

  const remember = () => page.remember({ lap: option.index, ...(wanted === null ? {} : { at: wanted }) });
  const draw = () => {
    const captions = captionsOf(heat, meet);
    const shown = splitsWithTimes(heat.lanes || [], option, captions.length);
    const at = settleSplit(shown, wanted);
    document.title = `組 ${heat.heat} ${heat.event || ''} - 競技会結果`;
    const finals = (heat.lanes || []).some((lane) => lane.final);
    const splits = splitsWithTimes(heat.lanes || [], { index: 0 }, captions.length).length > 0;
    replace(body,
      heatTitle(heat),
      el('section', { class: 'heat-results' },
        el('h3', {}, finals ? '結果' : 'レーン'), resultTable(heat)),
      el('section', { class: 'heat-splits' },
        el('h3', {}, '通過'),
        splits ? lapChoice(meet, option, (o) => { option = o; remember(); draw(); }) : null,
        shown.length ? splitChoice(shown, captions, at, (i) => { wanted = i; remember(); draw(); }) : null,
        shown.length
          ? [el('p', { class: 'at' }, `${captions[at] || ''} 時点`), heatTable(heat, at, option, null)]
          : el('p', { class: 'note' }, finals && !splits ? '通過タイムはありません。' : 'まだ通過タイムがありません。')));
  };
  draw();
  replace(page.view, backTo(address, 'meet'), body);
  return {
    addresses: [file],
    refresh: async () => {
      heat = await loadData(file);
      if (page.current()) draw();
    },
  };
}
