// The viewer's addresses, which can be shared and bookmarked:
//   #/<season>                                 the season's meets
//   #/<season>/<meet>                          a meet, with the search
//   #/<season>/<meet>/c/<ordinal>              a competitor's swims
//   #/<season>/<meet>/c/<ordinal>/h/<heat>     a swim: its splits and its heat
//   #/<season>/<meet>/h/<heat>                 a heat at a split
//   #/<season>/<meet>/mine                     the swimmers starred on this phone
// with ?lap=<lap option> and ?at=<split> on a swim and a heat, ?q=<the text
// typed> on a meet.

import { isWord, isHeat } from './data.js';

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
  if (kind === 'mine' && parts.length === 3) return { ...address, page: 'mine' };
  if (kind === 'h' && isHeat(id) && parts.length === 4) return { ...address, page: 'heat', heat: id };
  if (kind !== 'c' || ordinal === null) return { page: 'unknown' };
  if (parts.length === 4) return { ...address, page: 'competitor', ordinal };
  if (kind2 === 'h' && isHeat(id2) && parts.length === 6) {
    return { ...address, page: 'swim', ordinal, heat: id2 };
  }
  return { page: 'unknown' };
}
