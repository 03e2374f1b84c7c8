// One swim: the competitor's splits in the chosen lap interval with their
// place in the heat, and below it the whole heat at the split picked (the
// newest one until another is picked). The splits stand in a grid of small
// cells, several to a line, so that a 1500 m fits a screen or two; while the
// swim is in the water the newest cell is kept in view, and the line pinned
// under the bar carries the name, the event and the newest time.

import { el, replace } from '../dom.js';
import { loadData, meetAddress, heatFile, NotFound } from '../data.js';
import { meetFile, competitorFile, loadCompetitor, backTo, personLine, pin } from './common.js';
import {
  chosenOption, captionsOf, splitsWithTimes, settleSplit, lapChoice, heatTable, textsFor, textAt, newestSplit,
} from './laps.js';
import { heatTitle } from './heat.js';

const placeText = (place) => (Number.isInteger(place) ? `${place}位` : '');

function splitGrid(lane, captions, shown, at, option, newest, pick) {
  const cumulative = lane.cumulative || [];
  const texts = textsFor(lane, option);
  const places = lane.places || [];
  const lapShown = option.index !== 0;
  return el('ol', { class: 'split-grid', 'aria-label': 'スプリット' }, shown.map((i) => el('li', {},
    el('button', {
      type: 'button', class: i === newest ? 'split newest' : 'split', 'aria-pressed': String(i === at),
      'data-split': i, onclick: () => pick(i),
    },
    el('span', { class: 'cap' }, captions[i] || ''),
    el('span', { class: 'place' }, placeText(places[i])),
    el('span', { class: 'time' }, textAt(cumulative, i)),
    lapShown ? el('span', { class: 'lap' }, textAt(texts, i)) : null))));
}

// The pinned line: who, which race, and the final or the newest split.
function pinnedLine(competitor, heat, lane, captions, newest) {
  const final = String(lane.final || '').trim();
  const [caption, time, place] = final
    ? ['記録', final, placeText(lane.place)]
    : newest === null ? ['', '', ''] : [captions[newest] || '', textAt(lane.cumulative || [], newest),
      placeText((lane.places || [])[newest])];
  return [
    el('span', { class: 'pin-who' }, el('strong', {}, competitor.name),
      el('span', { class: 'sub' }, [heat.event, heat.stage].filter(Boolean).join(' '))),
    time ? el('span', { class: 'pin-now' },
      el('span', { class: 'pin-at' }, el('span', {}, caption), place ? el('span', {}, place) : null),
      el('strong', { class: 'final' }, time)) : null,
  ];
}

function inView(node) {
  if (!node) return false;
  const box = node.getBoundingClientRect();
  return box.bottom > 0 && box.top < window.innerHeight;
}

export async function showSwim(page) {
  const { address } = page;
  const meet = await loadData(meetFile(address));
  const heatAddress = meetAddress(address.season, address.meet, heatFile(address.heat));
  const bucketAddress = competitorFile(address, meet);
  let [competitor, heat] = await Promise.all([loadCompetitor(address, meet), loadData(heatAddress)]);
  let option = chosenOption(meet, address.params);
  let wanted = address.params.has('at') ? Number(address.params.get('at')) : null;
  let followed = null; // the newest split shown while the swim is in the water
  const body = el('div', { class: 'swim-view' });

  const remember = () => page.remember({ lap: option.index, ...(wanted === null ? {} : { at: wanted }) });
  // Draws the page; with follow, a new split of a swim in the water whose
  // last newest cell was in view (or the page just opened) is scrolled into
  // view.
  const draw = (follow = false) => {
    const lane = (heat.lanes || []).find((l) => Number(l.ordinal) === address.ordinal);
    if (!lane) throw new NotFound(address.heat);
    const swim = (competitor.swims || []).find((s) => s.heat === address.heat) || {};
    const captions = captionsOf(heat, meet);
    const shown = splitsWithTimes([lane], option, captions.length);
    const at = settleSplit(shown, wanted);
    const newest = newestSplit(lane);
    const inWater = newest !== null && !String(lane.final || swim.final || '').trim();
    // The newest cell of the interval shown (a lap interval shows only the
    // splits where its laps end).
    const last = shown.length ? shown[shown.length - 1] : null;
    const keep = follow && inWater && wanted === null && last !== followed
      && (followed === null || inView(body.querySelector(`.split[data-split="${followed}"]`)));
    document.title = `${competitor.name} ${heat.event || ''} - 競技会結果`;
    const pickSplit = (i) => { wanted = i; remember(); draw(); };
    replace(body,
      el('h1', {}, competitor.name), personLine(competitor),
      el('p', { class: 'swim-line' },
        el('strong', {}, [heat.event, heat.stage].filter(Boolean).join(' ')),
        el('span', { class: 'final' }, lane.final || swim.final || ''),
        el('span', { class: 'sub' }, `組 ${heat.heat} ・ ${lane.lane}レーン`)),
      lapChoice(meet, option, (o) => { option = o; remember(); draw(); }),
      shown.length ? splitGrid(lane, captions, shown, at, option, inWater ? last : null, pickSplit)
        // A swim with its final (a time or a word such as 棄権) and no splits
        // has none to come.
        : el('p', { class: 'note' }, (lane.final || swim.final) ? '通過タイムはありません。' : 'まだタイムがありません。'),
      el('section', { class: 'heat-at' }, heatTitle(heat),
        el('p', {}, el('a', { class: 'to-heat', href: `#/${address.season}/${address.meet}/h/${heat.heat}` },
          'この組の結果と通過を見る')),
        shown.length ? [el('p', { class: 'at' }, `${captions[at] || ''} 時点`),
          heatTable(heat, at, option, lane.lane)] : null));
    if (page.current()) pin(pinnedLine(competitor, heat, lane, captions, newest));
    if (keep) body.querySelector(`.split[data-split="${last}"]`)?.scrollIntoView({ block: 'nearest' });
    if (inWater) followed = last;
  };
  if (!page.current()) return { addresses: [] };
  replace(page.view, backTo(address, 'competitor'), body);
  draw(true);
  return {
    addresses: [heatAddress, bucketAddress],
    refresh: async () => {
      [competitor, heat] = await Promise.all([loadCompetitor(address, meet), loadData(heatAddress)]);
      if (page.current()) draw(true);
    },
  };
}
