// The web data on the publisher, asked for with the ETag of the copy in hand:
// an unchanged file costs a 304 and no body.

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
export const numberShardFile = (key) => `numbers/${key}.json`;
export const nameShardFile = (hex) => `names/${hex}.json`;

const copies = new Map(); // address -> {etag, text, data}
const TIMEOUT_MS = 4000;

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

// Fetches an address; resolves to {data, changed}. A network failure or a
// server that does not answer in time rejects with the browser's error.
export async function load(address) {
  const copy = copies.get(address);
  const headers = {};
  if (copy?.etag) headers['If-None-Match'] = copy.etag;
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), TIMEOUT_MS);
  try {
    const answer = await fetch(address, { cache: 'no-store', headers, signal: abort.signal });
    if (answer.status === 304 && copy) return { data: copy.data, changed: false };
    if (answer.status === 404) {
      copies.delete(address);
      throw new NotFound(address);
    }
    if (!answer.ok) throw new ServerTrouble(`${answer.status}`);
    const text = await answer.text();
    const data = JSON.parse(text);
    const etag = keptEtag(answer.headers.get('ETag'), answer.headers.get('Date'),
      answer.headers.get('Last-Modified'));
    copies.set(address, { etag, text, data });
    return { data, changed: !copy || copy.text !== text };
  } finally {
    clearTimeout(timer);
  }
}

export async function loadData(address) {
  return (await load(address)).data;
}
