// A program's instructions as a list in some order, each moved by its up
// and down buttons, Alt+ArrowUp / Alt+ArrowDown or drag and drop; whether a
// move is allowed is the caller's to decide. Gives createOrderList.
'use strict';

const { el } = require('./dom.js');

const STEPS = { ArrowUp: -1, ArrowDown: 1 };

// ol: the list element. label(index): an item's text; name(index): its
// accessible name; move(from, to): positions in the order; t: the words.
function createOrderList(ol, { label, move, name, t }) {
  let count = 0;
  let dragged = -1;
  const place = (node) => {
    const li = node && node.closest ? node.closest('li') : null;
    return li && ol.contains(li) ? [...ol.children].indexOf(li) : -1;
  };
  const go = (from, to) => {
    if (from >= 0 && to >= 0 && to < count && to !== from) move(from, to);
  };

  ol.addEventListener('keydown', (event) => {
    const step = STEPS[event.key];
    if (!step || !event.altKey || event.ctrlKey || event.metaKey) return;
    event.preventDefault();
    const p = place(event.target);
    go(p, p + step);
  });
  ol.addEventListener('click', (event) => {
    const button = event.target.closest('button');
    if (button) go(place(button), place(button) + Number(button.dataset.step));
  });
  ol.addEventListener('dragstart', (event) => {
    dragged = place(event.target);
    event.dataTransfer.effectAllowed = 'move';
    event.dataTransfer.setData('text/plain', String(dragged));
  });
  ol.addEventListener('dragover', (event) => {
    if (dragged >= 0 && place(event.target) >= 0) event.preventDefault();
  });
  ol.addEventListener('drop', (event) => {
    event.preventDefault();
    const from = dragged;
    dragged = -1;
    go(from, place(event.target));
  });
  ol.addEventListener('dragend', () => (dragged = -1));

  // Draws the items of order (indices as written); the item, or its
  // button, that had the focus keeps it.
  function render(order) {
    const had = ol.contains(document.activeElement) ? document.activeElement : null;
    const li = had && had.closest('li');
    const focus = li && { index: li.dataset.index, step: had.dataset.step };
    count = order.length;
    ol.replaceChildren(
      ...order.map((i, p) => {
        const button = (step, key, edge) =>
          el('button', { type: 'button', class: 'order-move', 'data-step': step, 'aria-label': t(key, { name: name(i) }), 'aria-disabled': edge ? 'true' : null, text: step < 0 ? '\u2191' : '\u2193' });
        return el('li', { dataset: { index: i }, tabindex: '0', draggable: 'true', 'aria-label': name(i) }, [
          el('span', { class: 'order-label', text: label(i) }),
          button(-1, 'moveUp', p === 0),
          button(1, 'moveDown', p === count - 1),
        ]);
      })
    );
    if (!focus) return;
    const item = ol.querySelector(`li[data-index="${focus.index}"]`);
    const target = item && (focus.step ? item.querySelector(`[data-step="${focus.step}"]`) : item);
    if (target) target.focus();
  }

  return { render };
}

module.exports = { createOrderList };
