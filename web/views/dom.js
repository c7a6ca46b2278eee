// What every view builds and finds its elements with, and the one way to
// save a text as a file.
// Gives el, parts, download.
'use strict';


// props: text (its text), class, dataset ({name: value}), on ({event:
// handler}); any other is an attribute, left out when null or false.
// children: nodes or strings.
function el(tag, props, children) {
  const node = document.createElement(tag);
  for (const [k, v] of Object.entries(props || {})) {
    if (k === 'text') node.textContent = v;
    else if (k === 'class') node.setAttribute('class', v);
    else if (k === 'dataset') Object.assign(node.dataset, v);
    else if (k === 'on') for (const [event, fn] of Object.entries(v)) node.addEventListener(event, fn);
    else if (v !== null && v !== false && v !== undefined) node.setAttribute(k, v === true ? '' : String(v));
  }
  for (const c of children || []) if (c !== null && c !== undefined) node.append(c);
  return node;
}

// The elements of box with the given ids: {name: element} for {name: id}.
function parts(box, ids) {
  const out = {};
  for (const [name, id] of Object.entries(ids)) out[name] = box.querySelector('#' + id);
  return out;
}

// Saves content (text or bytes) as a file of the given name and type.
function download(content, fileName, type) {
  const url = URL.createObjectURL(new Blob([content], { type }));
  const a = el('a', { href: url, download: fileName });
  document.body.append(a);
  a.click(); // a link made only to save the file
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

module.exports = { el, parts, download };
