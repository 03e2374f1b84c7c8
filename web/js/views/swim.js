// One swim: the competitor's splits in the chosen lap interval with their
// place in the heat, and below it the whole heat at the split picked (the
// newest one until another is picked).

import { el, replace } from '../dom.js';
import { loadData, meetAddress, heatFile, NotFound } from '../data.js';
import { meetFile, competitorFile, loadCompetitor, backTo, personLine } from './common.js';
import {
  chosenOption, captionsOf, splitsWithTimes, settleSplit, lapChoice, heatTable, textsFor, textAt,
} from './laps.js';
import { heatTitle } from './heat.js';

function splitTable(lane, captions, shown, at, option, pick) {
  const cumulative = lane.cumulative || [];
  const texts = textsFor(lane, option);
  const places = lane.places || [];
  const lapColumn = option.index !== 0;
  return el('table', { class: 'splits' },
    el('thead', {}, el('tr', {}, el('th', {}, '距離'), el('th', { class: 'time' }, '通算'),
      lapColumn ? el('th', { class: 'time' }, option.label) : null, el('th', { class: 'place' }, '順位'))),
    el('tbody', {}, shown.map((i) => el('tr', {
      class: i === at ? 'chosen' : null, 'data-split': i, onclick: () => pick(i),
    },
    el('td', {}, el('button', { type: 'button', 'aria-pressed': String(i === at) }, captions[i] || '')),
    el('td', { class: 'time' }, textAt(cumulative, i)),
    lapColumn ? el('td', { class: 'time' }, textAt(texts, i)) : null,
    el('td', { class: 'place' }, Number.isInteger(places[i]) ? String(places[i]) : '')))));
}

export async function showSwim(page) {
  const { address } = page;
  const meet = await loadData(meetFile(address));
  const heatAddress = meetAddress(address.season, address.meet, heatFile(address.heat));
  const bucketAddress = competitorFile(address, meet);
  let [competitor, heat] = await Promise.all([loadCompetitor(address, meet), loadData(heatAddress)]);
  let option = chosenOption(meet, address.params);
  let wanted = address.params.has('at') ? Number(address.params.get('at')) : null;
  const body = el('div', { class: 'swim-view' });

  const remember = () => page.remember({ lap: option.index, ...(wanted === null ? {} : { at: wanted }) });
  const draw = () => {
    const lane = (heat.lanes || []).find((l) => Number(l.ordinal) === address.ordinal);
    if (!lane) throw new NotFound(address.heat);
    const swim = (competitor.swims || []).find((s) => s.heat === address.heat) || {};
    const captions = captionsOf(heat, meet);
    const shown = splitsWithTimes([lane], option, captions.length);
    const at = settleSplit(shown, wanted);
    document.title = `${competitor.name} ${heat.event || ''} - 競技会結果`;
    const pickSplit = (i) => { wanted = i; remember(); draw(); };
    replace(body,
      el('h1', {}, competitor.name), personLine(competitor),
      el('p', { class: 'swim-line' },
        el('strong', {}, [heat.event, heat.stage].filter(Boolean).join(' ')),
        el('span', { class: 'final' }, lane.final || swim.final || ''),
        el('span', { class: 'sub' }, `組 ${heat.heat} ・ ${lane.lane}レーン`)),
      lapChoice(meet, option, (o) => { option = o; remember(); draw(); }),
      shown.length ? splitTable(lane, captions, shown, at, option, pickSplit)
        : el('p', { class: 'note' }, 'まだタイムがありません。'),
      el('section', { class: 'heat-at' }, heatTitle(heat),
        el('p', {}, el('a', { class: 'to-heat', href: `#/${address.season}/${address.meet}/h/${heat.heat}` },
          'この組の結果と通過を見る')),
        shown.length ? [el('p', { class: 'at' }, `${captions[at] || ''} 時点`),
          heatTable(heat, at, option, lane.lane)] : null));
  };
  draw();
  replace(page.view, backTo(address, 'competitor'), body);
  return {
    addresses: [heatAddress, bucketAddress],
    refresh: async () => {
      [competitor, heat] = await Promise.all([loadCompetitor(address, meet), loadData(heatAddress)]);
      if (page.current()) draw();
    },
  };
}
