// What the pages of one meet share: the meet's own file, a competitor from
// their bucket, the way back.

import { el } from '../dom.js';
import { loadData, meetAddress, competitorBucketFile, NotFound } from '../data.js';

export function meetFile(address) {
  return meetAddress(address.season, address.meet, 'meet.json');
}

export function competitorFile(address, meet) {
  return meetAddress(address.season, address.meet, competitorBucketFile(address.ordinal, meet));
}

export async function loadCompetitor(address, meet) {
  const bucket = await loadData(competitorFile(address, meet));
  const competitor = (bucket.competitors || {})[String(address.ordinal)];
  if (!competitor) throw new NotFound(String(address.ordinal));
  return competitor;
}

export function backTo(address, what) {
  const meetLink = `#/${address.season}/${address.meet}`;
  if (what === 'competitor') {
    return el('nav', { class: 'back' }, el('a', { href: `${meetLink}/c/${address.ordinal}` }, '← 選手'));
  }
  return el('nav', { class: 'back' }, el('a', { href: meetLink }, '← 大会'));
}

export function personLine(competitor) {
  return el('p', { class: 'sub' },
    [competitor.number ? `No.${competitor.number}` : '', competitor.team, competitor.grade]
      .filter(Boolean).join(' ・ '));
}
