// A program's instructions as a list in some order, each moved by its up
// and down buttons, Alt+ArrowUp / Alt+ArrowDown or drag and drop; whether a
// move may be made is the caller's move to decide. Gives createOrderList.
'use strict';

const { el } = require('./dom.js');

// ol: the list. label(index): an item's text and name; move(from, to):
// positions in the order; t: the words.
function createOrderList(ol, { label, move, t }) {
  let dragged;
  const at = (node) => [...ol.children].indexOf(node.closest('li'));
  const go = (from, to) => from >= 0 && from !== to && ol.children[to] && move(from, to);
  ol.classList.add('order-list');
  ol.addEventListener('keydown', (e) => {
    const step = e.altKey && { ArrowUp: -1, ArrowDown: 1 }[e.key];
    if (!step) return;
    e.preventDefault();
    go(at(e.target), at(e.target) + step);
  });
  ol.addEventListener('click', (e) => {
    const b = e.target.closest('button');
    if (b) go(at(b), at(b) + Number(b.dataset.step));
  });
  ol.addEventListener('dragstart', (e) => {
    dragged = at(e.target);
    // Firefox starts no drag without data.
    e.dataTransfer.setData('text/plain', '');
  });
  ol.addEventListener('dragover', (e) => e.preventDefault());
  ol.addEventListener('drop', (e) => {
    e.preventDefault();
    go(dragged, at(e.target));
  });

  // Draws the items of order (indices as written); the item, or its
  // button, that had the focus keeps it.
  function render(order) {
    const had = ol.contains(document.activeElement) && document.activeElement;
    const index = had && had.closest('li').dataset.index;
    const step = had && had.dataset.step;
    ol.replaceChildren(...order.map((i, p) =>
      el('li', { dataset: { index: i }, tabindex: 0, draggable: 'true', 'aria-label': label(i) }, [
        el('span', { text: label(i) }),
        ...[[-1, 'moveUp', '\u2191'], [1, 'moveDown', '\u2193']].map(([s, key, sign]) =>
          el('button', { type: 'button', 'data-step': s, 'aria-label': t(key, { name: label(i) }), 'aria-disabled': !(p + s in order) && 'true', text: sign })),
      ])));
    const li = had && ol.querySelector(`[data-index="${index}"]`);
    if (li) (step ? li.querySelector(`[data-step="${step}"]`) : li).focus();
  }

  return { render };
}

module.exports = { createOrderList };
