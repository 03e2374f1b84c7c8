// The viewer's addresses, which can be shared and bookmarked:
//   #/<season>                                 the season's meets
//   #/<season>/<meet>                          a meet, with the search
//   #/<season>/<meet>/c/<ordinal>              a competitor's swims
//   #/<season>/<meet>/c/<ordinal>/h/<heat>     a swim: its splits and its heat
//   #/<season>/<meet>/h/<heat>                 a heat at a split
//   #/<season>/<meet>/mine                     the swimmers starred on this phone
// with ?lap=<lap option> and ?at=<split> on a swim and a heat, ?q=<the text
// typed> on a meet.

import {
  isWord, isHeat, meetsAddress, meetAddress, heatFile, competitorBucketFile, PROGRAM_FILE, NOW_FILE,
} from './data.js';

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

// Every file the page of an address shows, to be asked for at once rather
// than one after another: the meet's own file, the search's folding table
// (the meet page, whose program comes after its search box: views/meet.js),
// the program and its states (マイ選手), the competitor's bucket (its size
// from the copy of meet.json in hand, else the layout's), the buckets of the
// swimmers starred on this phone (マイ選手) and the heat.
export function pageFiles(address, meetInHand, starredOrdinals = []) {
  const { season, meet: code } = address;
  const file = (name) => meetAddress(season, code, name);
  if (address.page === 'meets') return [meetsAddress(season)];
  if (!['meet', 'competitor', 'swim', 'heat', 'mine'].includes(address.page)) return [];
  const files = [file('meet.json')];
  if (address.page === 'meet') files.push(file('fold.json'));
  if (address.page === 'mine') {
    files.push(file(PROGRAM_FILE), file(NOW_FILE));
    const buckets = starredOrdinals.map((n) => file(competitorBucketFile(n, meetInHand)));
    files.push(...new Set(buckets));
  }
  if (address.ordinal !== undefined) files.push(file(competitorBucketFile(address.ordinal, meetInHand)));
  if (address.heat !== undefined) files.push(file(heatFile(address.heat)));
  return files;
}

// What an address names that the published meet does not hold, told from the
// meet's own files: 'competitor' when the competitor's bucket is published
// without them, or there is no bucket and the ordinal lies past the meet's
// competitors; 'heat' when the heat number lies outside the heat table;
// 'swim' when the competitor's swims hold no swim in that heat. null while
// what is named may still be published: the meet itself, a heat of the heat
// table, a competitor within the count. meet and bucket are the files' data,
// null where the server has no such file.
export function notHeld(address, meet, bucket) {
  if (!meet) return null;
  const competitor = bucket?.competitors?.[String(address.ordinal)];
  if (address.ordinal !== undefined) {
    if (bucket && !competitor) return 'competitor';
    const count = meet.competitorCount;
    if (bucket === null && Number.isInteger(count) && address.ordinal > count) return 'competitor';
  }
  if (address.heat !== undefined) {
    const count = meet.heatCount;
    const heat = Number(address.heat);
    if (Number.isInteger(count) && (heat < 1 || heat > count)) return 'heat';
  }
  if (competitor && address.heat !== undefined
      && !(competitor.swims || []).some((swim) => swim.heat === address.heat)) return 'swim';
  return null;
}

// The viewer's modules a page of each kind draws with (below js/), each with
// every module it imports: asked for together with the page's files, not one
// import after another, and only when a page of that kind is first shown.
// The meet page's program, drawn after its search box, brings its own then.
const PAGE_MODULES = {
  meets: ['views/meets.js'],
  meet: ['views/meet.js', 'search.js', 'views/common.js', 'stars.js'],
  program: ['views/program_list.js', 'program.js'],
  competitor: ['views/competitor.js', 'views/common.js', 'stars.js'],
  swim: ['views/swim.js', 'views/common.js', 'views/laps.js', 'views/heat.js', 'stars.js'],
  heat: ['views/heat.js', 'views/common.js', 'views/laps.js', 'stars.js'],
  mine: ['views/mine.js', 'views/common.js', 'views/laps.js', 'program.js', 'stars.js'],
};

export function pageModules(page) {
  return PAGE_MODULES[page] || [];
}
