// Search as the window does it, with the core's own tables: a text holding a
// digit is a number search (the competitors whose number starts with the
// trimmed text), any other text with something besides blanks a name search
// (the competitors whose folded name key holds the folded text). The folding
// table, the digits and the digits a typed number reads as (full-width ones
// as the number field's) come from fold.json; nothing here decides a rule of
// its own.

export function trimmed(text) {
  return text.replace(/^[\s\u3000]+|[\s\u3000]+$/gu, '');
}

// {kind: 'number'|'name'|'none', text, shard}: what to look for and in which
// shard file (numbers/<c>.json or names/<hex>.json).
export function readQuery(text, fold) {
  const digits = new Set(fold.digits || []);
  const chars = Array.from(text);
  if (chars.some((c) => digits.has(c))) {
    const read = fold.numberChars || {};
    const number = trimmed(chars.map((c) => (Object.hasOwn(read, c) ? read[c] : c)).join(''));
    const first = Array.from(number)[0];
    const shard = /^[0-9]$/.test(first) ? first : '_';
    return { kind: 'number', text: number, shard };
  }
  const key = foldName(text, fold);
  if (key === '' || trimmed(text) === '') return { kind: 'none' };
  const hex = key.codePointAt(0).toString(16).padStart(4, '0');
  return { kind: 'name', text: key, shard: hex };
}

// A typed name folded as the core folds a name: at each place a two-character
// pair of the table when one matches, else the character's own entry, else
// the character itself.
export function foldName(text, fold) {
  const pairs = fold.pairs || {};
  const single = fold.chars || {};
  const chars = Array.from(text);
  let key = '';
  for (let i = 0; i < chars.length; i++) {
    const pair = i + 1 < chars.length ? chars[i] + chars[i + 1] : null;
    if (pair !== null && Object.hasOwn(pairs, pair)) {
      key += pairs[pair];
      i++;
    } else if (Object.hasOwn(single, chars[i])) {
      key += single[chars[i]];
    } else {
      key += chars[i];
    }
  }
  return key;
}

// The shard's rows [ordinal, number, name, team, grade, key] that answer the
// query, in the shard's order.
export function matches(rows, query) {
  if (query.kind === 'number') return rows.filter((row) => String(row[1]).startsWith(query.text));
  if (query.kind === 'name') return rows.filter((row) => String(row[5]).includes(query.text));
  return [];
}
