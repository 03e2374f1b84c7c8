// Reading the program and where the meet stands, as web/js/program.js gives
// them to the pages: the letters of now.json in the program's order, the
// upcoming heats numbered on from its `until`, and the words shown.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { programHeats, heatStates, statesFit, stateWord } from '../../web/js/program.js';

const program = {
  id: '00000000000000aa',
  heats: ['0001', '0002', '0003', '0004', '0005', '0007'].map((heat) => ({ heat, event: '50m自由形', stage: '予選' })),
};

test('each heat takes its letter; the upcoming ones count on from until', () => {
  const now = { program: program.id, states: 'DPDSUU', until: 1, now: '0004' };
  assert.deepEqual(programHeats(program, now).map((h) => [h.heat, h.state, h.until, stateWord(h)]), [
    ['0001', 'D', null, '終了'],
    ['0002', 'P', null, '結果待ち'],
    ['0003', 'D', null, '終了'],
    ['0004', 'S', null, '泳いでいる'],
    ['0005', 'U', 1, 'あと1組'],
    ['0007', 'U', 2, 'あと2組'],
  ]);
  assert.deepEqual(heatStates(program, { ...now, states: 'DDDDDU', until: 0 }).get('0007'),
    { heat: '0007', event: '50m自由形', stage: '予選', state: 'U', until: 0 });
  assert.equal(stateWord({ state: 'U', until: 0 }), '次');
});

test('states of another program are not read', () => {
  const other = { program: '00000000000000ab', states: 'DDDDDD', until: 0, now: '0007' };
  assert.equal(statesFit(program, other), false);
  assert.deepEqual(programHeats(program, other).map((h) => [h.state, h.until, stateWord(h)]),
    Array(6).fill(['', null, '']));
  assert.deepEqual(programHeats(program, null).map((h) => h.state), Array(6).fill(''));
  assert.deepEqual(programHeats(null, other), []);
});
