// The program of a meet and where it stands, as the publisher wrote them
// (docs/web-data.md): program.json lists the heats, now.json gives each its
// state letter and the heats until the upcoming ones. Nothing is decided
// here: the letters are read in order and the upcoming heats numbered on
// from now.json's `until`, as the file describes them.

export { PROGRAM_FILE, NOW_FILE } from './data.js';

// True when the states belong to this program (else program.json is asked
// for again).
export const statesFit = (program, now) => Boolean(program && now && program.id === now.program);

// One entry a heat, in the program's order: {heat, event, stage, state, until}
// (state '' while the states are of another program).
export function programHeats(program, now) {
  const heats = (program && program.heats) || [];
  const letters = statesFit(program, now) ? String(now.states || '') : '';
  let next = Number(now && now.until) || 0;
  return heats.map((h, p) => {
    const state = letters[p] || '';
    const until = state === 'U' ? next++ : null;
    return { heat: h.heat, event: h.event, stage: h.stage, state, until };
  });
}

// The heats by their number, for a page that looks up its swims' heats.
export function heatStates(program, now) {
  return new Map(programHeats(program, now).map((h) => [h.heat, h]));
}

// The word for a heat's state.
export function stateWord(entry) {
  if (entry.state === 'D') return '終了';
  if (entry.state === 'S') return '泳いでいる';
  if (entry.state === 'P') return '結果待ち';
  if (entry.state === 'U') return entry.until === 0 ? '次' : `あと${entry.until}組`;
  return '';
}
