// A competitor and their swims, as the meet's competitor bucket lists them;
// a swim published later appears by itself.

import { el, replace } from '../dom.js';
import { loadData } from '../data.js';
import {
  meetFile, competitorFile, loadCompetitor, backTo, personLine, starButton,
} from './common.js';

function swimList(address, swims) {
  if (swims.length === 0) return el('p', { class: 'note' }, 'まだ泳いだ記録がありません。');
  const base = `#/${address.season}/${address.meet}/c/${address.ordinal}/h/`;
  return el('ul', { class: 'cards swims' }, swims.map((swim) => {
    const heat = /^[0-9]{4}$/.test(swim.heat || '') ? swim.heat : null;
    const body = [
      el('strong', {}, [swim.event, swim.stage].filter(Boolean).join(' ')),
      el('span', { class: 'final' }, swim.final || ''),
      el('span', { class: 'sub' }, heat ? `組 ${heat} ・ ${swim.lane}レーン` : ''),
    ];
    return el('li', {}, heat ? el('a', { class: 'card', href: base + heat }, body) : el('div', { class: 'card' }, body));
  }));
}

export async function showCompetitor(page) {
  const { address } = page;
  const meet = await loadData(meetFile(address));
  const file = competitorFile(address, meet);

  const draw = async () => {
    const competitor = await loadCompetitor(address, meet);
    if (!page.current()) return;
    document.title = `${competitor.name} - 競技会結果`;
    replace(page.view, backTo(address, 'meet'),
      el('div', { class: 'who-line' }, el('h1', {}, competitor.name),
        starButton(address, address.ordinal)),
      personLine(competitor),
      el('h2', {}, '種目'),
      swimList(address, competitor.swims || []));
  };
  await draw();
  return { addresses: [file], refresh: draw };
}
