// The viewer: shows the page its address names, and keeps it live.

import { Live } from './live.js';
import {
  NotFound, ServerTrouble, openPage, askAll, loadData, cached, meetAddress, competitorBucketFile,
} from './data.js';
import { readAddress, pageFiles, pageModules, notHeld } from './address.js';
// Only what every page needs before it asks for its files, so that these
// modules come in one round over the browser's parallel connections.
import { el, replace, frame } from './dom.js';

const view = document.getElementById('view');
const live = new Live(document.getElementById('live'), document.getElementById('stale'));

// A page drawn by a view: its modules are loaded when a page of its kind is
// first shown, all at once, beside the page's files. (A module that could not
// be loaded is asked for again at the next try.)
const drawnBy = (name) => async (page) => {
  const [own] = await Promise.all(pageModules(page.address.page).map((m) => import(`./${m}`)));
  return own[name](page);
};

// The modules of the pages a search or a heat leads to, once the first page
// has asked for its own: at low priority, in the link's idle time while that
// page's files come, so that the next page waits for its files alone.
let warmed = false;
function warmOtherPages() {
  if (warmed) return;
  warmed = true;
  for (const module of new Set(['competitor', 'swim', 'heat'].flatMap(pageModules))) {
    document.head.append(el('link', { rel: 'modulepreload', href: `js/${module}`, fetchpriority: 'low' }));
  }
}

const pages = {
  // The season as the publisher counts it: April to March.
  start: () => {
    const now = new Date();
    location.replace(`#/${now.getMonth() < 3 ? now.getFullYear() - 1 : now.getFullYear()}`);
    return { addresses: [] };
  },
  meets: drawnBy('showMeets'),
  meet: drawnBy('showMeet'),
  competitor: drawnBy('showCompetitor'),
  swim: drawnBy('showSwim'),
  heat: drawnBy('showHeat'),
  mine: drawnBy('showMine'),
  unknown: () => {
    replace(view, el('p', { class: 'note' }, 'このアドレスのページはありません。'),
      el('p', {}, el('a', { href: '#/' }, '大会の一覧へ')));
    return { addresses: [] };
  },
};

let turn = 0;

// What the page says of an address the published meet does not hold.
const NOT_HELD = {
  competitor: 'この大会にこの選手はいません。',
  heat: 'この大会にこの組はありません。',
  swim: 'この選手はこの組で泳いでいません。',
};
// What it says of one the published meet holds but has not published yet.
const NOT_YET = {
  competitor: 'この選手はまだ公開されていません。公開されると表示されます。',
  heat: 'この組はまだ公開されていません。公開されると表示されます。',
  swim: 'この組はまだ公開されていません。公開されると表示されます。',
};

// The server's answer for a file of the page, taken from what the page has
// asked for: its data, or null when the server has no such file.
const answerOf = (address) => loadData(address).catch((error) => {
  if (error instanceof NotFound) return null;
  throw error;
});

// Which part of the address the meet does not hold, from the meet's own
// files, or null.
async function missingPart(address) {
  const { season, meet: code } = address;
  const meet = await answerOf(meetAddress(season, code, 'meet.json'));
  const bucket = meet && address.ordinal !== undefined
    ? await answerOf(meetAddress(season, code, competitorBucketFile(address.ordinal, meet)))
    : undefined;
  return notHeld(address, meet, bucket);
}

async function show() {
  const mine = ++turn;
  const address = readAddress(location.hash);
  frame(address);
  // Every file the page needs is asked for at once; the page's own loads
  // find them on the way.
  openPage();
  const meetInHand = address.meet && cached(meetAddress(address.season, address.meet, 'meet.json'));
  const asked = address.page === 'mine'
    ? import('./stars.js').then(({ starred }) =>
      askAll(pageFiles(address, meetInHand, starred(address.season, address.meet))))
    : askAll(pageFiles(address, meetInHand));
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
    const showing = pages[address.page](page);
    warmOtherPages();
    const shown = await showing;
    if (mine !== turn) return;
    live.heard();
    live.watch(shown.addresses, shown.refresh);
  } catch (error) {
    if (mine !== turn) return;
    if (error instanceof NotFound) {
      await asked;
      const missing = await missingPart(address).catch(() => null);
      if (mine !== turn) return;
      const meetLink = el('p', {}, el('a', { href: `#/${address.season}/${address.meet}` }, '大会のページへ'));
      if (missing) {
        // Nothing more will come: the page stops asking.
        live.heard();
        live.rest();
        document.title = '競技会結果';
        replace(view, el('p', { class: 'note' }, NOT_HELD[missing]), meetLink);
        return;
      }
      // The meet is published: what the address names is still to come, and
      // is asked for at the live pace.
      if (NOT_YET[address.page] && cached(meetAddress(address.season, address.meet, 'meet.json'))) {
        replace(view, el('p', { class: 'note' }, NOT_YET[address.page]), meetLink);
        live.failed(() => show(), true);
        return;
      }
    }
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
