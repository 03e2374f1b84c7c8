// The viewer: shows the page its address names, and keeps it live.

import { Live } from './live.js';
import { NotFound, ServerTrouble } from './data.js';
import { readAddress } from './address.js';
import { el, replace } from './dom.js';
import { showMeets } from './views/meets.js';
import { showMeet } from './views/meet.js';
import { showCompetitor } from './views/competitor.js';
import { showSwim } from './views/swim.js';
import { showHeat } from './views/heat.js';
import { showMine } from './views/mine.js';
import { frame } from './views/common.js';

const view = document.getElementById('view');
const live = new Live(document.getElementById('live'), document.getElementById('stale'));

const pages = {
  // The season as the publisher counts it: April to March.
  start: () => {
    const now = new Date();
    location.replace(`#/${now.getMonth() < 3 ? now.getFullYear() - 1 : now.getFullYear()}`);
    return { addresses: [] };
  },
  meets: showMeets,
  meet: showMeet,
  competitor: showCompetitor,
  swim: showSwim,
  heat: showHeat,
  mine: showMine,
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
  frame(address);
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
