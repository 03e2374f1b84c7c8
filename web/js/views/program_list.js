// The program on the meet page: every heat in order as a link to it, with the
// word of its state; the heat now swimming at the top of the list and
// followed there while the list is not scrolled by hand.

import { el, replace } from '../dom.js';
import { NotFound } from '../data.js';
import { statesFit, programHeats, stateWord } from '../program.js';

// A file the publisher may not have written yet reads as null.
export const unlessMissing = (promise) => promise.catch((error) => {
  if (error instanceof NotFound) return null;
  throw error;
});

// The program as a list of links, one a heat; its rows are made once for a
// program and only their state words change after.
export class ProgramList {
  constructor(page) {
    this.page = page;
    this.section = el('section', { class: 'program', 'aria-label': 'プログラム' });
    this.rows = new Map(); // heat -> {row, word}
    this.program = null;
    this.nowHeat = null;
    this.placed = null; // scrollTop the list was put at for the heat now swimming
  }

  draw(program, now) {
    if (!program || !(program.heats || []).length) {
      this.program = null;
      replace(this.section);
      return;
    }
    if (program !== this.program) this.build(program);
    const entries = programHeats(program, now);
    for (const entry of entries) {
      const shown = this.rows.get(entry.heat);
      if (!shown || shown.row.dataset.state === entry.state) continue;
      shown.row.dataset.state = entry.state;
      shown.word.textContent = stateWord(entry);
    }
    const nowHeat = statesFit(program, now) ? now.now : null;
    if (nowHeat !== this.nowHeat) {
      this.rows.get(this.nowHeat)?.row.removeAttribute('aria-current');
      this.rows.get(nowHeat)?.row.setAttribute('aria-current', 'true');
      // Followed while the list stays where it was put; a list scrolled by
      // hand is left alone.
      if (this.placed === null || this.list.scrollTop === this.placed) this.scrollTo(nowHeat);
      this.nowHeat = nowHeat;
    }
  }

  build(program) {
    const { season, meet: code } = this.page.address;
    this.program = program;
    this.rows.clear();
    this.nowHeat = null;
    this.placed = null;
    const items = program.heats.map((h) => {
      const word = el('span', { class: 'state' });
      const row = el('li', { 'data-heat': h.heat },
        el('a', { href: `#/${season}/${code}/h/${h.heat}` },
          el('span', { class: 'what' }, [h.event, h.stage].filter(Boolean).join(' ') || '—'),
          word,
          el('span', { class: 'sub' }, `組 ${h.heat}`)));
      this.rows.set(h.heat, { row, word });
      return row;
    });
    // Room below the last heat, so that a heat near the end can stand at the top.
    this.spacer = el('li', { class: 'spacer', 'aria-hidden': 'true' });
    this.list = el('ol', { class: 'program-list' }, items, this.spacer);
    replace(this.section, el('h2', {}, `プログラム (${items.length}組)`), this.list);
  }

  scrollTo(heat) {
    const shown = this.rows.get(heat);
    if (!shown || !this.list.isConnected) return;
    this.spacer.style.height = '0';
    const lack = this.list.clientHeight - (this.list.scrollHeight - shown.row.offsetTop);
    if (lack > 0) this.spacer.style.height = `${lack}px`;
    this.list.scrollTop = shown.row.offsetTop;
    this.placed = this.list.scrollTop;
  }
}
