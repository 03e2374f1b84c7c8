// The season's meets, newest first as the publisher lists them.

import { el, replace, daysText } from '../dom.js';
import { loadData, meetsAddress, NotFound } from '../data.js';

function seasonLinks(season) {
  const year = Number(season);
  if (!Number.isInteger(year)) return null;
  return el('nav', { class: 'seasons' },
    el('a', { href: `#/${year - 1}` }, `← ${year - 1}年度`),
    el('a', { href: `#/${year + 1}` }, `${year + 1}年度 →`));
}

export async function showMeets(page) {
  const { season } = page.address;
  const address = meetsAddress(season);
  document.title = `${season}年度の大会 - 競技会結果`;

  const draw = async () => {
    let meets = [];
    try {
      meets = (await loadData(address)).meets || [];
    } catch (error) {
      if (!(error instanceof NotFound)) throw error;
    }
    if (!page.current()) return;
    const list = meets.length === 0
      ? el('p', { class: 'note' }, 'この年度の大会はまだ公開されていません。')
      : el('ul', { class: 'cards' }, meets.map((meet) =>
        el('li', {}, el('a', { class: 'card', href: `#/${season}/${encodeURIComponent(meet.code)}` },
          el('strong', {}, meet.name || meet.code),
          el('span', { class: 'sub' }, daysText(meet.firstDay, meet.lastDay)),
          el('span', { class: 'sub' }, meet.venue || '')))));
    replace(page.view, el('h1', {}, `${season}年度の大会`), list, seasonLinks(season));
  };
  await draw();
  return { addresses: [address], refresh: draw };
}
