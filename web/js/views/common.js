// What the pages of one meet share: the meet's own file, a competitor from
// their bucket, the way back.

import { el } from '../dom.js';
import { loadData, meetAddress, competitorBucketFile, NotFound } from '../data.js';
import { starred, isStarred, setStar } from '../stars.js';

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

// The bar above every page: the way to this meet's マイ選手 page when the
// address names a meet, and the line a page pins under the bar (a swim's
// name, event and newest time), cleared as each page opens.
export function frame(address) {
  const link = document.getElementById('mine-link');
  if (link) {
    const meet = address.season && address.meet && address.page !== 'mine';
    link.hidden = !meet;
    if (meet) link.href = `#/${address.season}/${address.meet}/mine`;
  }
  pin(null);
}

export function pin(...children) {
  const line = document.getElementById('pinned');
  if (!line) return;
  const shown = children.flat().filter((c) => c !== null && c !== undefined && c !== false);
  line.replaceChildren(...shown);
  line.hidden = shown.length === 0;
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
