// Building the page: every text from the data goes in as a text node, never
// as markup.

export function el(tag, props = {}, ...children) {
  const node = document.createElement(tag);
  for (const [key, value] of Object.entries(props)) {
    if (value === null || value === undefined || value === false) continue;
    if (key === 'class') node.className = value;
    else if (key.startsWith('on')) node.addEventListener(key.slice(2), value);
    else node.setAttribute(key, value === true ? '' : String(value));
  }
  for (const child of children.flat()) {
    if (child === null || child === undefined || child === false) continue;
    node.append(child instanceof Node ? child : document.createTextNode(String(child)));
  }
  return node;
}

export function replace(parent, ...children) {
  parent.replaceChildren(...children.flat().filter((c) => c !== null && c !== undefined && c !== false));
}

// "2026-07-25" as "2026年7月25日"; anything else as it stands.
export function dayText(day) {
  const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(day || '');
  return m ? `${m[1]}年${Number(m[2])}月${Number(m[3])}日` : (day || '');
}

export function daysText(first, last) {
  if (!first) return dayText(last);
  if (!last || last === first) return dayText(first);
  return `${dayText(first)}〜${dayText(last)}`;
}

export function clockText(date) {
  const two = (n) => String(n).padStart(2, '0');
  return `${two(date.getHours())}:${two(date.getMinutes())}:${two(date.getSeconds())}`;
}

// The bar above every page: the way to this meet's マイ選手 page when the
// address names a meet, and the line a page pins under the bar (a swim's
// name, event and newest time), cleared as each page opens.
export function frame(address) {
  const link = document.getElementById('mine-link');
  if (link) {
    const meet = address.season && address.meet && address.page !== 'mine';
    link.hidden = !meet;
    if (meet) link.href = `#/${address.season}/${address.meet}/mine`;
  }
  pin(null);
}

export function pin(...children) {
  const line = document.getElementById('pinned');
  if (!line) return;
  const shown = children.flat().filter((c) => c !== null && c !== undefined && c !== false);
  line.replaceChildren(...shown);
  line.hidden = shown.length === 0;
}
