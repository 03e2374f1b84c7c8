// The web data on the publisher, asked for with the ETag of the copy in hand:
// an unchanged file costs a 304 and no body. One download per file however
// often it is asked for: a question still on its way is shared by everyone
// asking the same address, and a copy in hand is taken as it is when it came
// since the page now shown was opened (a search shard, kept for the page's
// life) or within the last second (fresher than a live page keeps it: the
// page before it asked a moment ago). A file the server did not have is
// asked for again by every page that needs it.

const BASE = '/swim/';
const WORD = /^[0-9A-Za-z_-]{1,32}$/;
const HEAT = /^[0-9]{4}$/;

export class NotFound extends Error {}
export class ServerTrouble extends Error {}

// A season, meet code or heat from an address becomes part of a path only
// when it is a plain word of letters and digits.
export const isWord = (text) => WORD.test(text || '');
export const isHeat = (text) => HEAT.test(text || '');

export function meetsAddress(season) {
  return `${BASE}${season}/web/meets.json`;
}

export function meetAddress(season, code, file) {
  return `${BASE}${season}/${code}/web/${file}`;
}

export const heatFile = (heat) => `heats/${heat}.json`;
export const bucketFile = (n) => `competitors/${n}.json`;
// The bucket that holds a competitor, by the meet's bucket size (the
// layout's 256 while meet.json is not in hand).
export function competitorBucketFile(ordinal, meet) {
  const size = Number(meet?.competitorBucketSize) || 256;
  return bucketFile(Math.floor(ordinal / size));
}
export const numberShardFile = (key) => `numbers/${key}.json`;
export const nameShardFile = (hex) => `names/${hex}.json`;
// The meet's program and where it stands (docs/web-data.md).
export const PROGRAM_FILE = 'program.json';
export const NOW_FILE = 'now.json';

// address -> {etag, text, data, at}, or {missing: true, at} for a file the
// server said it does not have; `at` is when the answer came.
const copies = new Map();
const asking = new Map(); // address -> the answer on its way
const TIMEOUT_MS = 4000;
const FRESH_MS = 1000;
let opened = -Infinity;

// The page now shown was opened: copies that came before it are asked for
// again when it needs them; copies that come after it are its own.
export function openPage() {
  opened = performance.now();
}

// The cached copy of an address, or undefined.
export function cached(address) {
  return copies.get(address)?.data;
}

export function forget(prefix) {
  for (const address of [...copies.keys()]) if (address.startsWith(prefix)) copies.delete(address);
}

// A file changed again within the second of its last change keeps its
// Last-Modified, and the server's ETag, made of that second and the size, may
// stay too: the ETag of an answer given in the second its file changed (Date
// no later than Last-Modified) is not sent back, so that the next look reads
// the file whole.
export function keptEtag(etag, date, lastModified) {
  const answered = Date.parse(date || '');
  const modified = Date.parse(lastModified || '');
  if (Number.isNaN(answered) || Number.isNaN(modified)) return etag;
  return answered <= modified ? null : etag;
}

async function ask(address) {
  const copy = copies.get(address);
  const headers = {};
  if (copy?.etag) headers['If-None-Match'] = copy.etag;
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), TIMEOUT_MS);
  try {
    const answer = await fetch(address, { cache: 'no-store', headers, signal: abort.signal });
    if (answer.status === 304 && copy && !copy.missing) {
      copy.at = performance.now();
      return { data: copy.data, changed: false };
    }
    if (answer.status === 404) {
      copies.set(address, { missing: true, at: performance.now() });
      throw new NotFound(address);
    }
    if (!answer.ok) throw new ServerTrouble(`${answer.status}`);
    const text = await answer.text();
    const data = JSON.parse(text);
    const etag = keptEtag(answer.headers.get('ETag'), answer.headers.get('Date'),
      answer.headers.get('Last-Modified'));
    copies.set(address, { etag, text, data, at: performance.now() });
    return { data, changed: !copy || copy.missing || copy.text !== text };
  } finally {
    clearTimeout(timer);
  }
}

// Asks the server for an address; resolves to {data, changed}. A question for
// the same address still on its way is joined, not sent again. A network
// failure or a server that does not answer in time rejects with the
// browser's error; a file the server does not have with NotFound.
export function load(address) {
  let answer = asking.get(address);
  if (!answer) {
    answer = ask(address).finally(() => asking.delete(address));
    asking.set(address, answer);
  }
  return answer;
}

// The data of an address: the copy in hand that came since the page was
// opened or within the last second, else the server's answer.
export async function loadData(address) {
  const copy = copies.get(address);
  const fresh = copy && (copy.at >= opened || (!copy.missing && performance.now() - copy.at < FRESH_MS));
  if (fresh && !asking.has(address)) {
    if (copy.missing) throw new NotFound(address);
    return copy.data;
  }
  return (await load(address)).data;
}

// The server's answer for an address even with a copy in hand: for a file
// a page reads again out of the live turn (a program whose states have moved
// on to another one).
export async function loadAgain(address) {
  return (await load(address)).data;
}

// Asks for every address not in hand at once, so that the loads that follow
// find their answers on the way or in hand; failures are left to those loads.
export function askAll(addresses) {
  return Promise.allSettled(addresses.map((address) => loadData(address)));
}
