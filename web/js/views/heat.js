// A heat at one split: every lane with its place, the leader marked. With no
// split chosen the page follows the newest split as times arrive.

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
    replace(body,
      heatTitle(heat),
      lapChoice(meet, option, (o) => { option = o; remember(); draw(); }),
      shown.length ? splitChoice(shown, captions, at, (i) => { wanted = i; remember(); draw(); }) : null,
      shown.length
        ? [el('p', { class: 'at' }, `${captions[at] || ''} 時点`), heatTable(heat, at, option, null)]
        : el('p', { class: 'note' }, 'まだタイムがありません。'));
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
