// What the pages of one meet share: the meet's own file, a competitor from
// their bucket, the way back.

import { el } from '../dom.js';
import { loadData, meetAddress, competitorBucketFile, NotFound } from '../data.js';
import { starred, isStarred, setStar } from '../stars.js';

// The bar above every page (its own module's, for the viewer's first round).
export { frame, pin } from '../dom.js';

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

// The star that keeps a competitor on this phone's マイ選手 page.
export function starButton(address, ordinal, changed = null) {
  const { season, meet } = address;
  const button = el('button', { type: 'button', class: 'star', 'data-ordinal': ordinal },
    el('span', { class: 'glyph', 'aria-hidden': 'true' }), 'マイ選手');
  const show = (on) => {
    button.setAttribute('aria-pressed', String(on));
    button.firstChild.textContent = on ? '★' : '☆';
  };
  show(isStarred(season, meet, ordinal));
  button.addEventListener('click', () => {
    const on = !isStarred(season, meet, ordinal);
    setStar(season, meet, ordinal, on);
    show(on);
    if (changed) changed(on);
  });
  return button;
}

// The way from the meet page to マイ選手, with the count of starred swimmers.
export function mineEntry(address) {
  const count = starred(address.season, address.meet).length;
  return el('p', { class: 'mine-entry' }, el('a', { href: `#/${address.season}/${address.meet}/mine` },
    count ? `★ マイ選手 (${count}人)` : '☆ マイ選手'));
}
