// Following the server: every two seconds the files the page shows are asked
// for again (an unchanged file answers 304), and the indicator in the bar
// says whether the page is live, when it last heard from the server, or that
// it is reconnecting; while it cannot reach the server a banner under the bar
// says since when the page has not been brought up to date. A tab that comes
// back, or a network that returns, asks at once.

import { load, NotFound, ServerTrouble } from './data.js';
import { clockText, el } from './dom.js';

export const PERIOD_MS = 2000;

export class Live {
  constructor(indicator, banner) {
    this.indicator = indicator;
    this.banner = banner;
    this.addresses = [];
    this.onChange = null;
    this.retry = null;
    this.lastHeard = null;
    this.busy = false;
    this.resting = false;
  }

  // The files of the page now shown (a list, or a function that gives the
  // list at each turn, for a page whose files follow what it shows), and what
  // to do when one of them changes.
  watch(addresses, onChange) {
    this.addresses = addresses;
    this.onChange = onChange;
    this.retry = null;
    this.resting = false;
  }

  // The page shows what will not change (an address the meet does not
  // hold): nothing is asked for until another page is shown.
  rest() {
    this.watch([], null);
    this.resting = true;
  }

  // The page could not be shown (the server is away, or its file is not
  // there yet): shown again at the next turn.
  failed(retry, serverAnswered = false) {
    this.addresses = [];
    this.retry = retry;
    this.resting = false;
    if (serverAnswered) this.heard();
    else this.away();
  }

  start() {
    setInterval(() => this.tick(), PERIOD_MS);
    document.addEventListener('visibilitychange', () => {
      if (!document.hidden) this.tick();
    });
    window.addEventListener('online', () => this.tick());
    window.addEventListener('pageshow', () => this.tick());
  }

  heard() {
    this.lastHeard = new Date();
    this.show('live', `${clockText(this.lastHeard)} 受信`, 'ライブ ');
    this.stale(null);
  }

  away() {
    this.show('away', '再接続中…');
    this.stale(this.lastHeard
      ? `最終更新 ${clockText(this.lastHeard)} から更新できていません`
      : 'サーバーにつながらず、更新できていません');
  }

  // The banner: a text while the page is stale, hidden (null) while live.
  // Set only when it changes, so that a screen reader says it once.
  stale(text) {
    if (!this.banner) return;
    if (text === null) {
      this.banner.hidden = true;
      this.banner.textContent = '';
    } else if (this.banner.textContent !== text || this.banner.hidden) {
      this.banner.textContent = text;
      this.banner.hidden = false;
    }
  }

  // The state's word (dropped on the narrowest screens) and its text.
  show(state, text, word = '') {
    this.indicator.dataset.state = state;
    this.indicator.replaceChildren(...(word ? [el('span', { class: 'word' }, word)] : []), text);
  }

  async tick() {
    if (this.busy || this.resting || document.hidden) return;
    this.busy = true;
    try {
      if (this.retry) {
        await this.retry();
        return;
      }
      const { addresses, onChange } = this;
      let changed = false;
      for (const address of typeof addresses === 'function' ? addresses() : addresses) {
        try {
          if ((await load(address)).changed) changed = true;
        } catch (error) {
          if (!(error instanceof NotFound || error instanceof ServerTrouble)) throw error;
        }
      }
      this.heard();
      if (changed && onChange && addresses === this.addresses) {
        // A file the page needs that has gone is not the server being away.
        await onChange().catch((error) => {
          if (!(error instanceof NotFound || error instanceof ServerTrouble)) throw error;
        });
      }
    } catch {
      this.away();
    } finally {
      this.busy = false;
    }
  }
}
