// The viewer's addresses, which can be shared and bookmarked:
//   #/<season>                                 the season's meets
//   #/<season>/<meet>                          a meet, with the search
//   #/<season>/<meet>/c/<ordinal>              a competitor's swims
//   #/<season>/<meet>/c/<ordinal>/h/<heat>     a swim: its splits and its heat
//   #/<season>/<meet>/h/<heat>                 a heat at a split
// with ?lap=<lap option> and ?at=<split> where they apply.

import { Live } from './live.js';
import { isWord, isHeat, NotFound, ServerTrouble } from './data.js';
import { el, replace } from './dom.js';
import { showMeets } from './views/meets.js';
import { showMeet } from './views/meet.js';
import { showCompetitor } from './views/competitor.js';
import { showSwim } from './views/swim.js';
import { showHeat } from './views/heat.js';

const view = document.getElementById('view');
const live = new Live(document.getElementById('live'));

export function readAddress(hash) {
  const [path, query = ''] = hash.replace(/^#\/?/, '').split('?');
  let parts;
  try {
    parts = path.split('/').filter(Boolean).map(decodeURIComponent);
  } catch {
    parts = ['?'];
  }
  const params = new URLSearchParams(query);
  const [season, meet, kind, id, kind2, id2] = parts;
  const ordinal = /^[0-9]{1,7}$/.test(id || '') ? Number(id) : null;
  const address = { params, season, meet };
  if (parts.length === 0) return { ...address, page: 'start' };
  if (!isWord(season)) return { page: 'unknown' };
  if (parts.length === 1) return { ...address, page: 'meets' };
  if (!isWord(meet)) return { page: 'unknown' };
  if (parts.length === 2) return { ...address, page: 'meet' };
  if (kind === 'h' && isHeat(id) && parts.length === 4) return { ...address, page: 'heat', heat: id };
  if (kind !== 'c' || ordinal === null) return { page: 'unknown' };
  if (parts.length === 4) return { ...address, page: 'competitor', ordinal };
  if (kind2 === 'h' && isHeat(id2) && parts.length === 6) {
    return { ...address, page: 'swim', ordinal, heat: id2 };
  }
  return { page: 'unknown' };
}

const pages = {
  start: (page) => {
    location.replace(`#/${new Date().getFullYear()}`);
    return { addresses: [] };
  },
  meets: showMeets,
  meet: showMeet,
  competitor: showCompetitor,
  swim: showSwim,
  heat: showHeat,
  unknown: () => {
    replace(view, el('p', { class: 'note' }, 'このアドレスのページはありません。'),
      el('p', {}, el('a', { href: '#/' }, '大会の一覧へ')));
    return { addresses: [] };
  },
};

let turn = 0;

async function show() {
  const mine = ++turn;
  const address = readAddress(location.hash);
  const page = {
    address,
    view,
    current: () => mine === turn,
    // Records a choice made on the page (lap, split) in the address without
    // showing the page again.
    remember(params) {
      const base = location.hash.split('?')[0];
      const query = new URLSearchParams(params).toString();
      history.replaceState(null, '', query ? `${base}?${query}` : base);
    },
  };
  try {
    const shown = await pages[address.page](page);
    if (mine !== turn) return;
    live.heard();
    live.watch(shown.addresses, shown.refresh);
  } catch (error) {
    if (mine !== turn) return;
    if (error instanceof NotFound || error instanceof ServerTrouble) {
      live.watch([], null);
      const text = error instanceof NotFound
        ? 'まだ公開されていません。公開されると表示されます。'
        : 'サーバーが答えられませんでした。しばらくして開き直してください。';
      replace(view, el('p', { class: 'note' }, text), el('p', {}, el('a', { href: '#/' }, '大会の一覧へ')));
      live.failed(() => show(), true);
      return;
    }
    replace(view, el('p', { class: 'note' }, 'サーバーに接続できません。つながりしだい表示します。'));
    live.failed(() => show());
  }
}

window.addEventListener('hashchange', () => show());
live.start();
show();
