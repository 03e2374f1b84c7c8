// The swimmers starred on this phone: kept in the browser's storage, one
// list per meet ("quendro.mine.<season>/<meet>", the competitor ordinals in
// the order they were starred); nothing goes to the server. A browser that
// keeps nothing (storage turned off or full) keeps the stars while the page
// stays open.

const memory = new Map();
const keyOf = (season, meet) => `quendro.mine.${season}/${meet}`;
const isOrdinal = (n) => Number.isInteger(n) && n >= 0 && n <= 9999999;

function stored(key) {
  try {
    const text = localStorage.getItem(key);
    if (text !== null) return JSON.parse(text);
  } catch {
    // Storage turned off or a damaged entry: what this page holds.
  }
  return memory.get(key) || [];
}

export function starred(season, meet) {
  const list = stored(keyOf(season, meet));
  return Array.isArray(list) ? [...new Set(list.filter(isOrdinal))] : [];
}

export function isStarred(season, meet, ordinal) {
  return starred(season, meet).includes(ordinal);
}

export function setStar(season, meet, ordinal, on) {
  const key = keyOf(season, meet);
  const list = starred(season, meet).filter((n) => n !== ordinal);
  if (on) list.push(ordinal);
  memory.set(key, list);
  try {
    if (list.length) localStorage.setItem(key, JSON.stringify(list));
    else localStorage.removeItem(key);
  } catch {
    // Kept in memory only.
  }
  return list;
}
